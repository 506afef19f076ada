// The document commands and the visual editing commands on the real views,
// with real files in temporary folders: new, open, save, save as, preview,
// print to PDF, e-mail through a stand-in mail command, the clipboard and the
// formatting tools.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>

#include "codeview/code_view.h"
#include "document/view_sync.h"
#include "editor/document_commands.h"
#include "editor/file_commands.h"
#include "editor/main_window.h"
#include "editor/print_window.h"
#include "editor/private_temp.h"
#include "editor/sharing_commands.h"
#include "editor/visual_commands.h"
#include "pageview/visual_page.h"
#include "pageview/visual_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "support/gui_test_support.h"

using tarlo::test::ReadBytes;
using tarlo::test::WaitUntil;
using tarlo::test::WriteFile;

namespace tarlo {
namespace {

// The text of a PDF, as pdftotext reads it.
QString PdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class DocumentCommandsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dialogs = new ScriptedDialogs;
        window = test::StartTestWindow(
            dialogs, [] { ++ended; },
            [](frmMain& w) {
                docs = InstallDocumentCommands(w, &w);
                InstallVisualCommands(w, &w);
                docs.sharing->SetOpener([](const QUrl& url) {
                    opened.push_back(url);
                    return true;
                });
            });
    }
    static void TearDownTestSuite() {
        delete window;
        delete dialogs;
    }
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ended = 0;
        opened.clear();
        // Start every test from an empty document, whatever an earlier one left.
        while (dialogs->pending() > 0) dialogs->Message(nullptr, "", "", Buttons::Ok, Icon::None);
        dialogs->Queue(Answer::No);
        window->commands().Run(CommandId::NewDocument);
        while (dialogs->pending() > 0) dialogs->Message(nullptr, "", "", Buttons::Ok, Icon::None);
        dialogs->ClearAsked();
        window->document().AutoFormat = false;
        window->document().AutoColorize = false;
    }

    static std::string Code() { return window->txtCode->TextUtf8(); }
    static QString Page() { return window->Web->OuterHtml().value_or(QString()); }
    static void SetCode(const std::string& text) {
        window->txtCode->SetTextUtf8(text);
        ASSERT_TRUE(window->Web->WaitForPushes());
    }
    QString Path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    static QStringList Asked() {
        QStringList out;
        for (const auto& a : dialogs->asked()) out << a.kind + ":" + a.text;
        return out;
    }
    static void SelectInPage(const char* id) {
        window->Web->RunScript(QStringLiteral("var r=document.createRange();r.selectNodeContents("
                                              "document.getElementById('%1'));var s=getSelection();"
                                              "s.removeAllRanges();s.addRange(r);true")
                                   .arg(id));
    }

    static inline frmMain* window = nullptr;
    static inline ScriptedDialogs* dialogs = nullptr;
    static inline DocumentCommands docs;
    static inline int ended = 0;
    static inline QList<QUrl> opened;
    QTemporaryDir dir;
};

