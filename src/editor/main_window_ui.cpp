// The tool rows, the menu bar and the hover tips of the main window.
#include <QActionGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "codeview/code_view.h"
#include "editor/main_layout.h"
#include "editor/main_window.h"
#include "editor/status_panels.h"
#include "editor/visual_view.h"

namespace tarlo {

namespace {

constexpr int kRowHeight = 21;    // pixels
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
                                const QString& glyph, const QString& command) {
    auto* b = new QToolButton(strip);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setAccessibleName(tip.isEmpty() ? glyph : tip);
    b->setAccessibleDescription(tip);
    b->setText(glyph);
    b->setAutoRaise(true);
    b->setFixedHeight(kRowHeight - 2);
    b->setMinimumWidth(kRowHeight);
    b->setFocusPolicy(Qt::NoFocus);
    strip->layout()->addWidget(b);
    connect(b, &QToolButton::clicked, this, [this, command] { RunCommand(command); });
    return b;
}

void frmMain::BuildToolRows(QWidget* client) {
    // Row one: the document toolbar, the code toolbar and the big commands.
    tbIcons = new QToolBar(client);
    tbIcons->setObjectName("tbIcons");
    tbIcons->setAccessibleName("Document commands");
    tbIcons->setIconSize(QSize(14, 14));
    tbIcons->setMovable(false);
    struct DocButton {
        const char* tip;
        QStyle::StandardPixmap icon;
        const char* command;
    };
    const DocButton docs[] = {
        {"New", QStyle::SP_FileIcon, "NewDocument"},
        {"Email", QStyle::SP_DriveNetIcon, "EmailDocument"},
        {"Open", QStyle::SP_DialogOpenButton, "mnuOpen_Click"},
        {"Save", QStyle::SP_DialogSaveButton, "SaveDocument"},
        {"Cut", QStyle::SP_TrashIcon, "CutSelection"},
        {"Copy", QStyle::SP_FileDialogContentsView, "CopySelection"},
        {"Paste", QStyle::SP_FileDialogDetailedView, "PasteClipboard"},
        {"Print", QStyle::SP_ComputerIcon, "PrintDocument"},
        {"Help", QStyle::SP_DialogHelpButton, "mnuHelp2_Click"},
    };
    int index = 1;
    for (const DocButton& d : docs) {
        QAction* a = tbIcons->addAction(style()->standardIcon(d.icon), d.tip);
        a->setObjectName(QStringLiteral("tbIcons_%1").arg(index++));
        a->setToolTip(d.tip);
        const QString command = d.command;
        // Every document command works on the code view.
        connect(a, &QAction::triggered, this, [this, command] {
            txtCode->setFocus();
            RunCommand(command);
        });
    }

    tb2 = new QToolBar(client);
    tb2->setObjectName("tb2");
    tb2->setAccessibleName("Code commands");
    tb2->setMovable(false);
    struct CodeButton {
        const char* tip;
        const char* glyph;
        std::function<void()> run;
    };
    const CodeButton code[] = {
        {"Format Code", "{ }",
         [this] {
             if (codeServices_ == nullptr) return;
             codeServices_->FormatCodeView();
             if (state_.AutoColorize) {
                 codeServices_->ColorizeCodeView();
             } else {
                 PaintCodePlain();
             }
         }},
        {"Colorize Code", "A",
         [this] {
             if (codeServices_ == nullptr) return;
             if (state_.AutoFormat) codeServices_->FormatCodeView();
             codeServices_->ColorizeCodeView();
         }},
        {"Toggle Window Orientation (F11)", "\u21c5", [this] { ToggleOrientation(); }},
    };
    index = 1;
    for (const CodeButton& c : code) {
        QAction* a = tb2->addAction(c.glyph);
        a->setObjectName(QStringLiteral("tb2_%1").arg(index++));
        a->setToolTip(c.tip);
        const std::function<void()> run = c.run;
        connect(a, &QAction::triggered, this, [this, run] {
            txtCode->setFocus();
            run();
        });
    }

    // The toolbars take the width their buttons need.
    tbIcons->setGeometry(0, 0, tbIcons->sizeHint().width(), kRowHeight);
    tb2->setGeometry(tbIcons->width() + 2, 0, tb2->sizeHint().width(), kRowHeight);
    const int row1Left = tb2->geometry().right() + 4;
    QFrame* toolbar1 = Strip(client, "Toolbar1", row1Left, 0, Px(kTipsLeft) - row1Left - 4);
    AddButton(toolbar1, "cmdRefreshCode", "Refresh Code", "\u21bb", "cmdRefreshCode_Click");
    AddButton(toolbar1, "cmdEdgarize", "Cleanup Code", "\u2702", "cmdEdgarize_Click");
    AddButton(toolbar1, "cmdCheck", "Error check", "\u2714", "cmdCheck_Click");
    AddButton(toolbar1, "cmdCheck2", "Test Error Chk", "\u2713", "cmdCheck2_Click")->hide();
    AddButton(toolbar1, "cmdPreview", "Preview in Browser", "\u25b6", "cmdPreview_Click");
    auto* upload = AddButton(toolbar1, "cmdUpload", "This will open the FTP window", "FTP Files",
                             "cmdUpload_Click");
    upload->setAccessibleName("FTP Files");
    upload->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* toolbar2 = toolbar1;  // code-side tools continue the first row
    toolbar2->layout()->addItem(new QSpacerItem(6, 1));
    AddButton(toolbar2, "cmdSEO", "Add Keywords", "K", "cmdSEO_Click");
    AddButton(toolbar2, "cmdUndo", "Undo", "\u21b6", "cmdUndo_Click");
    AddButton(toolbar2, "cmdRedo", "Redo", "\u21b7", "cmdRedo_Click");
    AddButton(toolbar2, "cmdFind", "Search and Replace", "\u2315", "cmdFind_Click");
    AddButton(toolbar2, "cmdHTML", "Show HTML Window", "<>", "cmdHTML_Click");
    AddButton(toolbar2, "cmdCase", "Toggle Case", "Aa", "cmdCase_Click");
    AddButton(toolbar2, "cmdSpecial", "Show Symbols", "\u00a9", "cmdSpecial_Click");
    AddButton(toolbar2, "cmdTable", "Show Table Wizard", "\u25a6", "cmdTable_Click");
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
    connect(cmbFontName, &QComboBox::activated, this, [this] { RunCommand("cmbFontName_Click"); });
    connect(cmbFontSize, &QComboBox::activated, this, [this] { RunCommand("cmbFontSize_Click"); });

    QFrame* tbWeb = Strip(client, "tbWeb", 232, kRowHeight, Px(kTipsLeft) - 236);
    AddButton(tbWeb, "ImgColor", "Font color", "\u25a0", "ImgColor_Click");
    AddButton(tbWeb, "txtColor", "Font color", "A\u0332", "txtColor_Click");
    AddButton(tbWeb, "cmdBold", "Bold", "B", "cmdBold_Click");
    AddButton(tbWeb, "cmdItalics", "Italics", "I", "cmdItalics_Click");
    AddButton(tbWeb, "cmdUnder", "Underline", "U", "cmdUnder_Click");
    AddButton(tbWeb, "cmdIndent", "Indent", "\u21e5", "cmdIndent_Click");
    AddButton(tbWeb, "cmdOutdent", "Outdent", "\u21e4", "cmdOutdent_Click");
    AddButton(tbWeb, "cmdAutoIndent", "Auto-Indent first line of every paragraph", "\u00b6",
              "cmdAutoIndent_Click");
    AddButton(tbWeb, "cmdLeft", "Left Align", "\u2af7", "cmdLeft_Click");
    AddButton(tbWeb, "cmdCenter", "Center Align", "\u2261", "cmdCenter_Click");
    AddButton(tbWeb, "cmdRight", "Right Align", "\u2af8", "cmdRight_Click");
    AddButton(tbWeb, "cmdFull", "Full Justify", "\u2630", "cmdFull_Click");
    AddButton(tbWeb, "cmdBullets", "Insert Bullet List", "\u2022", "cmdBullets_Click");
    AddButton(tbWeb, "cmdNumbers", "Insert Numbered List", "1.", "cmdNumbers_Click");
    AddButton(tbWeb, "cmdPic", "Insert Graphic", "\u25a3", "cmdPic_Click");
    AddButton(tbWeb, "cmdLink", "Insert Link", "\u260d", "cmdLink_Click");
    AddButton(tbWeb, "cmdUnlink", "Unlink", "\u2300", "cmdUnlink_Click");
    AddButton(tbWeb, "cmdRule", "Insert Horizontal Rule", "\u2015", "cmdRule_Click");
    static_cast<QHBoxLayout*>(tbWeb->layout())->addStretch();

    // The tips frame at the right of the rows.
    frmTips = new QGroupBox("Tips:", client);
    frmTips->setObjectName("frmTips");
    frmTips->setGeometry(Px(kTipsLeft), 0, Px(2500), 2 * kRowHeight);
    lblTips = new QLabel(frmTips);
    lblTips->setObjectName("lblTips");
    lblTips->setAccessibleName("Tip");
    lblTips->setWordWrap(true);
    lblTips->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small = lblTips->font();
    small.setPointSizeF(6.5);
    lblTips->setFont(small);
    lblTips->setGeometry(Px(130), 12, Px(2240), 2 * kRowHeight - 13);
}

QAction* frmMain::AddMenuEntry(QMenu* menu, const QString& name, const QString& caption,
                               const QKeySequence& shortcut, std::function<void()> run) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    if (run) connect(a, &QAction::triggered, this, std::move(run));
    return a;
}

