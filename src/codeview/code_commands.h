#pragma once
// The code window's commands: formatting and colouring behind the code
// progress window (also as the refresh runs them), the typing aids, the case
// toggle, the paragraph indent, and the undo history that every change of
// the code feeds.
#include <QObject>
#include <cstddef>
#include <memory>
#include <optional>

#include "document/view_sync.h"

class QKeyEvent;

namespace tarlo {

class Editor;
struct UndoStep;

class CodeCommands : public QObject, public CodeFormatting, public UndoRecorder {
    Q_OBJECT
  public:
    explicit CodeCommands(Editor& editor, QObject* owner);
    ~CodeCommands() override;

    // The refresh's steps: neither refreshes.
    void FormatCode() override;
    void ColourCode() override;
    void RecordUndoStep() override;
    // Another document is in the view: its history starts with it.
    void StartHistory();

    // Format HTML (mnuFormat): formats, then colours or paints plain as
    // AutoColorize says.
    void FormatHtmlCode();
    // Colorize HTML (mnuColorize): formats first when AutoFormat is on.
    void ColorizeHtmlCode();
    // Colours the code, refreshing it first when the code view is empty.
    void ColorizeCodeView();
    void Undo();
    void Redo();
    // cmdCase: the selection in upper, then lower case, turn about.
    void ToggleCase();
    // cmdAutoIndent: indents the first line of every paragraph.
    void IndentParagraphs();
    // The typing aids; true when the key press was handled and is discarded.
    bool txtCode_KeyPress(QChar key);

    int CaseToggleCount() const { return caseToggleCount_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    class HistoryFeed;
    // Undo or redo: changes since the last step go first, then the step.
    void Go(bool forward);
    void LoadStep(const UndoStep& step);

    Editor& editor_;
    // Tells the history of every change of the code view and reads the view
    // for it.
    std::unique_ptr<HistoryFeed> feed_;
    int caseToggleCount_ = 0;
    // The page whose formatted code was too large, once the user was told.
    std::optional<std::size_t> refusedFormat_;
};

// Creates the code window's commands (owned by `owner`), makes them the
// refresh's formatter and the undo recorder, and registers their commands.
CodeCommands* InstallCodeCommands(Editor& editor, QObject* owner);

}  // namespace tarlo
