// The two transfers between the views, the document status, the caret panels
// and the switching of tools when the focus moves between the views.
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "codeview/code_view.h"
#include "editor/focus_tools.h"
#include "editor/long_operation.h"
#include "editor/main_window.h"
#include "editor/status_panels.h"
#include "text/text_transfer.h"
#include "editor/visual_view.h"

namespace tarlo {

void frmMain::cmdRefreshCode_Click() {
    // A refresh that starts while one is already waiting on the page would
    // only read the same page again.
    if (refreshing_) return;
    refreshing_ = true;
    MarkCodeAccurate();
    // The page's HTML replaces the code; the assignment pushes exactly this
    // text back into the page. A page that does not answer leaves the code
    // as it was.
    if (const auto html = Web->OuterHtml()) {
        txtCode->SetTextUtf8(PageHtmlToCode(html->toStdString()));
    }
    QCoreApplication::processEvents();
    if (state_.AutoFormat && codeServices_ != nullptr) codeServices_->FormatCodeView();
    if (state_.AutoColorize && codeServices_ != nullptr) {
        codeServices_->ColorizeCodeView();
    } else {
        PaintCodePlain();
    }
    refreshing_ = false;
}

void frmMain::txtCode_Change() {
    if (!state_.RestoringUndo && undoRecorder_ != nullptr) undoRecorder_->RecordUndoSnapshot();
    // The page takes the whole text as soon as it is free; typing never waits.
    Web->CodeChanged();
}

void frmMain::SetStatus(DocumentStatus status) {
    status_ = status;
    const StatusLook look = LookOf(status);
    txtStatus->setText(QString::fromStdString(look.text));
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
    SetStatus(DocumentStatus::Accurate);
}

void frmMain::MarkCodeStale() {
    SetStatus(DocumentStatus::Stale);
}

void frmMain::PaintCodePlain() {
    QCoreApplication::processEvents();
    BusyPointer busy;
    const WinColor plain = state_.ForegroundColorValue();
    txtCode->SetRangeColour(0, txtCode->Length(), plain);
    txtCode->SetDefaultLook(plain, state_.CodeFontSize);
    txtCode->SetSel(0, 0);
}

void frmMain::ApplyCodeFontSize() {
    BusyPointer busy;
    txtCode->SetRangeSize(0, txtCode->Length(), state_.CodeFontSize);
    txtCode->SetDefaultLook(state_.ForegroundColorValue(), state_.CodeFontSize);
    txtCode->SetSel(0, 0);
}

void frmMain::ShowCaretPosition() {
    const int s = txtCode->SelStart();
    const int line = txtCode->LineOfPosition(s) + 1;
    const int column = txtCode->ColumnInCharacters(s);
    SB->SetPanelText(6, QString::fromStdString(LinePanelText(line)));
    SB->SetPanelText(7, QString::fromStdString(ColumnPanelText(column)));
    SB->UpdateIndicators(!txtCode->overwriteMode());
}

void frmMain::SetTools(bool visualFocused) {
    for (const ToolState& tool :
         ToolsFor(visualFocused ? FocusedView::Visual : FocusedView::Code)) {
        if (auto* w = findChild<QWidget*>(QString::fromStdString(tool.control))) {
            w->setEnabled(tool.enabled);
        }
    }
}

void frmMain::ShowTip(const QString& tip) {
    lblTips->setText(tip);
    lblTips->setVisible(true);
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
