#pragma once
// Every question the editor asks goes through this one interface: a Qt
// implementation for people, a scripted one for tests, so that tests answer
// prompts without timers.
#include <QColor>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <variant>

class QPrinter;
class QWidget;

namespace tarlo {

// YesNoDefaultNo: Yes and No with No as the default, for a step that would
// lose something the user may not mean to lose.
enum class Buttons { Ok, YesNo, YesNoCancel, OkCancel, YesNoDefaultNo };
enum class Icon { None, Information, Question, Warning, Critical };
enum class Answer { Ok, Yes, No, Cancel };

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual Answer Message(QWidget* parent, const QString& text, const QString& title,
                           Buttons buttons, Icon icon) = 0;
    // A path chosen by the user, or nothing when cancelled.
    virtual std::optional<QString> OpenPath(QWidget* parent, const QString& title,
                                            const QStringList& filters) = 0;
    virtual std::optional<QString> SavePath(QWidget* parent, const QString& title,
                                            const QStringList& filters) = 0;
    virtual std::optional<QColor> Colour(QWidget* parent, const QColor& initial) = 0;
    virtual std::optional<QString> Input(QWidget* parent, const QString& prompt,
                                         const QString& title, const QString& initial) = 0;
    // Lets the user set up `printer`; false when cancelled. With
    // `selection` the dialog offers printing the selection only.
    virtual bool Printer(QWidget* parent, QPrinter* printer, bool selection) = 0;
    // A question answered with one of `choices`, the buttons' captions in
    // order (the first is the default): the index of the one chosen, or -1
    // when the box was closed without a choice.
    virtual int Choose(QWidget* parent, const QString& text, const QString& title,
                       const QStringList& choices, Icon icon) = 0;
};

class QtDialogs : public Dialogs {
  public:
    Answer Message(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
                   Icon icon) override;
    std::optional<QString> OpenPath(QWidget* parent, const QString& title,
                                    const QStringList& filters) override;
    std::optional<QString> SavePath(QWidget* parent, const QString& title,
                                    const QStringList& filters) override;
    std::optional<QColor> Colour(QWidget* parent, const QColor& initial) override;
    std::optional<QString> Input(QWidget* parent, const QString& prompt, const QString& title,
                                 const QString& initial) override;
    bool Printer(QWidget* parent, QPrinter* printer, bool selection) override;
    int Choose(QWidget* parent, const QString& text, const QString& title,
               const QStringList& choices, Icon icon) override;
};

// Answers prompts from a queue and remembers what was asked. An unexpected
// question (an empty queue) is answered Cancel / nothing, and recorded.
class ScriptedDialogs : public Dialogs {
  public:
    struct Asked {
        QString kind;  // "message", "open", "save", "colour", "input", "printer", "choice"
        QString text;
        QString title;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
    };
    using Reply = std::variant<Answer, std::optional<QString>, std::optional<QColor>>;

    void Queue(Reply reply) { replies_.push_back(std::move(reply)); }
    const std::deque<Asked>& asked() const { return asked_; }
    void ClearAsked() { asked_.clear(); }
    std::size_t pending() const { return replies_.size(); }

    Answer Message(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
                   Icon icon) override;
    std::optional<QString> OpenPath(QWidget* parent, const QString& title,
                                    const QStringList& filters) override;
    std::optional<QString> SavePath(QWidget* parent, const QString& title,
                                    const QStringList& filters) override;
    std::optional<QColor> Colour(QWidget* parent, const QColor& initial) override;
    std::optional<QString> Input(QWidget* parent, const QString& prompt, const QString& title,
                                 const QString& initial) override;
    // Answered with a queued path: the printer then writes a PDF file there.
    // Asked with text "selection" when the selection may be printed.
    bool Printer(QWidget* parent, QPrinter* printer, bool selection) override;
    // Answered with a queued caption (std::optional<QString>); asked with
    // kind "choice" and the captions joined by "|" in `title`'s place after
    // the title ("Tarlo|Restore|Discard|Later").
    int Choose(QWidget* parent, const QString& text, const QString& title,
               const QStringList& choices, Icon icon) override;

  private:
    template <typename T>
    std::optional<T> Next();
    std::deque<Reply> replies_;
    std::deque<Asked> asked_;
};

}  // namespace tarlo
