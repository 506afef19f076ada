// The document and the sync of its two views, driven through fakes of the
// code view and the page: the order of a refresh, what a change records and
// pushes, and when work counts as unsaved.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/view_sync.h"
#include "shell/command_table.h"

namespace tarlo {
namespace {

// Every call of the fakes, in order, in one log.
using Log = std::vector<std::string>;

class FakeCode : public CodeText {
  public:
    explicit FakeCode(Log& log) : log_(log) {}
    std::string TextUtf8() const override { return text; }
    void SetTextUtf8(std::string_view t) override {
        text = std::string(t);
        log_.push_back("set:" + text);
    }
    int Length() const override { return static_cast<int>(text.size()); }
    void PaintAll(WinColor colour, double size) override {
        log_.push_back("paint:" + std::to_string(colour) + "@" + std::to_string(int(size)));
    }
    void ResizeAll(WinColor, double size) override {
        log_.push_back("resize:" + std::to_string(int(size)));
    }
    void SetLineBreak(LineBreak kind) override { lineBreak = kind; }
    LineBreak lineBreak = LineBreak::CrLf;
    std::string text;

  private:
    Log& log_;
};

class FakePage : public PageView {
  public:
    explicit FakePage(Log& log) : log_(log) {}
    std::optional<std::string> ReadOuterHtml() override {
        log_.push_back("read");
        if (duringRead) duringRead();
        return html;
    }
    void TakeNewCode() override { log_.push_back("push"); }
    bool WaitForPendingPushes() override { return true; }
    std::optional<bool> HoldsOwnEdits() override { return edited; }
    bool ShowsXhtml() const override { return xhtml; }
    bool xhtml = false;
    std::optional<std::string> html;
    std::optional<bool> edited = false;
    std::function<void()> duringRead;

  private:
    Log& log_;
};

class FakeEvents : public LongWork {
  public:
    explicit FakeEvents(Log& log) : log_(log) {}
    void LetEventsRun() override { log_.push_back("events"); }

