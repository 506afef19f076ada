#include "ftp/ftp_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "ftp/drive_list.h"
#include "ftp/ftp_session.h"
#include "ftp/local_name.h"
#include "ftp/remote_listing.h"
#include "ftp/transfer_control.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "shell/editor.h"
#include "shell/window_helpers.h"

// The window's pictures live in a resource file of their own, which a static
// library only links in when asked.
static void InitFtpWindowResources() {
    Q_INIT_RESOURCE(ftp_window);
}

namespace tarlo::ftp {

namespace {

const char* const kNotConnected = "Not Connected";
const char* const kLoginFailedTitle = "Login attempt failed.";

// The status line for each state the component reports (1 to 10).
const char* const kStateTexts[] = {
    "Finding Host IP Address", "IP Address Found", "Connecting To Host", "Connected",
    "Sending Request",         "Request Sent",     "Receiving Response", "Received",
    "Disconnecting",           "Not Connected",
};

template <typename W>
W* Named(W* widget, const char* name, const char* toolTip, const char* spoken) {
    widget->setObjectName(QLatin1String(name));
    if (toolTip) {
        widget->setToolTip(QLatin1String(toolTip));
        widget->setAccessibleDescription(QLatin1String(toolTip));
    }
    if (spoken) widget->setAccessibleName(QLatin1String(spoken));
    return widget;
}

QToolButton* IconButton(QWidget* parent, const char* name, const char* picture, const char* toolTip,
                        const char* spoken) {
    auto* b = Named(new QToolButton(parent), name, toolTip, spoken);
    b->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(picture))));
    b->setIconSize(QSize(24, 24));
    b->setAutoRaise(false);
    return b;
}

bool IsFolderEntry(const QString& entry) {
    return entry.endsWith(QLatin1Char('/'));
}

bool LocalNameTaken(const QString& path) {
    // A dangling link is a name in use too: the download must not replace it.
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

}  // namespace

frmFTP::frmFTP(Editor& editor) : QWidget(editor.mainWindow(), Qt::Window), editor_(editor) {
    InitFtpWindowResources();
    setObjectName(QStringLiteral("frmFTP"));
    CloseOnEscape(this);
    setWindowTitle(QStringLiteral("FTP"));
    setAttribute(Qt::WA_DeleteOnClose);

    ITC = new TransferControl(this);
    ITC->setObjectName(QStringLiteral("ITC"));
    connect(ITC, &TransferControl::StateChanged, this, &frmFTP::ITC_StateChanged);

    BuildControls();
    SetConnected(false);

    SetTopmost(this, true);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (QWidget* main = editor.mainWindow()) move(main->frameGeometry().topLeft());
}

frmFTP::~frmFTP() = default;

