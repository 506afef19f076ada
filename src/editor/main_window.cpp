#include "editor/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "codeview/code_view.h"
#include "controls/splitter_control.h"
#include "document/view_sync.h"
#include "editor/focus_tools.h"
#include "editor/main_layout.h"
#include "editor/status_panels.h"
#include "editor/status_text.h"
#include "editor/twips.h"
#include "pageview/visual_page.h"
#include "pageview/visual_view.h"
#include "shell/dialogs.h"
#include "shell/long_operation.h"
#include "shell/progress_windows.h"

// The resources live in a static library: they must be registered by hand.
static void InitTarloResources() {
    Q_INIT_RESOURCE(tarlo);
}

namespace tarlo {

namespace {

// Design places (twips, client coordinates) of what the layout table does not move.
constexpr int kSplitterLeft = 60;
constexpr int kSplitterTop = 645;

// The status strip's controls, each over its panel, at fixed design lefts and
// widths (twips).
struct StripSlot {
    const char* control;
    StatusPanel panel;
    int left;
    int width;
};
constexpr StripSlot kStripSlots[] = {
    {"chkAuto", StatusPanel::AutoRefresh, 2160, 1935},
    {"chkFormat", StatusPanel::AutoFormat, 4140, 1935},
    {"chkColorize", StatusPanel::AutoColorize, 6180, 1935},
    {"txtStatus", StatusPanel::DocumentStatus, 9540, 2715},
};

}  // namespace

frmMain::frmMain(Dialogs* dialogs, QWidget* parent) : QMainWindow(parent), dialogs_(dialogs) {
    InitTarloResources();
    setObjectName("frmMain");
    setWindowTitle("Tarlo - The best HTML editor for coders.");
    if (dialogs_ == nullptr) {
        ownedDialogs_ = std::make_unique<QtDialogs>();
        dialogs_ = ownedDialogs_.get();
    }
    progress_ = std::make_unique<ProgressWindows>(this);
    events_ = std::make_unique<PacedWork>();
    BuildControls();
    document_ = std::make_unique<Document>(*txtCode);
    document_->SetStatusListener([this](DocumentStatus status) { ShowStatus(status); });
    sync_ = std::make_unique<ViewSync>(*document_, *Web, *events_);
    BuildMenus();
    RegisterWindowCommands();
    InstallHoverTips();
}

frmMain::~frmMain() {
    // The controls are destroyed after this body; nothing they emit or filter
    // from now on may reach a window that is half gone.
    if (Web != nullptr) disconnect(Web, nullptr, this, nullptr);
    if (txtCode != nullptr) disconnect(txtCode, nullptr, this, nullptr);
    for (QObject* watched : hoverTips_.keys()) watched->removeEventFilter(this);
    if (txtCode != nullptr) txtCode->removeEventFilter(this);
    if (client_ != nullptr) client_->removeEventFilter(this);
}

void frmMain::BuildControls() {
    client_ = new QWidget(this);
    client_->setObjectName("frmMainClient");
    setCentralWidget(client_);
    client_->installEventFilter(this);

    BuildToolRows(client_);

    ctlSplitterEx1 = new ctlSplitterEx(client_);
    ctlSplitterEx1->setObjectName("ctlSplitterEx1");

    Web = new VisualView(client_);
    Web->setObjectName("Web");
    Web->setAccessibleName("Visual editor");
    Web->SetPushSource([this] { return txtCode->TextUtf8(); });
    connect(Web, &VisualView::gotFocus, this, &frmMain::Web_GotFocus);
    connect(Web, &VisualView::lostFocus, this, &frmMain::Web_LostFocus);
    // Why XHTML code is shown as HTML stays in the status strip until the
    // code is well-formed again.
    connect(Web, &VisualView::pageNoteChanged, this, [this](const QString& note) {
        if (note.isEmpty()) {
            StatusBar1->clearMessage();
        } else {
            StatusBar1->showMessage(note);
        }
    });

    txtCode = new CodeView(client_);
    txtCode->setObjectName("txtCode");
    txtCode->setAccessibleName("HTML code");
    connect(txtCode, &CodeView::Change, this, &frmMain::txtCode_Change);
    for (auto signal :
         {&CodeView::KeyDown, &CodeView::KeyUp, &CodeView::MouseDown, &CodeView::MouseUp}) {
        connect(txtCode, signal, this, &frmMain::ShowCaretPosition);
    }
    // The caret moves without a key or a click too (New, Open, a report's
    // row, a search): the panels follow it wherever it goes.
    connect(txtCode, &CodeView::CaretMoved, this, &frmMain::ShowCaretPosition);
    txtCode->installEventFilter(this);

    connect(Web->visualPage(), &VisualPage::externalLinkRequested, this,
            [](const QUrl& url) { QDesktopServices::openUrl(url); });

    BuildStatusStrip(client_);

    timRefresh = new QTimer(this);
    timRefresh->setObjectName("timRefresh");
    timRefresh->setInterval(60000);
    connect(timRefresh, &QTimer::timeout, this, &frmMain::timRefresh_Timer);
}

void frmMain::BuildStatusStrip(QWidget* client) {
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(true);
    setStatusBar(StatusBar1);

    picLogo = new QLabel(client);
    picLogo->setObjectName("picLogo");
    picLogo->setAccessibleName("Tarlo logo");
    picLogo->setAutoFillBackground(true);
    picLogo->setStyleSheet(
        "QLabel#picLogo { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #12385e,"
        " stop:1 #4d87bf); color: white; font: bold 20px Arial; padding-left: 12px; }");
    picLogo->setText("Tarlo");
    // Web2 takes no part in editing: it shows a small page of our own in the
    // logo strip, with no script and no network.
    Web2 = new QWebEngineView(picLogo);
    Web2->setObjectName("Web2");
    Web2->setAccessibleName("Tarlo workflow");
    Web2->setFocusPolicy(Qt::NoFocus);
    Web2->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    Web2->page()->setBackgroundColor(Qt::transparent);
    Web2->setGeometry(Px(1500), Px(40), Px(6800), Px(640));
    lblEdgar = new QLabel("The best HTML editor for coders.", picLogo);
    lblEdgar->setObjectName("lblEdgar");
    lblEdgar->setStyleSheet("color: white; font: italic 13px Arial; background: transparent;");

    SB = new StatusPanels(client);
    SB->setFixedHeight(Px(300));

    auto makeCheck = [client](const char* name, const char* caption, const char* tip) {
        auto* box = new QCheckBox(caption, client);
        box->setObjectName(name);
        box->setToolTip(tip);
        box->setAccessibleName(caption);
        return box;
    };
    chkAuto = makeCheck("chkAuto", "Auto-Refresh",
                        "Automatically refreshes and formats the code every minute");
    chkFormat = makeCheck("chkFormat", "Auto-Format", "Formats the code after every refresh");
    chkColorize =
        makeCheck("chkColorize", "Auto-Colorize", "Colorizes the code after every refresh");
    connect(chkAuto, &QCheckBox::clicked, this, &frmMain::chkAuto_Click);
    connect(chkFormat, &QCheckBox::clicked, this, [this](bool on) {
        document_->AutoFormat = on;
        cmdRefreshCode_Click();
    });
    connect(chkColorize, &QCheckBox::clicked, this, [this](bool on) {
        document_->AutoColorize = on;
        cmdRefreshCode_Click();
    });

    txtStatus = new QLineEdit("Awaiting status", client);
    txtStatus->setObjectName("txtStatus");
    txtStatus->setAccessibleName("Document status");
    txtStatus->setReadOnly(true);
    txtStatus->setFocusPolicy(Qt::NoFocus);

    for (const StripSlot& slot : kStripSlots) {
        if (auto* w = client->findChild<QWidget*>(slot.control)) {
            w->setGeometry(Px(slot.left), 0, Px(slot.width), Px(300) - 4);
            w->raise();
        }
    }
    // The panels under the strip's controls shrink no further than their
    // control needs; the status panel keeps room for its caption and a
    // status box that can still be read.
    SB->SetLeastWidth(StatusPanel::AutoRefresh, chkAuto->sizeHint().width() + 12);
    SB->SetLeastWidth(StatusPanel::AutoFormat, chkFormat->sizeHint().width() + 12);
    SB->SetLeastWidth(StatusPanel::AutoColorize, chkColorize->sizeHint().width() + 12);
    SB->SetLeastWidth(StatusPanel::DocumentStatus, StatusCaptionWidth() + StatusBoxWidth() + 4);
}

int frmMain::StatusBoxWidth() const {
    // The longest status and the box's frame and inner margins around it.
    int widest = 0;
    for (const DocumentStatus status :
         {DocumentStatus::Awaiting, DocumentStatus::Accurate, DocumentStatus::Stale}) {
        widest = std::max(widest, txtStatus->fontMetrics().horizontalAdvance(
                                      QString::fromStdString(LookOf(status).text)));
    }
    return widest + 16;
}

int frmMain::StatusCaptionWidth() const {
    const QLabel* caption = SB->panel(StatusPanel::DocumentStatus);
    return caption->fontMetrics().horizontalAdvance(caption->text()) + caption->indent() +
           caption->frameWidth() + 2;
}

void frmMain::PlaceStripControls() {
    // Each control keeps its place over its panel while the panels have
    // their design widths, and moves and narrows with its panel when they
    // do not fit the window.
    for (const StripSlot& slot : kStripSlots) {
        auto* w = client_->findChild<QWidget*>(slot.control);
        const QLabel* panel = SB->panel(slot.panel);
        if (w == nullptr || panel == nullptr) continue;
        const bool status = slot.panel == StatusPanel::DocumentStatus;
        const int offset = Px(slot.left) - (SB->x() + SB->DesignLeft(slot.panel));
        int left = SB->x() + panel->x() + std::max(0, offset);
        if (status) left = std::max(left, SB->x() + panel->x() + StatusCaptionWidth());
        const int right = SB->x() + panel->x() + panel->width() - 2;
        int width = std::min(Px(slot.width), right - left);
        if (status) {
            // The status both views depend on is read whole: the box moves
            // left within its panel (never over the caption) before it
            // narrows, and is never narrower than its longest text.
            const int need = StatusBoxWidth();
            const int captionEnd = SB->x() + panel->x() + StatusCaptionWidth();
            if (right - left < need) left = std::max(captionEnd, right - need);
            width = std::min(std::max(Px(slot.width), need), right - left);
        }
        w->setGeometry(left, w->y(), std::max(0, width), w->height());
        // The control goes with a panel that gave way.
        w->setVisible(panel->isVisible() && width > 0);
    }
}

void frmMain::Form_Load() {
    // 1. Dark window, white text, nothing coloured yet.
    document_->AutoColorize = false;
    txtCode->SetBackgroundColour(kBlack);
    document_->Look.ForegroundColor = kWhite;
    // 2-3. The screen fonts, in the order the system lists them.
    {
        const QStringList families = QFontDatabase::families();
        const int count = static_cast<int>(families.size());
        for (int i = 0; i < count; ++i) {
            cmbFontName->addItem(families[i]);
            if (loadProgress_) loadProgress_(static_cast<int>(i * (100.0 / count)));
        }
        cmbFontName->setCurrentText("Times New Roman");
        if (QLineEdit* edit = cmbFontName->lineEdit()) edit->setCursorPosition(0);
    }
    // 4. The seven HTML font sizes.
    cmbFontSize->addItems({"1 (Smallest)", "2 (Smaller)", "3 (Small)", "4 (Medium)", "5 (Large)",
                           "6 (Larger)", "7 (Largest)"});
    cmbFontSize->setCurrentIndex(1);
    // 5. Keyboard and clock panels.
    SB->AddKeyboardAndClockPanels();
    // 6.
    document_->Look.CodeFontSize = 9;
    // 7-8. The views into the splitter.
    ctlSplitterEx1->AttachObjects(Web, txtCode, true);
    ctlSplitterEx1->TileMode(0);
    ctlSplitterEx1->resize(width() - Px(500), height() - Px(2000));
    // 9. The colorizer's palette.
    document_->Look.Colours = ColourSettings{};
    document_->Look.Colours.plain = document_->Look.ForegroundColor;
    // 10. An empty page, editable.
    Web->Navigate(QUrl("about:blank"));
    Web->SetDesignMode(true);
    // 11-12.
    PaintCodePlain();
    ToggleOrientation();
    // 13.
    resize(Px(13000), Px(12000));
    // The tips box says where to begin from the first paint: the usual job
    // starts with a word processor's page pasted into the visual editor.
    ShowTip(FocusTip(FocusedView::Visual));
    // 14. Our own small page, without the network.
    Web2->load(QUrl("qrc:/start_page.html"));
    Form_Resize();
}

void frmMain::Form_Resize() {
    MainLayoutInput in{};
    const QRect frame = frameGeometry();
    in.windowWidth = frame.width();
    in.windowHeight = frame.height();
    // The bottom edge bar lies below the client area.
    in.statusBarTop = client_->height();
    const MainLayout l = ComputeMainLayout(in);

    picLogo->setGeometry(picLogo->x(), l.logoTop, std::max(0, l.logoWidth), Px(725));
    ctlSplitterEx1->setGeometry(Px(kSplitterLeft), Px(kSplitterTop), std::max(0, l.viewsWidth),
                                std::max(0, l.viewsHeight));
    SB->setGeometry(SB->x(), l.panelsTop, std::max(0, l.panelsWidth), Px(300));
    SB->Relayout();
    for (const StripSlot& slot : kStripSlots) {
        if (auto* w = client_->findChild<QWidget*>(slot.control)) w->move(w->x(), l.stripTop);
    }
    PlaceStripControls();
    frmTips->resize(std::max(0, l.tipsWidth), frmTips->height());
    scrTips->resize(std::max(0, l.tipTextWidth), scrTips->height());
    lblEdgar->setGeometry(std::max(0, picLogo->width() - Px(4200)), 0, Px(4000), picLogo->height());
    // In a narrow window the slogan gives way rather than run over the
    // workflow strip beside the name.
    lblEdgar->setVisible(lblEdgar->x() >= Web2->geometry().right());
}

void frmMain::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    Form_Resize();
}

