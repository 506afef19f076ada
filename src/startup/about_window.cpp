#include "startup/about_window.h"

#include <Qsci/qsciglobal.h>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>
#include <curl/curl.h>
#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/editor.h"
#include "shell/window_helpers.h"
#include "startup/command_line.h"
#include "startup/startup_files.h"

namespace tarlo {

namespace {

QLabel* WrappedLabel(const char* text, const char* name, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

frmAbout::frmAbout(Editor& editor)
    : QWidget(editor.mainWindow(), Qt::Window | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmAbout"));
    CloseOnEscape(this);
    setWindowTitle(QLatin1String(kAboutCaption));
    setAttribute(Qt::WA_DeleteOnClose);

    imgAbout = new QLabel(this);
    imgAbout->setObjectName(QStringLiteral("imgAbout"));
    imgAbout->setPixmap(QIcon(QStringLiteral(":/about.svg")).pixmap(64, 64));
    imgAbout->setAccessibleName(QStringLiteral("Tarlo"));
    imgAbout->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    lblDescription = WrappedLabel(kAboutText, "lblDescription", this);
    lblPublisher = WrappedLabel(kAboutPublisher, "lblPublisher", this);
    QFont bold = lblPublisher->font();
    bold.setBold(true);
    lblPublisher->setFont(bold);
    lblNotice = WrappedLabel(kAboutNotice, "lblNotice", this);
    lblVersion = WrappedLabel("", "lblVersion", this);
    lblVersion->setText(QString::fromStdString(VersionText()).trimmed());
    lblVersion->setAccessibleName(lblVersion->text());
    lblLibraries = WrappedLabel("", "lblLibraries", this);
    lblLibraries->setText(LibrariesText());
    lblLibraries->setAccessibleName(lblLibraries->text());
    cmdLicence = new QPushButton(QStringLiteral("Read the &Licence"), this);
    cmdLicence->setObjectName(QStringLiteral("cmdLicence"));
    cmdLicence->setAccessibleName(QStringLiteral("Read the Licence"));
    connect(cmdLicence, &QPushButton::clicked, this, &frmAbout::cmdLicence_Click);

    lblLink = new QLabel(
        QStringLiteral("<a href=\"help\">%1</a>").arg(QLatin1String(kAboutLinkText)), this);
    lblLink->setObjectName(QStringLiteral("lblLink"));
    lblLink->setTextFormat(Qt::RichText);
    lblLink->setToolTip(QLatin1String(kAboutLinkTip));
    lblLink->setAccessibleName(QLatin1String(kAboutLinkText));
    lblLink->setAccessibleDescription(QLatin1String(kAboutLinkTip));
    lblLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lblLink->setCursor(Qt::PointingHandCursor);
    connect(lblLink, &QLabel::linkActivated, this, [this] { lblLink_Click(); });

    cmdDone = new QPushButton(QStringLiteral("&Done"), this);
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    cmdDone->setAccessibleName(QStringLiteral("Done"));
    cmdDone->setDefault(true);
    connect(cmdDone, &QPushButton::clicked, this, &frmAbout::cmdDone_Click);

    auto* text = new QVBoxLayout;
    text->addWidget(lblDescription);
    text->addWidget(lblPublisher);
    text->addWidget(lblNotice);
    text->addWidget(lblVersion);
    text->addWidget(lblLibraries);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(imgAbout);
    top->addLayout(text, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblLink);
    bottom->addStretch();
    bottom->addWidget(cmdLicence);
    bottom->addWidget(cmdDone);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);

    // The design's width, wide enough for the text to read well; the height
    // grows by the lines the text needs in the system's font.
    const int width = std::max(TwipSizeToPixels(4800, 2145).width(), 420);
    const int height =
        std::max(TwipSizeToPixels(4800, 2145).height(), layout->totalHeightForWidth(width));
    setFixedSize(width, height);
    CentreOnScreen(this, editor.mainWindow());
}

void frmAbout::cmdDone_Click() {
    close();
}

void frmAbout::cmdLicence_Click() {
    if (!licenceWindow) {
        auto* window = new QWidget(this, Qt::Window);
        window->setObjectName(QStringLiteral("frmLicence"));
        window->setWindowTitle(QStringLiteral("Tarlo Licence"));
        window->setAttribute(Qt::WA_DeleteOnClose);
        CloseOnEscape(window);
        auto* text = new QPlainTextEdit(window);
        text->setObjectName(QStringLiteral("txtLicence"));
        text->setAccessibleName(QStringLiteral("Licence text"));
        text->setReadOnly(true);
        QFile file(QStringLiteral(":/LICENSE"));
        text->setPlainText(file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll())
                                                          : QString::fromUtf8(kLicenceLine.data()));
        auto* layout = new QVBoxLayout(window);
        layout->addWidget(text);
        window->resize(640, 520);
        licenceWindow = window;
    }
    licenceWindow->show();
    licenceWindow->raise();
    licenceWindow->activateWindow();
}

QString LibrariesText() {
    const curl_version_info_data* curl = curl_version_info(CURLVERSION_NOW);
    return QStringLiteral(
               "Built with Qt %1 (LGPL-3.0), Qt WebEngine %2 with Chromium %3 (LGPL-3.0; "
               "Chromium: BSD-3-Clause and others), QScintilla %4 (GPL-3.0), libcurl %5 "
               "(curl licence).")
        .arg(QString::fromLatin1(qVersion()), QString::fromLatin1(qWebEngineVersion()),
             QString::fromLatin1(qWebEngineChromiumVersion()),
             QStringLiteral(QSCINTILLA_VERSION_STR),
             QString::fromLatin1(curl != nullptr ? curl->version : "?"));
}

void frmAbout::lblLink_Click() {
    const QUrl index = HelpIndexOnDisk();
    if (index.isValid()) QDesktopServices::openUrl(index);
}

AboutCommand::AboutCommand(Editor& editor, QObject* owner) : QObject(owner), editor_(editor) {
    setObjectName(QStringLiteral("AboutCommand"));
}

void AboutCommand::Show() {
    ShowToolWindow(window_, [this] { return new frmAbout(editor_); });
}

}  // namespace tarlo
