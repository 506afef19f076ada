#pragma once
// Keeps the visual view off the network: an EDGAR document must be
// self-contained, and opening one must never reach a remote host.
#include <QWebEngineUrlRequestInterceptor>
#include <atomic>

namespace tarlo {

class RequestFilter : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
  public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
    // Requests refused so far (read by the tests).
    int blockedCount() const { return blocked_.load(); }

    static bool IsRemote(const QUrl& url);

  private:
    std::atomic<int> blocked_{0};
};

}  // namespace tarlo