void frmMain::ToggleOrientation() {
    ++orientationCount_;
    if (orientationCount_ % 2 == 0) {
        ctlSplitterEx1->AttachObjects(Web, txtCode, true);
        ctlSplitterEx1->TileMode(0);
    } else {
        ctlSplitterEx1->AttachObjects(txtCode, Web, true);
        ctlSplitterEx1->TileMode(1);
    }
}

void frmMain::SetCodeFontSize(int points) {
    for (int size : {8, 9, 10, 12, 14}) {
        if (QAction* a = menuAction(QStringLiteral("mnu%1").arg(size)))
            a->setChecked(size == points);
    }
    document_->Look.CodeFontSize = static_cast<std::int16_t>(points);
    ApplyCodeFontSize();
}

void frmMain::mnuExit_Click() {
    Form_Unload();
}

void frmMain::closeEvent(QCloseEvent* e) {
    // The window never closes by itself: the exit prompt decides.
    e->ignore();
    if (!ending_) Form_Unload();
}

bool frmMain::Form_Unload() {
    // A page typed or pasted into holds the document even while the code
    // view is still empty (a new document before its first refresh).
    if (txtCode->Length() > 0 || sync_->PageHoldsEdits()) {
        const Answer a = dialogs_->Message(this, "Do you want to save your document?", "Tarlo",
                                           Buttons::YesNoCancel, Icon::Information);
        if (a == Answer::Cancel) return false;
        // A save that was cancelled or failed keeps the window: ending now
        // would lose the document.
        if (a == Answer::Yes && !(saveAs_ && saveAs_())) return false;
        EndProgram();
        return true;
    }
    const Answer a = dialogs_->Message(this, "Are you sure you want to exit?", "Tarlo",
                                       Buttons::YesNo, Icon::Information);
    if (a != Answer::Yes) return false;
    EndProgram();
    return true;
}

