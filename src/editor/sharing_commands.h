#pragma once
// The commands that hand the document on: preview in the desktop's browser,
// print, and e-mail through the desktop's mail command. Each writes the code
// text as it stands into the editor's private folder, never a shared path.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>

#include "editor/print_window.h"
#include "editor/private_temp.h"

namespace tarlo {

class CodeView;
class Editor;

class SharingCommands : public QObject {
    Q_OBJECT
  public:
    SharingCommands(Editor& editor, QObject* owner);

    // Shows the document in the desktop's browser (cmdPreview).
    void PreviewInBrowser();
    void PrintDocument();
    void EmailDocument();

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
    void NoEmailClient();
    void ResetPrintColours();
    // Colours the code as the code window would, or paints it plain when
    // the editor has no colorizer.
    void ColourOrPaint();
    void Inform(const QString& text, const QString& title = QStringLiteral("Tarlo"));

    Editor& editor_;
    PrivateTempFolder temp_;
    std::function<bool(const QUrl&)> opener_;
    QString mailCommand_ = QStringLiteral("xdg-email");
    QPointer<frmPrint> print_;
};

}  // namespace tarlo
