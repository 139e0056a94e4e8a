#include "platform/web_engine_pane.h"

#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace pagesift {
namespace {

// Links that ask for a new window open in the pane itself.
class PaneView : public QWebEngineView {
 public:
  PaneView(QWebEngineProfile* profile, QWidget* parent) : QWebEngineView(parent) {
    setPage(new QWebEnginePage(profile, this));
  }

 protected:
  QWebEngineView* createWindow(QWebEnginePage::WebWindowType) override { return this; }
};

QString loadStateText(const QWebEngineLoadingInfo& info) {
  const QString address = info.url().toDisplayString();
  switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
      return QObject::tr("Opening %1...").arg(address);
    case QWebEngineLoadingInfo::LoadSucceededStatus:
      return QObject::tr("Done");
    case QWebEngineLoadingInfo::LoadStoppedStatus:
      return QObject::tr("Stopped");
    case QWebEngineLoadingInfo::LoadFailedStatus:
      return QObject::tr("Could not open %1: %2").arg(address, info.errorString());
  }
  return {};
}

}  // namespace

WebEnginePane::WebEnginePane(int index, PaneRole role, const Context& context, QWidget* parent)
    : BrowserPane(index, parent), context_(context), view_(new PaneView(context.profile, parent)) {
  applyEngineSettings(view_->page()->settings(), role);
  connectEngineEvents();
}

void WebEnginePane::connectEngineEvents() {
  QWebEnginePage* page = view_->page();
  connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
    loadStateText_ = loadStateText(info);
    emit StatusTextChange(index(), loadStateText_);
  });
  connect(page, &QWebEnginePage::linkHovered, this, [this](const QString& url) {
    emit StatusTextChange(index(), url.isEmpty() ? loadStateText_ : url);
  });
  connect(page, &QWebEnginePage::loadProgress, this,
          [this](int progress) { emit ProgressChange(index(), progress, 100); });
  connect(page, &QWebEnginePage::loadFinished, this, [this](bool) { emit DownloadComplete(index()); });
  connect(page, &QWebEnginePage::titleChanged, this, [this](const QString& title) { emit TitleChange(index(), title); });
  connect(page, &QWebEnginePage::urlChanged, this, [this](const QUrl&) { emit TitleChange(index(), LocationName()); });
}

BrowserPaneFactory webEnginePaneFactory(const WebEnginePane::Context& context) {
  return [context](int index, QWidget* parent) -> BrowserPane* {
    const bool browsing = index == kBrowserPane || index == kWebsitePane;
    const PaneRole role = browsing ? PaneRole::kBrowsing : PaneRole::kGeneratedView;
    return new WebEnginePane(index, role, context, parent);
  };
}

QWidget* WebEnginePane::widget() const { return view_; }

bool WebEnginePane::Navigate(const QString& address) {
  const QUrl url = QUrl::fromUserInput(address, context_.programFolder);
  if (!url.isValid() || url.isEmpty()) return false;
  view_->load(url);
  return true;
}

bool WebEnginePane::GoBack() {
  if (!view_->history()->canGoBack()) return false;
  view_->back();
  return true;
}

bool WebEnginePane::GoForward() {
  if (!view_->history()->canGoForward()) return false;
  view_->forward();
  return true;
}

void WebEnginePane::GoHome() { view_->load(context_.homePage); }

void WebEnginePane::Stop() { view_->stop(); }

void WebEnginePane::Refresh() { view_->reload(); }

QString WebEnginePane::LocationURL() const { return view_->url().toString(); }

QString WebEnginePane::LocationName() const { return view_->title(); }

void WebEnginePane::captureBodyHtml(BodyCallback done) {
  // The isolated world keeps the page's own scripts from changing what the
  // capture sees.
  view_->page()->runJavaScript(QStringLiteral("document.body ? document.body.outerHTML : null"),
                               QWebEngineScript::ApplicationWorld, [done = std::move(done)](const QVariant& result) {
                                 if (result.typeId() != QMetaType::QString) {
                                   done(std::nullopt);
                                   return;
                                 }
                                 done(result.toString().toStdString());
                               });
}

}  // namespace pagesift