QAction* frmMain::menuAction(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

void frmMain::BuildMenus() {
    QMenuBar* bar = menuBar();
    auto command = [this](const char* name) {
        const QString n = name;
        return [this, n] { RunCommand(n); };
    };
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
    AddMenuEntry(file, "mnuNew", "&New", QKeySequence("Ctrl+N"), command("mnuNew_Click"));
    AddMenuEntry(file, "mnuOpen", "&Open", QKeySequence("Ctrl+O"), command("mnuOpen_Click"));
    AddMenuEntry(file, "mnuPrint", "&Print", QKeySequence("Ctrl+P"), command("PrintDocument"));
    AddMenuEntry(file, "mnuEmail", "&Email", QKeySequence("Ctrl+E"), command("EmailDocument"));
    AddMenuEntry(file, "mnuSave", "&Save", QKeySequence("Ctrl+S"), command("SaveDocument"));
    AddMenuEntry(file, "mnuSaveAs", "Save &As...", QKeySequence(), command("mnuSaveAs_Click"));
    file->addSeparator();
    AddMenuEntry(file, "mnuExit", "E&xit", QKeySequence(), [this] { mnuExit_Click(); });

    QMenu* edit = menu("mnuEdit", "Edit");
    AddMenuEntry(edit, "mnuUndo", "&Undo", QKeySequence("Ctrl+Z"), command("cmdUndo_Click"));
    AddMenuEntry(edit, "mnuRedo", "&Redo", QKeySequence("Ctrl+Y"), command("cmdRedo_Click"));
    edit->addSeparator();
    AddMenuEntry(edit, "mnuAll", "Select All", QKeySequence("Ctrl+A"), command("mnuAll_Click"));
    edit->addSeparator();
    AddMenuEntry(edit, "mnuCut", "Cut", QKeySequence(), command("CutSelection"));
    AddMenuEntry(edit, "mnuCopy", "Copy", QKeySequence(), command("CopySelection"));
    AddMenuEntry(edit, "mnuPaste", "Paste", QKeySequence(), command("PasteClipboard"));

    QMenu* insert = menu("mnuInsert", "&Insert");
    AddMenuEntry(insert, "mnuGoogle", "&Google Search", QKeySequence("Shift+Ins"),
                 command("mnuGoogle_Click"));
    AddMenuEntry(insert, "mnuMarquee", "&Marquee", QKeySequence("Ctrl+M"),
                 command("mnuMarquee_Click"));
    AddMenuEntry(insert, "mnuSymbol", "&Symbol", QKeySequence(), command("cmdSpecial_Click"));
    AddMenuEntry(insert, "mnuLayer", "&Layer", QKeySequence("Ctrl+H"), command("mnuLayer_Click"));
    AddMenuEntry(insert, "mnukeywords", "&Keywords", QKeySequence(), command("cmdSEO_Click"));

    QMenu* tools = menu("mnuTools", "Tools");
    QMenu* coding = sub(tools, "mnuHTMLTools", "Coding Tools");
    QMenu* sizes = sub(coding, "mnuCodeFontSize", "Change Font Size");
    auto* sizeGroup = new QActionGroup(this);
    for (int size : {8, 9, 10, 12, 14}) {
        QAction* a = AddMenuEntry(sizes, QStringLiteral("mnu%1").arg(size),
                                  QStringLiteral("%1 points").arg(size), QKeySequence(),
                                  [this, size] { SetCodeFontSize(size); });
        a->setCheckable(true);
        a->setChecked(size == 9);
        sizeGroup->addAction(a);
    }
    AddMenuEntry(coding, "mnuTable", "Table Wizard", QKeySequence("Ctrl+T"),
                 command("cmdTable_Click"));
    AddMenuEntry(coding, "mnuCase", "Toggle Case", QKeySequence(), command("cmdCase_Click"));
    AddMenuEntry(coding, "mnufind", "Search and Replace", QKeySequence("Ctrl+F"),
                 command("cmdFind_Click"));
    coding->addSeparator();
    AddMenuEntry(coding, "mnuColor", "Toggle window colors", QKeySequence(),
                 command("mnuColor_Click"));

    QMenu* wysiwyg = sub(tools, "mnuWYSIWYG", "WYSIWYG Tools");
    QMenu* align = sub(wysiwyg, "mnuAlign", "Alignment Tools");
    AddMenuEntry(align, "mnuLeft", "Left Justify", QKeySequence("F5"), command("cmdLeft_Click"));
    AddMenuEntry(align, "mnuCenter", "Center Justify", QKeySequence("F6"),
                 command("cmdCenter_Click"));
    AddMenuEntry(align, "mnuRight", "Right Justify", QKeySequence("F7"), command("cmdRight_Click"));
    AddMenuEntry(align, "mnuFull", "Full Justify", QKeySequence("F8"), command("cmdFull_Click"));
    wysiwyg->addSeparator();
    AddMenuEntry(wysiwyg, "mnuBold", "Bold", QKeySequence("Ctrl+B"), command("cmdBold_Click"));
    AddMenuEntry(wysiwyg, "mnuItalic", "Italic", QKeySequence("Ctrl+I"),
                 command("cmdItalics_Click"));
    AddMenuEntry(wysiwyg, "mnuUnder", "Underline", QKeySequence("Ctrl+U"),
                 command("cmdUnder_Click"));
    wysiwyg->addSeparator();
    AddMenuEntry(wysiwyg, "mnuIndent", "Indent Paragraph", QKeySequence(),
                 command("cmdIndent_Click"));
    AddMenuEntry(wysiwyg, "mnuOutdent", "Outdent Paragraph", QKeySequence(),
                 command("cmdOutdent_Click"));
    AddMenuEntry(wysiwyg, "mnuIndentLine", "Indent First Line", QKeySequence(),
                 command("cmdAutoIndent_Click"));
    AddMenuEntry(wysiwyg, "mnuBullets", "Bullets", QKeySequence(), command("cmdBullets_Click"));
    AddMenuEntry(wysiwyg, "mnuNumberedList", "Numbered List", QKeySequence(),
                 command("cmdNumbers_Click"));
    wysiwyg->addSeparator();
    AddMenuEntry(wysiwyg, "mnuGraphic", "Insert Graphic", QKeySequence("Ctrl+G"),
                 command("cmdPic_Click"));
    AddMenuEntry(wysiwyg, "mnuLink", "Insert Link", QKeySequence("Ctrl+L"),
                 command("cmdLink_Click"));
    AddMenuEntry(wysiwyg, "mnuUnlink", "Unlink", QKeySequence(), command("cmdUnlink_Click"));
    AddMenuEntry(wysiwyg, "mnuRule", "Insert Rule", QKeySequence("Ctrl+R"),
                 command("cmdRule_Click"));
    tools->addSeparator();
    AddMenuEntry(tools, "mnuEdgarize", "Clean up", QKeySequence("Ctrl+F1"),
                 command("cmdEdgarize_Click"));
    AddMenuEntry(tools, "mnuRefresh", "Refresh", QKeySequence("Ctrl+F2"),
                 [this] { cmdRefreshCode_Click(); });
    AddMenuEntry(tools, "mnuFormat", "Format HTML", QKeySequence("Ctrl+F3"),
                 command("mnuFormat_Click"));
    AddMenuEntry(tools, "mnuColorize", "Colorize HTML", QKeySequence("Ctrl+F4"),
                 command("mnuColorize_Click"));

    QMenu* view = menu("mnuView", "&View");
    AddMenuEntry(view, "mnuToggle", "Toggle Screen Orientation", QKeySequence("F11"),
                 [this] { ToggleOrientation(); });
    AddMenuEntry(view, "mnuPreview", "Preview in Browser", QKeySequence("F12"),
                 command("cmdPreview_Click"));

    QMenu* help = menu("mnuHelp", "&Help");
    AddMenuEntry(help, "mnuHelp2", "Help", QKeySequence("F1"), command("mnuHelp2_Click"));
    help->addSeparator();
    AddMenuEntry(help, "mnuTip", "Tip of the &Day", QKeySequence(), command("mnuTip_Click"));
    AddMenuEntry(help, "mnuAbout", "&About Tarlo", QKeySequence(), command("mnuAbout_Click"));

    // The refresh button's own command is this window's.
    SetCommand("cmdRefreshCode_Click", [this] { cmdRefreshCode_Click(); });
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
