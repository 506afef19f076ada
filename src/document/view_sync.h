#pragma once
// Keeping the two views of the document in step, as named steps:
//   code -> page: every change of the code records an undo step and pushes
//                 the code into the page (coalesced: typing never waits);
//   page -> code: the refresh takes back the elements the user changed in
//                 the page (only their bytes of the code change), or, where
//                 the code's bytes cannot be matched to the page's elements,
//                 the page's whole HTML as the code; then it formats the
//                 code, and colours or paints it, as the options say.
// The views are reached through the narrow interfaces below, which the real
// widgets implement and tests can fake.
#include <optional>
#include <string>
#include <vector>

#include "document/document.h"
#include "text/long_work.h"
#include "text/page_patch.h"

namespace tarlo {

// The visual view, as the sync needs it.
class PageView {
  public:
    virtual ~PageView() = default;
    // The page's HTML (outer HTML of its root) once every pending push is in
    // it; nothing when the page does not answer in time.
    virtual std::optional<std::string> ReadOuterHtml() = 0;
    // The code changed: the page takes the newest code as soon as it is free.
    virtual void TakeNewCode() = 0;
    // Waits until every change so far is in the page; false on a time-out.
    virtual bool WaitForPendingPushes() = 0;
    // Whether the page was edited in the view since the code was last pushed;
    // nothing when the page does not answer.
    virtual std::optional<bool> HoldsOwnEdits() = 0;
    // Whether the page is an XML document showing XHTML code (else HTML).
    virtual bool ShowsXhtml() const = 0;
    // The elements edited in the page since the code was last pushed, the
    // outermost ones, once every pending push is in it; nothing when the
    // page must be read whole (or does not answer). The page starts a new
    // record of edits in the same moment.
    virtual std::optional<std::vector<PageElementEdit>> ReadChangedElements() {
        return std::nullopt;
    }
    // The code has caught up with the page's edits without being pushed:
    // the page counts as unedited again and starts a new record of changes.
    // With the map of the code's page content, the page reads as that code
    // (nothing when it may not).
    virtual void MarkHoldsCode(std::string_view /*code*/, std::optional<SourceMap> /*map*/) {}
};

// The code window's formatter and colorizer, as a refresh runs them on the
// code view. Neither refreshes: the refresh calls them, never the reverse.
class CodeFormatting {
  public:
    virtual ~CodeFormatting() = default;
    virtual void FormatCode() = 0;
    virtual void ColourCode() = 0;
};

// Where every change of the code leaves its undo step.
class UndoRecorder {
  public:
    virtual ~UndoRecorder() = default;
    virtual void RecordUndoStep() = 0;
};

class ViewSync {
  public:
    // `events` lets pending window events run between the refresh's steps.
    ViewSync(Document& document, PageView& page, LongWork& events);

    void SetFormatting(CodeFormatting* formatting) { formatting_ = formatting; }
    void SetUndoRecorder(UndoRecorder* recorder) { undo_ = recorder; }

    // The code view's text changed (typed, pasted or assigned).
    void CodeChanged();
    // The page takes the newest code when it is free.
    void PushCodeToPage();
    bool WaitForPendingPush();
    // The page as code text, changed only where the page was edited;
    // nothing when the page does not answer.
    std::optional<std::string> ReadPage();
    // The code as it stands with the page's edits: the code itself while the
    // page holds no edit of its own, else the page read back.
    std::optional<std::string> CodeWithPageEdits();
    // Brings the code up to date with the page, then the tail below runs.
    // While the page holds no edit of its own it shows exactly the code, and
    // the code stays as the user wrote it, byte for byte. A refresh asked for
    // while one is under way (a timer tick or a click while the page is being
    // read) is skipped: it would only read the same page again.
    void Refresh();
    // The refresh's tail: format when Auto-Format is on, colour when
    // Auto-Colorize is on, else paint the code plain.
    void FormatAndColour();
    bool Refreshing() const { return refreshing_; }
    // How many refreshes took the page whole because its edits could not be
    // taken back element by element.
    int WholeRefreshCount() const { return wholeRefreshes_; }
    // Element-wise refreshes after which the page was written from the code
    // again, because it held a tree its markup does not read back into.
    int RewrittenPageCount() const { return rewrittenPages_; }
    // Colours the code with the code window's colorizer; false when the
    // editor has none.
    bool ColourCode();

    // The whole code in the plain colour at the code font size.
    void PaintCodePlain();
    // The whole code at the code font size, colours kept.
    void ApplyCodeFontSize();

    // Whether the page holds edits the code has not caught up with; a page
    // that does not answer holds none that could be had.
    bool PageHoldsEdits();

    // Whether the document holds work that is not in its file: code that
    // differs from what was last opened or saved, or edits in the page that
    // the code has not caught up with.
    bool HasUnsavedChanges();

    // The code a refresh would make of page HTML read earlier without
    // waiting (the recovery copy's read), while the page still shows the
    // code as it stands. ReadPage's conversion, without the read.
    std::string CodeOfPageHtml(std::string_view html);
    // The same for the code that built the page, the page's kind and the
    // document's line breaks, on any thread: a filing of megabytes is
    // converted off the GUI thread.
    static std::string PageHtmlToCode(std::string_view html, std::string_view code, bool xhtml,
                                      LineBreak lineBreak);

  private:
    // The element-wise refresh: the changed elements' bytes of the code
    // replaced in one change, which is not pushed back (the page shows it
    // already). False when the page must be taken whole.
    bool TakeChangedElements();

    Document& document_;
    PageView& page_;
    LongWork& events_;
    CodeFormatting* formatting_ = nullptr;
    UndoRecorder* undo_ = nullptr;
    bool refreshing_ = false;
    bool pageHoldsChange_ = false;  // the code change under way came from the page
    int wholeRefreshes_ = 0;
    int rewrittenPages_ = 0;
};

}  // namespace tarlo
