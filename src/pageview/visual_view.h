#pragma once
// The visual view `Web`: a browser-engine view whose document is in design
// mode. The engine answers asynchronously; this class gives the editor
// synchronous-looking calls, each bounded in time. A call that fails or times
// out returns false or an empty optional and the caller skips that step.
#include <QElapsedTimer>
#include <QJsonArray>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "document/view_sync.h"
#include "pageview/page_capacity.h"
#include "text/source_map.h"

namespace tarlo {

class RequestFilter;
class VisualPage;

class VisualView : public QWebEngineView, public PageView {
    Q_OBJECT
  public:
    explicit VisualView(QWidget* parent = nullptr);
    ~VisualView() override;

    static constexpr int kCallTimeoutMs = 15000;

    // Loads an address and waits until the page has loaded.
    bool Navigate(const QUrl& url, int timeoutMs = kCallTimeoutMs);
    // Loads an empty page whose address is the given folder, so that relative
    // picture paths of the next document resolve beside its file.
    bool SetDocumentBase(const QString& folder, int timeoutMs = kCallTimeoutMs);
    bool SetDesignMode(bool on, int timeoutMs = kCallTimeoutMs);
    std::optional<bool> DesignModeOn(int timeoutMs = kCallTimeoutMs);
    // Outer HTML of the root element; waits for pending pushes first.
    std::optional<QString> OuterHtml(int timeoutMs = kCallTimeoutMs);
    // Clears, writes and closes the document as an HTML page, and waits for
    // it: a change made in the page (the code does not hold it).
    bool WriteDocument(const QString& html, int timeoutMs = kCallTimeoutMs);
    // Watches the page as it stands for edits of the user's (design mode on,
    // nothing edited yet); every write of the code does the same.
    bool InstallEditMarker(int timeoutMs = kCallTimeoutMs);
    // Whether the page was edited in the view since the code was last written
    // into it; nothing when the page does not answer.
    std::optional<bool> PageEdited(int timeoutMs = kCallTimeoutMs);
    // How many changes the page has seen since the code was last written
    // into it (0: none); a count that moves means the user is at work there.
    std::optional<int> PageEditCount(int timeoutMs = kCallTimeoutMs);
    // Runs an editing command by name; false when the engine refuses it.
    bool ExecCommand(const QString& name, const QString& value = QString(), bool showUi = false,
                     int timeoutMs = kCallTimeoutMs);
    // Runs an editing command without waiting for its outcome.
    void ExecCommandLater(const QString& name, const QString& value = QString());
    // Runs a script of the editor's own (application world) and returns its value.
    std::optional<QVariant> RunScript(const QString& script, int timeoutMs = kCallTimeoutMs);
    // Calls one of the editor's page functions (resources/page/*.js, in
    // every document the page loads) with JSON arguments; as RunScript.
    std::optional<QVariant> Call(const char* function, const QJsonArray& arguments = {},
                                 int timeoutMs = kCallTimeoutMs);

    // The push: the code changed. The text is taken from the source after a
    // pause in typing and only when the page is free, so a key never waits
    // for reading and escaping a large filing; while one write is in flight
    // further changes only mark the page stale and the newest text follows.
    void SetPushSource(std::function<std::string()> source) { pushSource_ = std::move(source); }
    void CodeChanged();
    // Waits until every change so far is in the page.
    bool WaitForPushes(int timeoutMs = kCallTimeoutMs);
    bool pushPending() const { return dirty_ || inFlight_; }
    // Code that claims to be XHTML is shown in an XML document; code that
    // claims it but is not well-formed is shown as HTML, and this says why.
    bool showsXhtml() const { return xhtml_; }
    const QString& pageNote() const { return pageNote_; }
    int pushesStarted() const { return pushesStarted_; }
    // How many pushes rebuilt one element of the page, and how many wrote
    // the code whole (a patch the page refused counts as whole).
    int PatchedPushCount() const { return patchedPushes_; }
    int WholePushCount() const { return wholePushes_; }
    // Whether a code edit may rebuild one element instead of the page (on;
    // a benchmark turns it off to compare).
    void SetElementPatches(bool on) { elementPatches_ = on; }

    // Inline XBRL facts: every tagged fact marked in the page (or not), with
    // nothing of it in the document; kept on across the pages the code is
    // written into. False when the page cannot take the marks.
    bool MarkFacts(bool on);
    bool factsMarked() const { return factsMarked_; }
    // Brings a fact into view: by its id, else the index-th fact of the
    // document. False when there is none or it is hidden.
    bool ShowFact(const QString& id, int index);

    // The page as the document's sync sees it.
    std::optional<std::string> ReadOuterHtml() override;
    void TakeNewCode() override { CodeChanged(); }
    bool WaitForPendingPushes() override { return WaitForPushes(); }
    std::optional<bool> HoldsOwnEdits() override { return PageEdited(); }
    bool ShowsXhtml() const override { return xhtml_; }
    std::optional<std::vector<PageElementEdit>> ReadChangedElements() override;
    void MarkHoldsCode(std::string_view code, std::optional<SourceMap> map) override;

