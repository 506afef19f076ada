#pragma once
// The code window's services in the main window: formatting and colouring
// behind the code progress window, the typing aids, the case toggle, the
// paragraph indent and the undo history that every change of the code feeds.
#include <QObject>
#include <cstddef>
#include <optional>

#include "document/undo_history.h"
#include "editor/main_window.h"

class QKeyEvent;

namespace tarlo {

class CodeWindowServices : public QObject, public CodeServices, public UndoRecorder {
    Q_OBJECT
  public:
    explicit CodeWindowServices(frmMain& window);

    void FormatCodeView() override;
    void ColorizeCodeView() override;
    void RecordUndoSnapshot() override;

    void mnuFormat_Click();
    void mnuColorize_Click();
    void cmdUndo_Click();
    void cmdRedo_Click();
    void cmdCase_Click();
    void cmdAutoIndent_Click();
    // The typing aids; true when the key press was handled and is discarded.
    bool txtCode_KeyPress(QChar key);

    int CaseToggleCount() const { return caseToggleCount_; }
    const UndoHistory& history() const { return history_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    bool ViewShowsCurrentSlot() const;
    void LoadStep(const UndoStep& step, bool inPlace);

    frmMain& window_;
    UndoHistory history_;
    int caseToggleCount_ = 0;
    // The page whose formatted code was too large, once the user was told.
    std::optional<std::size_t> refusedFormat_;
};

// Creates the services for `window` (owned by it) and registers their commands.
void InstallCodeServices(frmMain& window);

}  // namespace tarlo
