// The "FTP" window in a real main window against a real FTP server on
// 127.0.0.1, driven through its controls with scripted dialogs: logging in
// and off, the remote and local lists, downloads that never replace or
// escape, uploads that ask, deleting, new folders, a busy component, broken
// and abandoned transfers, and certificates.
#include <gtest/gtest.h>

#include <QAccessible>

#include <sys/stat.h>
#include <QComboBox>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include "shell/command_table.h"
#include "editor/main_window.h"
#include "ftp/ftp_session.h"
#include "ftp/ftp_window.h"
#include "ftp/transfer_control.h"
#include "ftp_test_server.h"
#include "sshd_test_server.h"
#include "support/gui_test_support.h"
#include "support/window_suite.h"

namespace tarlo::ftp {
namespace {

using test::Exists;
using test::FolderNames;
using test::FtpTestServer;
using test::Leftovers;
using test::MakeTempFolder;
using test::ReadFile;
using test::WhenUploadIsUnderway;
using test::WriteFile;

std::string RandomBytes(size_t n) {
    std::string s(n, '\0');
    unsigned x = 2463534242u;
    for (auto& c : s) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x & 0xff);
    }
    return s;
}

QStringList Items(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

// Scripted answers, or, while `real` is set, the program's own Qt boxes,
// so that a test can see where the keyboard goes after a box closes.
class SwitchableDialogs : public ScriptedDialogs {
  public:
    bool real = false;
    Answer Message(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
                   Icon icon) override {
        return real ? qt_.Message(parent, text, title, buttons, icon)
                    : ScriptedDialogs::Message(parent, text, title, buttons, icon);
    }

  private:
    QtDialogs qt_;
};

// Closes every message box as soon as it is the active modal widget, with
// OK where it has one, and remembers its text and parent.
class BoxCloser {
  public:
    BoxCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            texts << box->text();
            parents << box->parentWidget();
            if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->reject();
        });
        timer_.start(20);
    }
    QStringList texts;
    QList<QWidget*> parents;

  private:
    QTimer timer_;
};

class FtpWindowTest : public tarlo::test::WindowSuite<FtpWindowTest> {
  public:
    static void Install(frmMain& w) { InstallFtpWindow(w, &w); }
    static void SetUpTestSuite() {
        switchable = new SwitchableDialogs;
        dialogs = switchable;
        window = tarlo::test::StartTestWindow(
            dialogs, [] {}, [](frmMain& w) { Install(w); });
    }
    static inline SwitchableDialogs* switchable = nullptr;