TEST_F(DocumentCommandsTest, SaveSaveAsAndNewKeepCaptionAndPathInStep) {
    SetCode("<html><head></head><body><p>first</p></body></html>");
    // Never saved: Save asks for a name, with the two filters.
    dialogs->Queue(std::optional<QString>(Path("a.html")));
    window->commands().Run(CommandId::SaveDocument);
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(dialogs->asked()[0].kind, "save");
    EXPECT_EQ(dialogs->asked()[0].text, "HTML Files (*.html);;HTM Files (*.htm)");
    EXPECT_EQ(ReadBytes(Path("a.html")),
              QByteArray("<html><head></head><body><p>first</p></body></html>\r\n"));
    EXPECT_EQ(window->windowTitle(), Path("a.html"));
    EXPECT_EQ(window->document().DocumentPath, Path("a.html").toStdString());

    // Later saves write there without asking; the page's edits come along.
    dialogs->ClearAsked();
    window->Web->RunScript("document.body.innerHTML='<p>second</p>';true");
    window->commands().Run(CommandId::SaveDocument);
    EXPECT_TRUE(dialogs->asked().empty()) << Asked().join("|").toStdString();
    EXPECT_EQ(ReadBytes(Path("a.html")),
              QByteArray("<html><head></head><body><p>second</p></body></html>\r\n"));

    // Save As uses a name typed without extension exactly as typed.
    dialogs->Queue(std::optional<QString>(Path("plain")));
    window->commands().Run(CommandId::SaveDocumentAs);
    EXPECT_TRUE(QFileInfo::exists(Path("plain")));
    EXPECT_FALSE(QFileInfo::exists(Path("plain.html")));
    EXPECT_EQ(window->windowTitle(), Path("plain"));

    // New on a saved document asks nothing and empties both views.
    dialogs->ClearAsked();
    window->commands().Run(CommandId::NewDocument);
    EXPECT_TRUE(dialogs->asked().empty()) << Asked().join("|").toStdString();
    EXPECT_EQ(Code(), "");
    EXPECT_TRUE(window->document().DocumentPath.empty());
    EXPECT_EQ(window->windowTitle(), "Tarlo - The best HTML editor for EDGAR specialists.");
    EXPECT_FALSE(Page().contains("second"));

    // New on a document without a file asks.
    dialogs->Queue(Answer::No);
    window->commands().Run(CommandId::NewDocument);
    EXPECT_EQ(Asked(), QStringList{"message:Do you want to save your document?"});
    EXPECT_EQ(dialogs->asked()[0].buttons, Buttons::YesNoCancel);
}

TEST_F(DocumentCommandsTest, UnsavedWorkIsNeverThrownAway) {
    SetCode("<html><head></head><body><p>precious</p></body></html>");
    // Yes, then a cancelled Save As: the document stays.
    dialogs->Queue(Answer::Yes);
    dialogs->Queue(std::optional<QString>());
    window->commands().Run(CommandId::NewDocument);
    EXPECT_NE(Code().find("precious"), std::string::npos);

    // Save As to a place that cannot be written: told why, nothing lost.
    dialogs->ClearAsked();
    WriteFile(dir.path(), "afile", "x");
    dialogs->Queue(std::optional<QString>(Path("afile/doc.html")));
    EXPECT_FALSE(docs.files->SaveDocumentAs());
    ASSERT_EQ(dialogs->asked().size(), 2u);
    EXPECT_TRUE(dialogs->asked()[1].text.startsWith("The document could not be saved to"));
    EXPECT_TRUE(window->document().DocumentPath.empty());
    EXPECT_NE(window->windowTitle(), Path("afile/doc.html"));
    EXPECT_NE(Code().find("precious"), std::string::npos);

    // The exit prompt's Save As reports the cancel, so the program stays.
    dialogs->Queue(Answer::Yes);
    dialogs->Queue(std::optional<QString>());
    EXPECT_FALSE(window->Form_Unload());
    EXPECT_EQ(ended, 0);
    // ... and one that cannot be written, too; a written one ends it.
    dialogs->Queue(Answer::Yes);
    dialogs->Queue(std::optional<QString>(Path("afile/doc.html")));
    dialogs->Queue(Answer::Ok);
    EXPECT_FALSE(window->Form_Unload());
    EXPECT_EQ(ended, 0);
    dialogs->Queue(Answer::Yes);
    dialogs->Queue(std::optional<QString>(Path("at-exit.html")));
    EXPECT_TRUE(window->Form_Unload());
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(ReadBytes(Path("at-exit.html")).contains("precious"));

    // A document with a file but edits since its save is asked about, and
    // Yes writes it to its file.
    dialogs->Queue(std::optional<QString>(Path("kept.html")));
    ASSERT_TRUE(docs.files->SaveDocumentAs());
    EXPECT_FALSE(docs.files->HasUnsavedChanges());
    window->Web->RunScript(
        "document.execCommand('selectAll');"
        "document.execCommand('insertText', false, 'typed');true");
    EXPECT_TRUE(docs.files->HasUnsavedChanges());
    dialogs->ClearAsked();
    dialogs->Queue(Answer::Yes);
    window->commands().Run(CommandId::NewDocument);
    EXPECT_EQ(Asked().value(0), "message:Do you want to save your document?");
    EXPECT_TRUE(ReadBytes(Path("kept.html")).contains("typed"));
    EXPECT_EQ(Code(), "");

    // Right after a save of page edits nothing is left unsaved, although
    // the page has not yet been rewritten from the saved code.
    dialogs->Queue(std::optional<QString>(Path("again.html")));
    SetCode("<html><head></head><body><p>x</p></body></html>");
    ASSERT_TRUE(docs.files->SaveDocumentAs());
    window->Web->RunScript(
        "document.execCommand('selectAll');"
        "document.execCommand('insertText', false, 'edited');true");
    ASSERT_TRUE(docs.files->SaveDocument());
    EXPECT_FALSE(docs.files->HasUnsavedChanges());
}

