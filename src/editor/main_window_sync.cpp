// The two transfers between the views, the document status, the caret panels
// and the switching of tools when the focus moves between the views.
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include "codeview/code_view.h"
#include "document/view_sync.h"
#include "editor/focus_tools.h"
#include "editor/main_window.h"
#include "editor/status_panels.h"
#include "editor/status_text.h"
#include "pageview/visual_view.h"

namespace tarlo {

void frmMain::cmdRefreshCode_Click() {
    sync_->Refresh();
}

void frmMain::txtCode_Change() {
    sync_->CodeChanged();
}

void frmMain::ShowStatus(DocumentStatus status) {
    const StatusLook look = LookOf(status);
    txtStatus->setText(QString::fromStdString(look.text));
    // The start of the text shows, whatever the box's width.
    txtStatus->setCursorPosition(0);
    QPalette p = txtStatus->palette();
    if (look.defaultColour) {
        p.setColor(QPalette::Text, QApplication::palette().color(QPalette::Text));
    } else {
        p.setColor(QPalette::Text,
                   QColor(RedOf(look.colour), GreenOf(look.colour), BlueOf(look.colour)));
    }
    txtStatus->setPalette(p);
}

void frmMain::MarkCodeAccurate() {
    document_->MarkCodeAccurate();
}

void frmMain::MarkCodeStale() {
    document_->MarkCodeStale();
}

void frmMain::PaintCodePlain() {
    sync_->PaintCodePlain();
}

void frmMain::ApplyCodeFontSize() {
    sync_->ApplyCodeFontSize();
}

void frmMain::ShowCaretPosition() {
    // A key asks twice (down and up) and the mouse as often; the panels are
    // worked out once per caret place and text, the column counted on from
    // the last place while the caret stays on its line.
    const int s = txtCode->SelStart();
    SB->UpdateIndicators(!txtCode->overwriteMode());
    if (shownCaret_.valid && shownCaret_.pos == s && shownCaret_.edits == txtCode->EditCount()) {
        return;
    }
    shownCaret_ = ShownCaret{true, s, txtCode->EditCount()};
    const CodeView::LineColumn at = txtCode->LineColumnOf(s);
    SB->SetPanelText(StatusPanel::Line, QString::fromStdString(LinePanelText(at.line + 1)));
    SB->SetPanelText(StatusPanel::Column, QString::fromStdString(ColumnPanelText(at.column)));
}

namespace {

// The control each switched tool is, by its name in the window.
const char* ControlOf(EditingTool tool) {
    switch (tool) {
        case EditingTool::Keywords:
            return "cmdSEO";
        case EditingTool::Symbols:
            return "cmdSpecial";
        case EditingTool::TableMaker:
            return "cmdTable";
        case EditingTool::TagReference:
            return "cmdHTML";
        case EditingTool::ToggleCase:
            return "cmdCase";
        case EditingTool::Undo:
            return "cmdUndo";
        case EditingTool::Redo:
            return "cmdRedo";
        case EditingTool::FindReplace:
            return "cmdFind";
        case EditingTool::FontName:
            return "cmbFontName";
        case EditingTool::FontSize:
            return "cmbFontSize";
        case EditingTool::FontColourText:
            return "txtColor";
        case EditingTool::FontColourSwatch:
            return "ImgColor";
        case EditingTool::Bold:
            return "cmdBold";
        case EditingTool::Italic:
            return "cmdItalics";
        case EditingTool::Underline:
            return "cmdUnder";
        case EditingTool::Indent:
            return "cmdIndent";
        case EditingTool::Outdent:
            return "cmdOutdent";
        case EditingTool::IndentParagraphs:
            return "cmdAutoIndent";
        case EditingTool::AlignLeft:
            return "cmdLeft";
        case EditingTool::AlignCenter:
            return "cmdCenter";
        case EditingTool::AlignRight:
            return "cmdRight";
        case EditingTool::AlignFull:
            return "cmdFull";
        case EditingTool::InsertPicture:
            return "cmdPic";
        case EditingTool::InsertLink:
            return "cmdLink";
        case EditingTool::Unlink:
            return "cmdUnlink";
        case EditingTool::HorizontalRule:
            return "cmdRule";
        case EditingTool::NumberedList:
            return "cmdNumbers";
        case EditingTool::BulletList:
            return "cmdBullets";
    }
    return "";
}

}  // namespace

void frmMain::SetTools(bool visualFocused) {
    for (const ToolState& tool :
         ToolsFor(visualFocused ? FocusedView::Visual : FocusedView::Code)) {
        // Only the main window's own controls: a tool window may name one
        // of its buttons the same (the Find window's "cmdFind").
        for (QWidget* w : findChildren<QWidget*>(QString::fromLatin1(ControlOf(tool.tool)))) {
            if (w->window() == this) w->setEnabled(tool.enabled);
        }
    }
}

void frmMain::ShowTip(const QString& tip) {
    lblTips->setText(tip);
    // Screen readers read the tip itself, not the box's caption.
    lblTips->setAccessibleName(tip);
    lblTips->setVisible(true);
    scrTips->verticalScrollBar()->setValue(0);
}

void frmMain::Web_GotFocus() {
    MarkCodeStale();
    // The engine has no such command; the step fails quietly, as the other
    // editing commands do when the engine refuses them. Nothing waits on it
    // inside a focus change.
    Web->ExecCommandLater("LiveResize");
    SetTools(true);
    ShowTip(FocusTip(FocusedView::Visual));
}

void frmMain::Web_LostFocus() {
    MarkCodeStale();
}

void frmMain::txtCode_GotFocus() {
    SetTools(false);
    ShowTip(FocusTip(FocusedView::Code));
}

void frmMain::chkAuto_Click() {
    if (chkAuto->isChecked()) {
        timRefresh->start();
        cmdRefreshCode_Click();
    } else {
        timRefresh->stop();
    }
}

void frmMain::timRefresh_Timer() {
    cmdRefreshCode_Click();
    MarkCodeAccurate();
}

bool frmMain::eventFilter(QObject* watched, QEvent* e) {
    if (watched == client_ && e->type() == QEvent::Resize) {
        Form_Resize();
    } else if (watched == txtCode && e->type() == QEvent::FocusIn) {
        txtCode_GotFocus();
    } else if (e->type() == QEvent::Enter || e->type() == QEvent::MouseButtonPress) {
        const auto it = hoverTips_.constFind(watched);
        if (it != hoverTips_.constEnd()) {
            // The numbered-list tip shows on a press, every other on hover.
            const bool pressTip = watched->objectName() == QLatin1String("cmdNumbers");
            if ((e->type() == QEvent::MouseButtonPress) == pressTip) ShowTip(*it);
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

}  // namespace tarlo