  protected:
    void SetUp() override { dialogs->ClearAsked(); }
    void TearDown() override {
        switchable->real = false;  // a real box with nobody to close it would wait forever
        if (frmFTP* f = Ftp()) {
            f->close();
            tarlo::test::WaitUntil([] { return Ftp() == nullptr; });
        }
        EXPECT_EQ(dialogs->pending(), 0u) << "a scripted answer was never asked for";
    }
    static frmFTP* Ftp() {
        auto* command = window->findChild<FtpCommand*>("FtpCommand");
        return command ? command->window() : nullptr;
    }
    static frmFTP* Open() {
        EXPECT_TRUE(window->commands().Run(CommandId::Upload));
        return Ftp();
    }
    // Opens the window on `local` and logs in to `server` as the test user.
    static frmFTP* LogIn(const FtpTestServer& server, const std::string& local,
                         const char* password = FtpTestServer::kPassword) {
        frmFTP* f = Open();
        f->SetLocalFolder(QString::fromStdString(local));
        f->txtServer->setText(QString("ftp://127.0.0.1:%1/").arg(server.Port()));
        f->txtUserName->setText(FtpTestServer::kUser);
        f->txtPassword->setText(password);
        f->cmdLogOn->click();
        f->ITC->WaitUntilReady();
        return f;
    }
    static bool Select(QListWidget* list, const QString& text) {
        const auto found = list->findItems(text, Qt::MatchExactly);
        if (found.isEmpty()) return false;
        list->setCurrentItem(found.first());
        return true;
    }
    static void DoubleClick(frmFTP* f, const QString& entry) {
        ASSERT_TRUE(Select(f->lstRemoteFile, entry)) << entry.toStdString();
        const QRect r = f->lstRemoteFile->visualItemRect(f->lstRemoteFile->currentItem());
        // A double click is a click and then a second press.
        QTest::mouseClick(f->lstRemoteFile->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(f->lstRemoteFile->viewport(), Qt::LeftButton, {}, r.center());
        f->ITC->WaitUntilReady();
    }
    static const ScriptedDialogs::Asked& Last() { return dialogs->asked().back(); }
};

TEST_F(FtpWindowTest, OpensOnceInFrontAndStartsWithoutAConnection) {
    frmFTP* f = Open();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Open(), f);  // a second press raises the same window
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(window->isEnabled());  // the main window is not blocked
    EXPECT_FALSE(f->isModal());
    EXPECT_EQ(f->windowTitle(), "FTP");
    EXPECT_TRUE(f->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(f->parentWidget(), window);
    EXPECT_EQ(f->pos(), window->frameGeometry().topLeft());

    EXPECT_EQ(f->fraLoginInfo->title(), "Login");
    EXPECT_EQ(f->fraLocalFiles->title(), "Local Files");
    EXPECT_EQ(f->fraRemoteFiles->title(), "Remote Files");
    EXPECT_EQ(f->lblServer->text(), "Server address:");
    EXPECT_EQ(f->txtServer->text(), "ftp://www.");
    EXPECT_EQ(f->txtServer->toolTip(), "FTP Server Name");
    EXPECT_EQ(f->lblPassword->text(), "Password (Case Sensitive):");
    EXPECT_EQ(f->txtPassword->echoMode(), QLineEdit::Password);
    EXPECT_EQ(f->cmdLogOn->text(), "Log In");
    EXPECT_EQ(f->cmdLogOn->toolTip(), "Log On");
    EXPECT_EQ(f->imgReceiveFile->toolTip(), "Download (Receive from server)");
    EXPECT_EQ(f->imgSendFile->toolTip(), "Upload (Send to server)");
    for (QToolButton* b : {f->imgReceiveFile, f->imgSendFile, f->cmdNewFolder, f->cmdUpFolder}) {
        EXPECT_FALSE(b->icon().pixmap(16, 16).isNull()) << b->objectName().toStdString();
        EXPECT_FALSE(b->accessibleName().isEmpty()) << b->objectName().toStdString();
    }

    EXPECT_EQ(f->lblStatus->text(), "Not Connected");
    // A screen reader reads the status, not the line's caption.
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(f->lblStatus);
    ASSERT_NE(spoken, nullptr);
    EXPECT_EQ(spoken->text(QAccessible::Name), "Not Connected");
    EXPECT_EQ(spoken->text(QAccessible::Description), "Connection Status");
    EXPECT_TRUE(f->cmdLogOn->isEnabled());
    EXPECT_FALSE(f->cmdLogOff->isEnabled());
    EXPECT_FALSE(f->fraRemoteFiles->isEnabled());
    EXPECT_FALSE(f->lstRemoteFile->isEnabled());
    EXPECT_FALSE(f->imgReceiveFile->isEnabled());
    EXPECT_FALSE(f->imgSendFile->isEnabled());

    // The drives: the top of the file system and the home folder, where the
    // folder tree and the file list start.
    EXPECT_EQ(f->drvLocalDrive->itemText(0), "/");
    EXPECT_GE(f->drvLocalDrive->findText(QDir::homePath()), 0);
    EXPECT_EQ(f->LocalFolder(), QDir::homePath());

    // A drive that cannot be read: the message, and the lists stay where they were.
    const std::string local = MakeTempFolder("ftpw-drive");
    WriteFile(local + "/one.htm", "1");
    f->drvLocalDrive->addItem(QString::fromStdString(local + "/gone"));
    f->drvLocalDrive->addItem(QString::fromStdString(local));
    const int before = f->drvLocalDrive->currentIndex();
    f->drvLocalDrive->setCurrentIndex(f->drvLocalDrive->count() - 2);
    f->drvLocalDrive_Change();
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(Last().text, "Error accessing selected drive.");
    EXPECT_EQ(Last().title, "Error");
    EXPECT_EQ(Last().icon, Icon::Critical);
    EXPECT_EQ(f->drvLocalDrive->currentIndex(), before);
    EXPECT_EQ(f->LocalFolder(), QDir::homePath());
    // A good one: the folder tree starts there and the file list shows its files.
    f->drvLocalDrive->setCurrentIndex(f->drvLocalDrive->count() - 1);
    f->drvLocalDrive_Change();
    EXPECT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(f->LocalFolder(), QString::fromStdString(local));
    EXPECT_EQ(Items(f->filLocalFile), QStringList{"one.htm"});
    // Choosing a folder in the tree shows its files.
    ASSERT_EQ(::mkdir((local + "/exhibits").c_str(), 0700), 0);
    WriteFile(local + "/exhibits/ex-21.htm", "21");
    WriteFile(local + "/exhibits/ex-23.htm", "23");
    auto* folders = qobject_cast<QFileSystemModel*>(f->dirLocalDir->model());
    ASSERT_NE(folders, nullptr);
    f->dirLocalDir->setCurrentIndex(folders->index(QString::fromStdString(local + "/exhibits")));
    EXPECT_EQ(f->LocalFolder(), QString::fromStdString(local + "/exhibits"));
    EXPECT_EQ(Items(f->filLocalFile), (QStringList{"ex-21.htm", "ex-23.htm"}));
}

TEST_F(FtpWindowTest, LogsInOnlyWithAllThreeFieldsAndTheRightPassword) {
    FtpTestServer server;
    ASSERT_TRUE(server.Running());
    WriteFile(server.Root() + "/annual report 2026.htm", "<p>report</p>");
    WriteFile(server.Root() + "/exhibit.htm", "x");
    ASSERT_EQ(::mkdir((server.Root() + "/old filings").c_str(), 0755), 0);
    const std::string local = MakeTempFolder("ftpw-login");

    frmFTP* f = Open();
    QSignalSpy states(f->ITC, &TransferControl::StateChanged);
    f->txtServer->setText(QString("ftp://127.0.0.1:%1/").arg(server.Port()));
    f->txtUserName->setText(FtpTestServer::kUser);
    f->cmdLogOn->click();  // no password
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(Last().text, "Please fill in all three fields.");
    EXPECT_EQ(Last().title, "Login attempt failed.");
    EXPECT_EQ(Last().icon, Icon::Information);
    EXPECT_TRUE(states.isEmpty());  // nothing sent
    EXPECT_EQ(f->lblStatus->text(), "Not Connected");

    f->txtPassword->setText("wrong");
    f->cmdLogOn->click();
    ASSERT_EQ(dialogs->asked().size(), 2u);
    EXPECT_EQ(Last().text,
              "Login attempt failed. Check the spelling of the server address, username and "
              "password.");
    EXPECT_EQ(Last().title, "Login attempt failed.");
    EXPECT_FALSE(states.isEmpty());
    EXPECT_EQ(f->lblStatus->text(), "Not Connected");
    EXPECT_TRUE(f->cmdLogOn->isEnabled());
    EXPECT_FALSE(f->cmdLogOff->isEnabled());
    EXPECT_FALSE(f->lstRemoteFile->isEnabled());

    f->txtPassword->setText(FtpTestServer::kPassword);
    f->cmdLogOn->click();
    f->ITC->WaitUntilReady();
    EXPECT_EQ(dialogs->asked().size(), 2u);
    EXPECT_EQ(f->lblStatus->text(), "Connected (not encrypted)");
    EXPECT_FALSE(f->cmdLogOn->isEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{
             f->cmdLogOff, f->fraRemoteFiles, f->lstRemoteFile, f->cmdNewFolder, f->cmdUpFolder,
             f->cmdDelete, f->imgReceiveFile, f->imgSendFile})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(Items(f->lstRemoteFile),
              (QStringList{"annual report 2026.htm", "exhibit.htm", "old filings/"}));

    f->cmdLogOff->click();
    EXPECT_EQ(f->lblStatus->text(), "Not Connected");
    EXPECT_TRUE(f->lstRemoteFile->count() == 0);
    EXPECT_FALSE(f->fraRemoteFiles->isEnabled());
    EXPECT_FALSE(f->cmdLogOff->isEnabled());
    EXPECT_TRUE(f->cmdLogOn->isEnabled());
    f->ITC->WaitUntilReady();
    EXPECT_EQ(f->lblStatus->text(), "Not Connected");  // the closing states end there too

    // An address the component cannot serve: the message says why.
    f->txtServer->setText(QString("scp://127.0.0.1:%1/").arg(server.Port()));
    f->cmdLogOn->click();
    ASSERT_EQ(dialogs->asked().size(), 3u);
    EXPECT_TRUE(Last().text.contains("scp://")) << Last().text.toStdString();
    EXPECT_EQ(f->lblStatus->text(), "Not Connected");
}

TEST_F(FtpWindowTest, SftpSaysEncryptedWalksFoldersSendsAndNamesARefusedHostKey) {
    tarlo::ftp::test::SshdTestServer server;
    if (!server.Running()) GTEST_SKIP() << "no SSH server: " << server.Problem();
    ASSERT_EQ(::mkdir((server.Root() + "/q1 filings").c_str(), 0755), 0);
    WriteFile(server.Root() + "/cover.htm", "remote cover");
    const std::string local = MakeTempFolder("ftpw-sftp");
    WriteFile(local + "/exhibit 99.htm", "exhibit");

    frmFTP* f = Open();
    f->SetLocalFolder(QString::fromStdString(local));
    const QString address = QString("sftp://127.0.0.1:%1/").arg(server.Port());
    f->txtServer->setText(address);
    f->txtUserName->setText(QString::fromStdString(server.User()));
    f->txtPassword->setText("the key is what counts");
    f->cmdLogOn->click();
    f->ITC->WaitUntilReady();
    ASSERT_TRUE(dialogs->asked().empty()) << Last().text.toStdString();
    EXPECT_EQ(f->lblStatus->text(), "Connected");
    EXPECT_EQ(Items(f->lstRemoteFile), (QStringList{"cover.htm", "q1 filings/"}));

    DoubleClick(f, "q1 filings/");
    EXPECT_EQ(f->ITC->CurrentFolder().toStdString(), server.Root() + "/q1 filings");
    ASSERT_TRUE(Select(f->filLocalFile, "exhibit 99.htm"));
    f->imgSendFile->click();
    f->ITC->WaitUntilReady();
    EXPECT_EQ(ReadFile(server.Root() + "/q1 filings/exhibit 99.htm"), "exhibit");
    EXPECT_EQ(Items(f->lstRemoteFile), QStringList{"exhibit 99.htm"});
    f->cmdUpFolder->click();
    f->ITC->WaitUntilReady();
    EXPECT_EQ(f->ITC->CurrentFolder().toStdString(), server.Root());
    EXPECT_TRUE(dialogs->asked().empty());
    f->cmdLogOff->click();
    f->ITC->WaitUntilReady();

    // A server whose key the user never accepted: the message says so.
    server.WriteKnownHosts("");
    f->cmdLogOn->click();
    f->ITC->WaitUntilReady();
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_TRUE(
        Last().text.contains(QString("host key for 127.0.0.1:%1 is not known").arg(server.Port())))
        << Last().text.toStdString();
    EXPECT_EQ(f->lblStatus->text(), "Not Connected");
}

TEST_F(FtpWindowTest, FoldersOpenAndFilesComeDownWithoutReplacingAnything) {
    FtpTestServer server;
    ASSERT_TRUE(server.Running());
    const std::string bytes = RandomBytes(700000);
    ASSERT_EQ(::mkdir((server.Root() + "/q1 filings").c_str(), 0755), 0);
    WriteFile(server.Root() + "/q1 filings/10-Q draft.htm", bytes);
    WriteFile(server.Root() + "/cover.htm", "remote cover");
    const std::string local = MakeTempFolder("ftpw-get");
    WriteFile(local + "/cover.htm", "my own cover");

    frmFTP* f = LogIn(server, local);
    ASSERT_EQ(Items(f->lstRemoteFile), (QStringList{"cover.htm", "q1 filings/"}));

    DoubleClick(f, "q1 filings/");
    EXPECT_EQ(f->ITC->CurrentFolder(), "/q1 filings");
    EXPECT_EQ(Items(f->lstRemoteFile), QStringList{"10-Q draft.htm"});
    EXPECT_TRUE(f->lblStatus->text().startsWith("Connected"));

    DoubleClick(f, "10-Q draft.htm");
    EXPECT_TRUE(ReadFile(local + "/10-Q draft.htm") == bytes);
    EXPECT_TRUE(Items(f->filLocalFile).contains("10-Q draft.htm"));
    EXPECT_EQ(FolderNames(local), (std::vector<std::string>{"10-Q draft.htm", "cover.htm"}));
    EXPECT_TRUE(dialogs->asked().empty());

    f->cmdUpFolder->click();
    f->ITC->WaitUntilReady();
    EXPECT_EQ(f->ITC->CurrentFolder(), "/");
    EXPECT_EQ(Items(f->lstRemoteFile), (QStringList{"cover.htm", "q1 filings/"}));

    // A local file of that name: refused, and the user's file untouched.
    ASSERT_TRUE(Select(f->lstRemoteFile, "cover.htm"));
    QSignalSpy states(f->ITC, &TransferControl::StateChanged);
    f->imgReceiveFile->click();
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(Last().text, "File cover.htm already exists.");
    EXPECT_EQ(Last().title, "Recieve");
    EXPECT_EQ(Last().icon, Icon::Information);
    EXPECT_EQ(ReadFile(local + "/cover.htm"), "my own cover");
    // ... also when the file appeared after the list was read.
    WriteFile(server.Root() + "/late.htm", "remote late");
    f->cmdUpFolder->click();  // lists the top folder again
    f->ITC->WaitUntilReady();
    WriteFile(local + "/late.htm", "mine");
    ASSERT_TRUE(Select(f->lstRemoteFile, "late.htm"));
    states.clear();
    f->imgReceiveFile->click();
    ASSERT_EQ(dialogs->asked().size(), 2u);
    EXPECT_EQ(Last().text, "File late.htm already exists.");
    EXPECT_EQ(ReadFile(local + "/late.htm"), "mine");
    EXPECT_TRUE(states.isEmpty());

    // A folder cannot be received.
    ASSERT_TRUE(Select(f->lstRemoteFile, "q1 filings/"));
    f->imgReceiveFile->click();
    ASSERT_EQ(dialogs->asked().size(), 3u);
    EXPECT_EQ(Last().text, "q1 filings/ is a folder and cannot be sent.");
    EXPECT_EQ(Last().title, "Error");
    EXPECT_EQ(Last().icon, Icon::Critical);
    EXPECT_EQ(FolderNames(local),
              (std::vector<std::string>{"10-Q draft.htm", "cover.htm", "late.htm"}));
}

TEST_F(FtpWindowTest, UploadsAskBeforeReplacingARemoteFile) {
    FtpTestServer server;
    ASSERT_TRUE(server.Running());
    WriteFile(server.Root() + "/index.htm", "old remote");
    const std::string local = MakeTempFolder("ftpw-put");
    WriteFile(local + "/index.htm", "new local");
    WriteFile(local + "/exhibit 99.htm", "exhibit");

    frmFTP* f = LogIn(server, local);
    f->filLocalFile->setCurrentItem(nullptr);
    f->imgSendFile->click();
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(Last().text, "Please select a file to send.");
    EXPECT_EQ(Last().title, "Error");
    EXPECT_EQ(Last().icon, Icon::Critical);

    ASSERT_TRUE(Select(f->filLocalFile, "index.htm"));
    dialogs->Queue(Answer::No);
    f->imgSendFile->click();
    f->ITC->WaitUntilReady();
    ASSERT_EQ(dialogs->asked().size(), 2u);
    EXPECT_EQ(Last().text, "File index.htm already exists.\r\nOverwrite?");
    EXPECT_EQ(Last().title, "Overwrite");
    EXPECT_EQ(Last().buttons, Buttons::YesNo);
    EXPECT_EQ(Last().icon, Icon::Question);
    EXPECT_EQ(ReadFile(server.Root() + "/index.htm"), "old remote");

    dialogs->Queue(Answer::Yes);
    f->imgSendFile->click();
    f->ITC->WaitUntilReady();
    EXPECT_EQ(dialogs->asked().size(), 3u);
    EXPECT_EQ(ReadFile(server.Root() + "/index.htm"), "new local");

    // A name the server does not have goes up without a question.
    ASSERT_TRUE(Select(f->filLocalFile, "exhibit 99.htm"));
    f->imgSendFile->click();
    f->ITC->WaitUntilReady();
    EXPECT_EQ(dialogs->asked().size(), 3u);
    EXPECT_EQ(ReadFile(server.Root() + "/exhibit 99.htm"), "exhibit");
    EXPECT_EQ(Items(f->lstRemoteFile), (QStringList{"exhibit 99.htm", "index.htm"}));

    // A name a command text cannot carry is said so, and nothing is sent.
    WriteFile(local + "/say \"hi\".htm", "q");
    f->RefreshLocalFiles();
    ASSERT_TRUE(Select(f->filLocalFile, "say \"hi\".htm"));
    QSignalSpy states(f->ITC, &TransferControl::StateChanged);
    f->imgSendFile->click();
    ASSERT_EQ(dialogs->asked().size(), 4u);
    EXPECT_TRUE(Last().text.contains("double quote")) << Last().text.toStdString();
    EXPECT_TRUE(states.isEmpty());
    EXPECT_EQ(FolderNames(server.Root()),
              (std::vector<std::string>{"exhibit 99.htm", "index.htm"}));
}

TEST_F(FtpWindowTest, DeletesAndMakesFolders) {
    FtpTestServer server;
    ASSERT_TRUE(server.Running());
    ASSERT_EQ(::mkdir((server.Root() + "/drafts").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((server.Root() + "/archive").c_str(), 0755), 0);
    WriteFile(server.Root() + "/drafts.htm", "a file named like the folder");
    const std::string local = MakeTempFolder("ftpw-del");
    frmFTP* f = LogIn(server, local);
    ASSERT_EQ(Items(f->lstRemoteFile), (QStringList{"archive/", "drafts/", "drafts.htm"}));

    ASSERT_TRUE(Select(f->lstRemoteFile, "drafts/"));
    dialogs->Queue(Answer::Cancel);
    f->cmdDelete->click();
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_EQ(Last().text, "Delete drafts/ ?");
    EXPECT_EQ(Last().title, "Delete");
    EXPECT_EQ(Last().buttons, Buttons::OkCancel);
    EXPECT_EQ(Last().icon, Icon::Question);
    EXPECT_TRUE(Exists(server.Root() + "/drafts"));

    dialogs->Queue(Answer::Ok);
    f->cmdDelete->click();
    f->ITC->WaitUntilReady();
    EXPECT_FALSE(Exists(server.Root() + "/drafts"));
    EXPECT_TRUE(Exists(server.Root() + "/drafts.htm"));
    EXPECT_EQ(Items(f->lstRemoteFile), (QStringList{"archive/", "drafts.htm"}));

    ASSERT_TRUE(Select(f->lstRemoteFile, "drafts.htm"));
    dialogs->Queue(Answer::Ok);
    f->cmdDelete->click();
    f->ITC->WaitUntilReady();
    EXPECT_EQ(FolderNames(server.Root()), std::vector<std::string>{"archive"});
    EXPECT_EQ(Items(f->lstRemoteFile), QStringList{"archive/"});

    // New Folder: a name already there as a folder is said so; a file name
    // alone is no folder ("archive" would match "/archive" only by mistake).
    dialogs->ClearAsked();
    dialogs->Queue(std::optional<QString>(QStringLiteral("archive")));
    f->cmdNewFolder->click();
    ASSERT_EQ(dialogs->asked().size(), 2u);
    EXPECT_EQ(dialogs->asked()[0].kind, "input");
    EXPECT_EQ(dialogs->asked()[0].text, "Enter new folder name");
    EXPECT_EQ(dialogs->asked()[0].title, "New Folder");
    EXPECT_EQ(Last().text, "Folder archive already exists.");
    EXPECT_EQ(Last().title, "New Folder");
    EXPECT_EQ(Last().icon, Icon::Information);

    QSignalSpy states(f->ITC, &TransferControl::StateChanged);
    dialogs->Queue(std::optional<QString>());  // Cancel
    f->cmdNewFolder->click();
    dialogs->Queue(std::optional<QString>(QStringLiteral("   ")));
    f->cmdNewFolder->click();
    EXPECT_TRUE(states.isEmpty());

    dialogs->Queue(std::optional<QString>(QStringLiteral("2026 filings")));
    f->cmdNewFolder->click();
    f->ITC->WaitUntilReady();
    EXPECT_EQ(FolderNames(server.Root()), (std::vector<std::string>{"2026 filings", "archive"}));
    EXPECT_EQ(Items(f->lstRemoteFile), (QStringList{"2026 filings/", "archive/"}));
}

TEST_F(FtpWindowTest, BusyBrokenAndAbandonedTransfers) {
    const std::string local = MakeTempFolder("ftpw-slow");
    {
        FtpTestServer server({"--slow", "262144"});
        ASSERT_TRUE(server.Running());
        WriteFile(server.Root() + "/big.bin", std::string(20 * 1024 * 1024, 'b'));
        WriteFile(server.Root() + "/other.htm", "o");
        frmFTP* f = LogIn(server, local);
        ASSERT_TRUE(Select(f->lstRemoteFile, "big.bin"));
        // While the download runs, every other command is told to wait;
        // then the server goes away mid-transfer.
        bool asked = false;
        auto c = QObject::connect(f->ITC, &TransferControl::StateChanged, [&](int s) {
            if (s != kReceiving || asked) return;
            asked = true;
            f->cmdUpFolder->click();
            Select(f->lstRemoteFile, "other.htm");
            f->imgReceiveFile->click();
            f->cmdLogOn->click();  // disabled: nothing happens
            server.Kill();
        });
        f->imgReceiveFile->click();
        QObject::disconnect(c);
        ASSERT_TRUE(asked);
        // Two commands told to wait, then the broken download said so.
        ASSERT_EQ(dialogs->asked().size(), 3u);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(dialogs->asked()[i].text, "Please wait.  FTP is still executing");
            EXPECT_EQ(dialogs->asked()[i].title, "Busy");
            EXPECT_EQ(dialogs->asked()[i].icon, Icon::Information);
        }
        EXPECT_EQ(Last().title, "Error");
        EXPECT_TRUE(Last().text.startsWith(
            QString::fromStdString("The file big.bin was not downloaded (nothing was saved as " +
                                   local + "/big.bin): the connection to the server was lost")))
            << Last().text.toStdString();
        EXPECT_TRUE(Last().text.endsWith("Log in again to go on.")) << Last().text.toStdString();
        EXPECT_EQ(f->ITC->ResponseCode(), kCodeConnectionAborted);
        EXPECT_EQ(f->lblStatus->text(), "Not Connected");
        EXPECT_TRUE(f->cmdLogOn->isEnabled());
        EXPECT_FALSE(f->cmdLogOff->isEnabled());
        EXPECT_FALSE(f->lstRemoteFile->isEnabled());
        EXPECT_TRUE(FolderNames(local).empty());  // no partial file, no temporary one
        f->close();
        tarlo::test::WaitUntil([] { return Ftp() == nullptr; });
    }
    {
        // Closing the window mid-transfer ends the transfer.
        FtpTestServer server({"--slow", "262144"});
        ASSERT_TRUE(server.Running());
        WriteFile(server.Root() + "/big.bin", std::string(20 * 1024 * 1024, 'b'));
        frmFTP* f = LogIn(server, local);
        ASSERT_TRUE(Select(f->lstRemoteFile, "big.bin"));
        QSignalSpy states(f->ITC, &TransferControl::StateChanged);
        auto c = QObject::connect(f->ITC, &TransferControl::StateChanged, [&](int s) {
            if (s == kReceiving) f->close();
        });
        f->imgReceiveFile->click();
        QObject::disconnect(c);
        EXPECT_TRUE(tarlo::test::WaitUntil([] { return Ftp() == nullptr; }));
        ASSERT_FALSE(states.isEmpty());
        EXPECT_EQ(states.back().at(0).toInt(), kDisconnected);  // cancelled, not finished
        EXPECT_TRUE(FolderNames(local).empty());
        dialogs->ClearAsked();
    }
    {
        // Closing the window while it logs in to a server that has hung:
        // the login ends with the window, and no message follows it.
        test::SilentServer silent;
        frmFTP* f = Open();
        f->txtServer->setText(QString("ftp://127.0.0.1:%1/").arg(silent.Port()));
        f->txtUserName->setText(FtpTestServer::kUser);
        f->txtPassword->setText(FtpTestServer::kPassword);
        auto c = QObject::connect(f->ITC, &TransferControl::StateChanged, [&](int s) {
            if (s == kConnecting) f->close();
        });
        f->cmdLogOn->click();
        QObject::disconnect(c);
        EXPECT_TRUE(tarlo::test::WaitUntil([] { return Ftp() == nullptr; }));
        EXPECT_TRUE(dialogs->asked().empty());
    }
}

TEST_F(FtpWindowTest, RefusedCommandsSayWhatWasNotDoneAndWhy) {
    FtpTestServer server({"--locked", "locked"});
    ASSERT_TRUE(server.Running());
    ASSERT_EQ(::mkdir((server.Root() + "/full").c_str(), 0755), 0);
    WriteFile(server.Root() + "/full/inside.htm", "i");
    WriteFile(server.Root() + "/locked/keep.htm", "k");
    const std::string local = MakeTempFolder("ftpw-refused");
    WriteFile(local + "/exhibit.htm", "x");
    frmFTP* f = LogIn(server, local);
    const auto expectError = [&](const QString& start) {
        ASSERT_FALSE(dialogs->asked().empty()) << start.toStdString();
        EXPECT_EQ(Last().title, "Error");
        EXPECT_EQ(Last().icon, Icon::Critical);
        EXPECT_TRUE(Last().text.startsWith(start + ": the server answered \"550"))
            << Last().text.toStdString();
        // The connection stands and the list is read again.
        EXPECT_TRUE(f->lblStatus->text().startsWith("Connected"));
        EXPECT_TRUE(f->lstRemoteFile->isEnabled());
        dialogs->ClearAsked();
    };

    ASSERT_TRUE(Select(f->lstRemoteFile, "full/"));
    dialogs->Queue(Answer::Ok);
    f->cmdDelete->click();
    f->ITC->WaitUntilReady();
    expectError("The folder full/ was not deleted");
    EXPECT_TRUE(Exists(server.Root() + "/full/inside.htm"));

    DoubleClick(f, "locked/");
    ASSERT_EQ(Items(f->lstRemoteFile), QStringList{"keep.htm"});
    ASSERT_TRUE(Select(f->lstRemoteFile, "keep.htm"));
    dialogs->Queue(Answer::Ok);
    f->cmdDelete->click();
    f->ITC->WaitUntilReady();
    expectError("The file keep.htm was not deleted");

    dialogs->Queue(std::optional<QString>(QStringLiteral("2026")));
    f->cmdNewFolder->click();
    f->ITC->WaitUntilReady();
    expectError("The folder 2026 was not created");

    ASSERT_TRUE(Select(f->filLocalFile, "exhibit.htm"));
    f->imgSendFile->click();
    f->ITC->WaitUntilReady();
    expectError("The file exhibit.htm was not uploaded");
    EXPECT_EQ(FolderNames(server.Root() + "/locked"), std::vector<std::string>{"keep.htm"});
    EXPECT_EQ(Items(f->lstRemoteFile), QStringList{"keep.htm"});
}

TEST_F(FtpWindowTest, UploadsAndListingsCutOffSaySoAndLeaveNoHalfFile) {
    const std::string local = MakeTempFolder("ftpw-cut");
    WriteFile(local + "/10-K.htm", std::string(8 * 1024 * 1024, 'k'));
    {
        FtpTestServer server({"--slow", "262144"});
        ASSERT_TRUE(server.Running());
        WriteFile(server.Root() + "/10-K.htm", "published");
        frmFTP* f = LogIn(server, local);
        ASSERT_TRUE(Select(f->filLocalFile, "10-K.htm"));
        dialogs->Queue(Answer::Yes);  // replace the published one
        std::thread kill = WhenUploadIsUnderway(server.Root(), [&] { server.Kill(); });
        f->imgSendFile->click();
        f->ITC->WaitUntilReady();
        kill.join();
        ASSERT_EQ(dialogs->asked().size(), 2u);
        const auto left = Leftovers(server.Root());
        ASSERT_EQ(left.size(), 1u);
        EXPECT_TRUE(Last().text.startsWith(
            "The file 10-K.htm was not uploaded: the connection to the server was lost"))
            << Last().text.toStdString();
        EXPECT_TRUE(Last().text.contains(QString::fromStdString("the temporary file /" + left[0] +
                                                                " may be left on the server")))
            << Last().text.toStdString();
        // The published file is as it was; the window waits for a new login.
        EXPECT_EQ(ReadFile(server.Root() + "/10-K.htm"), "published");
        EXPECT_EQ(f->lblStatus->text(), "Not Connected");
        EXPECT_TRUE(f->cmdLogOn->isEnabled());
        f->close();
        tarlo::test::WaitUntil([] { return Ftp() == nullptr; });
        dialogs->ClearAsked();
    }
    {
        FtpTestServer server({"--slow", "65536"});
        ASSERT_TRUE(server.Running());
        ASSERT_EQ(::mkdir((server.Root() + "/many").c_str(), 0755), 0);
        for (int i = 0; i < 2000; ++i)
            WriteFile(server.Root() + "/many/exhibit " + std::to_string(i) + ".htm", "");
        frmFTP* f = LogIn(server, local);
        auto c = QObject::connect(f->ITC, &TransferControl::StateChanged, [&](int st) {
            if (st == kReceiving && f->ITC->CurrentFolder() == "/many") server.Kill();
        });
        DoubleClick(f, "many/");
        QObject::disconnect(c);
        ASSERT_EQ(dialogs->asked().size(), 1u);
        EXPECT_TRUE(Last().text.startsWith(
            "The folder /many could not be listed: the connection to the server was lost"))
            << Last().text.toStdString();
        EXPECT_EQ(f->lblStatus->text(), "Not Connected");
    }
}

TEST_F(FtpWindowTest, AfterAMessageBoxTheKeyboardIsBackInTheFtpWindow) {
    FtpTestServer server;
    ASSERT_TRUE(server.Running());
    WriteFile(server.Root() + "/old.htm", "o");
    const std::string local = MakeTempFolder("ftpw-focus");
    frmFTP* f = Open();
    f->activateWindow();
    tarlo::test::WaitUntil([f] { return QApplication::activeWindow() == f; });
    f->txtServer->setText(QString("ftp://127.0.0.1:%1/").arg(server.Port()));
    f->txtUserName->setText(FtpTestServer::kUser);
    f->txtPassword->setText("wrong");
    f->txtPassword->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), f->txtPassword);

    BoxCloser closer;
    switchable->real = true;
    f->cmdLogOn->click();
    ASSERT_EQ(closer.texts.size(), 1);
    EXPECT_TRUE(closer.texts[0].startsWith("Login attempt failed."));
    EXPECT_EQ(closer.parents[0], f);
    // The user types the password again, into the password box.
    tarlo::test::WaitUntil([f] { return QApplication::focusWidget() == f->txtPassword; }, 2000);
    EXPECT_EQ(QApplication::focusWidget(), f->txtPassword);
    EXPECT_EQ(QApplication::activeWindow(), f);

    switchable->real = false;
    f->txtPassword->setText(FtpTestServer::kPassword);
    f->cmdLogOn->click();
    f->ITC->WaitUntilReady();
    ASSERT_TRUE(Select(f->lstRemoteFile, "old.htm"));
    f->lstRemoteFile->setFocus();
    switchable->real = true;
    f->cmdDelete->click();
    f->ITC->WaitUntilReady();
    switchable->real = false;
    ASSERT_EQ(closer.texts.size(), 2);
    EXPECT_EQ(closer.texts[1], "Delete old.htm ?");
    EXPECT_EQ(closer.parents[1], f);
    EXPECT_FALSE(Exists(server.Root() + "/old.htm"));
    tarlo::test::WaitUntil([f] { return QApplication::focusWidget() == f->lstRemoteFile; }, 2000);
    EXPECT_EQ(QApplication::focusWidget(), f->lstRemoteFile);
    EXPECT_EQ(QApplication::activeWindow(), f);
}