TEST_F(DocumentCommandsTest, AFailedWriteLeavesTheOldFileWhole) {
    const QByteArray old = "<html><body><p>the old filing</p></body></html>\r\n";
    WriteFile(dir.path(), "filing.htm", old);
    dialogs->Queue(std::optional<QString>(Path("filing.htm")));
    window->commands().Run(CommandId::OpenDocument);
    ASSERT_EQ(window->document().DocumentPath, Path("filing.htm").toStdString());
    SetCode("<html><body><p>" + std::string(200000, 'n') + "</p></body></html>");

    // The disk "fills up" half way through the write.
    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    dialogs->ClearAsked();
    const bool saved_ok = docs.files->SaveDocument();
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(ReadBytes(Path("filing.htm")), old);
    ASSERT_FALSE(dialogs->asked().empty());
    EXPECT_TRUE(dialogs->asked().back().text.startsWith("The document could not be saved"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"filing.htm"});
}

TEST_F(DocumentCommandsTest, OpenReadsEncodingsAndTheExtensionRule) {
    // Windows-1252 bytes and mixed line breaks from another editor: each
    // break stays as the file has it.
    const QString lower = WriteFile(dir.path(), "old.html", "<p>caf\xE9 \x96 x</p>\n<p>2</p>\r\n");
    dialogs->Queue(std::optional<QString>(lower));
    window->commands().Run(CommandId::OpenDocument);
    ASSERT_FALSE(dialogs->asked().empty());
    EXPECT_EQ(dialogs->asked()[0].text, "HTML Files (*.html);;HTM Files (*.htm)");
    EXPECT_EQ(Code(), "<p>caf\xC3\xA9 \xE2\x80\x93 x</p>\n<p>2</p>");
    EXPECT_EQ(window->windowTitle(), lower);
    EXPECT_EQ(window->document().DocumentPath, lower.toStdString());
    EXPECT_EQ(window->document().OpenedFileName, lower.toStdString());
    EXPECT_TRUE(Page().contains(QString::fromUtf8("caf\u00e9")));
    EXPECT_FALSE(docs.files->HasUnsavedChanges());

    // Upper case: loaded, but it does not become the document's path, and
    // Save will not write it over the file opened before.
    window->MarkCodeStale();
    const QString upper = WriteFile(dir.path(), "NEW.HTML", "<p>upper</p>");
    dialogs->Queue(std::optional<QString>(upper));
    window->commands().Run(CommandId::OpenDocument);
    EXPECT_EQ(Code(), "<p>upper</p>");
    EXPECT_TRUE(window->document().DocumentPath.empty());
    EXPECT_EQ(window->txtStatus->text(), "Code is accurate.");
    EXPECT_EQ(window->windowTitle(), upper);

    // A cancelled dialog changes nothing.
    dialogs->Queue(std::optional<QString>());
    window->commands().Run(CommandId::OpenDocument);
    EXPECT_EQ(Code(), "<p>upper</p>");

    // Pictures beside the document: the page's base is its folder.
    EXPECT_EQ(window->Web->RunScript("document.baseURI").value_or(QVariant()).toString(),
              QUrl::fromLocalFile(dir.path() + "/").toString());
}

