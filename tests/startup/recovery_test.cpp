// Recovery copies in a real main window: the store's folder, names, files
// and locks; the copy that follows the unsaved changes and goes with a
// clean save, New or a clean end; and the question at start with
// "Restore", "Discard" and "Later".
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "codeview/code_view.h"
#include "editor/document_commands.h"
#include "editor/file_commands.h"
#include "editor/main_window.h"
#include "pageview/visual_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "shell/document_files.h"
#include "startup/recovery_keeper.h"
#include "startup/recovery_store.h"
#include "startup/startup_commands.h"
#include "support/gui_test_support.h"
#include "text/page_patch.h"

namespace tarlo {
namespace {

constexpr QFile::Permissions kOwnerAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr QFile::Permissions kOthers = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                       QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::optional<RecoveryCopy> CopyIn(const QString& path) {
    return RecoveryStore::Read(path);
}

// A copy as a run that ended without cleaning up leaves it: no lock.
QString LeaveCopy(const QString& folder, const QString& run, const RecoveryCopy& copy) {
    const std::string bytes = EncodeRecoveryCopy(copy);
    return test::WriteFile(folder, run + ".copy",
                           QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class RecoveryTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dialogs = new ScriptedDialogs;
        window = test::StartTestWindow(
            dialogs, [] {}, [](frmMain& w) { docs = InstallDocumentCommands(w, &w); });
    }
    static void TearDownTestSuite() {
        delete window;
        delete dialogs;
    }
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = dir.filePath("state/Tarlo/recovery");
        // Every test starts from an empty document with nothing to ask.
        dialogs->Queue(Answer::No);
        window->commands().Run(CommandId::NewDocument);
        while (dialogs->pending() > 0) dialogs->Message(nullptr, "", "", Buttons::Ok, Icon::None);
        dialogs->ClearAsked();
        window->document().AutoFormat = false;
        window->document().AutoColorize = false;
    }
    void TearDown() override { keeper.reset(); }

    // A keeper of this window's document in the test's folder, for a run
    // of the given name.
    RecoveryKeeper& Keep(RecoveryTiming timing, const QString& run = "111-1") {
        keeper = std::make_unique<RecoveryKeeper>(
            *window, std::make_unique<RecoveryStore>(folder, run), timing, nullptr);
        return *keeper;
    }
    static void Type(const char* text) {
        window->txtCode->setFocus();
        QTest::keyClicks(window->txtCode, QString::fromUtf8(text));
    }
    // Keys typed into the page, as a person does: a click into its text,
    // then the keys, to the engine's own widget.
    static void TypeInPage(const QString& text) {
        window->activateWindow();
        QWidget* page = window->Web->focusProxy() ? window->Web->focusProxy() : window->Web;
        QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(20, 20));
        ASSERT_TRUE(test::WaitUntil([] { return window->Web->hasFocusWithin(); }));
        QTest::keyClicks(page, text);
    }
    // The copy's text holds this, within the time a user may lose at most.
    bool CopyHoldsSoon(RecoveryKeeper& k, const char* words) {
        return test::WaitUntil(
            [&] {
                const auto c = CopyIn(k.store().CopyPath());
                return c && c->text.find(words) != std::string::npos;
            },
            5000);
    }
    // The timer's copy, the page's answer included.
    static void KeepNow(RecoveryKeeper& k) {
        k.KeepNow();
        ASSERT_TRUE(test::WaitUntil([&] { return !k.AskingPage(); }));
    }
    QString Path(const QString& name) const { return dir.filePath(name); }

    static inline frmMain* window = nullptr;
    static inline ScriptedDialogs* dialogs = nullptr;
    static inline DocumentCommands docs;
    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<RecoveryKeeper> keeper;
};

