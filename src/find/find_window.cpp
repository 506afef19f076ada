#include "find/find_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "codeview/code_view.h"
#include "find/find_text.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "shell/document_files.h"
#include "shell/editor.h"
#include "shell/long_operation.h"
#include "shell/window_helpers.h"

namespace tarlo {

namespace {

const char* const kFind = "&Find";
const char* const kFindNext = "&Find Next";
const char* const kReplaceFirst = "&Replace...";
const char* const kReplace = "&Replace";
const char* const kResults = "Results:";

// A caption as a screen reader should say it: without its mnemonic mark.
QString Spoken(const QString& caption) {
    QString s = caption;
    s.remove(QLatin1Char('&'));
    return s;
}

template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace

frmFind::frmFind(Editor& editor) : QWidget(editor.mainWindow(), Qt::Window), editor_(editor) {
    setObjectName(QStringLiteral("frmFind"));
    CloseOnEscape(this);
    setWindowTitle(QStringLiteral("Find and Replace"));
    setAttribute(Qt::WA_DeleteOnClose);

    lblFind = Named(new QLabel(QStringLiteral("Fin&d What:"), this), "lblFind");
    cboFind = Named(new QLineEdit(this), "cboFind");
    cboFind->setAccessibleName(QStringLiteral("Find What"));
    lblFind->setBuddy(cboFind);
    lblReplace = Named(new QLabel(QStringLiteral("Replace &With:"), this), "lblReplace");
    cboReplace = Named(new QLineEdit(this), "cboReplace");
    cboReplace->setAccessibleName(QStringLiteral("Replace With"));
    lblReplace->setBuddy(cboReplace);

    cmdFind = Named(new QPushButton(QLatin1String(kFind), this), "cmdFind");
    cmdCancel = Named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    cmdReplace = Named(new QPushButton(QLatin1String(kReplaceFirst), this), "cmdReplace");
    cmdReplaceAll = Named(new QPushButton(QStringLiteral("Replace &All"), this), "cmdReplaceAll");
    for (QPushButton* b : {cmdFind, cmdCancel, cmdReplace, cmdReplaceAll}) {
        b->setAccessibleName(Spoken(b->text()));
        b->setAutoDefault(false);
    }

    Frame1 = Named(new QGroupBox(QStringLiteral("Search Options"), this), "Frame1");
    chkWholeWord =
        Named(new QCheckBox(QStringLiteral("Find Whole Word &Only"), Frame1), "chkWholeWord");
    chkMatchCase = Named(new QCheckBox(QStringLiteral("Match Ca&se"), Frame1), "chkMatchCase");
    chkNoHighlight =
        Named(new QCheckBox(QStringLiteral("No &Highlight"), Frame1), "chkNoHighlight");
    auto* options = new QVBoxLayout(Frame1);
    for (QCheckBox* c : {chkWholeWord, chkMatchCase, chkNoHighlight}) {
        c->setAccessibleName(Spoken(c->text()));
        options->addWidget(c);
    }

    Label1 = Named(new QLabel(this), "Label1");
    Label1->setAccessibleName(QStringLiteral("Search results"));
    Label1->setTextFormat(Qt::PlainText);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblFind, 0, 0);
    grid->addWidget(cboFind, 0, 1);
    grid->addWidget(cmdFind, 0, 2);
    grid->addWidget(lblReplace, 1, 0);
    grid->addWidget(cboReplace, 1, 1);
    grid->addWidget(cmdCancel, 1, 2);
    grid->addWidget(Frame1, 2, 0, 3, 2);
    grid->addWidget(cmdReplace, 2, 2);
    grid->addWidget(cmdReplaceAll, 3, 2);
    grid->addWidget(Label1, 5, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);

