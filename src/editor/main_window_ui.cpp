// The tool rows, the menu bar and the hover tips of the main window.
#include <QActionGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "codeview/code_view.h"
#include "editor/main_window.h"
#include "editor/menu_keys.h"
#include "editor/status_panels.h"
#include "editor/tool_icons.h"
#include "editor/twips.h"
#include "pageview/visual_view.h"

namespace tarlo {

namespace {

constexpr int kRowHeight = 21;    // pixels
constexpr int kIconSize = 14;     // pixels, the pictures of every tool row
constexpr int kTipsLeft = 10350;  // twips

QFrame* Strip(QWidget* parent, const char* name, int x, int y, int w) {
    auto* strip = new QFrame(parent);
    strip->setObjectName(name);
    strip->setFrameShape(QFrame::StyledPanel);
    strip->setGeometry(x, y, w, kRowHeight);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(1, 0, 1, 0);
    row->setSpacing(0);
    return strip;
}

}  // namespace

QToolButton* frmMain::AddButton(QWidget* strip, const QString& name, const QString& tip,
                                const QString& glyph, CommandId command) {
    auto* b = new QToolButton(strip);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setAccessibleName(tip.isEmpty() ? glyph : tip);
    b->setAccessibleDescription(tip);
    b->setText(glyph);
    // The picture shows; the text stays for a style that shows text.
    b->setIcon(ToolIcon(name));
    b->setIconSize(QSize(kIconSize, kIconSize));
    b->setAutoRaise(true);
    b->setFixedHeight(kRowHeight - 2);
    b->setMinimumWidth(kRowHeight);
    b->setFocusPolicy(Qt::NoFocus);
    strip->layout()->addWidget(b);
    Bind(b, command);
    connect(b, &QToolButton::clicked, this, [this, command] { commands_.Run(command); });
    return b;
}

namespace {

// The property that names a control's command.
constexpr const char* kCommandProperty = "tarloCommand";

}  // namespace

void frmMain::Bind(QObject* control, CommandId command) {
    control->setProperty(kCommandProperty, static_cast<int>(command));
}

std::optional<CommandId> frmMain::CommandOf(const QObject* control) {
    const QVariant v = control->property(kCommandProperty);
    if (!v.isValid()) return std::nullopt;
    return static_cast<CommandId>(v.toInt());
}

void frmMain::BuildToolRows(QWidget* client) {
    // Row one: the document toolbar, the code toolbar and the big commands.
    tbIcons = new QToolBar(client);
    tbIcons->setObjectName("tbIcons");
    tbIcons->setAccessibleName("Document commands");
    tbIcons->setIconSize(QSize(kIconSize, kIconSize));
    tbIcons->setMovable(false);
    struct DocButton {
        const char* tip;
        CommandId command;
    };
    const DocButton docs[] = {
        {"New", CommandId::NewDocument},   {"Email", CommandId::EmailDocument},
        {"Open", CommandId::OpenDocument}, {"Save", CommandId::SaveDocument},
        {"Cut", CommandId::Cut},           {"Copy", CommandId::Copy},
        {"Paste", CommandId::Paste},       {"Print", CommandId::PrintDocument},
        {"Help", CommandId::Help},
    };
    int index = 1;
    for (const DocButton& d : docs) {
        const QString name = QStringLiteral("tbIcons_%1").arg(index++);
        QAction* a = tbIcons->addAction(ToolIcon(name), d.tip);
        a->setObjectName(name);
        a->setToolTip(d.tip);
        tbIcons->widgetForAction(a)->setAccessibleName(d.tip);
        const CommandId command = d.command;
        Bind(a, command);
        // Every document command works on the code view.
        connect(a, &QAction::triggered, this, [this, command] {
            txtCode->setFocus();
            commands_.Run(command);
        });
    }

    tb2 = new QToolBar(client);
    tb2->setObjectName("tb2");
    tb2->setAccessibleName("Code commands");
    tb2->setIconSize(QSize(kIconSize, kIconSize));
    tb2->setMovable(false);
    struct CodeButton {
        const char* tip;
        const char* glyph;
        CommandId command;
    };
    const CodeButton code[] = {
        {"Format Code", "{ }", CommandId::FormatHtml},
        {"Colorize Code", "A", CommandId::ColorizeHtml},
        {"Toggle Window Orientation (F11)", "\u21c5", CommandId::ToggleOrientation},
    };
    index = 1;
    for (const CodeButton& c : code) {
        const QString name = QStringLiteral("tb2_%1").arg(index++);
        QAction* a = tb2->addAction(ToolIcon(name), QString::fromUtf8(c.glyph));
        a->setObjectName(name);
        a->setToolTip(c.tip);
        // Readers say what the button does, not the glyph of its text.
        tb2->widgetForAction(a)->setAccessibleName(c.tip);
        const CommandId command = c.command;
        Bind(a, command);
        connect(a, &QAction::triggered, this, [this, command] {
            txtCode->setFocus();
            commands_.Run(command);
        });
    }

    // The toolbars' buttons take the row's height, as the strips' buttons do,
    // so that their pictures show at the same size.
    for (QToolBar* bar : {tbIcons, tb2}) bar->layout()->setContentsMargins(1, 1, 1, 1);
    // The toolbars take the width their buttons need.
    tbIcons->setGeometry(0, 0, tbIcons->sizeHint().width(), kRowHeight);
    tb2->setGeometry(tbIcons->width() + 2, 0, tb2->sizeHint().width(), kRowHeight);
    const int row1Left = tb2->geometry().right() + 4;
    QFrame* toolbar1 = Strip(client, "Toolbar1", row1Left, 0, Px(kTipsLeft) - row1Left - 4);
    AddButton(toolbar1, "cmdRefreshCode", "Refresh Code", "\u21bb", CommandId::RefreshCode);
    AddButton(toolbar1, "cmdEdgarize", "Cleanup Code", "\u2702", CommandId::CleanUp);
    AddButton(toolbar1, "cmdEdgarizeLayout", "Clean up, keeping the layout", "\u2700",
              CommandId::CleanUpKeepingLayout);
    AddButton(toolbar1, "cmdCheck", "Error check", "\u2714", CommandId::CheckStructure);
    AddButton(toolbar1, "cmdCheck2", "Test Error Chk", "\u2713", CommandId::CheckEdgar)->hide();
    AddButton(toolbar1, "cmdEdgarRules", "EDGAR Rules Check", "\u2611", CommandId::CheckEdgarRules);
    AddButton(toolbar1, "cmdPreview", "Preview in Browser", "\u25b6", CommandId::PreviewInBrowser);
    auto* upload = AddButton(toolbar1, "cmdUpload", "This will open the FTP window", "FTP Files",
                             CommandId::Upload);
    upload->setAccessibleName("FTP Files");
    upload->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* toolbar2 = toolbar1;  // code-side tools continue the first row
    toolbar2->layout()->addItem(new QSpacerItem(6, 1));
    AddButton(toolbar2, "cmdSEO", "Add Keywords", "K", CommandId::Keywords);
    AddButton(toolbar2, "cmdUndo", "Undo", "\u21b6", CommandId::Undo);
    AddButton(toolbar2, "cmdRedo", "Redo", "\u21b7", CommandId::Redo);
    AddButton(toolbar2, "cmdFind", "Search and Replace", "\u2315", CommandId::FindReplace);
    AddButton(toolbar2, "cmdHTML", "Show HTML Window", "<>", CommandId::TagReference);
    AddButton(toolbar2, "cmdCase", "Toggle Case", "Aa", CommandId::ToggleCase);
    AddButton(toolbar2, "cmdSpecial", "Show Symbols", "\u00a9", CommandId::Symbols);
    AddButton(toolbar2, "cmdTable", "Show Table Wizard", "\u25a6", CommandId::TableMaker);
    static_cast<QHBoxLayout*>(toolbar1->layout())->addStretch();

    // Row two: fonts and the visual editor's formatting commands.
    QFrame* tlbFont = Strip(client, "tlbFont", 0, kRowHeight, 230);
    cmbFontName = new QComboBox(tlbFont);
    cmbFontName->setObjectName("cmbFontName");
    cmbFontName->setToolTip("Select font");
    cmbFontName->setAccessibleName("Select font");
    cmbFontName->setEditable(true);
    cmbFontName->setFixedWidth(128);
    tlbFont->layout()->addWidget(cmbFontName);
    cmbFontSize = new QComboBox(tlbFont);
    cmbFontSize->setObjectName("cmbFontSize");
    cmbFontSize->setToolTip("Font size");
    cmbFontSize->setAccessibleName("Font size");
    cmbFontSize->setFixedWidth(96);
    tlbFont->layout()->addWidget(cmbFontSize);
    Bind(cmbFontName, CommandId::FontName);
    Bind(cmbFontSize, CommandId::FontSize);
    connect(cmbFontName, &QComboBox::activated, this,
            [this] { commands_.Run(CommandId::FontName); });
    connect(cmbFontSize, &QComboBox::activated, this,
            [this] { commands_.Run(CommandId::FontSize); });

    QFrame* tbWeb = Strip(client, "tbWeb", 232, kRowHeight, Px(kTipsLeft) - 236);
    AddButton(tbWeb, "ImgColor", "Font color", "\u25a0", CommandId::FontColour);
    AddButton(tbWeb, "txtColor", "Font color", "A\u0332", CommandId::FontColour);
    AddButton(tbWeb, "cmdBold", "Bold", "B", CommandId::Bold);
    AddButton(tbWeb, "cmdItalics", "Italics", "I", CommandId::Italic);
    AddButton(tbWeb, "cmdUnder", "Underline", "U", CommandId::Underline);
    AddButton(tbWeb, "cmdIndent", "Indent", "\u21e5", CommandId::Indent);
    AddButton(tbWeb, "cmdOutdent", "Outdent", "\u21e4", CommandId::Outdent);
    AddButton(tbWeb, "cmdAutoIndent", "Auto-Indent first line of every paragraph", "\u00b6",
              CommandId::IndentFirstLines);
    AddButton(tbWeb, "cmdLeft", "Left Align", "\u2af7", CommandId::AlignLeft);
    AddButton(tbWeb, "cmdCenter", "Center Align", "\u2261", CommandId::AlignCenter);
    AddButton(tbWeb, "cmdRight", "Right Align", "\u2af8", CommandId::AlignRight);
    AddButton(tbWeb, "cmdFull", "Full Justify", "\u2630", CommandId::AlignFull);
    AddButton(tbWeb, "cmdBullets", "Insert Bullet List", "\u2022", CommandId::BulletList);
    AddButton(tbWeb, "cmdNumbers", "Insert Numbered List", "1.", CommandId::NumberedList);
    AddButton(tbWeb, "cmdPic", "Insert Graphic", "\u25a3", CommandId::InsertPicture);
    AddButton(tbWeb, "cmdLink", "Insert Link", "\u260d", CommandId::InsertLink);
    AddButton(tbWeb, "cmdUnlink", "Unlink", "\u2300", CommandId::Unlink);
    AddButton(tbWeb, "cmdRule", "Insert Horizontal Rule", "\u2015", CommandId::HorizontalRule);
    static_cast<QHBoxLayout*>(tbWeb->layout())->addStretch();

    // The tips frame at the right of the rows.
    frmTips = new QGroupBox("Tips:", client);
    frmTips->setObjectName("frmTips");
    frmTips->setGeometry(Px(kTipsLeft), 0, Px(2500), 2 * kRowHeight);
    // A tip longer than the box scrolls inside it, so every tip can be read
    // whole (the clean-up's warning comes last in its tip).
    scrTips = new QScrollArea(frmTips);
    scrTips->setObjectName("scrTips");
    scrTips->setFrameShape(QFrame::NoFrame);
    scrTips->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrTips->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scrTips->setWidgetResizable(true);
    scrTips->setGeometry(Px(130), 12, Px(2240), 2 * kRowHeight - 13);
    lblTips = new QLabel;
    lblTips->setObjectName("lblTips");
    lblTips->setAccessibleName("Tip");
    lblTips->setWordWrap(true);
    lblTips->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small = lblTips->font();
    small.setPointSizeF(6.5);
    lblTips->setFont(small);
    scrTips->setWidget(lblTips);
}

QAction* frmMain::AddMenuEntry(QMenu* menu, const QString& name, const QString& caption,
                               const QKeySequence& shortcut, CommandId command) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    Bind(a, command);
    connect(a, &QAction::triggered, this, [this, command] { commands_.Run(command); });
    return a;
}