TEST_F(RecoveryTest, TheStoreKeepsAPrivateFolderAndWholeFilesNamedByItsRun) {
    RecoveryStore store(folder, "4711-99");
    ASSERT_TRUE(store.Open());
    // Made private, and so is Tarlo's own folder above it.
    EXPECT_EQ(QFileInfo(folder).permissions() & (kOwnerAll | kOthers), kOwnerAll);
    EXPECT_EQ(QFileInfo(dir.filePath("state/Tarlo")).permissions() & kOthers, QFile::Permissions());
    EXPECT_EQ(store.CopyPath(), folder + "/4711-99.copy");
    EXPECT_EQ(store.LockPath(), folder + "/4711-99.lock");
    EXPECT_TRUE(QFileInfo::exists(store.LockPath()));
    EXPECT_FALSE(store.HasCopy());

    ASSERT_FALSE(store.Write({"/tmp/a.html", std::string(100000, 'x')}));
    ASSERT_FALSE(store.Write({"/tmp/b.html", "short"}));
    // The second write replaced the first whole, left no temporary file
    // and is for the user's eyes only.
    const auto copy = CopyIn(store.CopyPath());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->path, "/tmp/b.html");
    EXPECT_EQ(copy->text, "short");
    EXPECT_EQ(FilesIn(folder), QStringList({"4711-99.copy", "4711-99.lock"}));
    EXPECT_EQ(QFileInfo(store.CopyPath()).permissions() & kOthers, QFile::Permissions());

    // A copy made off the GUI thread is written beside the copy and takes
    // its place only when it is put there; one dropped leaves the copy be.
    const std::string next = EncodeRecoveryCopy({"/tmp/c.html", "next"});
    ASSERT_FALSE(RecoveryStore::WriteWhole(store.NextCopyPath(), next));
    EXPECT_EQ(CopyIn(store.CopyPath())->text, "short");
    EXPECT_EQ(QFileInfo(store.NextCopyPath()).permissions() & kOthers, QFile::Permissions());
    ASSERT_FALSE(store.PromoteNextCopy());
    EXPECT_EQ(CopyIn(store.CopyPath())->text, "next");
    ASSERT_FALSE(RecoveryStore::WriteWhole(store.NextCopyPath(), "dropped"));
    store.DropNextCopy();
    EXPECT_EQ(CopyIn(store.CopyPath())->text, "next");
    EXPECT_EQ(FilesIn(folder), QStringList({"4711-99.copy", "4711-99.lock"}));
    EXPECT_TRUE(store.PromoteNextCopy().has_value());

    // A clean end takes the copy and then the lock.
    store.Close();
    EXPECT_EQ(FilesIn(folder), QStringList());
    EXPECT_TRUE(store.Write({"", "x"}).has_value());

    // A folder left open to others is made private again.
    const QString wide = dir.filePath("wide/Tarlo/recovery");
    ASSERT_TRUE(QDir().mkpath(wide));
    QFile::setPermissions(
        wide, kOwnerAll | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    RecoveryStore opened(wide, "1-2");
    ASSERT_TRUE(opened.Open());
    EXPECT_EQ(QFileInfo(wide).permissions() & kOthers, QFile::Permissions());

    // A link in the copies' place is never written through.
    ASSERT_TRUE(QDir().mkpath(dir.filePath("elsewhere")));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("linked/Tarlo")));
    ASSERT_TRUE(QFile::link(dir.filePath("elsewhere"), dir.filePath("linked/Tarlo/recovery")));
    RecoveryStore linked(dir.filePath("linked/Tarlo/recovery"), "1-3");
    EXPECT_FALSE(linked.Open());
    EXPECT_TRUE(linked.Write({"", "x"}).has_value());
    EXPECT_EQ(FilesIn(dir.filePath("elsewhere")), QStringList());

    // The program's own run: its process id and a start token, the same
    // for the whole run.
    const QString run = RecoveryStore::ThisRun();
    EXPECT_TRUE(run.startsWith(QString::number(QCoreApplication::applicationPid()) + "-"))
        << run.toStdString();
    EXPECT_EQ(RecoveryStore::ThisRun(), run);
    EXPECT_TRUE(RecoveryRunOfCopy((run + ".copy").toStdString()));
}

