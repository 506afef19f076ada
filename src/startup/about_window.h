#pragma once
// The "About Tarlo" window `frmAbout`: what Tarlo is for, who makes it, and a
// link that opens Tarlo's help in the desktop browser (there is no web site:
// the help pages travel with the program).
#include <QObject>
#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace tarlo {

class Editor;

// The window's texts, kept together.
inline constexpr const char* kAboutCaption = "About Tarlo";
inline constexpr const char* kAboutText =
    "Tarlo was designed with one thing in mind; the coder. We think that Tarlo is the best "
    "program available designed to view and edit both the HTML code and its output at the "
    "same time.";
inline constexpr const char* kAboutPublisher = "Tarlo contributors";
inline constexpr const char* kAboutNotice =
    "\u00a9 2026 Tarlo contributors. Tarlo is free software: you may use, share and change it "
    "under the GNU General Public License, version 3 or later (GPL-3.0-or-later). It comes with "
    "no warranty.";
inline constexpr const char* kAboutLinkText = "Tarlo Help";
inline constexpr const char* kAboutLinkTip = "Click to see where the magic happens";

// The libraries Tarlo is built on, each with its version (read from the
// library itself where it tells it) and its licence, one per line.
QString LibrariesText();

class frmAbout : public QWidget {
    Q_OBJECT
  public:
    explicit frmAbout(Editor& editor);

    void cmdDone_Click();
    void lblLink_Click();
    // Shows the licence's whole text in a window of its own.
    void cmdLicence_Click();

    QLabel* imgAbout = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblPublisher = nullptr;
    QLabel* lblNotice = nullptr;
    QLabel* lblLink = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblLibraries = nullptr;
    QPushButton* cmdLicence = nullptr;
    QPushButton* cmdDone = nullptr;
    QPointer<QWidget> licenceWindow;
};

class AboutCommand : public QObject {
    Q_OBJECT
  public:
    AboutCommand(Editor& editor, QObject* owner);
    void Show();
    frmAbout* window() const { return window_; }

  private:
    Editor& editor_;
    QPointer<frmAbout> window_;
};

}  // namespace tarlo