void frmFTP::BuildControls() {
    fraLoginInfo =
        Named(new QGroupBox(QStringLiteral("Login"), this), "fraLoginInfo", nullptr, "Login");
    lblServer = Named(new QLabel(QStringLiteral("Server address:"), fraLoginInfo), "lblServer",
                      nullptr, nullptr);
    txtServer = Named(new QLineEdit(QStringLiteral("ftp://www."), fraLoginInfo), "txtServer",
                      "FTP Server Name", "Server address");
    lblUserName = Named(new QLabel(QStringLiteral("User Name:"), fraLoginInfo), "lblUserName",
                        nullptr, nullptr);
    txtUserName = Named(new QLineEdit(fraLoginInfo), "txtUserName", "User Name", "User Name");
    lblPassword = Named(new QLabel(QStringLiteral("Password (Case Sensitive):"), fraLoginInfo),
                        "lblPassword", nullptr, nullptr);
    txtPassword = Named(new QLineEdit(fraLoginInfo), "txtPassword", "Password", "Password");
    txtPassword->setEchoMode(QLineEdit::Password);
    lblServer->setBuddy(txtServer);
    lblUserName->setBuddy(txtUserName);
    lblPassword->setBuddy(txtPassword);
    cmdLogOn = Named(new QPushButton(QStringLiteral("Log In"), fraLoginInfo), "cmdLogOn", "Log On",
                     "Log In");
    cmdLogOff = Named(new QPushButton(QStringLiteral("Log Off"), fraLoginInfo), "cmdLogOff",
                      "Log Off", "Log Off");
    // No name of its own: a screen reader reads the status itself.
    lblStatus = Named(new QLabel(QLatin1String(kNotConnected), fraLoginInfo), "lblStatus",
                      "Connection Status", nullptr);
    lblStatus->setFrameShape(QFrame::StyledPanel);
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    auto* login = new QGridLayout(fraLoginInfo);
    login->addWidget(lblServer, 0, 0);
    login->addWidget(txtServer, 0, 1, 1, 3);
    login->addWidget(lblUserName, 1, 0);
    login->addWidget(txtUserName, 1, 1);
    login->addWidget(lblPassword, 1, 2);
    login->addWidget(txtPassword, 1, 3);
    login->addWidget(cmdLogOn, 2, 0);
    login->addWidget(cmdLogOff, 2, 1);
    login->addWidget(lblStatus, 2, 2, 1, 2);

    fraLocalFiles = Named(new QGroupBox(QStringLiteral("Local Files"), this), "fraLocalFiles",
                          nullptr, "Local Files");
    drvLocalDrive = Named(new QComboBox(fraLocalFiles), "drvLocalDrive", "Local Drive List",
                          "Local Drive List");
    dirLocalDir =
        Named(new QTreeView(fraLocalFiles), "dirLocalDir", "Local Directory", "Local Directory");
    filLocalFile =
        Named(new QListWidget(fraLocalFiles), "filLocalFile", "Local Files", "Local Files");
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    dirLocalDir->setModel(folders_);
    for (int c = 1; c < folders_->columnCount(); ++c) dirLocalDir->hideColumn(c);
    dirLocalDir->header()->hide();
    auto* local = new QVBoxLayout(fraLocalFiles);
    local->addWidget(drvLocalDrive);
    local->addWidget(dirLocalDir, 1);
    local->addWidget(filLocalFile, 1);

    fraRemoteFiles = Named(new QGroupBox(QStringLiteral("Remote Files"), this), "fraRemoteFiles",
                           nullptr, "Remote Files");
    lstRemoteFile =
        Named(new QListWidget(fraRemoteFiles), "lstRemoteFile", "Remote Files", "Remote Files");
    cmdNewFolder =
        IconButton(fraRemoteFiles, "cmdNewFolder", "ftp_new_folder", "New Folder", "New Folder");
    cmdUpFolder = IconButton(fraRemoteFiles, "cmdUpFolder", "ftp_up_folder", "Move Up One Folder",
                             "Move Up One Folder");
    cmdDelete = Named(new QPushButton(QStringLiteral("Delete"), fraRemoteFiles), "cmdDelete",
                      nullptr, "Delete");
    auto* remoteTools = new QHBoxLayout;
    remoteTools->addWidget(cmdNewFolder);
    remoteTools->addWidget(cmdUpFolder);
    remoteTools->addStretch(1);
    remoteTools->addWidget(cmdDelete);
    auto* remote = new QVBoxLayout(fraRemoteFiles);
    remote->addLayout(remoteTools);
    remote->addWidget(lstRemoteFile, 1);

    imgReceiveFile = IconButton(this, "imgReceiveFile", "ftp_receive",
                                "Download (Receive from server)", "Download");
    imgSendFile = IconButton(this, "imgSendFile", "ftp_send", "Upload (Send to server)", "Upload");
    auto* between = new QVBoxLayout;
    between->addStretch(1);
    between->addWidget(imgSendFile);
    between->addWidget(imgReceiveFile);
    between->addStretch(1);

    auto* panes = new QHBoxLayout;
    panes->addWidget(fraLocalFiles, 1);
    panes->addLayout(between);
    panes->addWidget(fraRemoteFiles, 1);
    auto* all = new QVBoxLayout(this);
    all->addWidget(fraLoginInfo);
    all->addLayout(panes, 1);
    resize(720, 520);

    connect(cmdLogOn, &QPushButton::clicked, this, &frmFTP::cmdLogOn_Click);
    connect(cmdLogOff, &QPushButton::clicked, this, &frmFTP::cmdLogOff_Click);
    connect(cmdNewFolder, &QToolButton::clicked, this, &frmFTP::cmdNewFolder_Click);
    connect(cmdUpFolder, &QToolButton::clicked, this, &frmFTP::cmdUpFolder_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmFTP::cmdDelete_Click);
    connect(imgReceiveFile, &QToolButton::clicked, this, &frmFTP::imgReceiveFile_Click);
    connect(imgSendFile, &QToolButton::clicked, this, &frmFTP::imgSendFile_Click);
    connect(lstRemoteFile, &QListWidget::itemDoubleClicked, this, &frmFTP::lstRemoteFile_DblClick);

    std::vector<MountedVolume> volumes;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (v.isValid() && v.isReady())
            volumes.push_back({v.rootPath().toStdString(), v.fileSystemType().toStdString()});
    }
    for (const auto& place : DriveList(QDir::homePath().toStdString(), volumes))
        drvLocalDrive->addItem(QString::fromStdString(place));
    // The user's home is where the window starts.
    drive_index_ = drvLocalDrive->count() > 1 ? 1 : 0;
    drvLocalDrive->setCurrentIndex(drive_index_);
    connect(drvLocalDrive, &QComboBox::activated, this, &frmFTP::drvLocalDrive_Change);
    connect(dirLocalDir->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) ChooseFolder(folders_->filePath(current));
            });
    const QString start = drvLocalDrive->currentText();
    dirLocalDir->setRootIndex(folders_->setRootPath(start));
    ChooseFolder(start);
}

