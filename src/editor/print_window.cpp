#include "editor/print_window.h"

#include <Qsci/qsciprinter.h>

#include <QCheckBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <memory>

#include "codeview/code_view.h"
#include "shell/dialogs.h"
#include "shell/editor.h"
#include "pageview/visual_view.h"
#include "shell/window_helpers.h"

namespace tarlo {

namespace {

// The engine lays out and renders every page before it answers; a long
// filing takes a while, a dead renderer never answers.
constexpr int kVisualPrintTimeoutMs = 300000;

}  // namespace

frmPrint::frmPrint(Editor& editor, CodeView* printTemp)
    : QWidget(editor.mainWindow(), Qt::Window),
      editor_(editor),
      main_(editor.mainWindow()),
      printTemp_(printTemp) {
    setObjectName("frmPrint");
    setWindowTitle("Tarlo Print");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);
    fraWhat = new QGroupBox("What do you want to print?", this);
    fraWhat->setObjectName("fraWhat");
    auto* what = new QVBoxLayout(fraWhat);
    Check1 = new QCheckBox("Visual Editor", fraWhat);
    Check1->setObjectName("Check1");
    Check1->setAccessibleName("Visual Editor");
    Check1->setChecked(false);
    Check2 = new QCheckBox("HTML Code", fraWhat);
    Check2->setObjectName("Check2");
    Check2->setAccessibleName("HTML Code");
    Check2->setChecked(true);
    what->addWidget(Check1);
    what->addWidget(Check2);
    layout->addWidget(fraWhat);

    fraNote = new QGroupBox("Note:", this);
    fraNote->setObjectName("fraNote");
    auto* note = new QVBoxLayout(fraNote);
    lblNote = new QLabel(
        "If you choose to print both windows, two print dialog boxes will appear. Press 'Print' "
        "each time to print both.",
        fraNote);
    lblNote->setObjectName("lblNote");
    lblNote->setWordWrap(true);
    note->addWidget(lblNote);
    layout->addWidget(fraNote);

    cmdPrint = new QPushButton("&Print", this);
    cmdPrint->setObjectName("cmdPrint");
    cmdPrint->setAccessibleName("Print");
    cmdPrint->setDefault(true);
    layout->addWidget(cmdPrint);
    connect(cmdPrint, &QPushButton::clicked, this, &frmPrint::cmdPrint_Click);
    setFixedWidth(300);
}

void frmPrint::Load() {
    adjustSize();
    SetTopmost(this, true);
    CentreOverMain(this, main_);
}

void frmPrint::cmdPrint_Click() {
    hide();
    QPointer<frmPrint> self(this);
    if (main_ && Check1->isChecked()) PrintVisualDocument(editor_);
    // The engine's wait lets events run: the window may have gone meanwhile.
    if (!self) return;
    if (main_ && printTemp_ && Check2->isChecked()) PrintCodeArea(editor_, *printTemp_);
    if (self) close();
}

bool PrintVisualDocument(Editor& editor) {
    // Without a page showing the document there is nothing to print from it,
    // and the engine would never answer.
    if (!editor.visualView().pageAvailable()) {
        editor.dialogs().Message(
            editor.mainWindow(),
            "The Visual Editor is not showing this document now (it is too large for the page, "
            "or the page stopped), so its page cannot be printed. Print the HTML code instead.",
            "Tarlo", Buttons::Ok, Icon::Information);
        return false;
    }
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    if (!editor.dialogs().Printer(editor.mainWindow(), printer.get(), false)) return false;
    QPointer<VisualView> web(&editor.visualView());
    auto result = std::make_shared<std::optional<bool>>();
    QEventLoop loop;
    auto done = [result, &loop](bool ok) {
        *result = ok;
        loop.quit();
    };
    QMetaObject::Connection conn;
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()) {
        // Printing to a file: the engine writes the PDF itself, its text
        // kept as text.
        conn = QObject::connect(web->page(), &QWebEnginePage::pdfPrintingFinished, &loop,
                                [done](const QString&, bool ok) { done(ok); });
        web->page()->printToPdf(printer->outputFileName(), printer->pageLayout());
    } else {
        conn = QObject::connect(web, &QWebEngineView::printFinished, &loop, done);
        web->print(printer.get());
    }
    QTimer::singleShot(kVisualPrintTimeoutMs, &loop, &QEventLoop::quit);
    if (!result->has_value()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    QObject::disconnect(conn);
    return result->has_value() && result->value();
}

bool PrintCodeArea(Editor& editor, CodeView& area) {
    QsciPrinter printer(QPrinter::HighResolution);
    const bool hasSelection = area.SelLength() > 0;
    if (!editor.dialogs().Printer(editor.mainWindow(), &printer, hasSelection)) return false;
    // Long lines of a filing wrap on paper instead of running off the page.
    printer.setWrapMode(QsciScintilla::WrapWord);
    // Colours as painted, on white paper whatever the window mode.
    area.SendScintilla(QsciScintillaBase::SCI_SETPRINTCOLOURMODE,
                       QsciScintillaBase::SC_PRINT_COLOURONWHITE);
    int from = -1;
    int to = -1;
    if (hasSelection && static_cast<QPrinter&>(printer).printRange() == QPrinter::Selection) {
        from = area.LineOfPosition(area.SelStart());
        to = area.LineOfPosition(area.SelStart() + area.SelLength());
    }
    return printer.printRange(&area, from, to) != 0;
}

}  // namespace tarlo