TEST_F(RecoveryTest, TwoRunsNeverTakeOrDeleteEachOthersCopies) {
    RecoveryStore a(folder, "100-1");
    RecoveryStore b(folder, "200-2");
    ASSERT_TRUE(a.Open());
    ASSERT_TRUE(b.Open());
    ASSERT_FALSE(a.Write({"/tmp/a.html", "a's work"}));
    ASSERT_FALSE(b.Write({"/tmp/b.html", "b's work"}));
    // Both runs hold their locks: neither copy is left over.
    EXPECT_TRUE(a.ClaimLeftOvers().empty());
    EXPECT_TRUE(b.ClaimLeftOvers().empty());
    b.RemoveCopy();
    EXPECT_EQ(CopyIn(a.CopyPath())->text, "a's work");

    // A copy whose run is gone without its lock: claimed by one store only.
    const QString left = LeaveCopy(folder, "300-3", {"/tmp/c.html", "c's work"});
    const auto claimed = b.ClaimLeftOvers();
    ASSERT_EQ(claimed.size(), 1u);
    EXPECT_EQ(claimed[0].run, "300-3");
    EXPECT_EQ(claimed[0].copyPath, left);
    EXPECT_TRUE(QFileInfo::exists(folder + "/300-3.lock"));
    EXPECT_TRUE(a.ClaimLeftOvers().empty());
    // Claimed again by the same store, it is still one.
    EXPECT_EQ(b.ClaimLeftOvers().size(), 1u);

    // Let go, it waits for the next start, copy kept and lock gone.
    b.Release(claimed[0]);
    EXPECT_TRUE(QFileInfo::exists(left));
    EXPECT_FALSE(QFileInfo::exists(folder + "/300-3.lock"));
    const auto again = a.ClaimLeftOvers();
    ASSERT_EQ(again.size(), 1u);
    EXPECT_TRUE(b.ClaimLeftOvers().empty());
    // Discarding a copy another store holds does nothing.
    b.Discard(again[0]);
    EXPECT_TRUE(QFileInfo::exists(left));
    a.Discard(again[0]);
    EXPECT_FALSE(QFileInfo::exists(left));
    EXPECT_FALSE(QFileInfo::exists(folder + "/300-3.lock"));

    // Closing one run never touches the other's copy.
    b.Close();
    EXPECT_EQ(FilesIn(folder), QStringList({"100-1.copy", "100-1.lock"}));
}

TEST_F(RecoveryTest, TheCopyFollowsUnsavedChangesAndGoesWithSaveNewAndACleanEnd) {
    const QString file =
        test::WriteFile(dir.path(), "filing.html", "<html><body>one</body></html>");
    ASSERT_TRUE(docs.files->OpenDocumentFile(file));
    RecoveryKeeper& k = Keep({50, 600000});
    RecoveryStore& store = k.store();
    ASSERT_TRUE(store.IsOpen());
    EXPECT_FALSE(k.timRecovery->isActive());

    // The first change waits for the quiet time only.
    Type("A");
    EXPECT_TRUE(k.timRecovery->isActive());
    EXPECT_EQ(k.timRecovery->interval(), 50);
    ASSERT_TRUE(test::WaitUntil([&] { return store.HasCopy(); }));
    auto copy = CopyIn(store.CopyPath());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->path, file.toStdString());
    EXPECT_EQ(copy->text, window->document().Text());
    EXPECT_NE(copy->text.find('A'), std::string::npos);

    // Changes soon after a copy wait for the interval since it.
    Type("B");
    EXPECT_GT(k.timRecovery->interval(), 50);
    EXPECT_LE(k.timRecovery->interval(), 600000);
    EXPECT_EQ(CopyIn(store.CopyPath())->text, copy->text);
    KeepNow(k);
    EXPECT_EQ(CopyIn(store.CopyPath())->text, window->document().Text());

    // A clean save: the copy goes at once, nothing is due.
    ASSERT_TRUE(docs.files->SaveDocument());
    EXPECT_FALSE(store.HasCopy());
    EXPECT_FALSE(k.timRecovery->isActive());
    const std::string saved = window->document().Text();

    // Back to what was saved: nothing to keep.
    Type("C");
    KeepNow(k);
    EXPECT_TRUE(store.HasCopy());
    window->txtCode->SetTextUtf8(saved);
    KeepNow(k);
    EXPECT_FALSE(store.HasCopy());

    // New, its question answered No: the copy goes.
    Type("D");
    KeepNow(k);
    dialogs->Queue(Answer::No);
    window->commands().Run(CommandId::NewDocument);
    EXPECT_FALSE(store.HasCopy());

    // A new document's copy has no path; its first change waits for the
    // quiet time only, not for an interval since the last document's copy.
    // A clean end takes copy and lock.
    Type("<p>new</p>");
    EXPECT_EQ(k.timRecovery->interval(), 50);
    KeepNow(k);
    EXPECT_EQ(CopyIn(store.CopyPath())->path, "");
    EXPECT_EQ(CopyIn(store.CopyPath())->text, "<p>new</p>");
    keeper.reset();
    EXPECT_EQ(FilesIn(folder), QStringList());
}

