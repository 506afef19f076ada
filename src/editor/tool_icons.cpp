#include "editor/tool_icons.h"

namespace tarlo {

namespace {

// Control (object name) and its picture in resources/icons.
constexpr struct {
    const char* control;
    const char* picture;
} kPictures[] = {
    // The document toolbar, by button index.
    {"tbIcons_1", "new"},
    {"tbIcons_2", "email"},
    {"tbIcons_3", "open"},
    {"tbIcons_4", "save"},
    {"tbIcons_5", "cut"},
    {"tbIcons_6", "copy"},
    {"tbIcons_7", "paste"},
    {"tbIcons_8", "print"},
    {"tbIcons_9", "help"},
    // The code toolbar.
    {"tb2_1", "format_code"},
    {"tb2_2", "colorize_code"},
    {"tb2_3", "orientation"},
    // The big commands and the code-side tools.
    {"cmdRefreshCode", "refresh"},
    {"cmdEdgarize", "cleanup"},
    {"cmdEdgarizeLayout", "cleanup_layout"},
    {"cmdCheck", "check"},
    {"cmdCheck2", "check_edgar"},
    {"cmdEdgarRules", "edgar_rules"},
    {"cmdPreview", "preview"},
    {"cmdUpload", "ftp"},
    {"cmdSEO", "keywords"},
    {"cmdUndo", "undo"},
    {"cmdRedo", "redo"},
    {"cmdFind", "find"},
    {"cmdHTML", "html_tags"},
    {"cmdCase", "toggle_case"},
    {"cmdSpecial", "symbols"},
    {"cmdTable", "table"},
    // The visual editor's formatting commands.
    {"ImgColor", "font_color"},
    {"txtColor", "text_color"},
    {"cmdBold", "bold"},
    {"cmdItalics", "italic"},
    {"cmdUnder", "underline"},
    {"cmdIndent", "indent"},
    {"cmdOutdent", "outdent"},
    {"cmdAutoIndent", "indent_first_lines"},
    {"cmdLeft", "align_left"},
    {"cmdCenter", "align_center"},
    {"cmdRight", "align_right"},
    {"cmdFull", "align_full"},
    {"cmdBullets", "bullets"},
    {"cmdNumbers", "numbers"},
    {"cmdPic", "picture"},
    {"cmdLink", "link"},
    {"cmdUnlink", "unlink"},
    {"cmdRule", "rule"},
};

}  // namespace

QIcon ToolIcon(const QString& control) {
    for (const auto& p : kPictures) {
        if (control == QLatin1String(p.control)) {
            return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(p.picture)));
        }
    }
    return QIcon();
}

}  // namespace tarlo
