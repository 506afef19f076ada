#pragma once
// The visual view's page: it decides which navigations may replace the
// document being edited. Only the editor itself navigates; a link clicked in
// the document, a refresh tag or a form never replaces the page. The
// editor's own scripts for the page are installed and called from here too.
#include <QJsonArray>
#include <QString>
#include <QWebEnginePage>

namespace tarlo {

// The editor's own scripts for the page (resources/page/*.js, compiled in):
// installed once into the page's script collection, they are in every
// document it loads afterwards, in the application world, where the
// document's own scripts (which stay off) never see them. Installing again
// replaces them, for a renderer the engine started without them. False
// when they could not be read.
bool InstallPageScripts(QWebEnginePage& page);

// A call of one of those scripts' functions, `tarlo.name(arguments)`, each
// argument written as a JSON value: no text of the document is ever read as
// script.
QString PageCall(const char* name, const QJsonArray& arguments = {});

class VisualPage : public QWebEnginePage {
    Q_OBJECT
  public:
    explicit VisualPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    // The next main-frame navigation is the editor's own and is let through.
    void allowNextNavigation() { allowNext_ = true; }
    void forbidNavigation() { allowNext_ = false; }

  signals:
    // A link the user followed in the document, to be shown in the desktop's browser.
    void externalLinkRequested(const QUrl& url);
    // A local file was dropped on the view or otherwise asked to open.
    void fileNavigationRequested(const QUrl& url);

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}

  private:
    bool allowNext_ = false;
};

}  // namespace tarlo
