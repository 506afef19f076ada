#include "pageview/visual_page.h"

#include <QFile>
#include <QJsonDocument>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

// The scripts are in a resource file of their own, linked from a static
// library: the program names it so that the linker keeps it.
static void LoadPageScriptResources() {
    Q_INIT_RESOURCE(page_scripts);
}

namespace tarlo {

bool InstallPageScripts(QWebEnginePage& page) {
    LoadPageScriptResources();
    QWebEngineScriptCollection& scripts = page.scripts();
    // Each file adds its functions to the one `tarlo` object; none calls
    // another's while it loads, so their order does not matter.
    for (const char* job : {"edits", "document", "commands", "layout"}) {
        QFile file(QStringLiteral(":/page/%1.js").arg(QLatin1String(job)));
        if (!file.open(QIODevice::ReadOnly)) return false;
        const QString name = QStringLiteral("tarlo-%1").arg(QLatin1String(job));
        for (const QWebEngineScript& old : scripts.find(name)) scripts.remove(old);
        QWebEngineScript script;
        script.setName(name);
        script.setSourceCode(QString::fromUtf8(file.readAll()));
        script.setWorldId(QWebEngineScript::ApplicationWorld);
        // Before anything can call them, in every document: the start page,
        // a folder's empty page, an XML page for XHTML code. Frames inside a
        // filing are never edited or read on their own.
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setRunsOnSubFrames(false);
        scripts.insert(script);
    }
    return true;
}

QString PageCall(const char* name, const QJsonArray& arguments) {
    const QByteArray json = QJsonDocument(arguments).toJson(QJsonDocument::Compact);
    // The array's brackets become the call's parentheses.
    return QStringLiteral("tarlo.%1(%2)")
        .arg(QLatin1String(name), QString::fromUtf8(json.constData() + 1, json.size() - 2));
}

VisualPage::VisualPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {}

bool VisualPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (!isMainFrame) return false;  // frames inside a filing load nothing
    if (allowNext_) {
        allowNext_ = false;
        return true;
    }
    if (type == NavigationTypeLinkClicked && !url.isLocalFile()) {
        emit externalLinkRequested(url);
    } else if (url.isLocalFile()) {
        emit fileNavigationRequested(url);
    }
    return false;
}

QWebEnginePage* VisualPage::createWindow(WebWindowType) {
    // No pop-up windows: the document is edited in place.
    return nullptr;
}

}  // namespace tarlo