    // Whether the page shows the document and may be read or edited: not
    // while its renderer is gone, nor while the document is larger than the
    // page can hold (it is then open in the code view only). Every call that
    // needs the page fails at once meanwhile, and reads nothing.
    bool pageAvailable() const { return !rendererLost_ && !codeOnly_; }
    bool rendererLost() const { return rendererLost_; }
    bool codeOnly() const { return codeOnly_; }
    // The largest document the page is given (kMaxPageBytes); a test lowers
    // it so that it need not move tens of megabytes.
    void SetPageLimit(std::uint64_t bytes) { pageLimit_ = bytes; }
    std::uint64_t pageLimit() const { return pageLimit_; }
    // After the renderer ended: a fresh page, design mode on, the code pushed
    // again. False when the page does not come back.
    bool ShowPageAgain(int timeoutMs = kCallTimeoutMs);

    VisualPage* visualPage() const { return page_; }
    RequestFilter* requestFilter() const { return filter_; }
    bool hasFocusWithin() const;

    // A script argument carrying any text safely, as a JSON string literal.
    static QString JsString(const QString& text);

    // --- looking at the page without waiting for it (the recovery copy)
    // What the page held at one moment: how many edits of its own (as
    // PageEditCount counts them) and, when asked for, its HTML as OuterHtml
    // reads it, taken in the same moment.
    struct PageLook {
        int edits = 0;
        std::optional<QString> html;
        // In place of the HTML, when the page's changes can be taken element
        // by element (as a refresh takes them) and the whole was not asked for.
        std::optional<std::vector<PageElementEdit>> elements;
    };
    // The HTML is read only when the page holds edits of its own and their
    // count is the one given: the page has stood still since it was last
    // looked at. kNoHtml asks for the count alone.
    static constexpr int kNoHtml = -1;
    // Asks the page and returns at once; `done` gets the answer later, on
    // this thread, or nothing when the page took new code or another page
    // was loaded meanwhile (the answer no longer says what the page shows).
    // Nothing here waits or holds back the user's input, so typing in the
    // page goes on while it answers. A page about to take the code holds
    // nothing of its own and answers 0.
    void LookAtPageLater(int htmlAtEdits, bool whole,
                         std::function<void(std::optional<PageLook>)> done);

    // The changed elements of the page's answer, as PatchCodeFromPage takes them.
    static std::vector<PageElementEdit> ElementEditsOf(const QVariantList& elements);

  signals:
    void gotFocus();
    void lostFocus();
    void pushFinished();
    // The page's kind changed, or why XHTML code is shown as HTML (empty
    // when nothing needs saying).
    void pageNoteChanged(const QString& note);
    // Files from outside were dropped on the view (the editor opens them).
    void filesDropped(const QList<QUrl>& files);
    // The page's renderer ended (crashed, killed, out of memory): the page
    // shows nothing until ShowPageAgain or the next document.
    void rendererEnded(QWebEnginePage::RenderProcessTerminationStatus status);
    // A page loaded after that runs in a new renderer.
    void rendererRestarted();

  protected:
    // An editable page neither opens a dropped file nor takes it in: the
    // view catches such drops before the engine sees them.
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    bool LoadAndWait(const std::function<void()>& start, int timeoutMs);
    void startPush();
    // Writes the code into the page; when the page is of the wrong kind for
    // it, loads an empty page of the right kind first and writes again.
    void writeCode(const QString& code, bool claimsXhtml, quint64 generation, int attempt);
    void finishPush(quint64 generation);
    // Rebuilds the one element of the page the edit lies in, when the page
    // shows the code it was last built from and the edit is confined to a
    // trusted element; the code goes whole when the page refuses. False when
    // no patch is tried.
    bool patchCode(std::string_view shown, bool claimsXhtml, quint64 generation);
    void setNote(const QString& note);
    void onFocusChanged(QWidget* old, QWidget* now);
    void onRendererEnded(QWebEnginePage::RenderProcessTerminationStatus status);
    // Puts a short note in place of a document too large for the page.
    void showCodeOnly(std::uint64_t bytes);

    RequestFilter* filter_ = nullptr;
    VisualPage* page_ = nullptr;
    std::function<std::string()> pushSource_;
    QUrl base_;  // where the page's relative addresses resolve
    bool xhtml_ = false;
    QString pageNote_;
    bool dirty_ = false;
    bool inFlight_ = false;
    QTimer* typingPause_ = nullptr;  // starts the push once typing rests
    int pushesStarted_ = 0;
    quint64 pushGeneration_ = 0;
    QElapsedTimer inFlightSince_;
    bool fileDrag_ = false;  // the drag under way is files for the editor
    bool rendererLost_ = false;
    bool codeOnly_ = false;
    std::uint64_t pageLimit_ = kMaxPageBytes;

    // The code the page was last built or patched from (the part it shows),
    // so that the next edit can be matched against it; its map is made when
    // first needed. Nothing while the page may hold anything else: a push
    // under way, another page loaded, the page's own content taken as code.
    struct ShownCode {
        std::string text;
        bool claimsXhtml = false;
        std::optional<SourceMap> map;
    };
    std::optional<ShownCode> shownCode_;
    std::optional<ShownCode> writtenCode_;  // the whole push under way
    bool elementPatches_ = true;
    bool factsMarked_ = false;
    int patchedPushes_ = 0;
    int wholePushes_ = 0;
};

}  // namespace tarlo
