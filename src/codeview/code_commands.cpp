#include "codeview/code_commands.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string_view>

#include "codeview/code_view.h"
#include "codeview/html_colorizer.h"
#include "codeview/html_formatter.h"
#include "codeview/typing_aids.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "shell/document_files.h"
#include "shell/editor.h"
#include "shell/long_operation.h"
#include "shell/progress_windows.h"
#include "text/find_replace.h"
#include "text/line_breaks.h"

namespace tarlo {

namespace {

// Coloured code is shown at 8.5 points, the size of the colorizer's font.
constexpr double kColouredSize = 8.5;

// The text before the caret, read in place from the editor's buffer. Only
// the stretch before the caret is asked for: the editor's gap stands at the
// caret while typing, so nothing of a large filing is moved. The view's own
// breaks of long lines stand in it as line feeds; the typing aids look for
// quotes and tag marks, which those breaks never split.
std::string_view TextBeforeCaret(CodeView* view) {
    const auto caret =
        static_cast<long>(view->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART));
    if (caret <= 0) return {};
    const auto* chars = reinterpret_cast<const char*>(
        view->SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, 0UL, caret));
    if (chars == nullptr) return {};
    return std::string_view(chars, static_cast<std::size_t>(caret));
}

// After colouring and formatting the caret stands after the first character
// and the view shows the top of the text.
void CaretToTop(CodeView* view) {
    view->SetSel(view->PositionAfter(0), 0);
    view->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, 0UL);
    view->SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, 0UL);
}

}  // namespace

// The code view as the undo history hears of its changes and reads it. An
// undo loading its step is the history's own doing and is not told.
class CodeCommands::HistoryFeed final : public CodeView::EditWatcher, public UndoSource {
  public:
    HistoryFeed(CodeView& view, Document& document) : view_(&view), document_(document) {
        view.SetEditWatcher(this);
    }
    ~HistoryFeed() override {
        if (view_) view_->SetEditWatcher(nullptr);
    }
    HistoryFeed(const HistoryFeed&) = delete;
    HistoryFeed& operator=(const HistoryFeed&) = delete;

    std::string Text(std::size_t start, std::size_t length) const override {
        return view_->TextRange(static_cast<int>(start), static_cast<int>(length));
    }
    std::vector<StyleRun> Looks(std::size_t start, std::size_t length) const override {
        return view_->RunsIn(static_cast<int>(start), static_cast<int>(length));
    }

    void Inserted(int start, int length) override {
        if (Told() && start >= 0 && length > 0) {
            document_.History().Inserted(static_cast<std::size_t>(start),
                                         static_cast<std::size_t>(length));
        }
    }
    void Removing(int start, int length) override {
        if (const auto s = Stretch(start, length))
            document_.History().Removing(*this, s->first, s->second);
    }
    void Restyling(int start, int length) override {
        if (const auto s = Stretch(start, length))
            document_.History().Restyling(*this, s->first, s->second);
    }

