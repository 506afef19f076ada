#include "cleanup/edgarize_command.h"

#include <QJsonArray>
#include <QLabel>
#include <QVariantList>
#include <QVariantMap>

#include <charconv>
#include <string_view>
#include <vector>

#include "cleanup/edgarize.h"
#include "cleanup/edgarize_ixbrl.h"
#include "cleanup/keep_layout.h"
#include "codeview/code_view.h"
#include "document/view_sync.h"
#include "pageview/visual_view.h"
#include "shell/command_guards.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "shell/long_operation.h"
#include "text/page_source.h"

namespace tarlo {

namespace {

const char* const kConfirm =
    "This process can take a very long time and cannot be undone. You should save your work "
    "before running this command. Do you wish to continue?";

// The clean-up rewrites the page's HTML: without a page there is nothing
// it could read, and the user is told so rather than left wondering.
const char* const kNoPage =
    "Clean up works on the document as the Visual Editor shows it, and the Visual Editor is not "
    "showing this document now (it is too large for the page, or the page stopped). Nothing was "
    "changed; the code is as it was.";

// Said first, and No is the default, when the document is Inline XBRL.
const char* const kInlineXbrlWarning =
    "This document is Inline XBRL. Cleaning it removes its XBRL tagging (the ix: elements and "
    "their namespace declarations), and EDGAR will no longer find its facts.\n\n";

// Said first when the document is Inline XBRL in XHTML form, which is cleaned
// in the form that keeps its tagging.
const char* const kInlineXbrlMode =
    "This document is Inline XBRL: Clean up runs in its Inline XBRL form, which keeps the tagging, "
    "the namespace declarations and the hidden facts, and removes only comments, Office markup, "
    "scripts, style sheets and class attributes.\n\n";

// Said instead of the plain confirmation's first sentence by the clean-up
// that keeps the layout.
const char* const kConfirmKeepingLayout =
    "Clean up, keeping the layout, first writes what the document's style sheet does to each "
    "element into that element's style attribute, then removes what EDGAR refuses: Office markup, "
    "comments, spans, classes, ids, the style sheet, links and scripts. ";

// Said when the page could not work the layout out (it stopped, or took too
// long): the plain clean-up is still there to choose.
const char* const kNoLayout =
    "The Visual Editor could not work out this document's layout, so it was not cleaned. Nothing "
    "was changed; the code is as it was.";

// The page computes a large filing's look element by element; that may take
// far longer than an ordinary call to the page.
constexpr int kLayoutTimeoutMs = 300000;

// The styles the page resolved, by element number: the page answers with
// its distinct style texts and "number:text index" pairs joined by commas.
std::unordered_map<std::size_t, std::string> StylesByNumber(const QVariantMap& answer) {
    const QVariantList texts = answer.value(QStringLiteral("texts")).toList();
    const std::string which = answer.value(QStringLiteral("which")).toString().toStdString();
    std::vector<std::string> styles;
    styles.reserve(static_cast<std::size_t>(texts.size()));
    for (const QVariant& t : texts) styles.push_back(t.toString().toStdString());
    std::unordered_map<std::size_t, std::string> byNumber;
    std::size_t at = 0;
    while (at < which.size()) {
        std::size_t end = which.find(',', at);
        if (end == std::string::npos) end = which.size();
        const std::string_view pair(which.data() + at, end - at);
        const std::size_t colon = pair.find(':');
        std::size_t number = 0;
        std::size_t text = 0;
        if (colon != std::string_view::npos &&
            std::from_chars(pair.data(), pair.data() + colon, number).ec == std::errc() &&
            std::from_chars(pair.data() + colon + 1, pair.data() + pair.size(), text).ec ==
                std::errc() &&
            text < styles.size()) {
            byNumber[number] = styles[text];
        }
        at = end + 1;
    }
    return byNumber;
}

}  // namespace

EdgarizeCommand::EdgarizeCommand(Editor& editor, QObject* owner) : QObject(owner), editor_(editor) {
    setObjectName(QStringLiteral("EdgarizeCommand"));
    lbltest = new QLabel(editor.mainWindow());
    lbltest->setObjectName(QStringLiteral("lbltest"));
    lbltest->setAccessibleName(QStringLiteral("Clean-up statistics"));
    editor.AddStatusWidget(lbltest);
}

void EdgarizeCommand::CleanUp() {
    Run(false);
}

void EdgarizeCommand::CleanUpKeepingLayout() {
    Run(true);
}

void EdgarizeCommand::Run(bool keepLayout) {
    // A second click while the clean-up runs would clean a half-built page.
    if (running_) return;
    // The code holds the document as the user wrote it, or as the page
    // showed it at the last refresh; either tells an Inline XBRL filing.
    const std::string before = editor_.document().Text();
    const bool keepsTagging = IsInlineXbrlDocument(PageContent(before));
    // An Inline XBRL filing is cleaned from its code; every other document
    // from the page, which must be there to read.
    if (!keepsTagging && !editor_.visualView().pageAvailable()) {
        editor_.dialogs().Message(editor_.mainWindow(), QString::fromLatin1(kNoPage),
                                  QStringLiteral("Tarlo Code cleaner"), Buttons::Ok,
                                  Icon::Information);
        return;
    }
    const bool inlineXbrl = !keepsTagging && IsInlineXbrl(before);
    const QString confirm = keepLayout && !keepsTagging
                                ? QString::fromLatin1(kConfirmKeepingLayout) + kConfirm
                                : QString::fromLatin1(kConfirm);
    const QString question = keepsTagging ? QString::fromLatin1(kInlineXbrlMode) + confirm
                             : inlineXbrl ? QString::fromLatin1(kInlineXbrlWarning) + confirm
                                          : confirm;
    if (editor_.dialogs().Message(editor_.mainWindow(), question,
                                  QStringLiteral("Tarlo Code cleaner"),
                                  inlineXbrl ? Buttons::YesNoDefaultNo : Buttons::YesNo,
                                  inlineXbrl ? Icon::Warning : Icon::Information) != Answer::Yes) {
        return;
    }
    const RunningFlag running(running_);
    const QPointer<EdgarizeCommand> self(this);
    if (!RefreshForLongCommand(editor_, self)) return;
    editor_.document().MarkCodeAccurate();

    ProgressWindows& progress = editor_.progress();
    const ProgressCloser closer(editor_);
    if (frmEdgProgress* p = progress.ShowCleaningProgress()) {
        p->lblitem->setText(QStringLiteral("Cleaning code..."));
    }
    const BusyPointer busy;
    PacedWork work;
    work.onFigures = [&](std::string_view line) {
        if (self) lbltest->setText(QString::fromUtf8(line.data(), static_cast<int>(line.size())));
    };
    work.onStage = [&](std::string_view what) {
        if (!self) return;
        if (frmEdgProgress* p = progress.edgProgress()) {
            p->lblitem->setText(QString::fromUtf8(what.data(), static_cast<int>(what.size())));
        }
    };
    work.onAdvance = [&] {
        if (self) progress.ShowCleaningProgress();
    };
    std::string cleaned;
    if (keepsTagging) {
        // An XML document is cleaned from its code, which holds the XML
        // declaration and the empty-element tags the page's HTML loses.
        std::optional<std::string> kept = CleanUpInlineXbrl(editor_.document().Text(), work);
        if (!self || !kept) return;
        cleaned = std::move(*kept);
    } else {
        // The page's HTML is held here, not in a one-line work box, which would
        // cut a filing short at its length limit.
        std::optional<std::string> page;
        if (keepLayout) {
            // The page numbers its elements and keeps their looks for the
            // second step below; it holds the newest code first, as a read
            // of its HTML would wait for.
            const bool current = editor_.visualView().WaitForPushes(kLayoutTimeoutMs);
            if (!self) return;
            const std::optional<QVariant> marked =
                current ? editor_.visualView().Call("lookSnapshot", {}, kLayoutTimeoutMs)
                        : std::nullopt;
            if (!self) return;
            if (!marked || marked->isNull()) return TellNoLayout();
            page = marked->toString().toStdString();
        } else {
            page = editor_.visualView().ReadOuterHtml();
        }
        if (!self || !page || page->empty()) return;
        cleaned = Edgarize(*page, work);
        if (!self) return;
        // The page showed the HTML document inside a filing's EDGAR wrapper:
        // the wrapper goes back around the cleaned document, as the filer wrote it.
        cleaned = PutBackWrapper(editor_.document().Text(), std::move(cleaned));
        if (keepLayout) {
            // The page lays the cleaned document out as it will show it, its
            // DOCTYPE (kept inside a wrapper) included, and says per element
            // what it needs to look as before.
            work.Stage("Keeping the layout...");
            const std::string_view shown = PageContent(cleaned);
            const std::optional<QVariant> styles = editor_.visualView().Call(
                "resolveLooks",
                QJsonArray{QString::fromUtf8(shown.data(), static_cast<int>(shown.size()))},
                kLayoutTimeoutMs);
            if (!self) return;
            if (!styles || styles->isNull()) return TellNoLayout();
            cleaned = ApplyLooks(cleaned, StylesByNumber(styles->toMap()));
        }
    }

    // Straight into the code view: the user's clipboard is not ours to use.
    editor_.document().Code().SetTextUtf8(editor_.document().InOwnLineBreaks(cleaned));
    editor_.sync().Refresh();
    if (!self) return;
    progress.ShowCleaningProgress();
}

void EdgarizeCommand::TellNoLayout() {
    editor_.dialogs().Message(editor_.mainWindow(), QString::fromLatin1(kNoLayout),
                              QStringLiteral("Tarlo Code cleaner"), Buttons::Ok, Icon::Warning);
}

EdgarizeCommand* InstallCleanup(Editor& editor, QObject* owner) {
    const QPointer<EdgarizeCommand> command = new EdgarizeCommand(editor, owner);
    editor.commands().Set(CommandId::CleanUp, [command] {
        if (command) command->CleanUp();
    });
    editor.commands().Set(CommandId::CleanUpKeepingLayout, [command] {
        if (command) command->CleanUpKeepingLayout();
    });
    return command;
}

}  // namespace tarlo