// --- the connection -------------------------------------------------------

bool frmFTP::FtpReady(bool message) {
    if (!ITC->StillExecuting()) return true;
    if (message) {
        editor_.dialogs().Message(this, QStringLiteral("Please wait.  FTP is still executing"),
                                  QStringLiteral("Busy"), Buttons::Ok, Icon::Information);
    }
    return false;
}

void frmFTP::SetConnected(bool connected) {
    // Every remote control follows the connection: a send or receive button
    // left enabled after the connection went would quietly log in again.
    connected_ = connected;
    cmdLogOn->setEnabled(!connected);
    cmdLogOff->setEnabled(connected);
    fraRemoteFiles->setEnabled(connected);
    for (QWidget* w : std::initializer_list<QWidget*>{lstRemoteFile, cmdNewFolder, cmdUpFolder,
                                                      cmdDelete, imgReceiveFile, imgSendFile})
        w->setEnabled(connected);
    if (!connected) lblStatus->setText(QLatin1String(kNotConnected));
}

void frmFTP::ShowConnected() {
    if (!connected_) return;
    lblStatus->setText(ITC->Encrypted() ? QStringLiteral("Connected")
                                        : QStringLiteral("Connected (not encrypted)"));
}

void frmFTP::cmdLogOn_Click() {
    if (txtServer->text().trimmed().isEmpty() || txtUserName->text().trimmed().isEmpty() ||
        txtPassword->text().isEmpty()) {
        editor_.dialogs().Message(this, QStringLiteral("Please fill in all three fields."),
                                  QLatin1String(kLoginFailedTitle), Buttons::Ok, Icon::Information);
        return;
    }
    const QPointer<frmFTP> self(this);
    lblStatus->setText(QStringLiteral("Connecting"));
    ITC->SetURL(txtServer->text());
    ITC->SetUserName(txtUserName->text().trimmed());
    ITC->Cancel();
    ITC->WaitUntilReady();
    if (!self) return;
    cmdLogOn->setEnabled(false);
    ITC->SetPassword(txtPassword->text());
    ITC->SetRequestTimeout(40);

    lstRemoteFile->clear();
    const bool sent = ITC->Execute(QStringLiteral("DIR"));
    ITC->WaitUntilReady();
    // Closed while logging in: the login was cancelled, nobody needs telling.
    if (!self || closing_) return;
    if (sent && ITC->ResponseCode() == 0) {
        SetConnected(true);
        ShowConnected();
        return;
    }
    QString text = QStringLiteral(
        "Login attempt failed. Check the spelling of the server address, username and password.");
    const int code = ITC->ResponseCode();
    if (code == kCodeTlsRefused) {
        // The server's identity was refused before the login was sent:
        // spelling is beside the point, the certificate (or host key) is not.
        QString refusal = ITC->ResponseInfo().trimmed();
        if (!refusal.isEmpty()) refusal[0] = refusal[0].toUpper();
        if (!refusal.endsWith(QLatin1Char('.'))) refusal += QLatin1Char('.');
        text = refusal + QStringLiteral("\n\nLogin attempt failed.");
    } else if (code == kCodeUnsupportedScheme || code == kCodeBadAddress) {
        // Spelling is not the trouble here: say what was refused.
        text += QStringLiteral("\n\n") + ITC->ResponseInfo();
    }
    editor_.dialogs().Message(this, text, QLatin1String(kLoginFailedTitle), Buttons::Ok,
                              Icon::Information);
    if (!self) return;
    ITC->Cancel();
    SetConnected(false);
}