    connect(cmdFind, &QPushButton::clicked, this, [this] { cmdFind_Click(); });
    connect(cboFind, &QLineEdit::returnPressed, this, [this] { cmdFind_Click(); });
    connect(cmdReplace, &QPushButton::clicked, this, [this] { cmdReplace_Click(); });
    connect(cboReplace, &QLineEdit::returnPressed, this, [this] { cmdReplace_Click(); });
    connect(cmdReplaceAll, &QPushButton::clicked, this, [this] { cmdReplaceAll_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    // The find-only layout; the search box starts with what is selected.
    Label1->hide();
    Label1->clear();
    lblReplace->hide();
    cboReplace->hide();
    cmdReplaceAll->hide();
    const ByteRange selection = editor.Selection();
    const std::string selected =
        selection.length > 0 ? editor.codeView().TextRange(selection.start, selection.length)
                             : std::string();
    cboFind->setText(QString::fromStdString(selected));
    cboFind->selectAll();

    // Centred at its final size: the layout may need more than the design.
    resize(TwipSizeToPixels(6000, 2400).expandedTo(minimumSizeHint()));
    SetTopmost(this, true);
    CentreOverMain(this, editor.mainWindow());
}

int frmFind::Options() const {
    return (chkWholeWord->isChecked() ? CodeView::kWholeWord : 0) |
           (chkMatchCase->isChecked() ? CodeView::kMatchCase : 0) |
           (chkNoHighlight->isChecked() ? CodeView::kNoHighlight : 0);
}

void frmFind::ShowResults() {
    Label1->setText(QLatin1String(kResults));
    Label1->show();
}

void frmFind::ShowNotFound() {
    Label1->setText(QLatin1Char('"') + cboFind->text() + QStringLiteral("\" not found."));
    cmdFind->setText(QLatin1String(kFind));
}

void frmFind::cmdFind_Click() {
    ShowResults();
    const bool next = cmdFind->text() == QLatin1String(kFindNext);
    const ByteRange selection = editor_.Selection();
    const int start = next ? selection.start + selection.length : 0;
    if (FindOnwardFrom(start) && !next) cmdFind->setText(QLatin1String(kFindNext));
}

bool frmFind::SelectionIsOccurrence() {
    const ByteRange selection = editor_.Selection();
    if (selection.length <= 0) return false;
    CodeView& code = editor_.codeView();
    const std::string find = cboFind->text().toStdString();
    // The selected text is the search text under the case rule, whole...
    std::size_t length = 0;
    const std::string selected = code.TextRange(selection.start, selection.length);
    if (FindText(selected, find, 0, SearchOptionsFromBits(Options()), &length) != 0 ||
        length != selected.size()) {
        return false;
    }
    // ...and in its place, where the whole-word rule sees its neighbours.
    return code.FindInCode(find, selection.start, Options() | CodeView::kNoHighlight) ==
           selection.start;
}

bool frmFind::FindOnwardFrom(int start) {
    const int position =
        editor_.codeView().FindInCode(cboFind->text().toStdString(), start, Options());
    if (position < 0) {
        ShowNotFound();
        return false;
    }
    editor_.FocusCode();
    return true;
}

void frmFind::cmdReplace_Click() {
    ShowResults();
    if (cmdReplace->text() == QLatin1String(kReplaceFirst)) {
        // The first press only shows the replace controls.
        cmdReplace->setText(QLatin1String(kReplace));
        lblReplace->show();
        cboReplace->show();
        cmdReplaceAll->show();
        return;
    }
    // Only an occurrence of the search text is replaced. Anything else
    // selected, or nothing (with No Highlight a hit is never selected),
    // stays as it is and the press finds the next occurrence instead:
    // replacing it would change text nobody asked to change.
    if (!SelectionIsOccurrence()) {
        const ByteRange selection = editor_.Selection();
        FindOnwardFrom(selection.start + selection.length);
        return;
    }
    const QPointer<frmFind> self(this);
    // The code view's change handling runs once, as for typing.
    editor_.codeView().ReplaceSelection(cboReplace->text().toStdString());
    if (!self) return;
    const ByteRange after = editor_.Selection();
    FindOnwardFrom(after.start + after.length);
}

void frmFind::cmdReplaceAll_Click() {
    const QPointer<frmFind> self(this);
    ShowResults();
    ReplaceAllResult result;
    {
        const BusyPointer busy;
        CodeView& code = editor_.codeView();
        // One pass over the text, then one edit of the code view from the
        // first occurrence to the end of the last: one undo step, one change,
        // one push to the page, however many occurrences there are.
        const std::string text = code.TextUtf8();
        result =
            ReplaceAllText(text, cboFind->text().toStdString(), cboReplace->text().toStdString(),
                           SearchOptionsFromBits(Options()), kMaxDocumentBytes);
        if (result.count > 0 && !result.tooLarge) {
            code.SetSel(static_cast<int>(result.from), static_cast<int>(result.to - result.from));
            code.ReplaceSelection(result.replaced);
            if (!self) return;
        }
        result.replaced = std::string();
    }
    if (result.tooLarge) {
        // Said instead of "Replacements Complete.": nothing was replaced.
        editor_.dialogs().Message(
            this,
            QStringLiteral("After these replacements the document's code would be %1, more than "
                           "Tarlo can edit (%2). Nothing was replaced.")
                .arg(QString::fromStdString(MegabytesText(result.resultBytes)),
                     QString::fromStdString(MegabytesText(kMaxDocumentBytes))),
            QStringLiteral("Tarlo - ReplaceAll"), Buttons::Ok, Icon::Warning);
        if (self) cmdFind->setText(QLatin1String(kFind));
        return;
    }
    if (result.count > 0) {
        editor_.dialogs().Message(this,
                                  QStringLiteral("The specified region has been searched. \n"
                                                 "%1 replacements have been made.")
                                      .arg(static_cast<qulonglong>(result.count)),
                                  QStringLiteral("Tarlo - ReplaceAll"), Buttons::Ok,
                                  Icon::Information);
        if (!self) return;
    }
    cmdFind->setText(QLatin1String(kFind));
    editor_.dialogs().Message(this, QStringLiteral("Replacements Complete."),
                              QStringLiteral("Tarlo"), Buttons::Ok, Icon::Information);
}

void frmFind::cmdCancel_Click() {
    close();
}

void frmFind::closeEvent(QCloseEvent* event) {
    Label1->hide();
    Label1->clear();
    QWidget::closeEvent(event);
}

FindCommand::FindCommand(Editor& editor, QObject* owner) : QObject(owner), editor_(editor) {
    setObjectName(QStringLiteral("FindCommand"));
}

void FindCommand::Show() {
    ShowToolWindow(window_, [this] { return new frmFind(editor_); });
}

FindCommand* InstallFindReplace(Editor& editor, QObject* owner) {
    const QPointer<FindCommand> command = new FindCommand(editor, owner);
    editor.commands().Set(CommandId::FindReplace, [command] {
        if (command) command->Show();
    });
    return command;
}

}  // namespace tarlo