void frmMain::EndProgram() {
    if (endProgram_) {
        endProgram_();
        return;
    }
    ending_ = true;
    hide();
    QCoreApplication::exit(0);
}

void frmMain::InsertAtCaret(std::string_view text) {
    txtCode->SetSel(txtCode->SelStart(), 0);
    txtCode->setFocus(Qt::OtherFocusReason);
    // Snippets and tables are written with CR LF; the document may use another kind.
    txtCode->ReplaceSelection(document_->InOwnLineBreaks(text));
}

ByteRange frmMain::Selection() const {
    return ByteRange{txtCode->SelStart(), txtCode->SelLength()};
}

void frmMain::SetSelection(ByteRange range) {
    txtCode->SetSel(range.start, range.length);
}

void frmMain::FocusCode() {
    txtCode->setFocus(Qt::OtherFocusReason);
}

void frmMain::FocusPage() {
    Web->setFocus();
}

void frmMain::StopAutoRefresh() {
    if (!chkAuto->isChecked()) return;
    chkAuto->setChecked(false);
    timRefresh->stop();
}

void frmMain::AddStatusWidget(QWidget* widget) {
    StatusBar1->addWidget(widget, 1);
}

QString frmMain::ChosenFontName() const {
    return cmbFontName->currentText();
}

QString frmMain::ChosenFontSize() const {
    return cmbFontSize->currentText();
}

}  // namespace tarlo