TEST_F(RecoveryTest, KeysTypedInThePageAreKeptWithinSecondsForNamedAndUntitledDocuments) {
    const QString file =
        test::WriteFile(dir.path(), "page.html", "<html><body><p id=\"p\">one</p></body></html>");
    ASSERT_TRUE(docs.files->OpenDocumentFile(file));
    ASSERT_TRUE(window->Web->WaitForPushes());
    // The editor's own timing, as a user has it.
    RecoveryKeeper& k = Keep(RecoveryTiming{});
    RecoveryStore& store = k.store();
    const std::string code = window->document().Text();

    // The page takes the focus: it is watched from now on.
    TypeInPage("Zq9");
    EXPECT_TRUE(k.timPageWatch->isActive());
    ASSERT_TRUE(CopyHoldsSoon(k, "Zq9"));
    EXPECT_EQ(CopyIn(store.CopyPath())->path, file.toStdString());
    // The code view is not touched: the user refreshes when they choose.
    EXPECT_EQ(window->document().Text(), code);
    // A later edit follows once it stands still, soon after the first copy.
    QTest::keyClicks(window->Web->focusProxy(), "Xw7");
    ASSERT_TRUE(CopyHoldsSoon(k, "Xw7"));

    // Saved (the save refreshes first): nothing is left to keep.
    ASSERT_TRUE(docs.files->SaveDocument());
    EXPECT_FALSE(store.HasCopy());
    // The watch ends once the page has neither the focus nor unkept edits.
    window->txtCode->setFocus();
    EXPECT_TRUE(test::WaitUntil([&] { return !k.timPageWatch->isActive(); }, 5000));

    // A new document, typed into its empty page, is kept without a path.
    dialogs->Queue(Answer::No);
    window->commands().Run(CommandId::NewDocument);
    ASSERT_TRUE(window->Web->WaitForPushes());
    TypeInPage("Untitled work");
    ASSERT_TRUE(CopyHoldsSoon(k, "Untitled work"));
    EXPECT_EQ(CopyIn(store.CopyPath())->path, "");
    EXPECT_EQ(window->document().Text(), "");
    // Each copy of the page took its place whole.
    ASSERT_TRUE(test::WaitUntil([&] { return !k.AskingPage(); }));
    EXPECT_EQ(FilesIn(folder), QStringList({"111-1.copy", "111-1.lock"}));
}

