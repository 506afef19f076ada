#include "editor/visual_view.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMimeData>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <memory>

#include "editor/request_filter.h"
#include "editor/visual_page.h"

namespace tarlo {

namespace {

// A write the engine never answered (a crashed renderer, a page torn down
// mid-call) must not block later pushes forever.
constexpr int kLostPushMs = 60000;

struct CallState {
    bool done = false;
    QVariant value;
    QPointer<QEventLoop> loop;
};

}  // namespace

VisualView::VisualView(QWidget* parent) : QWebEngineView(parent) {
    // A private, in-memory profile: no cache or cookies on disk, and the
    // request filter applies to this view alone.
    auto* profile = new QWebEngineProfile(this);
    filter_ = new RequestFilter(profile);
    profile->setUrlRequestInterceptor(filter_);
    page_ = new VisualPage(profile, this);
    setPage(page_);

    QWebEngineSettings* s = page_->settings();
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, false);  // the page's own scripts
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    // A file dropped on the view asks to navigate there; the page refuses and
    // hands the file to the editor, which opens it as a document.
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, true);

    connect(qApp, &QApplication::focusChanged, this, &VisualView::onFocusChanged);
}

VisualView::~VisualView() {
    disconnect(qApp, nullptr, this, nullptr);
    // The page must go before its profile.
    setPage(nullptr);
    delete page_;
}

QString VisualView::JsString(const QString& text) {
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    // Strip the array brackets: what remains is one JSON string literal.
    return QString::fromUtf8(json.constData() + 1, json.size() - 2);
}

std::optional<QVariant> VisualView::RunScript(const QString& script, int timeoutMs) {
    auto state = std::make_shared<CallState>();
    QEventLoop loop;
    state->loop = &loop;
    page_->runJavaScript(script, QWebEngineScript::ApplicationWorld, [state](const QVariant& v) {
        state->done = true;
        state->value = v;
        if (state->loop) state->loop->quit();
    });
    if (!state->done) {
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    state->loop = nullptr;
    if (!state->done) return std::nullopt;
    return state->value;
}

bool VisualView::LoadAndWait(const std::function<void()>& start, int timeoutMs) {
    QPointer<VisualView> self(this);
    auto finished = std::make_shared<std::optional<bool>>();
    QEventLoop loop;
    auto conn = connect(page_, &QWebEnginePage::loadFinished, &loop, [finished, &loop](bool ok) {
        *finished = ok;
        loop.quit();
    });
    dirty_ = false;  // whatever was waiting to be written belongs to the old page
    page_->allowNextNavigation();
    start();
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!finished->has_value()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!self) return false;
    // Some loads (about:blank) never ask; the permission must not outlive this call.
    page_->forbidNavigation();
    disconnect(conn);
    return finished->has_value() && finished->value();
}

bool VisualView::Navigate(const QUrl& url, int timeoutMs) {
    return LoadAndWait([this, &url] { page_->load(url); }, timeoutMs);
}

bool VisualView::SetDocumentBase(const QString& folder, int timeoutMs) {
    QString path = QDir(folder).absolutePath();
    if (!path.endsWith('/')) path += '/';
    const QUrl base = QUrl::fromLocalFile(path);
    return LoadAndWait(
        [this, &base] { page_->setHtml(QStringLiteral("<html><body></body></html>"), base); },
        timeoutMs);
}

bool VisualView::SetDesignMode(bool on, int timeoutMs) {
    const auto r = RunScript(QStringLiteral("document.designMode = %1; document.designMode;")
                                 .arg(JsString(on ? "on" : "off")),
                             timeoutMs);
    return r && r->toString() == (on ? "on" : "off");
}

std::optional<bool> VisualView::DesignModeOn(int timeoutMs) {
    const auto r = RunScript(QStringLiteral("document.designMode"), timeoutMs);
    if (!r) return std::nullopt;
    return r->toString() == "on";
}

std::optional<std::string> VisualView::ReadOuterHtml() {
    const std::optional<QString> html = OuterHtml();
    if (!html) return std::nullopt;
    return html->toStdString();
}

