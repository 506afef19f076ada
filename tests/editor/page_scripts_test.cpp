// The editor's page scripts on their own: a bare page (no editor window)
// with the document's scripts off, given the scripts by the installer the
// visual view uses, and called by name as the view calls them.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QVariantMap>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <memory>
#include <optional>

#include "pageview/visual_page.h"
#include "pageview/visual_view.h"
#include "support/gui_test_support.h"

namespace tarlo {
namespace {

const char* const kXhtmlShell =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head></head><body></body></html>";

class BarePage {
  public:
    BarePage() : page_(&profile_) {
        page_.settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
        installed_ = InstallPageScripts(page_);
    }

    bool installed() const { return installed_; }
    QWebEnginePage& page() { return page_; }

    bool Load(const std::function<void()>& start) {
        QSignalSpy loaded(&page_, &QWebEnginePage::loadFinished);
        start();
        return loaded.wait(10000) && loaded.first().first().toBool();
    }
    bool LoadHtml(const QString& html, const QUrl& base = QUrl()) {
        return Load([&] { page_.setHtml(html, base); });
    }
    bool LoadXhtml(const QByteArray& xml) {
        return Load([&] { page_.setContent(xml, QStringLiteral("application/xhtml+xml")); });
    }

    // A script in the application world, as the view runs it.
    std::optional<QVariant> Run(const QString& script, QWebEngineScript::ScriptWorldId world =
                                                           QWebEngineScript::ApplicationWorld) {
        // The answer may come after the wait gave up: it must not land on this frame.
        auto answer = std::make_shared<std::optional<QVariant>>();
        page_.runJavaScript(script, world, [answer](const QVariant& v) { *answer = v; });
        test::WaitUntil([&] { return answer->has_value(); });
        return *answer;
    }
    QVariant Call(const char* name, const QJsonArray& arguments = {}) {
        return Run(PageCall(name, arguments)).value_or(QVariant());
    }
    // A change of the user's: the page's content changes, not by the editor.
    void Type(const QString& text) {
        Run(QStringLiteral("document.body.appendChild(document.createTextNode(%1));true")
                .arg(VisualView::JsString(text)));
    }

