#pragma once
// frmMain: the editor's one main window. It holds the document in two views,
// the visual view `Web` and the code view `txtCode`, side by side in the
// splitter, with the tool rows above and the status strip below.
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

#include "document/document.h"
#include "shell/command_table.h"
#include "shell/editor.h"

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
class QScrollArea;
class QToolBar;
class QToolButton;
class QWebEngineView;

namespace tarlo {

class CodeFormatting;
class StatusPanels;
class ViewSync;
class PacedWork;
class ctlSplitterEx;

class frmMain : public QMainWindow, public Editor {
    Q_OBJECT
  public:
    explicit frmMain(Dialogs* dialogs = nullptr, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up: fills the lists, attaches the views, loads the blank page.
    void Form_Load();

    // --- the window's handlers of the document's status and the two views
    void cmdRefreshCode_Click();
    void txtCode_Change();
    void MarkCodeAccurate();
    void MarkCodeStale();
    void PaintCodePlain();
    void ApplyCodeFontSize();
    void Web_GotFocus();
    void Web_LostFocus();
    void txtCode_GotFocus();
    void chkAuto_Click();
    void timRefresh_Timer();
    DocumentStatus documentStatus() const { return document_->Status(); }

    // --- main window
    void Form_Resize();
    void ToggleOrientation();
    void SetCodeFontSize(int points);  // mnu8_Click ... mnu14_Click
    void mnuExit_Click();
    // The exit prompt; true when the program ends.
    bool Form_Unload();

    // --- Editor: what commands and tool windows use
    Document& document() override { return *document_; }
    ViewSync& sync() override { return *sync_; }
    CodeView& codeView() override { return *txtCode; }
    VisualView& visualView() override { return *Web; }
    CommandTable& commands() override { return commands_; }
    void InsertAtCaret(std::string_view text) override;
    ByteRange Selection() const override;
    void SetSelection(ByteRange range) override;
    void FocusCode() override;
    void FocusPage() override;
    void ShowCaretPosition() override;
    QWidget* mainWindow() override { return this; }
    Dialogs& dialogs() override { return *dialogs_; }
    ProgressWindows& progress() override { return *progress_; }
    QString Caption() const override { return windowTitle(); }
    void SetCaption(const QString& caption) override { setWindowTitle(caption); }
    void StopAutoRefresh() override;
    void AddStatusWidget(QWidget* widget) override;
    QString ChosenFontName() const override;
    QString ChosenFontSize() const override;
    // Save As, as the exit prompt runs it: true only when the document was saved.
    void SetSaveAs(std::function<bool()> saveAs) override { saveAs_ = std::move(saveAs); }

    // The command a control runs, for the controls wired to one.
    static std::optional<CommandId> CommandOf(const QObject* control);
    // How the program ends (tests watch it instead of ending the process).
    void SetEndProgram(std::function<void()> end) { endProgram_ = std::move(end); }
    // Called with 0..100 while the font list fills (the splash window's bar).
    void SetLoadProgress(std::function<void(int)> progress) { loadProgress_ = std::move(progress); }

    // The controls, under the names the product gives them.
    VisualView* Web = nullptr;
    CodeView* txtCode = nullptr;
    ctlSplitterEx* ctlSplitterEx1 = nullptr;
    QWebEngineView* Web2 = nullptr;
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
    QScrollArea* scrTips = nullptr;  // holds lblTips; scrolls a long tip
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
    // The strip's controls over their status panels, as the panels fit.
    void PlaceStripControls();
    int StatusCaptionWidth() const;
    // What the status box needs to show its longest text whole.
    int StatusBoxWidth() const;
    void BuildMenus();
    void InstallHoverTips();
    void RegisterWindowCommands();
    QToolButton* AddButton(QWidget* strip, const QString& name, const QString& tip,
                           const QString& glyph, CommandId command);
    QAction* AddMenuEntry(QMenu* menu, const QString& name, const QString& caption,
                          const QKeySequence& shortcut, CommandId command);
    // Ties a control to its command: it runs it, and CommandOf names it.
    void Bind(QObject* control, CommandId command);
    void ShowStatus(DocumentStatus status);
    void SetTools(bool visualFocused);
    void ShowTip(const QString& tip);
    void EndProgram();

    Dialogs* dialogs_ = nullptr;
    std::unique_ptr<Dialogs> ownedDialogs_;
    std::unique_ptr<ProgressWindows> progress_;
    std::unique_ptr<PacedWork> events_;
    std::unique_ptr<Document> document_;
    std::unique_ptr<ViewSync> sync_;
    CommandTable commands_;
    std::function<bool()> saveAs_;
    std::function<void()> endProgram_;
    std::function<void(int)> loadProgress_;
    QHash<QObject*, QString> hoverTips_;
    // The caret place the line and column panels show.
    struct ShownCaret {
        bool valid = false;
        int pos = 0;
        int edits = 0;
    } shownCaret_;
    QWidget* client_ = nullptr;
    // Parity of the orientation toggle: odd = side by side, code on the left.
    int orientationCount_ = 0;
    bool ending_ = false;
};

}  // namespace tarlo
