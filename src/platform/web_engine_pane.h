#pragma once

#include <QHash>
#include <QPointer>
#include <QUrl>

#include <functional>

#include "platform/browser_pane.h"
#include "platform/engine_settings.h"
#include "platform/page_dialogs.h"

class QWebEngineProfile;
class QWebEngineView;

namespace pagesift {

class ImageRequestLog;
class PanePage;

// A BrowserPane on Qt WebEngine.
//
// Engine settings follow the document: a browsing pane gives a working file
// (a generated view sent to it) the generated views' settings, script off,
// from the moment its navigation is accepted, before the document loads;
// any other address gets the browsing settings back.
//
// Downloads go through the profile's DownloadRouter: the program's own
// (startDownload, archivePage) are accepted, and any other download of the
// pane's page is refused, the pane saying so in its status text
// ("PageSift does not download files: <address>").
//
// The Browser pane (index kBrowserPane) keeps an ImageRequestLog of its
// page: what the engine asks for as images, per document.
class WebEnginePane : public BrowserPane {
  Q_OBJECT

 public:
  struct Context {
    QWebEngineProfile* profile = nullptr;
    QString programFolder;  // relative addresses are resolved against it
    QUrl homePage;
  };

  WebEnginePane(int index, PaneRole role, const Context& context, QWidget* parent);

  QWidget* widget() const override;
  bool Navigate(const QString& address) override;
  bool GoBack() override;
  bool GoForward() override;
  void GoHome() override;
  void Stop() override;
  void Refresh() override;
  QString LocationURL() const override;
  QString LocationName() const override;
  void captureBodyHtml(BodyCallback done) override;
  void runIsolatedScript(const QString& source, ScriptCallback done) override;
  void setWorkingFolder(const QString& folder) override;
  void silencePageMessages() override;
  PaneDownload* startDownload(const QUrl& url, DownloadTarget target, QObject* parent) override;
  PaneDownload* archivePage(const QString& filePath, QObject* parent) override;
  RequestedImages requestedImages() const override;

 private:
  friend class PanePage;

  void connectEngineEvents();
  void userLoads();
  // Whether a main-frame navigation to `url` may go on; switches the
  // settings for it first.
  bool acceptMainFrame(const QUrl& url);
  bool acceptSubframe(const QUrl& url) const;
  void applySettingsFor(PaneRole role);
  void connectDownloads();

  Context context_;
  PaneRole role_;
  PaneRole appliedRole_;
  QString workingFolder_;
  QWebEngineView* view_;
  PanePage* page_;
  QString loadStateText_;
  bool stopAsked_ = false;  // until the next load starts or ends
  PageDialogGate dialogGate_;
  ImageRequestLog* requestLog_ = nullptr;  // the Browser pane's only
};

// Makes the panes: the Browser pane and the website window's pane browse,
// the Source Code and Images panes show generated pages.
BrowserPaneFactory webEnginePaneFactory(const WebEnginePane::Context& context);

}  // namespace pagesift
