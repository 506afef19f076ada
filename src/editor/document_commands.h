#pragma once
// The document commands of the main window: new, open, save, save as,
// preview in the browser, print, e-mail, and cut, copy, paste and select all.
// The document on disk is always the code view's text; commands that write a
// file bring the code up to date with the visual view first where the user
// expects it. No command ever lets unsaved work go without asking.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>
#include <string>

#include "editor/print_window.h"
#include "editor/private_temp.h"

class QWidget;

namespace tarlo {

class CodeView;
class frmMain;

class DocumentCommands : public QObject {
    Q_OBJECT
  public:
    explicit DocumentCommands(frmMain& window);
    ~DocumentCommands() override;

    void NewDocument();
    // The menu's New also applies the code font size again.
    void mnuNew_Click();
    void mnuOpen_Click();
    // Opens a file as Open does (also for files dropped on either view);
    // false when nothing was opened.
    bool OpenDocumentFile(const QString& path);
    // Both true only when the document was written.
    bool SaveDocument();
    bool mnuSaveAs_Click();
    void cmdPreview_Click();
    void PrintDocument();
    void EmailDocument();
    void CutSelection();
    void CopySelection();
    void PasteClipboard();
    void mnuAll_Click();

    // Whether the document holds work that is not in its file: code that
    // differs from what was last opened or saved, or edits in the visual view
    // that the code has not caught up with.
    bool HasUnsavedChanges();

    // How the preview reaches the desktop's browser (tests watch it).
    void SetOpener(std::function<bool(const QUrl&)> opener) { opener_ = std::move(opener); }
    // The desktop's mail command, started with the body and the attachment.
    void SetMailCommand(const QString& program) { mailCommand_ = program; }
    QString PrivateFolder() { return temp_.Path(); }
    frmPrint* printWindow() const { return print_; }

    // The print work area: the code in print colours.
    CodeView* PrintTemp = nullptr;

  signals:
    // The mail command has finished (or could not start); false when the
    // user was told that no mail client can be found.
    void mailFinished(bool ok);

  private:
    bool SaveAfterRefresh();
    bool SaveAsAfterRefresh();
    // Writes the code text to the path; on failure tells the user why.
    bool WriteDocumentTo(const QString& path);
    // Asks whether to save before the document is replaced; false when the
    // user's work would be lost (a cancelled or failed save).
    bool OfferToSave(bool alwaysAsk);
    void LoadText(const std::string& text, const QString& path);
    void NoEmailClient();
    void ResetPrintColours();
    QWidget* ActiveControl() const;
    void Inform(const QString& text, const QString& title = QStringLiteral("Tarlo"));

    frmMain& w_;
    PrivateTempFolder temp_;
    std::string baseline_;  // the code text as last opened or saved
    // The folder of the document's file (opened or saved last), against
    // which the preview resolves relative addresses.
    QString documentFolder_;
    std::function<bool(const QUrl&)> opener_;
    QString mailCommand_ = QStringLiteral("xdg-email");
    QPointer<frmPrint> print_;
    bool visualLast_ = false;  // the visual view had the focus last
};

// Creates the document and visual editing commands for the window and
// registers them with its buttons, menus and exit prompt.
DocumentCommands* InstallDocumentCommands(frmMain& window);

}  // namespace tarlo
