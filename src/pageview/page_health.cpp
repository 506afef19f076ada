#include "pageview/page_health.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "document/document.h"
#include "pageview/visual_view.h"
#include "shell/dialogs.h"
#include "shell/editor.h"

namespace tarlo {

namespace {

PageEnd EndOf(QWebEnginePage::RenderProcessTerminationStatus status) {
    switch (status) {
        case QWebEnginePage::NormalTerminationStatus:
            return PageEnd::Normal;
        case QWebEnginePage::AbnormalTerminationStatus:
            return PageEnd::Abnormal;
        case QWebEnginePage::CrashedTerminationStatus:
            return PageEnd::Crashed;
        case QWebEnginePage::KilledTerminationStatus:
            return PageEnd::Killed;
    }
    return PageEnd::Abnormal;
}

}  // namespace

PageHealth::PageHealth(Editor& editor, QObject* owner) : QObject(owner), editor_(editor) {
    setObjectName("PageHealth");
    cmdShowPage = new QPushButton(QStringLiteral("Show the Page Again"));
    cmdShowPage->setObjectName("cmdShowPage");
    cmdShowPage->setAccessibleName(QStringLiteral("Show the page again"));
    cmdShowPage->setToolTip(
        QStringLiteral("The visual editor stopped: shows the document in it again"));
    cmdShowPage->hide();
    // A permanent place on the strip: the note beside it is a message, which
    // would cover an ordinary strip widget.
    if (auto* main = qobject_cast<QMainWindow*>(editor_.mainWindow())) {
        main->statusBar()->addPermanentWidget(cmdShowPage);
    } else {
        cmdShowPage->setParent(editor_.mainWindow());
    }
    connect(cmdShowPage, &QPushButton::clicked, this, &PageHealth::ShowPageAgain);
    connect(&editor_.visualView(), &VisualView::rendererEnded, this, &PageHealth::RendererEnded);
    // Opening another document brings the page back as well.
    connect(&editor_.visualView(), &VisualView::rendererRestarted, cmdShowPage, &QWidget::hide);
}

void PageHealth::RendererEnded(QWebEnginePage::RenderProcessTerminationStatus status) {
    cmdShowPage->show();
    // Asked once the engine's notice has been handled and every wait on the
    // page has given up, not from inside them.
    const PageEnd how = EndOf(status);
    QTimer::singleShot(0, this, [this, how] { AskToShowAgain(how); });
}

void PageHealth::AskToShowAgain(PageEnd how) {
    if (asking_ || !editor_.visualView().rendererLost()) return;
    asking_ = true;
    const Document& document = editor_.document();
    const std::string name =
        document.DocumentPath.empty()
            ? std::string()
            : QFileInfo(QString::fromStdString(document.DocumentPath)).fileName().toStdString();
    const QPointer<PageHealth> self(this);
    const Answer answer = editor_.dialogs().Message(
        editor_.mainWindow(),
        QString::fromStdString(PageLostQuestion(name, document.Length(), how)), "Tarlo",
        Buttons::YesNo, Icon::Warning);
    if (!self) return;
    asking_ = false;
    if (answer == Answer::Yes) ShowPageAgain();
}

void PageHealth::ShowPageAgain() {
    VisualView& page = editor_.visualView();
    if (page.rendererLost()) page.ShowPageAgain();
}

PageHealth* InstallPageHealth(Editor& editor, QObject* owner) {
    return new PageHealth(editor, owner);
}

}  // namespace tarlo
