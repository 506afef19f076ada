#pragma once
// The "FTP" window `frmFTP`: logs in to a server, shows the remote folder
// beside a local drive, folder and file list, and sends and receives files
// through the transfer component `ITC`. Every remote command first asks
// FtpReady: the component runs one command at a time. The window does not
// block the main window and stays in front of it.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class QTreeView;

namespace tarlo {
class Editor;
}

namespace tarlo::ftp {

class TransferControl;

class frmFTP : public QWidget {
    Q_OBJECT
  public:
    explicit frmFTP(Editor& editor);
    ~frmFTP() override;

    // True when the component is free. While it is busy, and when `message`
    // is true, the user is told to wait first.
    bool FtpReady(bool message);

    void cmdLogOn_Click();
    void cmdLogOff_Click();
    void cmdNewFolder_Click();
    void cmdUpFolder_Click();
    void cmdDelete_Click();
    void imgReceiveFile_Click();
    void imgSendFile_Click();
    void lstRemoteFile_DblClick();
    void drvLocalDrive_Change();
    void ITC_StateChanged(int state);

    // The folder the file list shows, where downloads go and uploads come
    // from. SetLocalFolder also moves the folder tree there.
    QString LocalFolder() const { return local_folder_; }
    void SetLocalFolder(const QString& folder);
    // Reads the chosen folder's files again.
    void RefreshLocalFiles();

    TransferControl* ITC = nullptr;

    QGroupBox* fraLoginInfo = nullptr;
    QLabel* lblServer = nullptr;
    QLineEdit* txtServer = nullptr;
    QLabel* lblUserName = nullptr;
    QLineEdit* txtUserName = nullptr;
    QLabel* lblPassword = nullptr;
    QLineEdit* txtPassword = nullptr;
    QPushButton* cmdLogOn = nullptr;
    QPushButton* cmdLogOff = nullptr;
    QLabel* lblStatus = nullptr;

    QGroupBox* fraLocalFiles = nullptr;
    QComboBox* drvLocalDrive = nullptr;
    QTreeView* dirLocalDir = nullptr;
    QListWidget* filLocalFile = nullptr;

    QGroupBox* fraRemoteFiles = nullptr;
    QListWidget* lstRemoteFile = nullptr;
    QToolButton* cmdNewFolder = nullptr;
    QToolButton* cmdUpFolder = nullptr;
    QPushButton* cmdDelete = nullptr;

    QToolButton* imgReceiveFile = nullptr;
    QToolButton* imgSendFile = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    void SetConnected(bool connected);
    void ShowConnected();
    // Runs a command that changes the remote folder or its content, then
    // lists the folder again.
    void RunAndRefresh(const QString& verb, const QStringList& names = {});
    void RefreshRemote();
    // Hands the verb and its names, each in double quotes, to the component;
    // a name the command text cannot carry is refused with a message.
    bool Send(const QString& verb, const QStringList& names = {});
    QString SelectedRemote() const;
    void Download(const QString& entry);
    void ChooseFolder(const QString& folder);
    void Fail(const QString& text, const QString& title);

    Editor& editor_;
    QFileSystemModel* folders_ = nullptr;
    QString local_folder_;
    int drive_index_ = -1;
    bool connected_ = false;
    bool closing_ = false;
};

// The window's command: one window at most. A second press brings the open
// window to the front; a closed window is gone (with its password), and the
// next press starts a fresh one.
class FtpCommand : public QObject {
    Q_OBJECT
  public:
    FtpCommand(Editor& editor, QObject* owner);
    void cmdUpload_Click();
    frmFTP* window() const { return window_; }

  private:
    Editor& editor_;
    QPointer<frmFTP> window_;
};

// Creates the FTP command (a child of `owner`) and registers Upload.
FtpCommand* InstallFtpWindow(Editor& editor, QObject* owner);

}  // namespace tarlo::ftp