  private:
    bool Told() const { return !document_.RestoringUndo && view_; }
    // The part of [start, start + length) inside the text, as (start, length).
    std::optional<std::pair<std::size_t, std::size_t>> Stretch(int start, int length) const {
        if (!Told()) return std::nullopt;
        const int total = view_->Length();
        const int from = std::clamp(start, 0, total);
        const int to = std::clamp(start + std::max(length, 0), from, total);
        if (from == to) return std::nullopt;
        return std::make_pair(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    }

    QPointer<CodeView> view_;
    Document& document_;
};

CodeCommands::CodeCommands(Editor& editor, QObject* owner)
    : QObject(owner),
      editor_(editor),
      feed_(std::make_unique<HistoryFeed>(editor.codeView(), editor.document())) {
    setObjectName("codeWindowServices");
    editor_.codeView().installEventFilter(this);
}

CodeCommands::~CodeCommands() = default;

void CodeCommands::FormatCode() {
    ProgressWindows& progress = editor_.progress();
    progress.ShowCodeProgress(QStringLiteral("Code is being formatted."));
    QCoreApplication::processEvents();
    QPointer<CodeCommands> self(this);
    {
        BusyPointer busy;
        // A page that does not answer leaves the code as it was; the progress
        // window still closes and the pointer comes back.
        if (std::optional<std::string> code = editor_.sync().CodeWithPageEdits()) {
            // The formatter reads and writes CR LF lines; a document with
            // other breaks is formatted as if it had those, then gets its own.
            if (editor_.document().Form().lineBreak != LineBreak::CrLf) {
                code = WithLineBreaks(*code, LineBreak::CrLf);
            }
            PacedWork work;
            // Deeply drifting indentation can make a filing of a few megabytes
            // format into hundreds; past what the editor can hold the code
            // stays as it is and only the size is counted.
            std::string formatted;
            std::uint64_t formattedBytes = 0;
            FormatHtmlTo(
                *code,
                [&](std::string_view piece) {
                    formattedBytes += piece.size();
                    if (formattedBytes <= kMaxDocumentBytes) formatted.append(piece);
                },
                work);
            if (!self) return;
            if (formattedBytes <= kMaxDocumentBytes) {
                refusedFormat_.reset();
                editor_.codeView().SetTextUtf8(editor_.document().InOwnLineBreaks(formatted));
                CaretToTop(&editor_.codeView());
            } else {
                formatted = std::string();
                // Said once per page: Auto-Refresh would repeat it every minute.
                const std::size_t page = std::hash<std::string>{}(*code);
                if (refusedFormat_ != page) {
                    refusedFormat_ = page;
                    editor_.dialogs().Message(
                        editor_.mainWindow(),
                        QStringLiteral("Formatted, this document's code would be %1, more than "
                                       "Tarlo can edit (%2). The code was left as it was.")
                            .arg(QString::fromStdString(MegabytesText(formattedBytes)),
                                 QString::fromStdString(MegabytesText(kMaxDocumentBytes))),
                        QStringLiteral("Tarlo"), Buttons::Ok, Icon::Information);
                    if (!self) return;
                }
            }
        }
        if (!self) return;
    }
    progress.CloseCodeProgress();
}

void CodeCommands::ColorizeCodeView() {
    // There is nothing to colour until the code holds the page.
    if (editor_.codeView().Length() == 0) editor_.sync().Refresh();
    ColourCode();
}

void CodeCommands::ColourCode() {
    ProgressWindows& progress = editor_.progress();
    progress.ShowCodeProgress(QStringLiteral("Code is being colorized."));
    QCoreApplication::processEvents();
    {
        BusyPointer busy;
        CodeView& view = editor_.codeView();
        if (view.Length() > 0) {
            view.setUpdatesEnabled(false);
            const std::vector<RoleRun> roles = ColourRoles(view.TextUtf8());
            const CodeLook& look = editor_.document().Look;
            ColourSettings colours = look.Colours;
            colours.plain = look.ForegroundColor;
            std::vector<StyleRun> runs;
            runs.reserve(roles.size());
            for (const RoleRun& r : roles) {
                runs.push_back({static_cast<int>(r.start), static_cast<int>(r.length),
                                RoleColour(r.role, colours), kColouredSize});
            }
            view.ApplyRuns(runs);
            CaretToTop(&view);
            view.setUpdatesEnabled(true);
        }
    }
    progress.CloseCodeProgress();
}

void CodeCommands::FormatHtmlCode() {
    FormatCode();
    if (editor_.document().AutoColorize) {
        ColorizeCodeView();
    } else {
        editor_.sync().PaintCodePlain();
    }
}

void CodeCommands::ColorizeHtmlCode() {
    if (editor_.document().AutoFormat) FormatCode();
    ColorizeCodeView();
}

void CodeCommands::RecordUndoStep() {
    if (editor_.document().RestoringUndo) return;
    // The history heard of each change as it was made: it reads only the
    // stretches they reached.
    editor_.document().History().Record(*feed_);
}

void CodeCommands::LoadStep(const UndoStep& step) {
    CodeView* view = &editor_.codeView();
    Document& document = editor_.document();
    document.RestoringUndo = true;
    // Only the step's stretch changes.
    if (step.removed > 0 || !step.text.empty()) {
        view->SetSel(static_cast<int>(step.start), static_cast<int>(step.removed));
        view->ReplaceSelection(step.text);
    }
    view->ApplyRuns(step.runs);
    document.RestoringUndo = false;
}

void CodeCommands::Go(bool forward) {
    UndoHistory& history = editor_.document().History();
    if (forward ? !history.CanRedo() : !history.CanUndo()) return;
    // Changes since the last step (a colour pass) are not a step of their
    // own: the view goes back to the slot it stood on first.
    if (const std::optional<UndoStep> back = history.TakeBackUnrecorded(*feed_)) LoadStep(*back);
    const std::optional<UndoStep> step = forward ? history.Redo() : history.Undo();
    if (!step) return;
    LoadStep(*step);
    // The caret goes where the step changed the text.
    CodeView* view = &editor_.codeView();
    view->SetSel(static_cast<int>(step->start + step->text.size()), 0);
    view->ensureCursorVisible();
    editor_.ShowCaretPosition();
}

void CodeCommands::Undo() {
    Go(false);
}

void CodeCommands::Redo() {
    Go(true);
}

void CodeCommands::ToggleCase() {
    ++caseToggleCount_;
    CodeView* view = &editor_.codeView();
    const int start = view->SelStart();
    const int length = view->SelLength();
    if (length == 0) return;
    const QString selected = QString::fromUtf8(
        view->TextUtf8().substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length)));
    const QString changed =
        ToggleGivesUpperCase(caseToggleCount_) ? selected.toUpper() : selected.toLower();
    if (changed == selected) return;
    const QByteArray bytes = changed.toUtf8();
    view->ReplaceSelection(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    // The text stays selected, so the next toggle works on it again.
    view->SetSel(start, static_cast<int>(bytes.size()));
}