void frmFTP::cmdLogOff_Click() {
    const QPointer<frmFTP> self(this);
    lstRemoteFile->clear();
    fraRemoteFiles->setEnabled(false);
    ITC->Cancel();
    ITC->WaitUntilReady();
    if (!self) return;
    lblStatus->setText(QStringLiteral("Closing Connection"));
    if (FtpReady(false))
        ITC->Execute(QStringLiteral("CLOSE"));
    else
        ITC->Cancel();
    SetConnected(false);
}

void frmFTP::ITC_StateChanged(int state) {
    if (state >= kResolving && state <= kDisconnected) {
        lblStatus->setText(QLatin1String(kStateTexts[state - 1]));
        return;
    }
    if (state == kError) {
        // The login tells of its own failure; a command of a logged-in window
        // says here which file or folder it could not handle, and why.
        const bool report = connected_ && !closing_;
        if (ITC->ResponseCode() == kCodeConnectionAborted) {
            SetConnected(false);
            ITC->Cancel();
        } else {
            // The server refused this one command; the connection stands.
            ShowConnected();
        }
        if (report)
            editor_.dialogs().Message(this, ITC->FailureText(), QStringLiteral("Error"),
                                      Buttons::Ok, Icon::Critical);
        return;
    }
    if (state != kResponseCompleted) return;
    QString data;
    for (QString piece = ITC->GetChunk(4096); !piece.isEmpty(); piece = ITC->GetChunk(4096))
        data += piece;
    QApplication::beep();
    for (const std::string& line : SplitResponseLines(data.toStdString()))
        lstRemoteFile->addItem(QString::fromStdString(line));
    ShowConnected();
}

// --- remote commands ------------------------------------------------------

bool frmFTP::Send(const QString& verb, const QStringList& names) {
    QString command = verb;
    for (const QString& name : names) {
        // A command text carries each name in double quotes; a name holding
        // one would end early and turn its rest into other names.
        if (name.contains(QLatin1Char('"'))) {
            editor_.dialogs().Message(
                this,
                QStringLiteral("This name cannot be sent to the server: it holds a double "
                               "quote.\n") +
                    name,
                QStringLiteral("Error"), Buttons::Ok, Icon::Critical);
            return false;
        }
        command += QStringLiteral(" \"") + name + QLatin1Char('"');
    }
    return ITC->Execute(command);
}

void frmFTP::RefreshRemote() {
    const QPointer<frmFTP> self(this);
    ITC->WaitUntilReady();
    // A connection that broke off stays closed until the user logs in again.
    if (!self || !connected_) return;
    lstRemoteFile->clear();
    Send(QStringLiteral("DIR"));
    ShowConnected();
}