QAction* frmMain::menuAction(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

void frmMain::BuildMenus() {
    QMenuBar* bar = menuBar();
    auto menu = [bar](const char* name, const char* caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(name);
        return m;
    };
    auto sub = [](QMenu* parent, const char* name, const char* caption) {
        QMenu* m = parent->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(QString(name) + "_entry");
        return m;
    };

    QMenu* file = menu("mnuFile", "&File");
    AddMenuEntry(file, "mnuNew", "&New", QKeySequence("Ctrl+N"), CommandId::NewDocumentMenu);
    AddMenuEntry(file, "mnuOpen", "&Open", QKeySequence("Ctrl+O"), CommandId::OpenDocument);
    AddMenuEntry(file, "mnuPrint", "&Print", QKeySequence("Ctrl+P"), CommandId::PrintDocument);
    AddMenuEntry(file, "mnuEmail", "&Email", QKeySequence("Ctrl+E"), CommandId::EmailDocument);
    AddMenuEntry(file, "mnuSave", "&Save", QKeySequence("Ctrl+S"), CommandId::SaveDocument);
    AddMenuEntry(file, "mnuSaveAs", "Save &As...", QKeySequence(), CommandId::SaveDocumentAs);
    file->addSeparator();
    AddMenuEntry(file, "mnuExit", "E&xit", QKeySequence(), CommandId::Exit);

    QMenu* edit = menu("mnuEdit", "Edit");
    AddMenuEntry(edit, "mnuUndo", "&Undo", QKeySequence("Ctrl+Z"), CommandId::Undo);
    AddMenuEntry(edit, "mnuRedo", "&Redo", QKeySequence("Ctrl+Y"), CommandId::Redo);
    edit->addSeparator();
    AddMenuEntry(edit, "mnuAll", "Select All", QKeySequence("Ctrl+A"), CommandId::SelectAll);
    edit->addSeparator();
    AddMenuEntry(edit, "mnuCut", "Cut", QKeySequence(), CommandId::Cut);
    AddMenuEntry(edit, "mnuCopy", "Copy", QKeySequence(), CommandId::Copy);
    AddMenuEntry(edit, "mnuPaste", "Paste", QKeySequence(), CommandId::Paste);

    QMenu* insert = menu("mnuInsert", "&Insert");
    AddMenuEntry(insert, "mnuGoogle", "&Google Search", QKeySequence("Shift+Ins"),
                 CommandId::WebSearchForm);
    AddMenuEntry(insert, "mnuMarquee", "&Marquee", QKeySequence("Ctrl+M"), CommandId::Marquee);
    AddMenuEntry(insert, "mnuSymbol", "&Symbol", QKeySequence(), CommandId::Symbols);
    // Every command of the tool rows has a menu entry, so the keyboard
    // reaches it too; each takes its button's caption.
    AddMenuEntry(insert, "mnuHTML", "Show HTML Window", QKeySequence(), CommandId::TagReference);
    AddMenuEntry(insert, "mnuLayer", "&Layer", QKeySequence("Ctrl+H"), CommandId::Layer);
    AddMenuEntry(insert, "mnukeywords", "&Keywords", QKeySequence(), CommandId::Keywords);

    QMenu* tools = menu("mnuTools", "Tools");
    QMenu* coding = sub(tools, "mnuHTMLTools", "Coding Tools");
    QMenu* sizes = sub(coding, "mnuCodeFontSize", "Change Font Size");
    auto* sizeGroup = new QActionGroup(this);
    const struct {
        int points;
        CommandId command;
    } fontSizes[] = {{8, CommandId::CodeFontSize8},
                     {9, CommandId::CodeFontSize9},
                     {10, CommandId::CodeFontSize10},
                     {12, CommandId::CodeFontSize12},
                     {14, CommandId::CodeFontSize14}};
    for (const auto& [size, command] : fontSizes) {
        QAction* a = AddMenuEntry(sizes, QStringLiteral("mnu%1").arg(size),
                                  QStringLiteral("%1 points").arg(size), QKeySequence(), command);
        a->setCheckable(true);
        a->setChecked(size == 9);
        sizeGroup->addAction(a);
    }
    AddMenuEntry(coding, "mnuTable", "Table Wizard", QKeySequence("Ctrl+T"), CommandId::TableMaker);
    AddMenuEntry(coding, "mnuCase", "Toggle Case", QKeySequence(), CommandId::ToggleCase);
    AddMenuEntry(coding, "mnufind", "Search and Replace", QKeySequence("Ctrl+F"),
                 CommandId::FindReplace);
    coding->addSeparator();
    AddMenuEntry(coding, "mnuColor", "Toggle window colors", QKeySequence(),
                 CommandId::ToggleWindowColours);

    QMenu* wysiwyg = sub(tools, "mnuWYSIWYG", "WYSIWYG Tools");
    QMenu* align = sub(wysiwyg, "mnuAlign", "Alignment Tools");
    AddMenuEntry(align, "mnuLeft", "Left Justify", QKeySequence("F5"), CommandId::AlignLeft);
    AddMenuEntry(align, "mnuCenter", "Center Justify", QKeySequence("F6"), CommandId::AlignCenter);
    AddMenuEntry(align, "mnuRight", "Right Justify", QKeySequence("F7"), CommandId::AlignRight);
    AddMenuEntry(align, "mnuFull", "Full Justify", QKeySequence("F8"), CommandId::AlignFull);
    wysiwyg->addSeparator();
    AddMenuEntry(wysiwyg, "mnuBold", "Bold", QKeySequence("Ctrl+B"), CommandId::Bold);
    AddMenuEntry(wysiwyg, "mnuItalic", "Italic", QKeySequence("Ctrl+I"), CommandId::Italic);
    AddMenuEntry(wysiwyg, "mnuUnder", "Underline", QKeySequence("Ctrl+U"), CommandId::Underline);
    wysiwyg->addSeparator();
    AddMenuEntry(wysiwyg, "mnuIndent", "Indent Paragraph", QKeySequence(), CommandId::Indent);
    AddMenuEntry(wysiwyg, "mnuOutdent", "Outdent Paragraph", QKeySequence(), CommandId::Outdent);
    AddMenuEntry(wysiwyg, "mnuIndentLine", "Indent First Line", QKeySequence(),
                 CommandId::IndentFirstLines);
    AddMenuEntry(wysiwyg, "mnuBullets", "Bullets", QKeySequence(), CommandId::BulletList);
    AddMenuEntry(wysiwyg, "mnuNumberedList", "Numbered List", QKeySequence(),
                 CommandId::NumberedList);
    wysiwyg->addSeparator();
    AddMenuEntry(wysiwyg, "mnuGraphic", "Insert Graphic", QKeySequence("Ctrl+G"),
                 CommandId::InsertPicture);
    AddMenuEntry(wysiwyg, "mnuLink", "Insert Link", QKeySequence("Ctrl+L"), CommandId::InsertLink);
    AddMenuEntry(wysiwyg, "mnuUnlink", "Unlink", QKeySequence(), CommandId::Unlink);
    AddMenuEntry(wysiwyg, "mnuRule", "Insert Rule", QKeySequence("Ctrl+R"),
                 CommandId::HorizontalRule);
    AddMenuEntry(wysiwyg, "mnuFontColor", "Font color", QKeySequence(), CommandId::FontColour);
    tools->addSeparator();
    AddMenuEntry(tools, "mnuEdgarize", "Clean up", QKeySequence("Ctrl+F1"), CommandId::CleanUp);
    AddMenuEntry(tools, "mnuEdgarizeLayout", "Clean up, keeping the &layout", QKeySequence(),
                 CommandId::CleanUpKeepingLayout);
    AddMenuEntry(tools, "mnuCheck", "Error check", QKeySequence(), CommandId::CheckStructure);
    AddMenuEntry(tools, "mnuEdgarRules", "EDGAR &Rules Check", QKeySequence(),
                 CommandId::CheckEdgarRules);
    AddMenuEntry(tools, "mnuIxbrlFacts", "Inline XBRL &Facts", QKeySequence(),
                 CommandId::IxbrlFacts);
    AddMenuEntry(tools, "mnuRefresh", "Refresh", QKeySequence("Ctrl+F2"), CommandId::RefreshCode);
    AddMenuEntry(tools, "mnuFormat", "Format HTML", QKeySequence("Ctrl+F3"), CommandId::FormatHtml);
    AddMenuEntry(tools, "mnuColorize", "Colorize HTML", QKeySequence("Ctrl+F4"),
                 CommandId::ColorizeHtml);
    tools->addSeparator();
    AddMenuEntry(tools, "mnuUpload", "FTP Files", QKeySequence(), CommandId::Upload);

    QMenu* view = menu("mnuView", "&View");
    AddMenuEntry(view, "mnuToggle", "Toggle Screen Orientation", QKeySequence("F11"),
                 CommandId::ToggleOrientation);
    AddMenuEntry(view, "mnuPreview", "Preview in Browser", QKeySequence("F12"),
                 CommandId::PreviewInBrowser);

    QMenu* help = menu("mnuHelp", "&Help");
    AddMenuEntry(help, "mnuHelp2", "Help", QKeySequence("F1"), CommandId::Help);
    help->addSeparator();
    AddMenuEntry(help, "mnuTip", "Tip of the &Day", QKeySequence(), CommandId::TipOfTheDay);
    AddMenuEntry(help, "mnuAbout", "&About Tarlo", QKeySequence(), CommandId::About);

    // The menus' keys reach the menus from either view; the page keeps the
    // keys of Undo and Redo for its own edits.
    InstallMenuKeys(bar, txtCode, Web, menuAction("mnuUndo"), menuAction("mnuRedo"));
}

void frmMain::RegisterWindowCommands() {
    commands_.Set(CommandId::RefreshCode, [this] { cmdRefreshCode_Click(); });
    commands_.Set(CommandId::ToggleOrientation, [this] { ToggleOrientation(); });
    commands_.Set(CommandId::Exit, [this] { mnuExit_Click(); });
    commands_.Set(CommandId::CodeFontSize8, [this] { SetCodeFontSize(8); });
    commands_.Set(CommandId::CodeFontSize9, [this] { SetCodeFontSize(9); });
    commands_.Set(CommandId::CodeFontSize10, [this] { SetCodeFontSize(10); });
    commands_.Set(CommandId::CodeFontSize12, [this] { SetCodeFontSize(12); });
    commands_.Set(CommandId::CodeFontSize14, [this] { SetCodeFontSize(14); });
}

void frmMain::InstallHoverTips() {
    const struct {
        const char* control;
        const char* tip;
    } tips[] = {
        {"tbIcons",
         "These are your standard document operation buttons. They become active when the cursor "
         "is in the code window. For the Visual Editor, use CTRL+X, CTRL+C & CTRL+V, for Cut, Copy "
         "and Paste, respectively."},
        {"cmdSpecial",
         "This button will bring up the menu with special characters. Click one to place in the "
         "code window at the cursor location."},
        {"cmdTable",
         "This button will bring up the table wizard. Place your cursor in the code window where "
         "you would like to build your table and follow the wizard instructions."},
        {"cmdHTML",
         "This button will bring up the HTML code window. Place your cursor in the code window "
         "where you would like to place your selected HTML tag. This is not a complete list of "
         "tags, just some of the more common ones."},
        {"cmdCase",
         "This button will toggle between Upper and Lower case for the text selected in the code "
         "window."},
        {"cmdFind",
         "This button will bring up the Search and Replace window. This will only work on the code "
         "window. Ctrl+F will work in both the code window and the Visual Editor window and bring "
         "up a different type of Find for either window."},
        {"cmdPic",
         "This button will bring up the Insert Picture menu and allow you to add Alternate Text "
         "when the mouse hovers over your picture."},
        {"cmdLink", "This button will allow you to add a link to text you have highlighted."},
        {"cmdUnlink", "This button will allow you to unlink the text you have selected."},
        {"cmdRule", "This button will add a horizontal divider across your page."},
        {"cmdEdgarize",
         "This button will scan through your code and clean it up. It does this by combining codes "
         "where applicable. It also minimizes the amount of code by removing unnecessary codes. "
         "Please note this may affect the look of your HTML page. Please save your work before "
         "running this command."},
        {"cmdRefreshCode",
         "This button will refresh the code to accurately display what's in the HTML (Visual "
         "Editor) window. Please use this button often."},
        {"tb2",
         "The last button in this group is an error-checker. Originally designed to scan for "
         "strict HTML 3.2 errors, the error checker has been re-designed to point out possible "
         "coding errors. After clicking the checkmark button, you may double-click on an "
         "error/warning to be taken to said issue within the code. Not recommended for large "
         "webpages. (It can be time consuming). Can only be used on the Visual Editor side."},
        {"cmdBold",
         "This button will make the selected text bold. Can only be used on the Visual Editor "
         "side."},
        {"cmdItalics",
         "This button will make the selected text italicized. Can only be used on the Visual "
         "Editor side."},
        {"cmdUnder",
         "This button will make the selected text underlined. Can only be used on the Visual "
         "Editor side."},
        {"cmdIndent",
         "This button will indent the selected text. Can only be used on the Visual Editor side."},
        {"cmdOutdent",
         "This button will outdent the selected text. Can only be used on the Visual Editor side."},
        {"cmdAutoIndent",
         "This button will indent the first line in every paragraph in your document. Can only be "
         "used on the Visual Editor side."},
        {"cmdLeft",
         "This button will left-align the text in the paragraph where the cursor resides. Can only "
         "be used on the Visual Editor side."},
        {"cmdCenter",
         "This button will center-align the text in the paragraph where the cursor resides. Can "
         "only be used on the Visual Editor side."},
        {"cmdRight",
         "This button will right-align the text in the paragraph where the cursor resides. Can "
         "only be used on the Visual Editor side."},
        {"cmdFull",
         "This button will justify the text in the paragraph where the cursor resides. Can only be "
         "used on the Visual Editor side."},
        {"txtColor",
         "This button will allow you to change the color of the selected text. Can only be used on "
         "the Visual Editor side."},
        {"cmdBullets",
         "This button will allow you add bullets to the selected text. Can only be used on the "
         "Visual Editor side."},
        {"cmdNumbers",
         "This button will allow you add a numbered list to the selected text. Can only be used on "
         "the Visual Editor side."},
        {"SB",
         "Use the information here to help you as needed. Take special note of the Document "
         "Status."},
        {"chkAuto", "When checked, this box will refresh the code every 60 seconds."},
        {"chkFormat", "When checked, this box will properly format the code when refreshed."},
        {"chkColorize", "When checked, this box will colorize the code when refreshed."},
        {"cmdUndo",
         "Undo multiple operations. Only available for the code window. Use Ctrl+Z to Undo in the "
         "Visual Editor window."},
        {"cmdRedo",
         "Redo multiple operations. Only available for the code window. Use Ctrl+Y to Redo in the "
         "Visual Editor window."},
        {"cmdSEO",
         "This button will allow you to add keywords to your page to optimize for search engines. "
         "Place the cursor in the proper spot in the code window...directly after the <HEAD> tag "
         "or directly before the </HEAD> tag."},
        {"cmdUpload",
         "This button will open the FTP window so you can upload and download files to and from "
         "your website."},
    };
    for (const auto& t : tips) {
        if (auto* w = findChild<QWidget*>(t.control)) {
            hoverTips_.insert(w, QString::fromUtf8(t.tip));
            w->installEventFilter(this);
            w->setAttribute(Qt::WA_Hover);
        }
    }
}

}  // namespace tarlo
