// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QHash>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

#include "platform/browser_pane.h"
#include "platform/engine_settings.h"
#include "platform/page_dialogs.h"

class QWebEngineProfile;
class QWebEngineView;

namespace pagesift {

class ImageRequestLog;
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
// Downloads go through the profile's DownloadRouter: the program's own
// (startDownload, archivePage, savePage) are accepted, and any other
// download of the pane's page is refused, the pane saying so in its status
// text ("PageSift does not download files: <address>").
//
// Context menu: while a receiver is connected to contextMenuRequested the
// pane shows no menu of its own; otherwise it shows the engine's, less the
// entries that cannot work here (saving, page source, inspection).
//
// The Source Code pane (kSourcePane, once it has a working folder) shows
// the working file source.htm in the system's fixed font with spaces, tabs
// and line breaks kept and long lines wrapped, through a style sheet that
// the pane's own script adopts in the isolated world when the document is
// created; the page itself still runs none.
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
  bool canGoBack() const override;
  bool canGoForward() const override;
  void findText(const QString& text, bool matchCase, bool backward, FindCallback done) override;
  double zoomFactor() const override;
  void setZoomFactor(double factor) override;
  void copySelection() override;
  void selectAll() override;
  void print(std::shared_ptr<QPrinter> printer, DoneCallback done) override;
  void printToPdf(const QString& filePath, DoneCallback done) override;
  PaneDownload* savePage(const QString& filePath, PageSaveFormat format, QObject* parent) override;

  // Starts the pane's renderer on a blank page, before anything listens to
  // the pane; the page is kept out of its history.
  void startRenderer();
  // Whether that blank page has loaded (and the pane may be put to use).
  bool rendererStarted() const { return rendererStarted_; }
  // The role whose settings the pane has.
  PaneRole role() const { return role_; }

 protected:
  void coverChanged() override;

 private:
  friend class PanePage;

  void connectEngineEvents();
  void userLoads();
  // Shows the view while it is on show or loads, else hides it.
  void placeView();
  // Whether a main-frame navigation to `url` may go on; switches the
  // settings for it first.
  bool acceptMainFrame(const QUrl& url);
  bool acceptSubframe(const QUrl& url) const;
  void refuseAddress(const QString& shownAddress, const QString& refusal);
  void connectRenderProcess();
  void applySettingsFor(PaneRole role);
  void connectDownloads();
  void showContextMenu(const QPoint& globalPosition);
  void applySourceStyle();
  bool startPrinting(DoneCallback done);
  void printingEnded(bool ok);
  bool onStartBlank() const;

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
  // The print or PDF under way, and its printer.
  DoneCallback printDone_;
  std::shared_ptr<QPrinter> printer_;
  // The last search, so that a change of case starts a new one.
  QString findText_;
  bool findMatchCase_ = false;
  PaneNotice* stoppedNotice_;
  bool rendererStopped_ = false;  // until a load ends in a new process
  QUrl refusedNavigation_;        // until the engine has reported its end
  bool refusalOnShow_ = false;    // as the load state, until a load starts
  // The loads the engine has started and not yet ended, and whether one has
  // been asked for that it has not started yet: the view is shown meanwhile.
  int loadsUnderWay_ = 0;
  bool loadComing_ = false;
  bool rendererStarted_ = false;
  bool blankFirst_ = false;  // that page is first in the history, until a page after it has loaded
};

// Makes the panes: the Browser pane and the website window's pane browse,
// the Source Code and Images panes show generated pages, the Page Source
// pane shows pages as served.
//
// The panes of `ahead` (made beforehand on a widget never shown, their
// renderers started) are handed out first: each once, to the window that
// asks for a pane of its index and role, if its blank page has loaded by
// then; one that is not ready is deleted and a new pane made.
BrowserPaneFactory webEnginePaneFactory(const WebEnginePane::Context& context,
                                        const std::vector<WebEnginePane*>& ahead = {});

// The Source Code and Images panes, made on `shelf` with their renderers
// started, for a main window made later.
std::vector<WebEnginePane*> generatedViewPanesAhead(const WebEnginePane::Context& context, QWidget* shelf);

}  // namespace pagesift
