// The main window on the real engine, against a small site served over HTTP
// on 127.0.0.1.

#include <QApplication>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QLineEdit>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "platform/engine_settings.h"
#include "platform/product_information.h"
#include "platform/web_engine_pane.h"
#include "shell/main_window.h"
#include "shell/mod_product_info.h"
#include "support/auxiliary_windows.h"
#include "support/website_window.h"
#include "support/test_folder.h"

namespace pagesift {
namespace {

constexpr int kTimeout = 60000;

// A 1 x 1 GIF: every picture of the site.
const QByteArray kPicture = QByteArray::fromBase64("R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==");

std::vector<std::string> Items(const StringList& list) { return list.Items(); }

}  // namespace

class EndToEndTest : public QObject {
  Q_OBJECT

 private:
  QHttpServer server_;
  QString site_;  // "http://127.0.0.1:port"
  QWebEngineProfile* profile_ = nullptr;
  std::unique_ptr<test::TestFolder> folder_;
  QPointer<Form1> form_;

  QString Folder() const { return QString::fromStdString(folder_->path()); }
  QString FileUrl(const char* name) const { return QUrl::fromLocalFile(Folder() + "/" + name).toString(); }
  BrowserPane* wb(int index) const { return form_->ui().wb[index]; }

  void Serve(const QString& path, const QByteArray& mime, const QByteArray& body) {
    server_.route(path, [mime, body] { return QHttpServerResponse(mime, body); });
  }