TEST_F(DocumentCommandsTest, BinaryAndHugeFilesAreRefusedWithAReason) {
    SetCode("<p>mine</p>");
    const QString gif = WriteFile(dir.path(), "logo.html", QByteArray("GIF89a\0\0\x01\x02", 10));
    dialogs->Queue(std::optional<QString>(gif));
    window->commands().Run(CommandId::OpenDocument);
    ASSERT_EQ(dialogs->asked().size(), 2u);
    EXPECT_TRUE(dialogs->asked()[1].text.contains("not an HTML document"));
    EXPECT_EQ(Code(), "<p>mine</p>");

    // A sparse file of 200 MB: refused at once, without reading it.
    const QString huge = Path("huge.htm");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(200LL * 1024 * 1024));
    }
    dialogs->ClearAsked();
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(docs.files->OpenDocumentFile(huge));
    EXPECT_LT(clock.elapsed(), 2000);
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_TRUE(dialogs->asked()[0].text.contains("200.0 MB"))
        << dialogs->asked()[0].text.toStdString();
    EXPECT_EQ(Code(), "<p>mine</p>");
}

TEST_F(DocumentCommandsTest, PreviewWritesAPrivateFileAndHandsItToTheBrowser) {
    SetCode("<p>caf\xC3\xA9</p>");
    window->Web->RunScript("document.body.innerHTML='<p>newer</p>';true");
    dialogs->Queue(Answer::No);
    window->commands().Run(CommandId::PreviewInBrowser);
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(dialogs->asked()[0].text, "Does the code need to be refreshed?");
    EXPECT_EQ(dialogs->asked()[0].title, "Tarlo web preview");
    ASSERT_EQ(opened.size(), 1);
    const QString file = opened[0].toLocalFile();
    EXPECT_EQ(QFileInfo(file).fileName(), "Preview.htm");
    EXPECT_TRUE(QFileInfo(file).absolutePath().startsWith(docs.sharing->PrivateFolder() + "/"));
    // No refresh: the code as it was, in Windows-1252, with its CR LF.
    EXPECT_EQ(ReadBytes(file), QByteArray("<p>caf\xE9</p>\r\n"));
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(docs.sharing->PrivateFolder()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(WaitUntil([] { return window->Web->hasFocusWithin(); }));

    // Yes refreshes first.
    dialogs->Queue(Answer::Yes);
    window->commands().Run(CommandId::PreviewInBrowser);
    EXPECT_TRUE(ReadBytes(file).contains("newer"));
    EXPECT_EQ(window->txtStatus->text(), "Code is accurate.");

    // A document opened from a folder: its pictures show in the preview,
    // whose text stays the code's and whose links within the page stay there.
    static const char kGif[] =
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00"
        "\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;";
    QDir(dir.path()).mkpath("filing/pics");
    WriteFile(Path("filing/pics"), "logo.gif", QByteArray(kGif, sizeof kGif - 1));
    WriteFile(Path("filing"), "Preview.htm", "the user's own");
    const std::string doc =
        "<html><head></head><body><img src=\"pics/logo.gif\"><a href=\"#toc\">x</a></body></html>";
    dialogs->Queue(Answer::No);  // the edits above are let go
    ASSERT_TRUE(docs.files->OpenDocumentFile(WriteFile(Path("filing"), "f.htm", doc.c_str())));
    dialogs->Queue(Answer::No);
    window->commands().Run(CommandId::PreviewInBrowser);
    // The document's own bytes: its file ends without a line break.
    EXPECT_EQ(ReadBytes(file), QByteArray(doc.c_str()));
    EXPECT_EQ(ReadBytes(Path("filing/Preview.htm")), "the user's own");
    QWebEnginePage browser;
    QSignalSpy loaded(&browser, &QWebEnginePage::loadFinished);
    browser.load(QUrl::fromLocalFile(file));
    ASSERT_TRUE(loaded.wait(15000));
    // The load has finished with its pictures: the one here was found.
    QVariant seen;
    browser.runJavaScript("document.images[0].naturalWidth + ' ' + document.links[0].href",
                          [&](const QVariant& v) { seen = v; });
    ASSERT_TRUE(WaitUntil([&] { return seen.isValid(); }));
    EXPECT_EQ(seen.toString(), "1 " + QUrl::fromLocalFile(file).toString() + "#toc");

    // Saved into another folder: the pictures of the old one are gone from
    // the preview, the new one's are there.
    QDir(dir.path()).mkpath("moved");
    dialogs->Queue(std::optional<QString>(Path("moved/f.htm")));
    ASSERT_TRUE(docs.files->SaveDocumentAs());
    dialogs->Queue(Answer::No);
    window->commands().Run(CommandId::PreviewInBrowser);
    const QString previewFolder = QFileInfo(file).absolutePath();
    EXPECT_FALSE(QFileInfo::exists(previewFolder + "/pics"));
    EXPECT_TRUE(QFileInfo(previewFolder + "/f.htm").isSymLink());
    EXPECT_EQ(ReadBytes(Path("moved/f.htm")), QByteArray(doc.c_str()));

    // The folder goes with its owner.
    QString gone;
    {
        PrivateTempFolder folder;
        gone = folder.FilePath("Preview.htm");
        WriteFile(QFileInfo(gone).absolutePath(), "Preview.htm", "x");
        EXPECT_TRUE(QFileInfo::exists(gone));
        EXPECT_TRUE(folder.FilePath("../escape").isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(gone).absolutePath()));
}

TEST_F(DocumentCommandsTest, PrintsTheCodeAndThePageToPdf) {
    window->commands().Run(CommandId::PrintDocument);
    EXPECT_EQ(Asked(), QStringList{"message:There is nothing here to print."});

    SetCode("<html><body><p>Quarterly revenue rose</p><!-- kept --></body></html>");
    const auto colourCount = window->document().Look.WindowColorCount;
    window->commands().Run(CommandId::PrintDocument);
    frmPrint* print = docs.sharing->printWindow();
    ASSERT_NE(print, nullptr);
    EXPECT_TRUE(print->isVisible());
    EXPECT_EQ(print->windowTitle(), "Tarlo Print");
    EXPECT_FALSE(print->Check1->isChecked());
    EXPECT_TRUE(print->Check2->isChecked());
    EXPECT_EQ(print->cmdPrint->text(), "&Print");
    // The view is back in its own (dark) mode; the work area is dark on white.
    EXPECT_EQ(window->document().Look.WindowColorCount % 2, colourCount % 2);
    EXPECT_EQ(window->document().Look.ForegroundColor, kWhite);
    EXPECT_EQ(window->txtCode->ColourAt(0), kWhite);
    EXPECT_EQ(docs.sharing->PrintTemp->TextUtf8(), Code());
    EXPECT_EQ(docs.sharing->PrintTemp->ColourAt(0), kBlack);

    // The window works from the keyboard.
    EXPECT_FALSE(print->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    print->activateWindow();
    print->Check1->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return print->Check1->hasFocus(); }));
    QTest::keyClick(print->Check1, Qt::Key_Space);
    EXPECT_TRUE(print->Check1->isChecked());

    // Both boxes: the page's dialog, then the code's.
    print->Check1->setChecked(true);
    dialogs->ClearAsked();
    dialogs->Queue(std::optional<QString>(Path("page.pdf")));
    dialogs->Queue(std::optional<QString>(Path("code.pdf")));
    QPointer<frmPrint> guard(print);
    QTest::mouseClick(print->cmdPrint, Qt::LeftButton);
    EXPECT_EQ(Asked(), (QStringList{"printer:", "printer:"}));
    EXPECT_TRUE(WaitUntil([&] { return guard.isNull(); }));
    EXPECT_TRUE(PdfText(Path("code.pdf")).contains("<p>Quarterly revenue rose</p>"));
    EXPECT_TRUE(PdfText(Path("page.pdf")).contains("Quarterly revenue rose"));
    EXPECT_FALSE(PdfText(Path("page.pdf")).contains("<p>"));

    // A cancelled printer dialog prints nothing and ends the command. What
    // is selected in the code can be printed on its own.
    window->txtCode->SetSel(6, 3);
    window->commands().Run(CommandId::PrintDocument);
    EXPECT_EQ(docs.sharing->PrintTemp->SelStart(), 6);
    EXPECT_EQ(docs.sharing->PrintTemp->SelLength(), 3);
    dialogs->ClearAsked();
    dialogs->Queue(std::optional<QString>());
    guard = docs.sharing->printWindow();
    docs.sharing->printWindow()->cmdPrint_Click();
    EXPECT_TRUE(WaitUntil([&] { return guard.isNull(); }));
    EXPECT_EQ(Asked(), QStringList{"printer:selection"});
}