std::optional<QString> VisualView::OuterHtml(int timeoutMs) {
    if (!WaitForPushes(timeoutMs)) return std::nullopt;
    const auto r = RunScript(
        QStringLiteral("document.documentElement ? document.documentElement.outerHTML : null"),
        timeoutMs);
    if (!r || !r->isValid() || r->isNull() || r->typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return r->toString();
}

namespace {

QString WriteScript(const QString& html) {
    // The design mode is set again after the write: a new document starts
    // out of it in some engines, and the view must stay editable.
    // Every edit made in the page raises an input event; a mark on the
    // document (in the editor's own script world) tells the document commands
    // that the page holds edits the code has not seen yet.
    return QStringLiteral(
               "(function(h){var d=document;d.open();d.write(h);d.close();"
               "d.designMode='on';d.__tarloEdited=false;"
               "window.__tarloMark=window.__tarloMark||function(){document.__tarloEdited=true;};"
               "d.addEventListener('input',window.__tarloMark,true);return true;})(%1)")
        .arg(VisualView::JsString(html));
}

}  // namespace

bool VisualView::WriteDocument(const QString& html, int timeoutMs) {
    if (!WaitForPushes(timeoutMs)) return false;
    const auto r = RunScript(WriteScript(html), timeoutMs);
    return r && r->toBool();
}

std::optional<bool> VisualView::PageEdited(int timeoutMs) {
    // A page about to be rewritten from the code holds no edits of its own,
    // and a long write (a large filing) need not be waited for.
    if (pushPending()) return false;
    const auto r = RunScript(QStringLiteral("document.__tarloEdited === true"), timeoutMs);
    if (!r) return std::nullopt;
    return r->toBool();
}

bool VisualView::ExecCommand(const QString& name, const QString& value, bool showUi,
                             int timeoutMs) {
    const auto r = RunScript(QStringLiteral("document.execCommand(%1, %2, %3)")
                                 .arg(JsString(name), showUi ? "true" : "false", JsString(value)),
                             timeoutMs);
    return r && r->toBool();
}

void VisualView::ExecCommandLater(const QString& name, const QString& value) {
    page_->runJavaScript(
        QStringLiteral("document.execCommand(%1, false, %2)").arg(JsString(name), JsString(value)),
        QWebEngineScript::ApplicationWorld);
}

void VisualView::CodeChanged() {
    dirty_ = true;
    if (inFlight_ && inFlightSince_.elapsed() > kLostPushMs) inFlight_ = false;
    if (inFlight_ || pushQueued_) return;
    // Let the keystroke finish first; the text is read when the push starts.
    pushQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        pushQueued_ = false;
        startPush();
    });
}

void VisualView::startPush() {
    if (!dirty_ || inFlight_ || !pushSource_) return;
    dirty_ = false;
    inFlight_ = true;
    inFlightSince_.start();
    ++pushesStarted_;
    const quint64 generation = ++pushGeneration_;
    QPointer<VisualView> self(this);
    page_->runJavaScript(WriteScript(pushSource_()), QWebEngineScript::ApplicationWorld,
                         [self, generation](const QVariant&) {
                             if (!self || generation != self->pushGeneration_) return;
                             self->inFlight_ = false;
                             emit self->pushFinished();
                             if (self->dirty_) self->startPush();
                         });
}

bool VisualView::WaitForPushes(int timeoutMs) {
    if (!pushPending()) return true;
    if (!inFlight_) startPush();
    QElapsedTimer clock;
    clock.start();
    QPointer<VisualView> self(this);
    while (self && (dirty_ || inFlight_)) {
        if (clock.elapsed() > timeoutMs) return false;
        if (dirty_ && !inFlight_) startPush();
        QEventLoop loop;
        connect(this, &VisualView::pushFinished, &loop, &QEventLoop::quit);
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return self != nullptr;
}

namespace {

// Local files dragged in from another program (a drag that starts in the page
// itself moves text or pictures within it and stays the engine's).
QList<QUrl> DroppedFiles(const QDropEvent* e) {
    QList<QUrl> files;
    if (e->source() != nullptr || e->mimeData() == nullptr || !e->mimeData()->hasUrls()) {
        return files;
    }
    for (const QUrl& url : e->mimeData()->urls()) {
        if (url.isLocalFile()) files << url;
    }
    return files;
}

}  // namespace

void VisualView::dragEnterEvent(QDragEnterEvent* e) {
    fileDrag_ = !DroppedFiles(e).isEmpty();
    if (!fileDrag_) {
        QWebEngineView::dragEnterEvent(e);
        return;
    }
    e->setDropAction(Qt::CopyAction);
    e->accept();
}

void VisualView::dragMoveEvent(QDragMoveEvent* e) {
    if (!fileDrag_) {
        QWebEngineView::dragMoveEvent(e);
        return;
    }
    e->setDropAction(Qt::CopyAction);
    e->accept();
}

void VisualView::dragLeaveEvent(QDragLeaveEvent* e) {
    // The engine never saw a drag that the view kept for itself.
    if (fileDrag_) {
        fileDrag_ = false;
        e->accept();
        return;
    }
    QWebEngineView::dragLeaveEvent(e);
}

void VisualView::dropEvent(QDropEvent* e) {
    fileDrag_ = false;
    const QList<QUrl> files = DroppedFiles(e);
    if (files.isEmpty()) {
        QWebEngineView::dropEvent(e);
        return;
    }
    e->setDropAction(Qt::CopyAction);
    e->accept();
    // The drag's owner waits for this event to return: open afterwards.
    QTimer::singleShot(0, this, [this, files] { emit filesDropped(files); });
}

bool VisualView::hasFocusWithin() const {
    QWidget* f = QApplication::focusWidget();
    return f != nullptr && (f == this || isAncestorOf(f));
}

void VisualView::onFocusChanged(QWidget* old, QWidget* now) {
    const bool wasIn = old != nullptr && (old == this || isAncestorOf(old));
    const bool isIn = now != nullptr && (now == this || isAncestorOf(now));
    if (isIn && !wasIn) emit gotFocus();
    if (wasIn && !isIn) emit lostFocus();
}

}  // namespace tarlo