  // Waits until the Browser pane shows `url` and its analysis is on show in
  // the other two panes.
  void WaitForAnalysisOf(const QString& url, size_t images) {
    QTRY_COMPARE_WITH_TIMEOUT(wb(0)->LocationURL(), url, kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(form_->lists().Links[AnalysisLists::kImgTags].ListCount(), images, kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(wb(1)->LocationURL(), FileUrl("source.htm"), kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(wb(2)->LocationURL(), FileUrl("imagepage.html"), kTimeout);
  }

  void TypeAddress(const QString& address) {
    form_->ui().txtUrl->setText(address);
    QTest::keyClick(form_->ui().txtUrl, Qt::Key_Return);
  }

 private slots:
  void initTestCase() {
    const QByteArray page =
        "<html><head><title>Fixture page</title></head><body>\n<h1>Fixture</h1>\n"
        "<img src=\"pic.gif\">\n<img src=\"/img/root.jpg\">\n<img src=\"../up.gif\">\n"
        "<img src=\"http://127.0.0.1:PORT/abs/far.gif\">\n"
        "<a href=\"big.jpg\">big</a>\n<a href=\"/img/poster.gif\">poster</a>\n<a href=\"other.html\">other</a>\n"
        "</body></html>";
    const quint16 port = server_.listen(QHostAddress::LocalHost, 0);
    QVERIFY(port != 0);
    site_ = QStringLiteral("http://127.0.0.1:%1").arg(port);
    Serve("/a/b/page.html", "text/html", QByteArray(page).replace("PORT", QByteArray::number(port)));
    for (const char* picture : {"/a/b/pic.gif", "/img/root.jpg", "/up.gif", "/abs/far.gif", "/a/b/big.jpg", "/img/poster.gif"}) {
      Serve(picture, "image/gif", kPicture);
    }
    profile_ = createEngineProfile(QString(), this);
    embedProductInformation({"PageSift Test", "Test Co", "pagesift.test"});
    modProductInfo::ReadProductInfo();
  }

  void init() {
    folder_ = std::make_unique<test::TestFolder>();
    qputenv("XDG_CONFIG_HOME", folder_->path().c_str());  // the settings too
    const WebEnginePane::Context context{profile_, Folder(),
                                         QUrl::fromLocalFile(QStringLiteral(PAGESIFT_RESOURCES "/home/index.html"))};
    form_ = new Form1(Folder(), webEnginePaneFactory(context));
    form_->Form_Load();
    form_->show();
    // The home page comes first; every test starts once its analysis is shown.
    WaitForAnalysisOf(context.homePage.toString(), 3);
  }

  void cleanup() { delete form_; }

  // A page being destroyed answers its outstanding capture: the window
  // destroyed in the middle of one must take no notice.
  void destroyingTheWindowDuringACapture() {
    form_->ProcessPage();
    delete form_;
  }

  void theWebsitePaneBrowsesWithTheSharedProfile() {
    AuxiliaryWindows windows({Folder(), SettingsStore(QString()), webEnginePaneFactory({profile_, Folder(), {}}),
                              [] { return QString(); }});
    windows.showWebsite();
    const auto* view = qobject_cast<const QWebEngineView*>(windows.website()->WebBrowser1->widget());
    QVERIFY(view);
    QCOMPARE(view->page()->profile(), profile_);
    QVERIFY(view->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled));
    QVERIFY(!view->settings()->testAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls));
  }

  void theHomePageWorksOffline() {
    const std::string home = QUrl::fromLocalFile(QStringLiteral(PAGESIFT_RESOURCES "/home/images/")).toString().toStdString();
    QCOMPARE(Items(form_->lists().frmList[AnalysisLists::kImgTags]),
             (std::vector<std::string>{"diagram.gif", "sample-photo.png", "pattern.jpg"}));
    QCOMPARE(Items(form_->lists().Links[AnalysisLists::kImageLinks]),
             (std::vector<std::string>{home + "large-photo.jpg", home + "poster.gif"}));
    QVERIFY(folder_->Read("imagepage.html").find("<img src='" + home + "diagram.gif'>") != std::string::npos);
  }

  void typingAnAddressAnalysesTheServedPage() {
    const QString url = site_ + "/a/b/page.html";
    TypeAddress(url);
    WaitForAnalysisOf(url, 4);
    const std::string site = site_.toStdString();
    QCOMPARE(Items(form_->lists().Links[AnalysisLists::kImgTags]),
             (std::vector<std::string>{site + "/a/b/pic.gif", site + "/img/root.jpg", site + "/up.gif",
                                       site + "/abs/far.gif"}));
    QCOMPARE(Items(form_->lists().Links[AnalysisLists::kImageLinks]),
             (std::vector<std::string>{site + "/a/b/big.jpg", site + "/img/poster.gif"}));
    const std::string source = folder_->Read("source.htm");
    QVERIFY(source.find("&lt;img src=\"<a href='" + site + "/a/b/pic.gif'>pic.gif</a>\">") != std::string::npos);
    QVERIFY(source.find("&lt;a href=\"<a href='" + site + "/a/b/big.jpg'>big.jpg</a>\">big") != std::string::npos);
    QVERIFY(folder_->Read("imagepage.html").find("<img src='" + site + "/img/root.jpg'>") != std::string::npos);
    QCOMPARE(form_->ui().txtUrl->text(), url);
    QCOMPARE(form_->windowTitle(), QString("PageSift Test by Test Co - Fixture page"));
  }

  void theSourceCodeViewKeepsItsHistoryAndSendsItsPage() {
    const QString page = site_ + "/a/b/page.html";
    TypeAddress(page);
    WaitForAnalysisOf(page, 4);
    form_->SelectView(1);
    // Back after a link followed inside the Source Code view goes back there.
    const QString picture = site_ + "/a/b/big.jpg";
    wb(1)->Navigate(picture);
    QTRY_COMPARE_WITH_TIMEOUT(wb(1)->LocationURL(), picture, kTimeout);
    form_->cmbBack_Click();
    QTRY_COMPARE_WITH_TIMEOUT(wb(1)->LocationURL(), FileUrl("source.htm"), kTimeout);
    QCOMPARE(wb(0)->LocationURL(), page);

    // Sent to the Browser tab, the generated page is analysed in turn: its
    // anchors are links to the image files, its image tags mere text.
    form_->Command1_Click();
    QCOMPARE(form_->ui().txtUrl->text(), FileUrl("source.htm"));
    QCOMPARE(form_->ui().TabStrip1->currentIndex(), 0);
    const std::string pic = (site_ + "/a/b/pic.gif").toStdString();
    QTRY_VERIFY_WITH_TIMEOUT(form_->lists().Links[AnalysisLists::kImageLinks].Contains(pic), kTimeout);
    QCOMPARE(wb(0)->LocationURL(), FileUrl("source.htm"));
    QCOMPARE(form_->lists().Links[AnalysisLists::kImgTags].ListCount(), size_t{0});
  }
};

}  // namespace pagesift

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  pagesift::EndToEndTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "browse_end_to_end_test.moc"