TEST_F(DocumentCommandsTest, EmailGoesThroughTheDesktopMailCommand) {
    // Nothing to send, or no file yet.
    window->commands().Run(CommandId::EmailDocument);
    EXPECT_EQ(Asked(), QStringList{"message:The code window is empty. Please refresh."});
    SetCode("<html><head></head><body><p>send me</p></body></html>");
    dialogs->ClearAsked();
    window->commands().Run(CommandId::EmailDocument);
    EXPECT_EQ(Asked(),
              QStringList{"message:Please save your document before attempting to email it."});

    QDir(dir.path()).mkpath("sub");
    dialogs->Queue(std::optional<QString>(Path("sub/10-K.htm")));
    ASSERT_TRUE(docs.files->SaveDocumentAs());

    // A stand-in mail client that records what it is given.
    const QString log = Path("args.txt");
    const QString script = WriteFile(
        dir.path(), "mailer",
        QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n--\\n' \"$a\" >> '%1'; done\n")
            .arg(log)
            .toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    docs.sharing->SetMailCommand(script);
    dialogs->ClearAsked();
    QSignalSpy finished(docs.sharing, &SharingCommands::mailFinished);
    window->commands().Run(CommandId::EmailDocument);
    ASSERT_TRUE(finished.wait(10000) || finished.count() == 1);
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    EXPECT_TRUE(dialogs->asked().empty()) << Asked().join("|").toStdString();
    const QString args = QString::fromUtf8(ReadBytes(log));
    const QString attachment = docs.sharing->PrivateFolder() + "/10-K.htm";
    EXPECT_TRUE(args.contains("--attach\n--\n" + attachment + "\n--\n")) << args.toStdString();
    EXPECT_TRUE(args.contains("Emailed from Tarlo at")) << args.toStdString();
    // The mail client reads the attachment later: it is still there.
    EXPECT_EQ(ReadBytes(attachment), ReadBytes(Path("sub/10-K.htm")));

    // A missing or failing mail client is reported.
    for (const QString& program : {Path("no-such-mailer"), QString("/bin/false")}) {
        dialogs->ClearAsked();
        docs.sharing->SetMailCommand(program);
        QSignalSpy failed(docs.sharing, &SharingCommands::mailFinished);
        window->commands().Run(CommandId::EmailDocument);
        ASSERT_TRUE(failed.count() == 1 || failed.wait(10000));
        EXPECT_FALSE(failed.at(0).at(0).toBool());
        EXPECT_EQ(Asked(), QStringList{"message:No email client can be found."});
    }
}

TEST_F(DocumentCommandsTest, ClipboardAndSelectAllFollowTheFocusedView) {
    SetCode("<p>alpha beta</p>");
    // The print window of an earlier case may have had the activation last.
    window->activateWindow();
    window->txtCode->setFocus();
    ASSERT_TRUE(WaitUntil([] { return window->txtCode->hasFocus(); }));
    QApplication::clipboard()->setText("earlier");
    window->txtCode->SetSel(0, 0);
    window->commands().Run(CommandId::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), "earlier");  // nothing selected: kept

    window->txtCode->SetSel(3, 5);
    window->commands().Run(CommandId::Cut);
    EXPECT_EQ(QApplication::clipboard()->text(), "alpha");
    EXPECT_EQ(Code(), "<p> beta</p>");
    EXPECT_TRUE(WaitUntil([] { return !Page().contains("alpha"); }));
    window->txtCode->SetSel(Code().size(), 0);
    window->commands().Run(CommandId::Paste);
    EXPECT_EQ(Code(), "<p> beta</p>alpha");

    window->menuAction("mnuAll")->trigger();
    EXPECT_EQ(window->txtCode->SelLength(), window->txtCode->Length());

    // In the visual view, Select All selects the page.
    window->Web->setFocus();
    ASSERT_TRUE(WaitUntil([] { return window->Web->hasFocusWithin(); }));
    // The page itself learns of the focus a moment later.
    ASSERT_TRUE(WaitUntil(
        [] { return window->Web->RunScript("document.hasFocus()").value_or(false).toBool(); }));
    window->menuAction("mnuAll")->trigger();
    EXPECT_TRUE(WaitUntil([] {
        const QString s =
            window->Web->RunScript("getSelection().toString()").value_or("").toString();
        return s.contains("beta") && s.contains("alpha");
    }));
}

