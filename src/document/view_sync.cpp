#include "document/view_sync.h"

#include "text/page_source.h"

namespace tarlo {

ViewSync::ViewSync(Document& document, PageView& page, LongWork& events)
    : document_(document), page_(page), events_(events) {}

void ViewSync::CodeChanged() {
    if (!document_.RestoringUndo && undo_ != nullptr) undo_->RecordUndoStep();
    if (!pageHoldsChange_) PushCodeToPage();
}

void ViewSync::PushCodeToPage() {
    page_.TakeNewCode();
}

bool ViewSync::WaitForPendingPush() {
    return page_.WaitForPendingPushes();
}

std::optional<std::string> ViewSync::ReadPage() {
    const std::optional<std::string> html = page_.ReadOuterHtml();
    if (!html) return std::nullopt;
    // The page was built from the code as it stands: a page with edits of
    // its own has no push pending, so the code has not changed since.
    PageSource source = DescribePageSource(document_.Text());
    source.xhtml = page_.ShowsXhtml();
    // The page has no line breaks of its own kind: they are the document's.
    return document_.InOwnLineBreaks(PageToCode(*html, source));
}

bool ViewSync::PageHoldsEdits() {
    return page_.HoldsOwnEdits().value_or(false);
}

std::optional<std::string> ViewSync::CodeWithPageEdits() {
    if (!PageHoldsEdits()) return document_.Text();
    return ReadPage();
}

void ViewSync::Refresh() {
    if (refreshing_) return;
    refreshing_ = true;
    document_.MarkCodeAccurate();
    // The whole page is taken only when its changed elements cannot be:
    // the assignment pushes exactly this text back into the page. A page
    // that does not answer leaves the code as it was.
    if (PageHoldsEdits() && !TakeChangedElements()) {
        ++wholeRefreshes_;
        if (const std::optional<std::string> code = ReadPage()) {
            document_.Code().SetTextUtf8(*code);
        }
    }
    events_.LetEventsRun();
    FormatAndColour();
    refreshing_ = false;
}

bool ViewSync::TakeChangedElements() {
    const std::optional<std::vector<PageElementEdit>> edits = page_.ReadChangedElements();
    if (!edits) return false;
    const std::string code = document_.Text();
    const std::optional<std::vector<CodeReplacement>> patch =
        PatchCodeFromPage(code, page_.ShowsXhtml(), document_.Form().lineBreak, *edits);
    if (!patch) return false;
    // One change of the code, so one undo step, however many elements.
    const CodeReplacement change = AsOneReplacement(code, *patch);
    if (change.range.length > 0 || !change.text.empty()) {
        pageHoldsChange_ = true;
        document_.Code().ReplaceRange(change.range.start, change.range.length, change.text);
        pageHoldsChange_ = false;
    }
    const std::string now = document_.Text();
    SourceMap map = SourceMap::Build(PageContent(now),
                                     page_.ShowsXhtml() ? HtmlSyntax::Xhtml : HtmlSyntax::Html);
    if (CodeReadsAsPage(map, page_.ShowsXhtml(), *edits)) {
        page_.MarkHoldsCode(now, std::move(map));
    } else {
        // The page holds a tree no markup reads back into: it is written
        // from the code, as a whole refresh would.
        ++rewrittenPages_;
        page_.MarkHoldsCode(now, std::nullopt);
        page_.TakeNewCode();
    }
    return true;
}

void ViewSync::FormatAndColour() {
    if (document_.AutoFormat && formatting_ != nullptr) formatting_->FormatCode();
    if (document_.AutoColorize && formatting_ != nullptr) {
        formatting_->ColourCode();
    } else {
        PaintCodePlain();
    }
}

bool ViewSync::ColourCode() {
    if (formatting_ == nullptr) return false;
    formatting_->ColourCode();
    return true;
}

void ViewSync::PaintCodePlain() {
    events_.LetEventsRun();
    document_.Code().PaintAll(document_.Look.ForegroundColor, document_.Look.CodeFontSize);
}

void ViewSync::ApplyCodeFontSize() {
    document_.Code().ResizeAll(document_.Look.ForegroundColor, document_.Look.CodeFontSize);
}

bool ViewSync::HasUnsavedChanges() {
    if (document_.CodeDiffersFromSaved()) return true;
    return PageHoldsEdits();
}

std::string ViewSync::CodeOfPageHtml(std::string_view html) {
    return PageHtmlToCode(html, document_.Text(), page_.ShowsXhtml(), document_.Form().lineBreak);
}

std::string ViewSync::PageHtmlToCode(std::string_view html, std::string_view code, bool xhtml,
                                     LineBreak lineBreak) {
    PageSource source = DescribePageSource(code);
    source.xhtml = xhtml;
    return WithLineBreaks(PageToCode(html, source), lineBreak);
}

}  // namespace tarlo