TEST_F(RecoveryTest, ThePageIsReadWithoutWaitingAndAnAnswerAboutOlderCodeIsDropped) {
    const QString file =
        test::WriteFile(dir.path(), "read.html", "<html><body><p id=\"p\">one</p></body></html>");
    ASSERT_TRUE(docs.files->OpenDocumentFile(file));
    ASSERT_TRUE(window->Web->WaitForPushes());
    VisualView& web = *window->Web;
    ASSERT_TRUE(web.RunScript("document.getElementById('p').append(' two'); true"));
    using Answer = std::optional<std::optional<VisualView::PageLook>>;
    auto ask = [&web](int htmlAtEdits, bool whole = true) {
        auto answer = std::make_shared<Answer>();
        web.LookAtPageLater(htmlAtEdits, whole, [answer](const auto& look) { *answer = look; });
        return answer;
    };

    // The call returns before the page answers.
    auto counted = ask(VisualView::kNoHtml);
    EXPECT_FALSE(counted->has_value());
    ASSERT_TRUE(test::WaitUntil([&] { return counted->has_value(); }));
    ASSERT_TRUE(**counted);
    const int edits = (**counted)->edits;
    EXPECT_GT(edits, 0);
    EXPECT_FALSE((**counted)->html);

    // The HTML comes only while the edits are the count asked about.
    auto read = ask(edits);
    auto moved = ask(edits + 1);
    ASSERT_TRUE(test::WaitUntil([&] { return read->has_value() && moved->has_value(); }));
    ASSERT_TRUE(**read && (**read)->html);
    EXPECT_TRUE((**read)->html->contains("one two"));
    EXPECT_EQ(window->sync().CodeOfPageHtml((**read)->html->toStdString()),
              "<html><head></head><body><p id=\"p\">one two</p></body></html>");
    ASSERT_TRUE(**moved);
    EXPECT_FALSE((**moved)->html);

    // Unless the whole is asked for, the changed elements come instead, and
    // laid over the code they keep what the page did not change (no head).
    auto elements = ask(edits, false);
    ASSERT_TRUE(test::WaitUntil([&] { return elements->has_value(); }));
    ASSERT_TRUE(**elements && (**elements)->elements);
    EXPECT_FALSE((**elements)->html);
    const std::string code = window->document().Text();
    const auto patch = PatchCodeFromPage(code, false, LineBreak::CrLf, *(**elements)->elements);
    ASSERT_TRUE(patch);
    std::string kept = code;
    const CodeReplacement change = AsOneReplacement(code, *patch);
    kept.replace(static_cast<std::size_t>(change.range.start),
                 static_cast<std::size_t>(change.range.length), change.text);
    EXPECT_EQ(kept, "<html><body><p id=\"p\">one two</p></body></html>");

    // New code reaches the page before the answer: the answer is dropped.
    auto stale = ask(edits);
    window->txtCode->SetTextUtf8("<p>other</p>");
    ASSERT_TRUE(web.WaitForPushes());
    ASSERT_TRUE(test::WaitUntil([&] { return stale->has_value(); }));
    EXPECT_FALSE(**stale);
}

