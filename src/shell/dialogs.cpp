#include "shell/dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace tarlo {

namespace {

QMessageBox::StandardButtons ToQt(Buttons b) {
    switch (b) {
        case Buttons::YesNo:
        case Buttons::YesNoDefaultNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToQt(Icon i) {
    switch (i) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// While a box is open the keyboard belongs to it; when it closes, the
// window system may hand the keyboard to any window of the program (the
// main window, under a tool window that stays in front of it). The widget
// that had the focus before the box gets it back, with its window active,
// so that what the user types next goes where they were typing.
class FocusReturn {
  public:
    explicit FocusReturn(QWidget* parent) : focus_(QApplication::focusWidget()) {
        if (!focus_ && parent) focus_ = parent->window()->focusWidget();
        if (!focus_) focus_ = parent;
    }
    ~FocusReturn() {
        if (!focus_) return;
        QWidget* window = focus_->window();
        if (!window->isVisible()) return;
        window->activateWindow();
        if (focus_->isEnabled() && focus_->isVisible())
            focus_->setFocus(Qt::ActiveWindowFocusReason);
    }
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

  private:
    QPointer<QWidget> focus_;
};

}  // namespace

Answer QtDialogs::Message(QWidget* parent, const QString& text, const QString& title,
                          Buttons buttons, Icon icon) {
    const FocusReturn focus(parent);
    QMessageBox box(ToQt(icon), title, text, ToQt(buttons), parent);
    if (buttons == Buttons::YesNoDefaultNo) box.setDefaultButton(QMessageBox::No);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            return Answer::Cancel;
    }
}

std::optional<QString> QtDialogs::OpenPath(QWidget* parent, const QString& title,
                                           const QStringList& filters) {
    const FocusReturn focus(parent);
    const QString path = QFileDialog::getOpenFileName(parent, title, QString(), filters.join(";;"));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QString> QtDialogs::SavePath(QWidget* parent, const QString& title,
                                           const QStringList& filters) {
    const FocusReturn focus(parent);
    const QString path = QFileDialog::getSaveFileName(parent, title, QString(), filters.join(";;"));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QColor> QtDialogs::Colour(QWidget* parent, const QColor& initial) {
    const FocusReturn focus(parent);
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid()) return std::nullopt;
    return c;
}

std::optional<QString> QtDialogs::Input(QWidget* parent, const QString& prompt,
                                        const QString& title, const QString& initial) {
    const FocusReturn focus(parent);
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

bool QtDialogs::Printer(QWidget* parent, QPrinter* printer, bool selection) {
    const FocusReturn focus(parent);
    QPrintDialog dialog(printer, parent);
    // Whole documents or the selection; page numbers are not offered.
    QPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintToFile;
    if (selection) options |= QAbstractPrintDialog::PrintSelection;
    dialog.setOptions(options);
    return dialog.exec() == QDialog::Accepted;
}

int QtDialogs::Choose(QWidget* parent, const QString& text, const QString& title,
                      const QStringList& choices, Icon icon) {
    const FocusReturn focus(parent);
    QMessageBox box(ToQt(icon), title, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices) {
        buttons.push_back(box.addButton(choice, QMessageBox::ActionRole));
    }
    if (!buttons.isEmpty()) box.setDefaultButton(qobject_cast<QPushButton*>(buttons.front()));
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

template <typename T>
std::optional<T> ScriptedDialogs::Next() {
    if (replies_.empty()) return std::nullopt;
    Reply r = replies_.front();
    replies_.pop_front();
    if (const T* v = std::get_if<T>(&r)) return *v;
    return std::nullopt;
}

Answer ScriptedDialogs::Message(QWidget*, const QString& text, const QString& title,
                                Buttons buttons, Icon icon) {
    asked_.push_back({"message", text, title, buttons, icon});
    return Next<Answer>().value_or(Answer::Cancel);
}

std::optional<QString> ScriptedDialogs::OpenPath(QWidget*, const QString& title,
                                                 const QStringList& filters) {
    asked_.push_back({"open", filters.join(";;"), title, Buttons::Ok, Icon::None});
    return Next<std::optional<QString>>().value_or(std::nullopt);
}

std::optional<QString> ScriptedDialogs::SavePath(QWidget*, const QString& title,
                                                 const QStringList& filters) {
    asked_.push_back({"save", filters.join(";;"), title, Buttons::Ok, Icon::None});
    return Next<std::optional<QString>>().value_or(std::nullopt);
}

std::optional<QColor> ScriptedDialogs::Colour(QWidget*, const QColor& initial) {
    asked_.push_back({"colour", initial.name(), QString(), Buttons::Ok, Icon::None});
    return Next<std::optional<QColor>>().value_or(std::nullopt);
}

std::optional<QString> ScriptedDialogs::Input(QWidget*, const QString& prompt, const QString& title,
                                              const QString&) {
    asked_.push_back({"input", prompt, title, Buttons::Ok, Icon::None});
    return Next<std::optional<QString>>().value_or(std::nullopt);
}

bool ScriptedDialogs::Printer(QWidget*, QPrinter* printer, bool selection) {
    asked_.push_back(
        {"printer", selection ? "selection" : QString(), QString(), Buttons::Ok, Icon::None});
    const std::optional<QString> pdf = Next<std::optional<QString>>().value_or(std::nullopt);
    if (!pdf) return false;
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(*pdf);
    return true;
}

int ScriptedDialogs::Choose(QWidget*, const QString& text, const QString& title,
                            const QStringList& choices, Icon icon) {
    asked_.push_back({"choice", text, (QStringList(title) + choices).join('|'), Buttons::Ok, icon});
    const std::optional<QString> caption = Next<std::optional<QString>>().value_or(std::nullopt);
    if (!caption) return -1;
    return static_cast<int>(choices.indexOf(*caption));
}

}  // namespace tarlo