TEST_F(DocumentCommandsTest, DroppedFilesOpenAsDocuments) {
    SetCode("");
    const QString file = WriteFile(dir.path(), "dropped.htm", "<p>dropped in</p>");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    // As the window system delivers a drag: enter, move, drop.
    QWidget* target = window->txtCode->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDragMoveEvent move(QPoint(12, 12), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(12, 12), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_EQ(Code(), "<p>dropped in</p>");
    EXPECT_EQ(window->document().DocumentPath, file.toStdString());

    // On the page side the drag reaches the engine's own widget first, as
    // from the window system; the editable page must not swallow it.
    const QString onPage = WriteFile(dir.path(), "onpage.htm", "<p>dropped on the page</p>");
    data.setUrls({QUrl::fromLocalFile(onPage)});
    QWidget* page = window->Web->focusProxy() ? window->Web->focusProxy() : window->Web;
    QDragEnterEvent enter2(QPoint(30, 30), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page, &enter2);
    EXPECT_TRUE(enter2.isAccepted());
    QDragMoveEvent move2(QPoint(32, 32), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page, &move2);
    EXPECT_EQ(move2.dropAction(), Qt::CopyAction);
    QDropEvent drop2(QPointF(32, 32), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page, &drop2);
    EXPECT_TRUE(WaitUntil([] { return Code() == "<p>dropped on the page</p>"; }));
    EXPECT_EQ(window->document().DocumentPath, onPage.toStdString());
    EXPECT_FALSE(Page().contains("onpage.htm"));

    // A file the engine is asked to show in the visual view (a drop asks
    // for exactly this navigation) is refused there and opened as a document.
    const QString other = WriteFile(dir.path(), "other.htm", "<p>from the page side</p>");
    window->Web->page()->load(QUrl::fromLocalFile(other));
    EXPECT_TRUE(WaitUntil([] { return Code() == "<p>from the page side</p>"; }));
    EXPECT_EQ(window->windowTitle(), other);
}

}  // namespace
}  // namespace tarlo