TEST_F(RecoveryTest, RestoreOpensTheChangesAsUnsavedChangesOfTheirFile) {
    // A file of LF line breaks: the restored document writes them, as after
    // Open.
    const QString file = test::WriteFile(dir.path(), "10-K.htm", "<html>old</html>\n");
    // Bytes a filing may hold: CR LF, non-ASCII text, a long line.
    const std::string text =
        "<html>\r\n<body>caf\xc3\xa9 \xe2\x82\xac " + std::string(9000, 'w') + "</body>\r\n</html>";
    QDir().mkpath(folder);
    const QString left = LeaveCopy(folder, "300-3", {file.toStdString(), text});
    RecoveryKeeper& k = Keep({60000, 600000}, "400-4");

    dialogs->Queue(std::optional<QString>("Restore"));
    k.OfferLeftOvers();
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(dialogs->asked()[0].kind, "choice");
    EXPECT_EQ(dialogs->asked()[0].title, "Tarlo|Restore|Discard|Later");
    EXPECT_TRUE(dialogs->asked()[0].text.contains(QDir::toNativeSeparators(file)))
        << dialogs->asked()[0].text.toStdString();

    EXPECT_EQ(window->document().Text(), text);
    EXPECT_EQ(window->document().DocumentPath, file.toStdString());
    EXPECT_EQ(window->windowTitle(), QDir::toNativeSeparators(file));
    EXPECT_TRUE(docs.files->HasUnsavedChanges());
    // The old copy has gone only because this run holds its own.
    EXPECT_FALSE(QFileInfo::exists(left));
    EXPECT_FALSE(QFileInfo::exists(folder + "/300-3.lock"));
    ASSERT_TRUE(k.store().HasCopy());
    EXPECT_EQ(CopyIn(k.store().CopyPath())->text, text);
    EXPECT_EQ(ReadBytes(file), QByteArray("<html>old</html>\n"));
    EXPECT_EQ(window->document().Form().lineBreak, LineBreak::Lf);

    // Save writes them to their file, and the copy has served.
    ASSERT_TRUE(docs.files->SaveDocument());
    const std::string bytes = DocumentFileBytes(text, {FileEncoding::Either, LineBreak::Lf, "\n"});
    EXPECT_EQ(ReadBytes(file), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    EXPECT_FALSE(k.store().HasCopy());
    EXPECT_FALSE(docs.files->HasUnsavedChanges());

    // A new document's copy is offered as "Untitled" and comes back as a
    // new document's unsaved changes: no path, Save asks for a name.
    const std::string untitled = "<p>pasted from Word\r\n</p>";
    LeaveCopy(folder, "500-5", {"", untitled});
    dialogs->ClearAsked();
    dialogs->Queue(std::optional<QString>("Restore"));
    k.OfferLeftOvers();
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_TRUE(dialogs->asked()[0].text.contains("\"Untitled\""))
        << dialogs->asked()[0].text.toStdString();
    EXPECT_EQ(window->document().Text(), untitled);
    EXPECT_EQ(window->document().DocumentPath, "");
    EXPECT_EQ(window->windowTitle().toStdString(), kNewCaption);
    EXPECT_TRUE(docs.files->HasUnsavedChanges());
    EXPECT_EQ(window->document().Form(), FileForm{});
    EXPECT_EQ(CopyIn(k.store().CopyPath())->path, "");
    EXPECT_EQ(CopyIn(k.store().CopyPath())->text, untitled);
    dialogs->ClearAsked();
    dialogs->Queue(std::optional<QString>());
    EXPECT_FALSE(docs.files->SaveDocument());
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(dialogs->asked()[0].kind, "save");
    EXPECT_TRUE(k.store().HasCopy());
}

TEST_F(RecoveryTest, LocksOfDeadRunsGoAtStartAndLivingEditorsLocksStay) {
    QDir().mkpath(folder);
    // A living editor's lock, with and without a copy.
    RecoveryStore living(folder, "7-7");
    ASSERT_TRUE(living.Open());
    RecoveryStore busy(folder, "8-8");
    ASSERT_TRUE(busy.Open());
    ASSERT_FALSE(busy.Write({"", "busy"}));
    // A lock as a run leaves it when it is killed: this machine, a process
    // that has ended. Another machine's lock cannot be judged from here.
    QProcess ended;
    ended.start("true", {});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 gone = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    QByteArray lines = ReadBytes(living.LockPath());
    const QByteArray dead = QByteArray::number(gone) + lines.mid(lines.indexOf('\n'));
    test::WriteFile(folder, "9-9.lock", dead);
    test::WriteFile(folder, "9-9.next", "a copy cut short by the kill");
    QList<QByteArray> fields = lines.split('\n');
    // Its name and its machine's id (Qt compares both) are another's.
    fields[2] = "another-machine.example";
    fields[3] = "0123456789abcdef0123456789abcdef";
    test::WriteFile(folder, "10-10.lock",
                    QByteArray::number(gone) + "\n" + fields.mid(1).join('\n'));
    // A dead run with a copy: asked about, kept for later, its lock let go.
    test::WriteFile(folder, "11-11.lock", dead);
    LeaveCopy(folder, "11-11", {"/tmp/later.html", "later"});

    RecoveryKeeper& k = Keep({60000, 600000}, "12-12");
    dialogs->Queue(std::optional<QString>("Later"));
    k.OfferLeftOvers();
    EXPECT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(FilesIn(folder), QStringList({"10-10.lock", "11-11.copy", "12-12.lock", "7-7.lock",
                                            "8-8.copy", "8-8.lock"}));
    EXPECT_EQ(k.store().SweepDeadLocks(), 0);
}

TEST_F(RecoveryTest, DiscardDeletesLaterKeepsAndOnlyLeftOversAreAsked) {
    QDir().mkpath(folder);
    const QString later = LeaveCopy(folder, "1-1", {"/tmp/later.html", "later"});
    const QString gone = LeaveCopy(folder, "2-2", {"", "gone"});
    // Cut short: not the user's work in any form that can be opened.
    const QString broken = test::WriteFile(folder, "3-3.copy", "Tarlo recovery copy 1\npath 4\n");
    // The newest first.
    const QDateTime now = QDateTime::currentDateTime();
    for (const auto& [path, age] : {std::pair{later, 10}, {gone, 20}, {broken, 5}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(now.addSecs(-age), QFileDevice::FileModificationTime));
    }
    // A running editor's copy is not asked about.
    RecoveryStore running(folder, "5-5");
    ASSERT_TRUE(running.Open());
    ASSERT_FALSE(running.Write({"/tmp/running.html", "running"}));

    RecoveryKeeper& k = Keep({60000, 600000}, "6-6");
    dialogs->Queue(std::optional<QString>("Later"));
    dialogs->Queue(std::optional<QString>("Discard"));
    k.OfferLeftOvers();
    ASSERT_EQ(dialogs->asked().size(), 2u);
    EXPECT_TRUE(dialogs->asked()[0].text.contains("later.html"));
    EXPECT_TRUE(dialogs->asked()[1].text.contains("Untitled"));
    EXPECT_EQ(window->document().Text(), "");

    EXPECT_TRUE(QFileInfo::exists(later));
    EXPECT_FALSE(QFileInfo::exists(folder + "/1-1.lock"));
    EXPECT_FALSE(QFileInfo::exists(gone));
    EXPECT_TRUE(QFileInfo::exists(broken));
    EXPECT_EQ(CopyIn(running.CopyPath())->text, "running");

    // Closing the question keeps the copy as Later does; the next start
    // asks again.
    dialogs->ClearAsked();
    k.OfferLeftOvers();
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_TRUE(QFileInfo::exists(later));
}

TEST_F(RecoveryTest, TheEditorKeepsCopiesInItsStateFolderAtTheTimingAsked) {
    qputenv("XDG_STATE_HOME", dir.filePath("xdg-state").toUtf8());
    qputenv("TARLO_RECOVERY_TIMING", "150,900");
    EXPECT_EQ(RecoveryStore::DefaultFolder(), dir.filePath("xdg-state/Tarlo/recovery"));
    QObject owner;
    const StartupTools tools = InstallStartupTools(*window, &owner);
    qunsetenv("TARLO_RECOVERY_TIMING");
    ASSERT_NE(tools.recovery, nullptr);
    EXPECT_EQ(tools.recovery->timing().quietMs, 150);
    EXPECT_EQ(tools.recovery->timing().intervalMs, 900);
    EXPECT_EQ(tools.recovery->store().Folder(), dir.filePath("xdg-state/Tarlo/recovery"));
    EXPECT_EQ(tools.recovery->store().Run(), RecoveryStore::ThisRun());
    EXPECT_TRUE(QFileInfo::exists(tools.recovery->store().LockPath()));

    // A relative XDG_STATE_HOME is not a base folder: the home's is used.
    qputenv("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(RecoveryStore::DefaultFolder(), QDir::homePath() + "/.local/state/Tarlo/recovery");
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(RecoveryStore::DefaultFolder(), QDir::homePath() + "/.local/state/Tarlo/recovery");
}

}  // namespace
}  // namespace tarlo
