#include "cleanup/edgarize_command.h"

#include <QLabel>

#include "cleanup/edgarize.h"
#include "cleanup/edgarize_ixbrl.h"
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

}  // namespace

EdgarizeCommand::EdgarizeCommand(Editor& editor, QObject* owner) : QObject(owner), editor_(editor) {
    setObjectName(QStringLiteral("EdgarizeCommand"));
    lbltest = new QLabel(editor.mainWindow());
    lbltest->setObjectName(QStringLiteral("lbltest"));
    lbltest->setAccessibleName(QStringLiteral("Clean-up statistics"));
    editor.AddStatusWidget(lbltest);
}

void EdgarizeCommand::CleanUp() {
    // A second click while the clean-up runs would clean a half-built page.
    if (running_) return;
    if (!editor_.visualView().pageAvailable()) {
        editor_.dialogs().Message(editor_.mainWindow(), QString::fromLatin1(kNoPage),
                                  QStringLiteral("Tarlo Code cleaner"), Buttons::Ok,
                                  Icon::Information);
        return;
    }
    // The code holds the document as the user wrote it, or as the page
    // showed it at the last refresh; either tells an Inline XBRL filing.
    const std::string before = editor_.document().Text();
    const bool keepsTagging = IsInlineXbrlDocument(PageContent(before));
    const bool inlineXbrl = !keepsTagging && IsInlineXbrl(before);
    const QString question = keepsTagging ? QString::fromLatin1(kInlineXbrlMode) + kConfirm
                             : inlineXbrl ? QString::fromLatin1(kInlineXbrlWarning) + kConfirm
                                          : QString::fromLatin1(kConfirm);
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
        const std::optional<std::string> page = editor_.visualView().ReadOuterHtml();
        if (!self || !page || page->empty()) return;
        cleaned = Edgarize(*page, work);
        if (!self) return;
        // The page showed the HTML document inside a filing's EDGAR wrapper:
        // the wrapper goes back around the cleaned document, as the filer wrote it.
        const std::string code = editor_.document().Text();
        if (PageContent(code).size() != code.size()) {
            const PageSource source = DescribePageSource(code);
            cleaned = source.prolog + cleaned + source.epilog;
        }
    }

    // Straight into the code view: the user's clipboard is not ours to use.
    editor_.document().Code().SetTextUtf8(editor_.document().InOwnLineBreaks(cleaned));
    editor_.sync().Refresh();
    if (!self) return;
    progress.ShowCleaningProgress();
}

EdgarizeCommand* InstallCleanup(Editor& editor, QObject* owner) {
    const QPointer<EdgarizeCommand> command = new EdgarizeCommand(editor, owner);
    editor.commands().Set(CommandId::CleanUp, [command] {
        if (command) command->CleanUp();
    });
    return command;
}

}  // namespace tarlo
