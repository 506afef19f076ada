#include "codeview/code_services.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>

#include "cleanup/find_replace.h"
#include "codeview/colour_roles.h"
#include "codeview/mod_format.h"
#include "codeview/typing_aids.h"
#include "editor/code_view.h"
#include "editor/long_operation.h"
#include "editor/progress_windows.h"
#include "editor/text_transfer.h"
#include "editor/visual_view.h"

namespace tarlo {

namespace {

// Coloured code is shown at 8.5 points, the size of the colorizer's font.
constexpr double kColouredSize = 8.5;
// Long runs let the window breathe this often, not once per tag.
constexpr qint64 kEventsEveryMs = 15;

// The text before the caret, read in place from the editor's buffer.
std::string_view TextBeforeCaret(CodeView* view) {
    const auto* chars = reinterpret_cast<const char*>(
        view->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    const int caret = view->SelStart();
    if (chars == nullptr || caret <= 0) return {};
    return std::string_view(chars, static_cast<std::size_t>(caret));
}

// After colouring and formatting the caret stands after the first character
// and the view shows the top of the text.
void CaretToTop(CodeView* view) {
    const long afterFirst = view->SendScintilla(QsciScintillaBase::SCI_POSITIONAFTER, 0UL);
    view->SetSel(static_cast<int>(afterFirst), 0);
    view->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, 0UL);
    view->SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, 0UL);
}

}  // namespace

CodeWindowServices::CodeWindowServices(frmMain& window) : QObject(&window), window_(window) {
    setObjectName("codeWindowServices");
    window_.txtCode->installEventFilter(this);
}

void CodeWindowServices::FormatCodeView() {
    ProgressWindows* progress = window_.progressWindows();
    progress->ShowCodeProgress(QStringLiteral("Code is being formatted."));
    QCoreApplication::processEvents();
    QPointer<CodeWindowServices> self(this);
    {
        BusyPointer busy;
        // A page that does not answer leaves the code as it was; the progress
        // window still closes and the pointer comes back.
        if (const std::optional<QString> html = window_.Web->OuterHtml()) {
            QElapsedTimer sinceEvents;
            sinceEvents.start();
            const std::string formatted =
                FormatHtml(PageHtmlToCode(html->toStdString()), [&sinceEvents] {
                    if (sinceEvents.elapsed() >= kEventsEveryMs) {
                        QCoreApplication::processEvents();
                        sinceEvents.restart();
                    }
                });
            if (!self) return;
            window_.txtCode->SetTextUtf8(formatted);
            CaretToTop(window_.txtCode);
        }
        if (!self) return;
    }
    progress->CloseCodeProgress();
}

void CodeWindowServices::ColorizeCodeView() {
    ProgressWindows* progress = window_.progressWindows();
    progress->ShowCodeProgress(QStringLiteral("Code is being colorized."));
    QCoreApplication::processEvents();
    QPointer<CodeWindowServices> self(this);
    {
        BusyPointer busy;
        CodeView* view = window_.txtCode;
        if (view->Length() == 0) window_.cmdRefreshCode_Click();
        if (!self) return;
        if (view->Length() > 0) {
            view->setUpdatesEnabled(false);
            const std::vector<RoleRun> roles = ColourRoles(view->TextUtf8());
            ColourSettings colours = window_.state().Colours;
            colours.plain = window_.state().ForegroundColorValue();
            std::vector<StyleRun> runs;
            runs.reserve(roles.size());
            for (const RoleRun& r : roles) {
                runs.push_back({static_cast<int>(r.start), static_cast<int>(r.length),
                                RoleColour(r.role, colours), kColouredSize});
            }
            view->ApplyRuns(runs);
            CaretToTop(view);
            view->setUpdatesEnabled(true);
        }
    }
    progress->CloseCodeProgress();
}

void CodeWindowServices::mnuFormat_Click() {
    FormatCodeView();
    if (window_.state().AutoColorize) {
        ColorizeCodeView();
    } else {
        window_.PaintCodePlain();
    }
}