void CodeCommands::IndentParagraphs() {
    BusyPointer busy;
    CodeView* view = &editor_.codeView();
    // Two steps, as two changes the history records (each also leaves the
    // code plain): the indent, then the paragraphs that hold only it out.
    const std::string text = view->TextUtf8();
    view->SetTextUtf8(FindReplace(
        text, "<P>", "<P>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"));
    view->SetTextUtf8(IndentFirstLines(text));
}

bool CodeCommands::txtCode_KeyPress(QChar key) {
    CodeView* view = &editor_.codeView();
    const CodeLook& state = editor_.document().Look;
    if (key == u'<') view->SetTypingColour(state.Colours.tag);
    // Only these keys act inside a tag; any other key needs no look at the text.
    if (key != u'-' && key != u' ' && key != u'=' && key != u'>') return false;
    const std::string_view before = TextBeforeCaret(view);
    if (CaretInComment(before) || !CaretInTag(before)) return false;
    if (key == u'-') {
        const int caret = view->SelStart();
        if (caret >= 3 && view->TextRange(caret - 3, 3) == "<!-") {
            view->SetRangeColour(caret - 3, 3, state.Colours.spare);
        }
    } else if (key == u' ') {
        view->SetTypingColour(CaretInQuotedValue(before) ? state.Colours.attributeValue
                                                         : state.Colours.attributeName);
    } else if (key == u'=') {
        view->ReplaceSelection("=");
        view->SetTypingColour(state.Colours.attributeValue);
        return true;
    } else if (key == u'>') {
        view->SetTypingColour(state.Colours.tag);
        view->ReplaceSelection(">");
        view->SetTypingColour(state.ForegroundColor);
        return true;
    }
    return false;
}

bool CodeCommands::eventFilter(QObject* watched, QEvent* e) {
    if (watched == &editor_.codeView() && e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        const bool command =
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
        if (!command && key->text().size() == 1 && txtCode_KeyPress(key->text().at(0))) {
            editor_.ShowCaretPosition();
            return true;
        }
    }
    return QObject::eventFilter(watched, e);
}

void CodeCommands::StartHistory() {
    editor_.document().History().Begin();
}

CodeCommands* InstallCodeCommands(Editor& editor, QObject* owner) {
    auto* c = new CodeCommands(editor, owner);
    // Each document has a history of its own, which starts with the document
    // as it was loaded: undo never shows another document's text.
    const QPointer<CodeCommands> self = c;
    editor.document().AddReplacedListener([self] {
        if (self) self->StartHistory();
    });
    editor.sync().SetFormatting(c);
    editor.sync().SetUndoRecorder(c);
    CommandTable& commands = editor.commands();
    commands.Set(CommandId::FormatHtml, [c] { c->FormatHtmlCode(); });
    commands.Set(CommandId::ColorizeHtml, [c] { c->ColorizeHtmlCode(); });
    commands.Set(CommandId::Undo, [c] { c->Undo(); });
    commands.Set(CommandId::Redo, [c] { c->Redo(); });
    commands.Set(CommandId::ToggleCase, [c] { c->ToggleCase(); });
    commands.Set(CommandId::IndentFirstLines, [c] { c->IndentParagraphs(); });
    return c;
}

}  // namespace tarlo
