#include "shell/progress_windows.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMovie>
#include <QProgressBar>

#include "shell/window_helpers.h"

namespace tarlo {

namespace {

const char kCaption[] = "Working, please wait...";
const char kPicture[] = "/code.gif";

// Design layouts, in twips of client area.
constexpr double kCodeWidth = 2625;
constexpr double kCodeHeight = 810;
constexpr double kEdgWidth = 4200;
constexpr double kEdgHeight = 1500;

void SetUpWindow(QWidget* window, double width, double height) {
    window->setWindowTitle(QString::fromLatin1(kCaption));
    window->setFixedSize(TwipSizeToPixels(width, height));
}

QLabel* AddLabel(QWidget* window, const char* name, const char* text, const QRect& at) {
    auto* label = new QLabel(QString::fromLatin1(text), window);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(at);
    return label;
}

QLabel* AddAnimationPane(QWidget* window, const QRect& at) {
    auto* pane = new QLabel(window);
    pane->setObjectName(QStringLiteral("WebBrowser1"));
    pane->setGeometry(at);
    pane->setAlignment(Qt::AlignCenter);
    return pane;
}

// Starts the busy animation from `path`. A missing or unreadable picture
// leaves the pane empty; the window works the same without it.
void PointAnimationAt(QLabel* pane, const QString& path) {
    auto* movie = new QMovie(path, QByteArray(), pane);
    if (!movie->isValid()) {
        delete movie;
        return;
    }
    pane->setMovie(movie);
    movie->start();
}

// The window reports an operation that is still running, and its owner closes
// it when the operation ends; the close button of the title bar does nothing.
void RefuseUserClose(QCloseEvent* event) {
    if (event->spontaneous()) event->ignore();
}

}  // namespace

frmCodeProgress::frmCodeProgress(QWidget* main, const QString& pictureFolder)
    : QWidget(main, Qt::Window), main_(main), pictureFolder_(pictureFolder) {
    setObjectName(QStringLiteral("frmCodeProgress"));
    SetUpWindow(this, kCodeWidth, kCodeHeight);
    WebBrowser1 = AddAnimationPane(this, TwipRectToPixels(120, 135, 540, 540));
    Label1 =
        AddLabel(this, "Label1", "Code is being formatted.", TwipRectToPixels(780, 135, 1725, 540));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1->setWordWrap(true);
}

void frmCodeProgress::Load() {
    const QPointer<frmCodeProgress> self(this);
    SetTopmost(this, true);
    KeepFocusWithMain(this);
    // Let the main window finish whatever it was drawing or moving, so that
    // the bounds this window is centred over are current.
    QCoreApplication::processEvents();
    if (!self) return;
    CentreOverMain(this, main_);
    QCoreApplication::processEvents();
    if (!self) return;
    setCursor(Qt::WaitCursor);
    PointAnimationAt(WebBrowser1, pictureFolder_ + QLatin1String(kPicture));
}

void frmCodeProgress::closeEvent(QCloseEvent* event) {
    RefuseUserClose(event);
}

frmEdgProgress::frmEdgProgress(QWidget* main, const QString& pictureFolder)
    : QWidget(main, Qt::Window), main_(main), pictureFolder_(pictureFolder) {
    setObjectName(QStringLiteral("frmEdgProgress"));
    SetUpWindow(this, kEdgWidth, kEdgHeight);
    WebBrowser1 = AddAnimationPane(this, TwipRectToPixels(120, 120, 540, 540));
    Label1 =
        AddLabel(this, "Label1", "Code is being cleaned.", TwipRectToPixels(780, 120, 3300, 270));
    lblitem = AddLabel(this, "lblitem", "Working...", TwipRectToPixels(780, 390, 3300, 270));
    EdgProgress = new QProgressBar(this);
    EdgProgress->setObjectName(QStringLiteral("EdgProgress"));
    EdgProgress->setGeometry(TwipRectToPixels(120, 900, 3960, 330));
    EdgProgress->setTextVisible(false);
    EdgProgress->setRange(0, 100);
    EdgProgress->setValue(0);
}

void frmEdgProgress::Load() {
    const QPointer<frmEdgProgress> self(this);
    SetTopmost(this, true);
    KeepFocusWithMain(this);
    CentreOverMain(this, main_);
    QCoreApplication::processEvents();
    if (!self) return;
    setCursor(Qt::WaitCursor);
    PointAnimationAt(WebBrowser1, pictureFolder_ + QLatin1String(kPicture));
}

void frmEdgProgress::closeEvent(QCloseEvent* event) {
    RefuseUserClose(event);
}

namespace {

// The picture sits beside the program in a build; an installed program finds
// it in its data folder (bin/../share/tarlo).
QString DefaultPictureFolder() {
    const QString own = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(own + QLatin1String(kPicture))) return own;
    const QString installed = QDir::cleanPath(own + QStringLiteral("/../share/tarlo"));
    return QFileInfo::exists(installed + QLatin1String(kPicture)) ? installed : own;
}

}  // namespace

ProgressWindows::ProgressWindows(QWidget* main, const QString& pictureFolder)
    : main_(main),
      pictureFolder_(pictureFolder.isEmpty() ? DefaultPictureFolder() : pictureFolder) {}

ProgressWindows::~ProgressWindows() {
    CloseEdgProgress();
    CloseCodeProgress();
}

frmEdgProgress* ProgressWindows::ShowCleaningProgress() {
    return ShowEdgProgress(QStringLiteral("Code is being cleaned."));
}

frmEdgProgress* ProgressWindows::ShowCheckingProgress() {
    return ShowEdgProgress(QStringLiteral("Code is being error-checked."));
}

frmEdgProgress* ProgressWindows::ShowEdgProgress(const QString& caption) {
    if (!edg_) {
        // Held before loading, so that a showing asked for by an event that
        // runs while the window loads finds this window instead of making
        // a second one.
        edg_ = new frmEdgProgress(main_, pictureFolder_);
        edg_->Load();
        if (!edg_) return nullptr;
    }
    edg_->Label1->setText(caption);
    if (edg_->isVisible())
        edg_->raise();
    else
        edg_->show();
    return edg_;
}

void ProgressWindows::CloseEdgProgress() {
    // Forget the window at once, so that the next showing makes a fresh one
    // even before this one is gone.
    if (frmEdgProgress* window = edg_) {
        edg_ = nullptr;
        window->hide();
        window->deleteLater();
    }
}

frmCodeProgress* ProgressWindows::ShowCodeProgress(const QString& caption) {
    if (!code_) {
        code_ = new frmCodeProgress(main_, pictureFolder_);
        code_->Load();
        if (!code_) return nullptr;
    }
    code_->Label1->setText(caption);
    if (code_->isVisible())
        code_->raise();
    else
        code_->show();
    return code_;
}

void ProgressWindows::CloseCodeProgress() {
    if (frmCodeProgress* window = code_) {
        code_ = nullptr;
        window->hide();
        window->deleteLater();
    }
}

}  // namespace tarlo
