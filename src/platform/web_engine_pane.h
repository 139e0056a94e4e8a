#pragma once

#include <QHash>
#include <QPointer>
#include <QUrl>

#include <functional>

#include "platform/browser_pane.h"
#include "platform/engine_settings.h"
#include "platform/page_dialogs.h"

class QWebEngineDownloadRequest;
class QWebEngineProfile;
class QWebEngineView;

namespace pagesift {

class EngineDownload;
class PaneNotice;
class PanePage;

// A BrowserPane on Qt WebEngine.
//
// Engine settings follow the document: a browsing pane gives a working file
// (a generated view sent to it) the generated views' settings, script off,
// from the moment its navigation is accepted, before the document loads;
// any other address gets the browsing settings back.
//
// Addresses: Navigate() and every main-frame navigation (a link, Back and
// Forward, a redirect, a script) are decided by addressRefusal; a refused
// one loads nothing and the pane's status text says why.
//
// A render process that ends leaves the view with nothing to draw: the pane
// says so over the view (PaneNotice) and reports rendererStopped(); the
// notice goes once a load has ended in a new process (Refresh, Go, a link
// of another view sent here).
//
// Downloads: the engine reports every download through the shared
// profile's downloadRequested. A pane refuses each one of its page's
// downloads and says so in its status text ("PageSift does not download
// files: <address>"), except the ones the program starts itself through
// startDownload(): those carry a one-time random marker as the engine's
// suggested file name, which the pane recognises when the request comes
// back, and only those are accepted.
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

 private:
  friend class PanePage;

  struct OwnDownload {
    DownloadTarget target;
    QPointer<EngineDownload> download;
  };

  void connectEngineEvents();
  void userLoads();
  // Whether a main-frame navigation to `url` may go on; switches the
  // settings for it first.
  bool acceptMainFrame(const QUrl& url);
  bool acceptSubframe(const QUrl& url) const;
  void refuseAddress(const QString& shownAddress, const QString& refusal);
  void connectRenderProcess();
  void applySettingsFor(PaneRole role);
  void handleDownload(QWebEngineDownloadRequest* request);

  Context context_;
  PaneRole role_;
  PaneRole appliedRole_;
  QString workingFolder_;
  QWebEngineView* view_;
  PanePage* page_;
  QString loadStateText_;
  bool stopAsked_ = false;  // until the next load starts or ends
  PageDialogGate dialogGate_;
  QHash<QString, OwnDownload> ownDownloads_;  // by marker
  PaneNotice* stoppedNotice_;
  bool rendererStopped_ = false;  // until a load ends in a new process
  QUrl refusedNavigation_;        // until the engine has reported its end
  bool refusalOnShow_ = false;    // as the load state, until a load starts
};

// Makes the panes: the Browser pane and the website window's pane browse,
// the Source Code and Images panes show generated pages.
BrowserPaneFactory webEnginePaneFactory(const WebEnginePane::Context& context);

}  // namespace pagesift
