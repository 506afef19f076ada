#include "pageview/visual_view.h"

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

#include "pageview/request_filter.h"
#include "pageview/visual_page.h"
#include "text/code_patch.h"
#include "text/page_source.h"

namespace tarlo {

namespace {

// A write the engine never answered (a crashed renderer, a page torn down
// mid-call) must not block later pushes forever.
constexpr int kLostPushMs = 60000;
// How long typing must rest before the code goes to the page.
constexpr int kTypingPauseMs = 100;

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
    // Once: every document the page loads has the editor's page scripts.
    InstallPageScripts(*page_);
    setPage(page_);
    typingPause_ = new QTimer(this);
    typingPause_->setSingleShot(true);
    typingPause_->setInterval(kTypingPauseMs);
    connect(typingPause_, &QTimer::timeout, this, [this] { startPush(); });

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
    connect(page_, &QWebEnginePage::renderProcessTerminated, this, &VisualView::onRendererEnded);
}

VisualView::~VisualView() {
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(page_, nullptr, this, nullptr);  // its renderer ends with it
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
    if (!pageAvailable()) return std::nullopt;
    auto state = std::make_shared<CallState>();
    QEventLoop loop;
    state->loop = &loop;
    page_->runJavaScript(script, QWebEngineScript::ApplicationWorld, [state](const QVariant& v) {
        state->done = true;
        state->value = v;
        if (state->loop) state->loop->quit();
    });
    if (!state->done) {
        connect(this, &VisualView::rendererEnded, &loop, &QEventLoop::quit);
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    state->loop = nullptr;
    if (!state->done) return std::nullopt;
    return state->value;
}

std::optional<QVariant> VisualView::Call(const char* function, const QJsonArray& arguments,
                                         int timeoutMs) {
    return RunScript(PageCall(function, arguments), timeoutMs);
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
    shownCode_.reset();
    writtenCode_.reset();
    page_->allowNextNavigation();
    start();
    connect(this, &VisualView::rendererEnded, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!finished->has_value()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!self) return false;
    // Some loads (about:blank) never ask; the permission must not outlive this call.
    page_->forbidNavigation();
    disconnect(conn);
    const bool loaded = finished->has_value() && finished->value();
    if (loaded && rendererLost_) {
        // A page loaded after the renderer ended runs in a new one.
        rendererLost_ = false;
        setEnabled(!codeOnly_);
        setNote(QString());
        emit rendererRestarted();
        if (!self) return false;
        // The engine can start the new renderer without the page's scripts
        // (they went to the one that ended): they go in again, and the page
        // is loaded once more so that its document has them too.
        InstallPageScripts(*page_);
        return LoadAndWait(start, timeoutMs);
    }
    // The empty page the editor loads itself (at the start, for a document's
    // folder) is edited like any other: what the user types or pastes into
    // it must count as an edit even before any code is written into it.
    if (loaded) InstallEditMarker(timeoutMs);
    return loaded;
}

bool VisualView::Navigate(const QUrl& url, int timeoutMs) {
    return LoadAndWait([this, &url] { page_->load(url); }, timeoutMs);
}

bool VisualView::SetDocumentBase(const QString& folder, int timeoutMs) {
    QString path = QDir(folder).absolutePath();
    if (!path.endsWith('/')) path += '/';
    const QUrl base = QUrl::fromLocalFile(path);
    base_ = base;
    xhtml_ = false;
    return LoadAndWait(
        [this, &base] { page_->setHtml(QStringLiteral("<html><body></body></html>"), base); },
        timeoutMs);
}

bool VisualView::SetDesignMode(bool on, int timeoutMs) {
    const QString mode = on ? QStringLiteral("on") : QStringLiteral("off");
    const auto r = Call("setDesignMode", {mode}, timeoutMs);
    return r && r->toString() == mode;
}

std::optional<bool> VisualView::DesignModeOn(int timeoutMs) {
    const auto r = Call("designMode", {}, timeoutMs);
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
    // An XML page is written back as XML: names keep their case, prefixes
    // and "/>" stay.
    const auto r = Call("readHtml", {}, timeoutMs);
    if (!r || !r->isValid() || r->isNull() || r->typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return r->toString();
}

std::optional<std::vector<PageElementEdit>> VisualView::ReadChangedElements() {
    if (!WaitForPushes()) return std::nullopt;
    const auto r = Call("takeChangedElements");
    if (!r) return std::nullopt;
    const QVariantMap answer = r->toMap();
    if (!answer.contains(QStringLiteral("elements"))) return std::nullopt;
    return ElementEditsOf(answer.value(QStringLiteral("elements")).toList());
}

std::vector<PageElementEdit> VisualView::ElementEditsOf(const QVariantList& elements) {
    std::vector<PageElementEdit> edits;
    for (const QVariant& v : elements) {
        const QVariantMap element = v.toMap();
        PageElementEdit edit;
        for (const QVariant& step : element.value(QStringLiteral("path")).toList()) {
            edit.path.push_back(step.toInt());
        }
        for (const QVariant& name : element.value(QStringLiteral("names")).toList()) {
            edit.names.push_back(name.toString().toStdString());
        }
        edit.html = element.value(QStringLiteral("html")).toString().toStdString();
        const QVariant children = element.value(QStringLiteral("children"));
        if (children.isValid()) {
            const QVariantMap stretch = children.toMap();
            edit.children =
                PageElementEdit::Children{stretch.value(QStringLiteral("from")).toInt(),
                                          stretch.value(QStringLiteral("to")).toInt(),
                                          stretch.value(QStringLiteral("count")).toInt(),
                                          stretch.value(QStringLiteral("nowCount")).toInt()};
        }
        for (const QVariant& step : element.value(QStringLiteral("nowPath")).toList()) {
            edit.nowPath.push_back(step.toInt());
        }
        edit.shape = element.value(QStringLiteral("shape")).toString().toStdString();
        edits.push_back(std::move(edit));
    }
    return edits;
}

void VisualView::MarkHoldsCode(std::string_view code, std::optional<SourceMap> map) {
    // An answer about the page asked for before now no longer says what it
    // holds of its own. A push still on its way keeps its generation: its
    // answer must still end it, or every later push would wait behind it
    // (and a look is dropped while a push is pending anyway).
    if (!pushPending()) ++pushGeneration_;
    shownCode_.reset();
    writtenCode_.reset();
    // The page reads as this code: the next code edit can be matched
    // against it element by element.
    if (map && !pushPending()) {
        shownCode_ = ShownCode{std::string(PageContent(code)), ClaimsXhtml(code), std::move(map)};
    }
    // The page started its new record of edits when it handed the changed
    // elements over (takeChangedElements).
}

namespace {

// An empty XML page for XHTML code to go into.
const char* const kXhtmlShell =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head></head><body></body></html>";

// "error on line 3 at column 7: Opening and ending tag mismatch" from the
// engine's report of an XML error.
QString FirstXmlError(const QString& report) {
    const int at = report.indexOf(QLatin1String("error on line"));
    QString first = at >= 0 ? report.mid(at) : report.simplified();
    const int end = first.indexOf(QLatin1Char('\n'));
    if (end >= 0) first.truncate(end);
    return first.trimmed();
}

}  // namespace

bool VisualView::InstallEditMarker(int timeoutMs) {
    const auto r = Call("watchEdits", {false}, timeoutMs);
    return r && r->toBool();
}

bool VisualView::WriteDocument(const QString& html, int timeoutMs) {
    if (!WaitForPushes(timeoutMs)) return false;
    shownCode_.reset();
    writtenCode_.reset();
    const auto r = Call("writeHtml", {html}, timeoutMs);
    return r && r->toBool();
}

std::optional<bool> VisualView::PageEdited(int timeoutMs) {
    // A page about to be rewritten from the code holds no edits of its own,
    // and a long write (a large filing) need not be waited for.
    if (pushPending() || !pageAvailable()) return false;
    const auto r = Call("edited", {}, timeoutMs);
    if (!r) return std::nullopt;
    return r->toBool();
}

std::optional<int> VisualView::PageEditCount(int timeoutMs) {
    if (pushPending() || !pageAvailable()) return 0;
    const auto r = Call("editCount", {}, timeoutMs);
    if (!r) return std::nullopt;
    return r->toInt();
}

bool VisualView::ExecCommand(const QString& name, const QString& value, bool showUi,
                             int timeoutMs) {
    const auto r = Call("exec", {name, showUi, value}, timeoutMs);
    return r && r->toBool();
}

void VisualView::ExecCommandLater(const QString& name, const QString& value) {
    if (!pageAvailable()) return;
    page_->runJavaScript(PageCall("exec", {name, false, value}),
                         QWebEngineScript::ApplicationWorld);
}

void VisualView::CodeChanged() {
    dirty_ = true;
    if (rendererLost_) return;  // the code goes in when the page is back
    if (inFlight_ && inFlightSince_.elapsed() > kLostPushMs) inFlight_ = false;
    if (inFlight_) return;
    // The text is read when typing rests: every key starts the wait again.
    typingPause_->start();
}

void VisualView::startPush() {
    if (!dirty_ || inFlight_ || !pushSource_ || rendererLost_) return;
    dirty_ = false;
    inFlight_ = true;
    inFlightSince_.start();
    ++pushesStarted_;
    const quint64 generation = ++pushGeneration_;
    const std::string code = pushSource_();
    const bool claimsXhtml = ClaimsXhtml(code);
    // A filing in its EDGAR wrapper shows the HTML document inside it.
    const std::string_view shown = PageContent(code);
    if (!PageCanShow(shown.size(), pageLimit_)) {
        showCodeOnly(shown.size());
        finishPush(generation);
        return;
    }
    if (codeOnly_) {
        codeOnly_ = false;
        setEnabled(true);
    }
    if (patchCode(shown, claimsXhtml, generation)) return;
    // Kept once the page has it, so that the next edit can be matched
    // against what the page was built from.
    writtenCode_ = ShownCode{std::string(shown), claimsXhtml, std::nullopt};
    ++wholePushes_;
    writeCode(QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())), claimsXhtml,
              generation, 0);
}

void VisualView::writeCode(const QString& code, bool claimsXhtml, quint64 generation, int attempt) {
    QPointer<VisualView> self(this);
    page_->runJavaScript(
        PageCall("pushCode", {code, claimsXhtml}), QWebEngineScript::ApplicationWorld,
        [self, generation, code, claimsXhtml, attempt](const QVariant& v) {
            if (!self || generation != self->pushGeneration_) return;
            const QVariantMap answer = v.toMap();
            const QString need = answer.value(QStringLiteral("need")).toString();
            if (need.isEmpty() || attempt > 0) {
                const QString kind = answer.value(QStringLiteral("kind")).toString();
                self->xhtml_ = kind == QLatin1String("xhtml");
                self->shownCode_ = std::move(self->writtenCode_);
                self->writtenCode_.reset();
                // XHTML code shown as HTML is pushed whole until it is
                // well-formed, when the page's kind changes.
                if (self->shownCode_ && self->shownCode_->claimsXhtml != self->xhtml_) {
                    self->shownCode_.reset();
                }
                const QString error = answer.value(QStringLiteral("note")).toString();
                self->setNote(error.isEmpty()
                                  ? QString()
                                  : QStringLiteral("This document declares itself XHTML but is "
                                                   "not well-formed XML (%1); it is shown as HTML.")
                                        .arg(FirstXmlError(error)));
                self->finishPush(generation);
                return;
            }
            // The page is of the other kind: an empty page of the right kind
            // first, with the document's folder as its base, then the code.
            auto conn = std::make_shared<QMetaObject::Connection>();
            *conn = connect(self->page_, &QWebEnginePage::loadFinished, self,
                            [self, generation, code, claimsXhtml, conn](bool) {
                                disconnect(*conn);
                                if (!self || generation != self->pushGeneration_) return;
                                self->page_->forbidNavigation();
                                self->writeCode(code, claimsXhtml, generation, 1);
                            });
            self->page_->allowNextNavigation();
            if (need == QLatin1String("xhtml")) {
                self->page_->setContent(QByteArray(kXhtmlShell),
                                        QStringLiteral("application/xhtml+xml"), self->base_);
            } else {
                self->page_->setHtml(QStringLiteral("<html><body></body></html>"), self->base_);
            }
        });
}

bool VisualView::patchCode(std::string_view shown, bool claimsXhtml, quint64 generation) {
    if (!elementPatches_ || !shownCode_ || shownCode_->claimsXhtml != claimsXhtml) {
        shownCode_.reset();
        return false;
    }
    const HtmlSyntax syntax = xhtml_ ? HtmlSyntax::Xhtml : HtmlSyntax::Html;
    if (!shownCode_->map) shownCode_->map = SourceMap::Build(shownCode_->text, syntax);
    SourceMap map = SourceMap::Build(shown, syntax);
    const std::optional<PageElementPatch> patch =
        PatchForCodeEdit(shownCode_->text, *shownCode_->map, shown, map, xhtml_);
    // Whatever the page answers, it no longer shows the old code for sure.
    shownCode_.reset();
    if (!patch) return false;
    QJsonArray path;
    for (const int step : patch->path) path.append(step);
    auto now =
        std::make_shared<ShownCode>(ShownCode{std::string(shown), claimsXhtml, std::move(map)});
    QPointer<VisualView> self(this);
    page_->runJavaScript(
        PageCall("patchElement", {path, QString::fromStdString(patch->html), xhtml_}),
        QWebEngineScript::ApplicationWorld, [self, generation, now](const QVariant& v) {
            if (!self || generation != self->pushGeneration_) return;
            if (v.toBool()) {
                ++self->patchedPushes_;
                self->shownCode_ = std::move(*now);
                self->finishPush(generation);
                return;
            }
            ++self->wholePushes_;
            self->writtenCode_ = std::move(*now);
            const ShownCode& code = *self->writtenCode_;
            self->writeCode(QString::fromStdString(code.text), code.claimsXhtml, generation, 0);
        });
    return true;
}

bool VisualView::MarkFacts(bool on) {
    factsMarked_ = on;
    const auto r = Call("markFacts", {on});
    return r && r->toBool();
}

bool VisualView::ShowFact(const QString& id, int index) {
    const auto r = Call("showFact", {id, index});
    return r && r->toBool();
}

void VisualView::finishPush(quint64 generation) {
    if (generation != pushGeneration_) return;
    inFlight_ = false;
    // A page written anew has none of the marks the last one had.
    if (factsMarked_) {
        page_->runJavaScript(PageCall("markFacts", {true}), QWebEngineScript::ApplicationWorld);
    }
    emit pushFinished();
    if (dirty_) typingPause_->start();
}

void VisualView::setNote(const QString& note) {
    if (note == pageNote_) return;
    pageNote_ = note;
    emit pageNoteChanged(note);
}

bool VisualView::WaitForPushes(int timeoutMs) {
    if (rendererLost_) return false;  // nothing reaches a page that is gone
    if (!pushPending()) return true;
    if (!inFlight_) startPush();
    QElapsedTimer clock;
    clock.start();
    QPointer<VisualView> self(this);
    while (self && !rendererLost_ && (dirty_ || inFlight_)) {
        if (clock.elapsed() > timeoutMs) return false;
        if (dirty_ && !inFlight_) startPush();
        QEventLoop loop;
        connect(this, &VisualView::pushFinished, &loop, &QEventLoop::quit);
        connect(this, &VisualView::rendererEnded, &loop, &QEventLoop::quit);
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return self != nullptr && !rendererLost_;
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
    if (isIn && !wasIn) {
        // The user turns to the page: it takes the code now, before anything
        // done in it, not after the pause meant for typing.
        if (typingPause_->isActive()) {
            typingPause_->stop();
            startPush();
        }
        emit gotFocus();
    }
    if (wasIn && !isIn) emit lostFocus();
}

void VisualView::onRendererEnded(QWebEnginePage::RenderProcessTerminationStatus status) {
    // The page holds nothing any more: whatever waits on it gives up now, the
    // code stays as it is, and it goes into the page again once one is back.
    rendererLost_ = true;
    inFlight_ = false;
    shownCode_.reset();
    writtenCode_.reset();
    dirty_ = true;
    ++pushGeneration_;
    typingPause_->stop();
    setEnabled(false);
    setNote(QString::fromStdString(PageLostNote()));
    emit rendererEnded(status);
}

bool VisualView::ShowPageAgain(int timeoutMs) {
    xhtml_ = false;
    const bool loaded = LoadAndWait(
        [this] { page_->setHtml(QStringLiteral("<html><body></body></html>"), base_); }, timeoutMs);
    if (!loaded || rendererLost_) return false;
    if (!codeOnly_) SetDesignMode(true, timeoutMs);
    CodeChanged();
    return WaitForPushes(timeoutMs);
}

void VisualView::showCodeOnly(std::uint64_t bytes) {
    codeOnly_ = true;
    shownCode_.reset();
    writtenCode_.reset();
    setEnabled(false);
    const QString note = QString::fromStdString(CodeOnlyNote(bytes, pageLimit_));
    setNote(note);
    // A short note in place of the document, not editable: nothing in the
    // page could be taken for the document.
    page_->runJavaScript(PageCall("showNote", {note}), QWebEngineScript::ApplicationWorld);
}

void VisualView::LookAtPageLater(int htmlAtEdits, bool whole,
                                 std::function<void(std::optional<PageLook>)> done) {
    if (pushPending()) {
        QTimer::singleShot(0, this, [done = std::move(done)] { done(PageLook{}); });
        return;
    }
    // A push or a load that starts before the answer comes makes it an
    // answer about a page that is no longer shown.
    const quint64 generation = pushGeneration_;
    auto loaded = std::make_shared<bool>(false);
    auto watch = std::make_shared<QMetaObject::Connection>(
        connect(page_, &QWebEnginePage::loadStarted, this, [loaded] { *loaded = true; }));
    QPointer<VisualView> self(this);
    page_->runJavaScript(
        PageCall("look", {htmlAtEdits, whole}), QWebEngineScript::ApplicationWorld,
        [self, generation, loaded, watch, htmlAtEdits, done = std::move(done)](const QVariant& v) {
            disconnect(*watch);
            if (!self) return;
            const bool html = v.typeId() == QMetaType::QString;
            const bool elements = v.typeId() == QMetaType::QVariantMap;
            if (*loaded || generation != self->pushGeneration_ || self->pushPending() ||
                (!html && !elements && !v.canConvert<int>())) {
                done(std::nullopt);
                return;
            }
            PageLook look;
            look.edits = html || elements ? htmlAtEdits : v.toInt();
            if (html) look.html = v.toString();
            if (elements) {
                look.elements =
                    ElementEditsOf(v.toMap().value(QStringLiteral("elements")).toList());
            }
            done(look);
        });
}

}  // namespace tarlo
