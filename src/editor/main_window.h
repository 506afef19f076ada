#pragma once
// frmMain: the editor's one main window. It holds the document in two views,
// the visual view `Web` and the code view `txtCode`, side by side in the
// splitter, with the tool rows above and the status strip below.
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "editor/editor_state.h"
#include "editor/status_text.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QWebEngineView;

namespace tarlo {

class CodeView;
class Dialogs;
class ProgressWindows;
class StatusPanels;
class VisualView;
class ctlSplitterEx;

// The formatter and the colorizer of the code view, as the refresh runs them.
class CodeServices {
  public:
    virtual ~CodeServices() = default;
    virtual void FormatCodeView() = 0;
    virtual void ColorizeCodeView() = 0;
};

// Where every change of the code text leaves its undo snapshot.
class UndoRecorder {
  public:
    virtual ~UndoRecorder() = default;
    virtual void RecordUndoSnapshot() = 0;
};

class frmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmMain(Dialogs* dialogs = nullptr, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up: fills the lists, attaches the views, loads the blank page.
    void Form_Load();

    // --- document state and the two transfers between the views
    EditorState& state() { return state_; }
    const EditorState& state() const { return state_; }
    void cmdRefreshCode_Click();
    void txtCode_Change();
    void MarkCodeAccurate();
    void MarkCodeStale();
    void PaintCodePlain();
    void ApplyCodeFontSize();
    void ShowCaretPosition();
    void Web_GotFocus();
    void Web_LostFocus();
    void txtCode_GotFocus();
    void chkAuto_Click();
    void timRefresh_Timer();
    DocumentStatus documentStatus() const { return status_; }

    // --- main window
    void Form_Resize();
    void ToggleOrientation();
    void SetCodeFontSize(int points);  // mnu8_Click ... mnu14_Click
    void mnuExit_Click();
    // The exit prompt; true when the program ends.
    bool Form_Unload();

    // --- progress windows
    void ShowCleaningProgress();
    void ShowCheckingProgress();
    ProgressWindows* progressWindows() const { return progress_.get(); }

    // --- seams for the commands other windows and modules supply
    void SetCodeServices(CodeServices* services) { codeServices_ = services; }
    CodeServices* codeServices() const { return codeServices_; }
    void SetUndoRecorder(UndoRecorder* recorder) { undoRecorder_ = recorder; }
    // A command by its handler's name ("cmdEdgarize_Click", "SaveDocument",
    // ...). Buttons and menu entries whose command is not registered stay in
    // place and do nothing.
    void SetCommand(const QString& name, std::function<void()> command);
    bool RunCommand(const QString& name);
    bool HasCommand(const QString& name) const { return commands_.contains(name); }
    // Save As, as the exit prompt runs it: true only when the document was saved.
    void SetSaveAs(std::function<bool()> saveAs) { saveAs_ = std::move(saveAs); }
    // How the program ends (tests watch it instead of ending the process).
    void SetEndProgram(std::function<void()> end) { endProgram_ = std::move(end); }
    // Called with 0..100 while the font list fills (the splash window's bar).
    void SetLoadProgress(std::function<void(int)> progress) { loadProgress_ = std::move(progress); }
    Dialogs* dialogs() const { return dialogs_; }

    // The controls, under the names the product gives them.
    VisualView* Web = nullptr;
    CodeView* txtCode = nullptr;
    ctlSplitterEx* ctlSplitterEx1 = nullptr;
    QWebEngineView* Web2 = nullptr;
    QLineEdit* txtCodeTemp = nullptr;
    QLineEdit* txtStatus = nullptr;
    QCheckBox* chkAuto = nullptr;
    QCheckBox* chkFormat = nullptr;
    QCheckBox* chkColorize = nullptr;
    QTimer* timRefresh = nullptr;
    StatusPanels* SB = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* picLogo = nullptr;
    QLabel* lblEdgar = nullptr;
    QGroupBox* frmTips = nullptr;
    QLabel* lblTips = nullptr;
    QToolBar* tbIcons = nullptr;
    QToolBar* tb2 = nullptr;
    QComboBox* cmbFontName = nullptr;
    QComboBox* cmbFontSize = nullptr;

    QAction* menuAction(const QString& objectName) const;

  protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void BuildControls();
    void BuildToolRows(QWidget* client);
    void BuildStatusStrip(QWidget* client);
    void BuildMenus();
    void InstallHoverTips();
    QToolButton* AddButton(QWidget* strip, const QString& name, const QString& tip,
                           const QString& glyph, const QString& command);
    QAction* AddMenuEntry(QMenu* menu, const QString& name, const QString& caption,
                          const QKeySequence& shortcut, std::function<void()> run);
    void SetStatus(DocumentStatus status);
    void SetTools(bool visualFocused);
    void ShowTip(const QString& tip);
    void EndProgram();

    EditorState state_;
    DocumentStatus status_ = DocumentStatus::Awaiting;
    Dialogs* dialogs_ = nullptr;
    std::unique_ptr<Dialogs> ownedDialogs_;
    std::unique_ptr<ProgressWindows> progress_;
    CodeServices* codeServices_ = nullptr;
    UndoRecorder* undoRecorder_ = nullptr;
    QHash<QString, std::function<void()>> commands_;
    std::function<bool()> saveAs_;
    std::function<void()> endProgram_;
    std::function<void(int)> loadProgress_;
    QHash<QObject*, QString> hoverTips_;
    QWidget* client_ = nullptr;
    bool refreshing_ = false;
    bool ending_ = false;
};

}  // namespace tarlo