  private:
    QWebEngineProfile profile_;  // declared first: it outlives the page
    QWebEnginePage page_;
    bool installed_ = false;
};

TEST(PageScriptsTest, ReadWriteAndEditCountInEveryDocumentThePageLoads) {
    BarePage page;
    ASSERT_TRUE(page.installed());

    // An HTML page: the edit marker counts the user's changes, not the editor's.
    ASSERT_TRUE(page.LoadHtml("<html><body><p>one</p></body></html>"));
    EXPECT_EQ(page.Call("watchEdits", {false}).toBool(), true);
    EXPECT_EQ(page.Call("designMode").toString(), "on");
    EXPECT_EQ(page.Call("editCount").toInt(), 0);
    page.Type(QStringLiteral("\"quoted\" </script> \\ text"));
    const int afterOne = page.Call("editCount").toInt();
    EXPECT_GE(afterOne, 1);
    EXPECT_TRUE(page.Call("edited").toBool());
    // A text arrives whole however it is quoted.
    EXPECT_TRUE(page.Call("readHtml").toString().contains("\"quoted\" &lt;/script&gt; \\ text"));
    // The look: the count while it moves; once asked at that count, the
    // changed elements, or the HTML when the whole is asked for.
    EXPECT_EQ(page.Call("look", {afterOne + 1}).toInt(), afterOne);
    const QVariantList changed =
        page.Call("look", {afterOne, false}).toMap().value("elements").toList();
    ASSERT_EQ(changed.size(), 1);
    EXPECT_TRUE(changed[0].toMap().value("html").toString().contains("&lt;/script&gt;"));
    EXPECT_TRUE(page.Call("look", {afterOne, true}).toString().startsWith("<html>"));
    // A refresh takes the pieces and a new record starts in that moment: a
    // key typed after it is the next refresh's, alone.
    EXPECT_EQ(page.Call("takeChangedElements").toMap().value("elements").toList().size(), 1);
    EXPECT_FALSE(page.Call("edited").toBool());
    EXPECT_TRUE(page.Call("changedElements").toMap().value("elements").toList().isEmpty());
    page.Type(QStringLiteral("Q"));
    EXPECT_TRUE(page.Call("edited").toBool());
    EXPECT_EQ(page.Call("changedElements").toMap().value("elements").toList().size(), 1);

    // The code's push: the page takes it as its own state, not as an edit;
    // the scripts are still there after the document was rewritten.
    QVariantMap answer = page.Call("pushCode", {"<p id=x>pushed</p>", false}).toMap();
    EXPECT_EQ(answer.value("kind").toString(), "html");
    EXPECT_FALSE(page.Call("edited").toBool());
    EXPECT_TRUE(page.Call("readHtml").toString().contains("<p id=\"x\">pushed</p>"));
    EXPECT_EQ(page.Call("look", {0}).toInt(), 0);
    // Commands by name: a picture inserted at the caret gets its alternate
    // text, the pictures already there keep theirs.
    page.Call("pushCode", {"<p id=x>pushed<img src=old.png alt=old></p>", false});
    page.Run("getSelection().collapse(document.getElementById('x'), 0);true");
    EXPECT_TRUE(page.Call("insertImage", {"new.png", "New \"one\""}).toBool());
    const QString withPicture = page.Call("readHtml").toString();
    EXPECT_TRUE(withPicture.contains("alt=\"New &quot;one&quot;\"")) << withPicture.toStdString();
    EXPECT_TRUE(withPicture.contains("alt=\"old\"")) << withPicture.toStdString();
    page.Call("exec", {"selectAll", false, ""});
    EXPECT_TRUE(page.Call("exec", {"Bold", false, ""}).toBool());
    EXPECT_TRUE(page.Call("readHtml").toString().contains("<b>"));
    // XHTML code asks for an XML page first.
    answer = page.Call("pushCode", {kXhtmlShell, true}).toMap();
    EXPECT_EQ(answer.value("need").toString(), "xhtml");
    // A write of the page's own is an edit, and is counted on from before.
    EXPECT_TRUE(page.Call("writeHtml", {"<p>written</p>"}).toBool());
    EXPECT_TRUE(page.Call("edited").toBool());
    EXPECT_TRUE(page.Call("readHtml").toString().contains("written"));
    page.Type("more");
    EXPECT_GT(page.Call("editCount").toInt(), afterOne);

    // An XML page (a new document): names keep their case and "/>" stays.
    ASSERT_TRUE(page.LoadXhtml(kXhtmlShell));
    EXPECT_EQ(page.Call("editCount").toInt(), 0);
    const QString code =
        "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>t</title></head>"
        "<body><p>a<br/>b</p><myTable Border=\"1\"/></body></html>";
    answer = page.Call("pushCode", {code, true}).toMap();
    EXPECT_EQ(answer.value("kind").toString(), "xhtml");
    const QString xml = page.Call("readHtml").toString();
    EXPECT_TRUE(xml.contains(QRegularExpression("<br ?/>"))) << xml.toStdString();
    EXPECT_TRUE(xml.contains("<myTable Border=\"1\">")) << xml.toStdString();
    EXPECT_EQ(page.Call("designMode").toString(), "on");
    page.Type("typed");
    EXPECT_GE(page.Call("editCount").toInt(), 1);
    // An XML page takes no HTML write; code that is not well-formed asks
    // for an HTML page and says why.
    EXPECT_FALSE(page.Call("writeHtml", {"<p>x</p>"}).toBool());
    answer =
        page.Call("pushCode", {"<html xmlns=\"http://www.w3.org/1999/xhtml\"><p></html>", true})
            .toMap();
    EXPECT_EQ(answer.value("need").toString(), "html");
    EXPECT_FALSE(answer.value("note").toString().isEmpty());

    // The note in place of a document too large for the page: not editable,
    // not an edit.
    EXPECT_TRUE(page.Call("showNote", {"Too large"}).toBool());
    EXPECT_EQ(page.Call("designMode").toString(), "off");
    EXPECT_FALSE(page.Call("edited").toBool());
    EXPECT_TRUE(page.Call("readHtml").toString().contains("<p>Too large</p>"));

    // A renderer started for the page after one ended has them once they
    // are installed again, as the view does then.
    QSignalSpy ended(&page.page(), &QWebEnginePage::renderProcessTerminated);
    const qint64 pid = page.page().renderProcessPid();
    ASSERT_TRUE(pid > 0 && ::kill(static_cast<pid_t>(pid), SIGKILL) == 0);
    ASSERT_TRUE(ended.wait(10000));
    const QUrl base = QUrl::fromLocalFile(QDir::tempPath() + "/");
    ASSERT_TRUE(page.LoadHtml("<html><body></body></html>", base));
    ASSERT_TRUE(InstallPageScripts(page.page()));
    ASSERT_TRUE(page.LoadHtml("<html><body><p>back</p></body></html>", base));
    EXPECT_EQ(page.Run("typeof tarlo").value_or(QVariant()).toString(), "object");
    EXPECT_TRUE(page.Call("watchEdits", {false}).toBool());
    EXPECT_TRUE(page.Call("readHtml").toString().contains("back"));

    // The document's own world never sees the editor's functions.
    const std::optional<QVariant> seen =
        page.Run("typeof window.tarlo", QWebEngineScript::MainWorld);
    EXPECT_NE(seen.value_or(QVariant()).toString(), "object");
}

}  // namespace
}  // namespace tarlo
