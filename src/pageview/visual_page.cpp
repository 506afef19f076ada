#include "pageview/visual_page.h"

namespace tarlo {

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