void frmFTP::RunAndRefresh(const QString& verb, const QStringList& names) {
    if (Send(verb, names)) RefreshRemote();
}

QString frmFTP::SelectedRemote() const {
    const QListWidgetItem* item = lstRemoteFile->currentItem();
    return item ? item->text() : QString();
}

void frmFTP::lstRemoteFile_DblClick() {
    const QString entry = SelectedRemote();
    if (entry.isEmpty()) return;
    if (!IsFolderEntry(entry)) {
        Download(entry);
        return;
    }
    if (!FtpReady(true)) return;
    RunAndRefresh(QStringLiteral("CD"), {entry});
}

void frmFTP::cmdUpFolder_Click() {
    if (!FtpReady(true)) return;
    RunAndRefresh(QStringLiteral("CDUP"));
}

void frmFTP::cmdDelete_Click() {
    if (!FtpReady(true)) return;
    const QString entry = SelectedRemote();
    if (entry.isEmpty()) return;
    const QPointer<frmFTP> self(this);
    const Answer a =
        editor_.dialogs().Message(this, QStringLiteral("Delete ") + entry + QStringLiteral(" ?"),
                                  QStringLiteral("Delete"), Buttons::OkCancel, Icon::Question);
    if (!self || a != Answer::Ok || !FtpReady(true)) return;
    RunAndRefresh(IsFolderEntry(entry) ? QStringLiteral("RMDIR") : QStringLiteral("DELETE"),
                  {entry});
}

void frmFTP::cmdNewFolder_Click() {
    if (!FtpReady(true)) return;
    const QPointer<frmFTP> self(this);
    const std::optional<QString> typed = editor_.dialogs().Input(
        this, QStringLiteral("Enter new folder name"), QStringLiteral("New Folder"), QString());
    if (!self || !typed || typed->trimmed().isEmpty()) return;
    const QString name = *typed;
    for (int i = 0; i < lstRemoteFile->count(); ++i) {
        if (lstRemoteFile->item(i)->text() == name + QLatin1Char('/')) {
            Fail(QStringLiteral("Folder ") + name + QStringLiteral(" already exists."),
                 QStringLiteral("New Folder"));
            return;
        }
    }
    if (!FtpReady(true)) return;
    RunAndRefresh(QStringLiteral("MKDIR"), {name});
}

void frmFTP::imgReceiveFile_Click() {
    Download(SelectedRemote());
}

void frmFTP::Download(const QString& entry) {
    if (!FtpReady(true) || entry.isEmpty()) return;
    if (IsFolderEntry(entry)) {
        editor_.dialogs().Message(this, entry + QStringLiteral(" is a folder and cannot be sent."),
                                  QStringLiteral("Error"), Buttons::Ok, Icon::Critical);
        return;
    }
    const std::string name = entry.toStdString();
    if (!IsSafeLocalName(name) || QDir::isAbsolutePath(entry)) {
        // The server chooses its names; one that could lead out of the
        // chosen folder (or mean another file) never becomes a local path.
        editor_.dialogs().Message(
            this,
            QStringLiteral("The server's file name %1 cannot be used as a file name on this "
                           "computer. Nothing was received.")
                .arg(QString::fromStdString(PrintableName(name))),
            QStringLiteral("Error"), Buttons::Ok, Icon::Critical);
        return;
    }
    const QString target = local_folder_ + QLatin1Char('/') + entry;
    if (LocalNameTaken(target)) {
        Fail(QStringLiteral("File ") + entry + QStringLiteral(" already exists."),
             QStringLiteral("Recieve"));
        return;
    }
    if (!Send(QStringLiteral("GET"), {entry, target})) return;
    const QPointer<frmFTP> self(this);
    ITC->WaitUntilReady();
    if (!self) return;
    RefreshLocalFiles();
    ShowConnected();
}

