#include "insert/table_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "codeview/code_view.h"
#include "insert/table_maker.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "shell/document_files.h"
#include "shell/editor.h"
#include "shell/long_operation.h"
#include "shell/window_helpers.h"

namespace tarlo {

namespace {

QLineEdit* NumberBox(QWidget* parent, const char* name, const char* start, const char* spoken) {
    auto* box = new QLineEdit(QLatin1String(start), parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(QLatin1String(spoken));
    return box;
}

QComboBox* ChoiceBox(QWidget* parent, const char* name, const QStringList& choices,
                     const char* start, const char* spoken) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(QLatin1String(spoken));
    // Typed text is taken as it is, never added to the list.
    box->setEditable(true);
    // The box's text field is what takes the keys: a reader names it too.
    box->lineEdit()->setAccessibleName(QLatin1String(spoken));
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(choices);
    box->setCurrentText(QLatin1String(start));
    return box;
}

}  // namespace

frmTable::frmTable(Editor& editor) : QWidget(editor.mainWindow(), Qt::Window), editor_(editor) {
    setObjectName(QStringLiteral("frmTable"));
    CloseOnEscape(this);
    setWindowTitle(QStringLiteral("Table Wizard"));
    setAttribute(Qt::WA_DeleteOnClose);

    lblHint = new QLabel(
        QStringLiteral("Place the cursor in the code window where you want your table to be."),
        this);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->setWordWrap(true);
    lblHint->setAccessibleName(lblHint->text());

    rowtxt = NumberBox(this, "rowtxt", "5", "Rows");
    coltxt = NumberBox(this, "coltxt", "4", "Columns");
    twidthtxt = NumberBox(this, "twidthtxt", "100", "Width %");
    QStringList colours;
    for (const std::string_view c : kTableColours) {
        colours << QString::fromLatin1(c.data(), static_cast<int>(c.size()));
    }
    Combo1 =
        ChoiceBox(this, "Combo1", {QStringLiteral("Yes"), QStringLiteral("No")}, "No", "Gridlines");
    cmbColor = ChoiceBox(this, "cmbColor", colours, "None", "Alternate Row Color");
    mtb = new QPushButton(QStringLiteral("Create Table"), this);
    mtb->setObjectName(QStringLiteral("mtb"));
    mtb->setAccessibleName(mtb->text());
    for (QLineEdit* box : {rowtxt, coltxt, twidthtxt}) box->installEventFilter(this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblHint, 0, 0, 1, 2);
    const char* captions[] = {
        "Rows:", "Columns:", "Width %:", "Gridlines:", "Alternate Row Color:"};
    QWidget* inputs[] = {rowtxt, coltxt, twidthtxt, Combo1, cmbColor};
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel(QLatin1String(captions[i]), this);
        label->setBuddy(inputs[i]);
        grid->addWidget(label, i + 1, 0);
        grid->addWidget(inputs[i], i + 1, 1);
    }
    grid->addWidget(mtb, 6, 0, 1, 2, Qt::AlignHCenter);
    connect(mtb, &QPushButton::clicked, this, [this] { mtb_Click(); });

    resize(TwipSizeToPixels(4500, 3600).expandedTo(minimumSizeHint()));
    SetTopmost(this, true);
    CentreOverMain(this, editor.mainWindow());
}

QLineEdit* frmTable::Box(int which) const {
    return which == 0 ? rowtxt : which == 1 ? coltxt : twidthtxt;
}

bool frmTable::eventFilter(QObject* watched, QEvent* event) {
    // The number boxes take digits, Backspace and code 127 as typed
    // characters; keys that type nothing (arrows, Delete) move as ever.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Tab and Alt keys move between controls, Escape closes the window,
        // and the editing shortcuts (Ctrl+A, Ctrl+C, Ctrl+V, Ctrl+Z) edit:
        // none of them types a character here. Pasted text that is not a
        // whole number is refused when the table is made.
        constexpr Qt::KeyboardModifiers kCommand =
            Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier;
        if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Tab ||
            key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Escape ||
            (key->modifiers() & kCommand) != 0) {
            return false;
        }
        const QString text = key->text();
        if (!text.isEmpty() && !TableKeyAccepted(text.at(0).unicode())) return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmTable::mtb_Click() {
    const TableDecision d =
        CheckTableBoxes(rowtxt->text().toStdString(), coltxt->text().toStdString(),
                        twidthtxt->text().toStdString());
    QLineEdit* box = Box(static_cast<int>(d.box));
    switch (d.kind) {
        case TableDecision::ResetBox:
            box->setText(QString::fromStdString(d.resetText));
            return;
        case TableDecision::NotANumber:
            // Only pasted text gets here: it is pointed out for correcting.
            box->setFocus(Qt::OtherFocusReason);
            box->selectAll();
            return;
        case TableDecision::Nothing:
            return;
        case TableDecision::Build:
            break;
    }
    const QPointer<frmTable> self(this);
    const std::string colour = cmbColor->currentText().toStdString();
    const std::uint64_t tableBytes = TableBytes(d.rows, d.columns, d.width, colour);
    const auto codeBytes = static_cast<std::uint64_t>(editor_.codeView().Length());
    if (codeBytes + tableBytes > kMaxDocumentBytes) {
        // Said before anything is built: the editor could not hold the result.
        editor_.dialogs().Message(
            this,
            QStringLiteral("With this table the document's code would be %1, more than Tarlo "
                           "can edit (%2). Nothing was inserted.")
                .arg(QString::fromStdString(MegabytesText(codeBytes + tableBytes)),
                     QString::fromStdString(MegabytesText(kMaxDocumentBytes))),
            QStringLiteral("Tarlo"), Buttons::Ok, Icon::Information);
        return;
    }
    {
        const BusyPointer busy;
        // Built in one pass, then inserted as one edit of the code view.
        const std::string table = MakeTable(
            d.rows, d.columns, d.width, TableBorder(Combo1->currentText().toStdString()), colour);
        editor_.InsertAtCaret(table);
    }
    if (self) close();
}

TableCommand::TableCommand(Editor& editor, QObject* owner) : QObject(owner), editor_(editor) {
    setObjectName(QStringLiteral("TableCommand"));
}

void TableCommand::ShowTableMaker() {
    ShowToolWindow(
        window_, [this] { return new frmTable(editor_); }, false);
    // The user places the caret next: the main window becomes the active
    // one, its visual editor holding the focus, and the wizard stays above it.
    if (QWidget* main = editor_.mainWindow()) main->activateWindow();
    editor_.FocusPage();
}

TableCommand* InstallTableMaker(Editor& editor, QObject* owner) {
    const QPointer<TableCommand> command = new TableCommand(editor, owner);
    editor.commands().Set(CommandId::TableMaker, [command] {
        if (command) command->ShowTableMaker();
    });
    return command;
}

}  // namespace tarlo
