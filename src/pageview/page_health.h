#pragma once
// What the editor does when the visual view's renderer ends (out of memory on
// a very large document, a crash, the system stopping it): it tells the user
// which document, that its code is intact and can be saved, and offers to
// show the page again; a button on the status strip offers it for as long as
// the page stays gone.
#include <QObject>
#include <QWebEnginePage>

#include "pageview/page_capacity.h"

class QPushButton;

namespace tarlo {

class Editor;

class PageHealth : public QObject {
    Q_OBJECT
  public:
    PageHealth(Editor& editor, QObject* owner);

    // Says what happened and shows the page again when the user says Yes.
    void AskToShowAgain(PageEnd how);
    // A fresh page with the document in it (the status strip's cmdShowPage).
    void ShowPageAgain();

  private:
    void RendererEnded(QWebEnginePage::RenderProcessTerminationStatus status);

    Editor& editor_;
    QPushButton* cmdShowPage = nullptr;
    bool asking_ = false;  // one question at a time, however often it ends
};

// Creates the watcher (a child of `owner`) and its status strip button.
PageHealth* InstallPageHealth(Editor& editor, QObject* owner);

}  // namespace tarlo
