#include "editor/visual_commands.h"

#include <QComboBox>
#include <QFont>
#include <QFontInfo>

#include "codeview/code_view.h"
#include "editor/dialogs.h"
#include "editor/main_window.h"
#include "editor/visual_view.h"

namespace tarlo {

namespace {

// Names are passed exactly as the tools always passed them; the engine
// matches them without regard to case.
const VisualCommand kTable[] = {
    {"cmdLeft_Click", "justifyleft", true},
    {"cmdCenter_Click", "justifycenter", true},
    {"cmdRight_Click", "justifyright", true},
    {"cmdFull_Click", "justifyFull", true},
    {"cmdBold_Click", "Bold", true},
    {"cmdItalics_Click", "Italic", true},
    {"cmdUnder_Click", "Underline", true},
    {"cmdIndent_Click", "Indent", true},
    {"cmdOutdent_Click", "Outdent", true},
    {"cmdBullets_Click", "InsertunOrderedList", true},
    {"cmdNumbers_Click", "InsertOrderedList", true},
    {"cmdUnlink_Click", "Unlink", false},
    {"cmdRule_Click", "InsertHorizontalRule", false},
};

// Inserts the picture and gives the new picture (and only it) its
// alternate text. Both texts arrive as JSON string literals.
const char* kInsertImageScript =
    "(function(src, alt){"
    "var before = new Set(Array.prototype.slice.call(document.images));"
    "if (!document.execCommand('InsertImage', true, src)) return false;"
    "var all = document.images;"
    "for (var i = 0; i < all.length; ++i) { if (!before.has(all[i])) all[i].alt = alt; }"
    "return true;})(%1, %2)";

}  // namespace

const VisualCommand* VisualCommandTable(std::size_t& count) {
    count = std::size(kTable);
    return kTable;
}

VisualCommands::VisualCommands(frmMain& window) : QObject(&window), w_(window) {
    setObjectName("VisualCommands");
}

void VisualCommands::Run(const VisualCommand& c) {
    // A command the page refuses (no selection, not editable yet) is
    // skipped; the focus step still runs.
    w_.Web->ExecCommand(c.command);
    if (c.focusAfter) w_.Web->setFocus();
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

void VisualCommands::cmbFontName_Click() {
    // The window's own font is not changed: that would restyle every
    // control of the window. The name is what the system settles on.
    fontName_ = SettledFontName(w_.cmbFontName->currentText());
    w_.Web->ExecCommand("FontName", fontName_, false);
    w_.Web->setFocus();
}

void VisualCommands::cmbFontSize_Click() {
    const QString size = w_.cmbFontSize->currentText().left(1);
    w_.Web->ExecCommand("FontSize", size, false);
    w_.Web->setFocus();
}

void VisualCommands::ImgColor_Click() {
    const QColor shown(RedOf(lastColour_), GreenOf(lastColour_), BlueOf(lastColour_));
    // A cancelled dialog applies the colour chosen last (black at first).
    if (const std::optional<QColor> c = w_.dialogs()->Colour(&w_, shown)) {
        lastColour_ = RgbColor(c->red(), c->green(), c->blue());
    }
    w_.Web->ExecCommand("ForeColor", CssColour(lastColour_), false);
    w_.Web->setFocus();
}

void VisualCommands::cmdPic_Click() {
    // The engine has no picture dialog of its own: ours asks for the address
    // and the alternate text. Cancelling either inserts nothing.
    const std::optional<QString> src = w_.dialogs()->Input(
        &w_, "Picture address (a file beside the document or a web address):", "Insert Graphic",
        QString());
    if (!src || src->trimmed().isEmpty()) return;
    const std::optional<QString> alt = w_.dialogs()->Input(
        &w_, "Alternate text (shown when the mouse hovers over the picture):", "Insert Graphic",
        QString());
    if (!alt) return;
    w_.Web->RunScript(QString::fromLatin1(kInsertImageScript)
                          .arg(VisualView::JsString(src->trimmed()), VisualView::JsString(*alt)));
}

void VisualCommands::cmdLink_Click() {
    const std::optional<QString> href =
        w_.dialogs()->Input(&w_, "Link address:", "Insert Link", QStringLiteral("http://"));
    if (!href) return;
    const QString url = href->trimmed();
    if (url.isEmpty() || url == QLatin1String("http://")) return;
    w_.Web->ExecCommand("CreateLink", url, true);
}

void VisualCommands::mnuColor_Click() {
    EditorState& st = w_.state();
    ++st.WindowColorCount;
    if (st.WindowColorCount % 2 != 0) {
        w_.txtCode->SetBackgroundColour(kWhite);
        st.ForegroundColor = "0";
    } else {
        w_.txtCode->SetBackgroundColour(kBlack);
        st.ForegroundColor = std::to_string(kWhite);
    }
    st.Colours.plain = st.ForegroundColorValue();
    w_.cmdRefreshCode_Click();
}

VisualCommands* InstallVisualCommands(frmMain& window) {
    auto* v = new VisualCommands(window);
    for (const VisualCommand& c : kTable) {
        window.SetCommand(c.handler, [v, &c] { v->Run(c); });
    }
    window.SetCommand("cmbFontName_Click", [v] { v->cmbFontName_Click(); });
    window.SetCommand("cmbFontSize_Click", [v] { v->cmbFontSize_Click(); });
    window.SetCommand("ImgColor_Click", [v] { v->ImgColor_Click(); });
    window.SetCommand("txtColor_Click", [v] { v->txtColor_Click(); });
    window.SetCommand("cmdPic_Click", [v] { v->cmdPic_Click(); });
    window.SetCommand("cmdLink_Click", [v] { v->cmdLink_Click(); });
    window.SetCommand("mnuColor_Click", [v] { v->mnuColor_Click(); });
    return v;
}

}  // namespace tarlo
