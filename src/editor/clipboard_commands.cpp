#include "editor/clipboard_commands.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QWebEnginePage>

#include "codeview/code_view.h"
#include "pageview/visual_view.h"
#include "shell/editor.h"

namespace tarlo {

namespace {

// The visual view, when the control is it or inside it.
bool InVisualView(QWidget* control, QWidget* web) {
    return control == web || web->isAncestorOf(control);
}

QLineEdit* LineEditOf(QWidget* control) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit;
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->lineEdit();
    return nullptr;
}

}  // namespace

ClipboardCommands::ClipboardCommands(Editor& editor, QObject* owner)
    : QObject(owner), editor_(editor) {
    setObjectName("ClipboardCommands");
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == nullptr) return;
        QWidget* web = &editor_.visualView();
        if (now == &editor_.codeView()) visualLast_ = false;
        if (now == web || web->isAncestorOf(now)) visualLast_ = true;
    });
}

QWidget* ClipboardCommands::ActiveControl() const {
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus->window() == editor_.mainWindow()) return focus;
    // The window is not active (a menu or another window has the keyboard):
    // the view that had the focus last.
    return visualLast_ ? static_cast<QWidget*>(&editor_.visualView())
                       : static_cast<QWidget*>(&editor_.codeView());
}

void ClipboardCommands::CopySelection() {
    QWidget* c = ActiveControl();
    VisualView& web = editor_.visualView();
    if (InVisualView(c, &web)) {
        web.page()->triggerAction(QWebEnginePage::Copy);
    } else if (auto* code = qobject_cast<CodeView*>(c)) {
        if (code->SelLength() > 0) code->copy();
    } else if (QLineEdit* edit = LineEditOf(c)) {
        if (edit->hasSelectedText()) edit->copy();
    }
}

void ClipboardCommands::CutSelection() {
    QWidget* c = ActiveControl();
    VisualView& web = editor_.visualView();
    if (InVisualView(c, &web)) {
        web.page()->triggerAction(QWebEnginePage::Cut);
    } else if (auto* code = qobject_cast<CodeView*>(c)) {
        if (code->SelLength() > 0 && !code->isReadOnly()) code->cut();
    } else if (QLineEdit* edit = LineEditOf(c)) {
        if (edit->hasSelectedText() && !edit->isReadOnly()) edit->cut();
    }
}

void ClipboardCommands::PasteClipboard() {
    QWidget* c = ActiveControl();
    VisualView& web = editor_.visualView();
    if (InVisualView(c, &web)) {
        web.page()->triggerAction(QWebEnginePage::Paste);
    } else if (auto* code = qobject_cast<CodeView*>(c)) {
        if (!code->isReadOnly()) code->paste();
    } else if (QLineEdit* edit = LineEditOf(c)) {
        if (!edit->isReadOnly()) edit->paste();
    }
}

void ClipboardCommands::SelectAll() {
    QWidget* c = ActiveControl();
    VisualView& web = editor_.visualView();
    if (InVisualView(c, &web)) {
        // The editing command works whether or not the page has the
        // keyboard at this moment.
        if (!web.ExecCommand("selectAll")) web.page()->triggerAction(QWebEnginePage::SelectAll);
    } else if (auto* code = qobject_cast<CodeView*>(c)) {
        code->selectAll(true);
    } else if (QLineEdit* edit = LineEditOf(c)) {
        edit->selectAll();
    }
}

}  // namespace tarlo
