#include "pageview/request_filter.h"

#include <QHostAddress>

namespace tarlo {

bool RequestFilter::IsRemote(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (scheme == "file" || scheme == "data" || scheme == "about" || scheme == "qrc" ||
        scheme == "blob") {
        return false;
    }
    const QString host = url.host().toLower();
    if (host == "localhost" || host.endsWith(".localhost")) return false;
    QHostAddress address;
    if (address.setAddress(host) && address.isLoopback()) return false;
    // Any other scheme (http, https, ftp, ws, chrome-extension, ...) reaches out.
    return true;
}

void RequestFilter::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (IsRemote(info.requestUrl())) {
        info.block(true);
        ++blocked_;
    }
}

}  // namespace tarlo