  private:
    Log& log_;
};

struct Recorders : CodeFormatting, UndoRecorder {
    explicit Recorders(Log& log) : log_(log) {}
    void FormatCode() override { log_.push_back("format"); }
    void ColourCode() override { log_.push_back("colour"); }
    void RecordUndoStep() override { log_.push_back("undo"); }
    Log& log_;
};

struct Fixture {
    Log log;
    FakeCode code{log};
    FakePage page{log};
    FakeEvents events{log};
    Recorders recorders{log};
    Document document{code};
    ViewSync sync{document, page, events};
};

TEST(ViewSync, RefreshTakesThePageThenFormatsAndColoursInThatOrder) {
    Fixture f;
    std::vector<DocumentStatus> statuses;
    f.document.SetStatusListener([&](DocumentStatus s) { statuses.push_back(s); });
    f.document.Look.ForegroundColor = kBlack;
    f.document.Look.CodeFontSize = 12;
    f.page.html = "<html>caf\xc3\xa9\n</html>";
    f.page.edited = true;

    // Without a formatter, or with both options off: the code is painted plain.
    f.sync.Refresh();
    EXPECT_EQ(f.log,
              (Log{"read", "set:<html>caf&#233;\r\n</html>", "events", "events", "paint:0@12"}));
    EXPECT_EQ(statuses, (std::vector<DocumentStatus>{DocumentStatus::Accurate}));

    f.sync.SetFormatting(&f.recorders);
    f.document.AutoFormat = true;
    f.document.AutoColorize = true;
    f.log.clear();
    f.sync.Refresh();
    EXPECT_EQ(f.log, (Log{"read", "set:<html>caf&#233;\r\n</html>", "events", "format", "colour"}));

    // A page that does not answer leaves the code as it was; the tail still runs.
    f.page.html.reset();
    f.document.AutoColorize = false;
    f.log.clear();
    f.sync.Refresh();
    EXPECT_EQ(f.log, (Log{"read", "events", "format", "events", "paint:0@12"}));
    EXPECT_EQ(f.code.text, "<html>caf&#233;\r\n</html>");
}

TEST(ViewSync, AnUneditedPageLeavesTheCodeByteForByte) {
    Fixture f;
    f.code.text = "<!DOCTYPE html>\r\n<HTML><P>x &#94; &nbsp;</HTML>\n";
    f.page.html = "<html><head></head><body><p>x ^ \xc2\xa0</p></body></html>";
    f.page.edited = false;
    f.sync.SetFormatting(&f.recorders);
    f.document.AutoFormat = true;
    f.sync.Refresh();
    // The page is not even read: it shows exactly the code.
    EXPECT_EQ(f.log, (Log{"events", "format", "events", "paint:16777215@9"}));
    EXPECT_EQ(f.code.text, "<!DOCTYPE html>\r\n<HTML><P>x &#94; &nbsp;</HTML>\n");
    EXPECT_EQ(f.sync.CodeWithPageEdits(), f.code.text);
    // A page that does not answer cannot be read either: the code stays.
    f.page.edited.reset();
    f.log.clear();
    f.document.AutoFormat = false;
    f.sync.Refresh();
    EXPECT_EQ(f.log, (Log{"events", "events", "paint:16777215@9"}));

    // Edited, the page is read back with what the code had around it kept.
    f.page.edited = true;
    EXPECT_EQ(f.sync.CodeWithPageEdits(),
              "<!DOCTYPE html>\r\n<html><head></head><body><p>x &#94; &#160;</p></body></html>");
}

TEST(ViewSync, ARefreshAskedForWhileOneReadsThePageIsSkipped) {
    Fixture f;
    f.page.html = "<p>x</p>";
    int reads = 0;
    f.page.duringRead = [&] {
        ++reads;
        f.sync.Refresh();  // a timer tick while the page is being read
    };
    f.page.edited = true;
    f.sync.Refresh();
    EXPECT_EQ(reads, 1);
    EXPECT_FALSE(f.sync.Refreshing());
    // Once it is over, the next refresh runs again.
    f.sync.Refresh();
    EXPECT_EQ(reads, 2);
}

TEST(ViewSync, EveryChangeRecordsAnUndoStepAndPushesExceptAnUndoLoad) {
    Fixture f;
    f.sync.SetUndoRecorder(&f.recorders);
    f.sync.CodeChanged();
    EXPECT_EQ(f.log, (Log{"undo", "push"}));
    f.log.clear();
    f.document.RestoringUndo = true;
    f.sync.CodeChanged();
    EXPECT_EQ(f.log, (Log{"push"}));
}

TEST(ViewSync, UnsavedWorkIsCodeUnlikeTheFileOrEditsInThePage) {
    Fixture f;
    f.code.text = "<p>saved</p>";
    f.document.SetSavedText("<p>saved</p>");
    EXPECT_FALSE(f.sync.HasUnsavedChanges());
    f.page.edited = true;
    EXPECT_TRUE(f.sync.HasUnsavedChanges());
    // A page that does not answer cannot claim edits of its own.
    f.page.edited.reset();
    EXPECT_FALSE(f.sync.HasUnsavedChanges());
    f.code.text = "<p>changed</p>";
    EXPECT_TRUE(f.sync.HasUnsavedChanges());
}

TEST(Document, CodeLookStartsAsTheWindowExpects) {
    CodeLook look;
    EXPECT_EQ(look.ForegroundColor, kWhite);
    EXPECT_EQ(look.CodeFontSize, 9);
    EXPECT_EQ(look.Colours.attributeValue, RgbColor(0, 128, 0));
    Log log;
    FakeCode code(log);
    Document document(code);
    EXPECT_EQ(document.Status(), DocumentStatus::Awaiting);
    EXPECT_FALSE(document.AutoFormat);
    EXPECT_FALSE(document.AutoColorize);
}

TEST(CommandTable, RunsWhatIsRegisteredAndNamesEveryCommand) {
    CommandTable table;
    int runs = 0;
    EXPECT_FALSE(table.Run(CommandId::Bold));
    table.Set(CommandId::Bold, [&] { ++runs; });
    EXPECT_TRUE(table.Has(CommandId::Bold));
    EXPECT_FALSE(table.Has(CommandId::Italic));
    EXPECT_TRUE(table.Run(CommandId::Bold));
    EXPECT_EQ(runs, 1);
    // A command that replaces itself while it runs finishes as it began.
    table.Set(CommandId::Italic, [&] {
        table.Set(CommandId::Italic, {});
        ++runs;
    });
    EXPECT_TRUE(table.Run(CommandId::Italic));
    EXPECT_EQ(runs, 2);
    EXPECT_FALSE(table.Has(CommandId::Italic));

    std::vector<std::string_view> names;
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        names.push_back(CommandName(static_cast<CommandId>(i)));
    }
    EXPECT_EQ(CommandName(CommandId::About), "About");
    EXPECT_EQ(CommandName(CommandId::CodeFontSize12), "CodeFontSize12");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end()) << "names repeat";
}

}  // namespace
}  // namespace tarlo