TEST_F(FtpWindowTest, HostileListingsNeverLeaveTheChosenFolder) {
    FtpTestServer server({"--hostile"});
    ASSERT_TRUE(server.Running());
    WriteFile(server.Root() + "/ok.txt", "fine");
    const std::string parent = MakeTempFolder("ftpw-hostile");
    const std::string local = parent + "/chosen";
    ASSERT_EQ(::mkdir(local.c_str(), 0700), 0);
    frmFTP* f = LogIn(server, local);
    const QStringList listed = Items(f->lstRemoteFile);
    EXPECT_TRUE(listed.contains("ok.txt"));
    for (const QString& name : listed) {
        EXPECT_FALSE(name.contains('\r') || name.contains('\n')) << name.toStdString();
    }
    int refused = 0;
    for (const QString& name : listed) {
        dialogs->ClearAsked();
        ASSERT_TRUE(Select(f->lstRemoteFile, name));
        f->imgReceiveFile->click();
        f->ITC->WaitUntilReady();
        // "x" (the first half of "x\r\ny") is a plain name the server lacks.
        if (!name.contains('/') && !name.contains("..")) {
            // The server's refusal leaves the connection as it was.
            EXPECT_TRUE(f->lblStatus->text().startsWith("Connected")) << name.toStdString();
            continue;
        }
        ASSERT_EQ(dialogs->asked().size(), 1u) << name.toStdString();
        EXPECT_EQ(Last().title, "Error");
        EXPECT_TRUE(Last().text.contains("cannot be used")) << Last().text.toStdString();
        ++refused;
    }
    EXPECT_GE(refused, 3);
    EXPECT_EQ(FolderNames(local), std::vector<std::string>{"ok.txt"});
    EXPECT_EQ(FolderNames(parent), std::vector<std::string>{"chosen"});
    EXPECT_FALSE(Exists("/etc/x"));
}