void CodeWindowServices::mnuColorize_Click() {
    if (window_.state().AutoFormat) FormatCodeView();
    ColorizeCodeView();
}

void CodeWindowServices::RecordUndoSnapshot() {
    if (window_.state().RestoringUndo) return;
    const std::vector<StyleRun> runs = window_.txtCode->Runs();
    std::vector<LookRun> looks;
    looks.reserve(runs.size());
    for (const StyleRun& r : runs) looks.push_back({r.start, r.length, r.colour, r.pointSize});
    history_.Record(window_.txtCode->TextUtf8(), looks);
}

void CodeWindowServices::LoadSnapshot(const UndoSnapshot& snapshot) {
    CodeView* view = window_.txtCode;
    std::vector<StyleRun> runs;
    runs.reserve(snapshot.runs.size());
    for (const LookRun& r : snapshot.runs)
        runs.push_back({r.start, r.length, r.colour, r.pointSize});
    window_.state().RestoringUndo = true;
    view->SetTextUtf8(snapshot.text);
    view->ApplyRuns(runs);
    window_.state().RestoringUndo = false;
    // The caret goes where the step changed the text.
    view->SetSel(static_cast<int>(std::min(snapshot.changedAt, snapshot.text.size())), 0);
    view->ensureCursorVisible();
    window_.ShowCaretPosition();
}

void CodeWindowServices::cmdUndo_Click() {
    if (const std::optional<UndoSnapshot> s = history_.Undo()) LoadSnapshot(*s);
}

void CodeWindowServices::cmdRedo_Click() {
    if (const std::optional<UndoSnapshot> s = history_.Redo()) LoadSnapshot(*s);
}

void CodeWindowServices::cmdCase_Click() {
    ++caseToggleCount_;
    CodeView* view = window_.txtCode;
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

void CodeWindowServices::cmdAutoIndent_Click() {
    BusyPointer busy;
    CodeView* view = window_.txtCode;
    // Two steps, as two changes: the indent, then the empty paragraphs out.
    const std::string text = view->TextUtf8();
    const std::string indented =
        FindReplace(text, "<P>", "<P>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;");
    if (indented != text) view->SetTextUtf8(indented);
    const std::string cleaned = IndentFirstLines(text);
    if (cleaned != indented) view->SetTextUtf8(cleaned);
}

bool CodeWindowServices::txtCode_KeyPress(QChar key) {
    CodeView* view = window_.txtCode;
    const EditorState& state = window_.state();
    if (key == u'<') view->SetTypingColour(state.Colours.tag);
    const std::string_view before = TextBeforeCaret(view);
    if (CaretInComment(before) || !CaretInTag(before)) return false;
    if (key == u'-') {
        if (before.size() >= 3 && before.substr(before.size() - 3) == "<!-") {
            view->SetRangeColour(static_cast<int>(before.size()) - 3, 3, state.Colours.spare);
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
        view->SetTypingColour(state.ForegroundColorValue());
        return true;
    }
    return false;
}

bool CodeWindowServices::eventFilter(QObject* watched, QEvent* e) {
    if (watched == window_.txtCode && e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        const bool command =
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
        if (!command && key->text().size() == 1 && txtCode_KeyPress(key->text().at(0))) {
            window_.ShowCaretPosition();
            return true;
        }
    }
    return QObject::eventFilter(watched, e);
}

void InstallCodeServices(frmMain& window) {
    auto* services = new CodeWindowServices(window);
    window.SetCodeServices(services);
    window.SetUndoRecorder(services);
    window.SetCommand("mnuFormat_Click", [services] { services->mnuFormat_Click(); });
    window.SetCommand("mnuColorize_Click", [services] { services->mnuColorize_Click(); });
    window.SetCommand("cmdUndo_Click", [services] { services->cmdUndo_Click(); });
    window.SetCommand("cmdRedo_Click", [services] { services->cmdRedo_Click(); });
    window.SetCommand("cmdCase_Click", [services] { services->cmdCase_Click(); });
    window.SetCommand("cmdAutoIndent_Click", [services] { services->cmdAutoIndent_Click(); });
}

}  // namespace tarlo