void frmFTP::imgSendFile_Click() {
    if (!FtpReady(true)) return;
    const QListWidgetItem* item = filLocalFile->currentItem();
    const QString name = item ? item->text() : QString();
    if (name.trimmed().isEmpty()) {
        editor_.dialogs().Message(this, QStringLiteral("Please select a file to send."),
                                  QStringLiteral("Error"), Buttons::Ok, Icon::Critical);
        return;
    }
    const QPointer<frmFTP> self(this);
    for (int i = 0; i < lstRemoteFile->count(); ++i) {
        if (lstRemoteFile->item(i)->text() != name) continue;
        const Answer a = editor_.dialogs().Message(
            this, QStringLiteral("File ") + name + QStringLiteral(" already exists.\r\nOverwrite?"),
            QStringLiteral("Overwrite"), Buttons::YesNo, Icon::Question);
        if (!self || a != Answer::Yes) return;
        break;
    }
    if (!FtpReady(true)) return;
    const QString path = local_folder_ + QLatin1Char('/') + name;
    RunAndRefresh(QStringLiteral("PUT"), {path, name});
}

void frmFTP::Fail(const QString& text, const QString& title) {
    editor_.dialogs().Message(this, text, title, Buttons::Ok, Icon::Information);
}

// --- local lists ----------------------------------------------------------

void frmFTP::drvLocalDrive_Change() {
    const QString drive = drvLocalDrive->currentText();
    const QFileInfo info(drive);
    if (drive.isEmpty() || !info.isDir() || !info.isReadable() || !QDir(drive).exists()) {
        editor_.dialogs().Message(this, QStringLiteral("Error accessing selected drive."),
                                  QStringLiteral("Error"), Buttons::Ok, Icon::Critical);
        // Back to the drive the folder list still shows.
        if (drive_index_ >= 0 && drive_index_ < drvLocalDrive->count())
            drvLocalDrive->setCurrentIndex(drive_index_);
        return;
    }
    drive_index_ = drvLocalDrive->currentIndex();
    dirLocalDir->setRootIndex(folders_->setRootPath(drive));
    ChooseFolder(drive);
}

void frmFTP::SetLocalFolder(const QString& folder) {
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    // The drive that holds the folder, or the top of the file system.
    const QString drive = drvLocalDrive->currentText();
    if (!(path == drive || path.startsWith(drive == QLatin1String("/") ? drive : drive + '/'))) {
        drive_index_ = 0;
        drvLocalDrive->setCurrentIndex(0);
        dirLocalDir->setRootIndex(folders_->setRootPath(drvLocalDrive->currentText()));
    }
    dirLocalDir->setCurrentIndex(folders_->index(path));
    ChooseFolder(path);
}

void frmFTP::ChooseFolder(const QString& folder) {
    local_folder_ = folder;
    RefreshLocalFiles();
}

void frmFTP::RefreshLocalFiles() {
    filLocalFile->clear();
    const QStringList files =
        QDir(local_folder_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    filLocalFile->addItems(files);
}

void frmFTP::closeEvent(QCloseEvent* event) {
    // A transfer still running ends here (its partial file goes with it), and
    // the connection is closed: nothing goes on after the window has gone.
    const QPointer<frmFTP> self(this);
    closing_ = true;
    if (ITC->StillExecuting()) {
        ITC->Cancel();
        ITC->WaitUntilReady();
        if (!self) return;
    }
    ITC->Cancel();
    connected_ = false;
    QWidget::closeEvent(event);
}

// --- the command ----------------------------------------------------------

FtpCommand::FtpCommand(Editor& editor, QObject* owner) : QObject(owner), editor_(editor) {
    setObjectName(QStringLiteral("FtpCommand"));
}

void FtpCommand::cmdUpload_Click() {
    ShowToolWindow(window_, [this] { return new frmFTP(editor_); });
}

FtpCommand* InstallFtpWindow(Editor& editor, QObject* owner) {
    const QPointer<FtpCommand> command = new FtpCommand(editor, owner);
    editor.commands().Set(CommandId::Upload, [command] {
        if (command) command->cmdUpload_Click();
    });
    return command;
}

}  // namespace tarlo::ftp