TEST_F(FtpWindowTest, CertificatesAreTrustedOnlyWhenKnown) {
    const std::string cert = MakeTempFolder("ftpw-cert") + "/server.pem";
    FtpTestServer server({"--tls", cert});
    ASSERT_TRUE(server.Running());
    WriteFile(server.Root() + "/a.htm", "tls");
    const std::string local = MakeTempFolder("ftpw-tls");

    // The system's store does not know the test's certificate.
    frmFTP* f = LogIn(server, local);
    ASSERT_EQ(dialogs->asked().size(), 1u);
    // The message leads with the certificate: whom it names, why it is not
    // trusted, and that the login never left the machine.
    const QString first = Last().text.section(QStringLiteral(". "), 0, 0);
    EXPECT_TRUE(first.startsWith("The server's TLS certificate, issued to 127.0.0.1"))
        << Last().text.toStdString();
    EXPECT_TRUE(first.contains("is not trusted (self-signed")) << first.toStdString();
    EXPECT_TRUE(first.contains("nothing was sent")) << first.toStdString();
    EXPECT_FALSE(Last().text.contains("spelling")) << Last().text.toStdString();
    EXPECT_EQ(f->lblStatus->text(), "Not Connected");
    EXPECT_FALSE(f->lstRemoteFile->isEnabled());

    dialogs->ClearAsked();
    f->ITC->SetCaFile(QString::fromStdString(cert));
    f->cmdLogOn->click();
    f->ITC->WaitUntilReady();
    EXPECT_TRUE(dialogs->asked().empty());
    EXPECT_EQ(f->lblStatus->text(), "Connected");
    EXPECT_EQ(Items(f->lstRemoteFile), QStringList{"a.htm"});
    ASSERT_TRUE(Select(f->lstRemoteFile, "a.htm"));
    f->imgReceiveFile->click();
    EXPECT_EQ(ReadFile(local + "/a.htm"), "tls");
}

}  // namespace
}  // namespace tarlo::ftp
