#include "editor/visual_commands.h"

#include <QComboBox>
#include <QFont>
#include <QFontInfo>

#include "codeview/code_view.h"
#include "document/view_sync.h"
#include "pageview/visual_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "shell/editor.h"

namespace tarlo {

namespace {

// Names are passed exactly as the tools always passed them; the engine
// matches them without regard to case.
const VisualCommand kTable[] = {
    {CommandId::AlignLeft, "justifyleft", true},
    {CommandId::AlignCenter, "justifycenter", true},
    {CommandId::AlignRight, "justifyright", true},
    {CommandId::AlignFull, "justifyFull", true},
    {CommandId::Bold, "Bold", true},
    {CommandId::Italic, "Italic", true},
    {CommandId::Underline, "Underline", true},
    {CommandId::Indent, "Indent", true},
    {CommandId::Outdent, "Outdent", true},
    {CommandId::BulletList, "InsertunOrderedList", true},
    {CommandId::NumberedList, "InsertOrderedList", true},
    {CommandId::Unlink, "Unlink", false},
    {CommandId::HorizontalRule, "InsertHorizontalRule", false},
};

}  // namespace

const VisualCommand* VisualCommandTable(std::size_t& count) {
    count = std::size(kTable);
    return kTable;
}

VisualCommands::VisualCommands(Editor& editor, QObject* owner) : QObject(owner), editor_(editor) {
    setObjectName("VisualCommands");
}

void VisualCommands::Run(const VisualCommand& c) {
    // A command the page refuses (no selection, not editable yet) is
    // skipped; the focus step still runs.
    editor_.visualView().ExecCommand(c.command);
    if (c.focusAfter) editor_.FocusPage();
}

QString VisualCommands::SettledFontName(const QString& name) {
    QFont font;
    font.setFamily(name);
    return QFontInfo(font).family();
}

QString VisualCommands::CssColour(WinColor colour) {
    return QStringLiteral("#%1%2%3")
        .arg(RedOf(colour), 2, 16, QLatin1Char('0'))
        .arg(GreenOf(colour), 2, 16, QLatin1Char('0'))
        .arg(BlueOf(colour), 2, 16, QLatin1Char('0'));
}

void VisualCommands::ApplyFontName() {
    // The window's own font is not changed: that would restyle every
    // control of the window. The name is what the system settles on.
    fontName_ = SettledFontName(editor_.ChosenFontName());
    editor_.visualView().ExecCommand("FontName", fontName_, false);
    editor_.FocusPage();
}

void VisualCommands::ApplyFontSize() {
    const QString size = editor_.ChosenFontSize().left(1);
    editor_.visualView().ExecCommand("FontSize", size, false);
    editor_.FocusPage();
}

void VisualCommands::ApplyFontColour() {
    const QColor shown(RedOf(lastColour_), GreenOf(lastColour_), BlueOf(lastColour_));
    // A cancelled dialog applies the colour chosen last (black at first).
    if (const std::optional<QColor> c = editor_.dialogs().Colour(editor_.mainWindow(), shown)) {
        lastColour_ = RgbColor(c->red(), c->green(), c->blue());
    }
    editor_.visualView().ExecCommand("ForeColor", CssColour(lastColour_), false);
    editor_.FocusPage();
}

void VisualCommands::InsertPicture() {
    // The engine has no picture dialog of its own: ours asks for the address
    // and the alternate text. Cancelling either inserts nothing.
    const std::optional<QString> src = editor_.dialogs().Input(
        editor_.mainWindow(),
        "Picture address (a file beside the document or a web address):", "Insert Graphic",
        QString());
    if (!src || src->trimmed().isEmpty()) return;
    const std::optional<QString> alt = editor_.dialogs().Input(
        editor_.mainWindow(),
        "Alternate text (shown when the mouse hovers over the picture):", "Insert Graphic",
        QString());
    if (!alt) return;
    // The new picture (and only it) gets the alternate text.
    editor_.visualView().Call("insertImage", {src->trimmed(), *alt});
}

void VisualCommands::InsertLink() {
    const std::optional<QString> href = editor_.dialogs().Input(
        editor_.mainWindow(), "Link address:", "Insert Link", QStringLiteral("http://"));
    if (!href) return;
    const QString url = href->trimmed();
    if (url.isEmpty() || url == QLatin1String("http://")) return;
    editor_.visualView().ExecCommand("CreateLink", url, true);
}

void VisualCommands::ToggleWindowColours() {
    CodeLook& look = editor_.document().Look;
    ++look.WindowColorCount;
    if (look.WindowColorCount % 2 != 0) {
        editor_.codeView().SetBackgroundColour(kWhite);
        look.ForegroundColor = kBlack;
    } else {
        editor_.codeView().SetBackgroundColour(kBlack);
        look.ForegroundColor = kWhite;
    }
    look.Colours.plain = look.ForegroundColor;
    editor_.sync().Refresh();
}

VisualCommands* InstallVisualCommands(Editor& editor, QObject* owner) {
    auto* v = new VisualCommands(editor, owner);
    CommandTable& t = editor.commands();
    for (const VisualCommand& c : kTable) t.Set(c.id, [v, &c] { v->Run(c); });
    t.Set(CommandId::FontName, [v] { v->ApplyFontName(); });
    t.Set(CommandId::FontSize, [v] { v->ApplyFontSize(); });
    t.Set(CommandId::FontColour, [v] { v->ApplyFontColour(); });
    t.Set(CommandId::InsertPicture, [v] { v->InsertPicture(); });
    t.Set(CommandId::InsertLink, [v] { v->InsertLink(); });
    t.Set(CommandId::ToggleWindowColours, [v] { v->ToggleWindowColours(); });
    return v;
}

}  // namespace tarlo
