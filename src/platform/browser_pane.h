// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/pane_role.h"

class QPrinter;

namespace pagesift {

// The main window's three panes, stacked in one place, and the website
// window's pane, whose events go to no one.
inline constexpr int kBrowserPane = 0;
inline constexpr int kSourcePane = 1;
inline constexpr int kImagesPane = 2;
inline constexpr int kPaneCount = 3;
inline constexpr int kWebsitePane = 3;
// The Page Source window's pane: the page as served (view-source:), script off.
inline constexpr int kPageSourcePane = 4;
// The Every Image window's preview.
inline constexpr int kPreviewPane = 5;

// What lay under the pointer when the user asked for a pane's context menu.
// An address is empty when there was no such thing there.
struct PaneContextRequest {
  QPoint position;  // in the pane's widget
  QUrl linkUrl;
  QUrl imageUrl;
  QString selectedText;
};

// How Save Page writes the page: the HTML alone, or the HTML with a folder
// of the files it uses beside it ("page.html" and "page_files").
enum class PageSaveFormat { kSingleHtml, kCompleteHtml };

// A download the program started through a pane. It ends exactly once with
// finished(); a refused or failed one says why in `reason` ("HTTP 404",
// "Cancelled", ...). The file it was writing is the engine's to remove.
class PaneDownload : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // Stops the download; finished(false, "Cancelled") follows unless it has
  // ended already.
  virtual void cancel() = 0;

 signals:
  void progress(qint64 received, qint64 total);  // total is -1 when unknown
  void finished(bool ok, const QString& reason);
};

// An image the engine asked for on behalf of a pane's page, whether or not
// the page's document names it.
struct RequestedImage {
  QString address;  // as requested, fragment and all
  QString type;     // what the engine asked for it as: "image" or "favicon"
};

// The images the engine has asked for since the pane's page began to load,
// each address once, in the order first asked.
struct RequestedImages {
  QList<RequestedImage> requests;
  bool cutShort = false;  // a limit (kMaxRequests, kMaxRequestText) left some out
  static constexpr int kMaxRequests = 100000;
  static constexpr qsizetype kMaxRequestText = 32 * 1048576;  // characters of all addresses together
  static constexpr qsizetype kMaxAddress = 65536;             // characters of one address
};

// One rendering-engine pane as the main window uses it. Operations return at
// once; what they start is reported later through the four events, each
// carrying the pane's index. An operation the engine refuses returns false.
class BrowserPane : public QObject {
  Q_OBJECT

 public:
  using BodyCallback = std::function<void(std::optional<std::string> bodyHtml)>;

  BrowserPane(int index, QObject* parent) : QObject(parent), index_(index) {}

  int index() const { return index_; }

  // The widget that shows the pane; the main window places it.
  virtual QWidget* widget() const = 0;

  // Loads `address` as the address box reads it; an address the program
  // does not open (addressRefusal) loads nothing, and the pane's status text
  // says why.
  virtual bool Navigate(const QString& address) = 0;
  virtual bool GoBack() = 0;
  virtual bool GoForward() = 0;
  virtual void GoHome() = 0;
  virtual void Stop() = 0;
  virtual void Refresh() = 0;

  virtual QString LocationURL() const = 0;
  virtual QString LocationName() const = 0;

  // Asks for the outer HTML of the shown document's body; `done` receives it,
  // or nothing when there is no HTML document or no body. Asynchronous.
  virtual void captureBodyHtml(BodyCallback done) = 0;

  // Runs `source` in the shown page's isolated world (the page's own
  // scripts cannot see or change it); `done` receives the script's value,
  // or an invalid QVariant when it threw or there is no page. Asynchronous.
  using ScriptCallback = std::function<void(const QVariant& result)>;
  virtual void runIsolatedScript(const QString& source, ScriptCallback done) = 0;

  // The program's working folder. A document from it (a generated view)
  // loads with the generated views' settings, script off, in every pane.
  virtual void setWorkingFolder(const QString& folder) = 0;

  // The user ticked "Don't show more messages from this page": the page's
  // further messages and dialogs are dropped until the pane loads another
  // address (see PageDialogGate).
  virtual void silencePageMessages() = 0;

  // Decides where a download is written once the answer's media type is
  // known ("image/png"; may be empty); an empty path refuses the download.
  using DownloadTarget = std::function<QString(const QString& mimeType)>;
  // Downloads `url` through the pane's engine profile (its cookies and
  // cache), the one kind of download a pane accepts. The result, a child of
  // `parent`, reports what happens; it never reports before this returns.
  virtual PaneDownload* startDownload(const QUrl& url, DownloadTarget target, QObject* parent) = 0;
  // Writes the shown page as one MIME archive (MHTML) at `filePath`: its
  // document and every image the engine holds for it, taken from the engine
  // with no request made. Reports like startDownload.
  virtual PaneDownload* archivePage(const QString& filePath, QObject* parent) = 0;

  // What the engine has asked for as images for the pane's page; only the
  // Browser view keeps this record, the other panes report nothing.
  virtual RequestedImages requestedImages() const { return {}; }

  // Whether the history has a page to go back or forward to; historyChanged
  // follows every change.
  virtual bool canGoBack() const = 0;
  virtual bool canGoForward() const = 0;

  // Finds `text` in the shown document from the last match on, forward or
  // backward, and marks it; `done` receives the active match (from 1) and
  // the number of matches, 0 and 0 when there are none. An empty text ends
  // the search and clears its marks. Asynchronous.
  using FindCallback = std::function<void(int activeMatch, int matches)>;
  virtual void findText(const QString& text, bool matchCase, bool backward, FindCallback done) = 0;

  // The pane's zoom, 1 for actual size; it stays across the pane's loads.
  virtual double zoomFactor() const = 0;
  virtual void setZoomFactor(double factor) = 0;

  // The clipboard commands of the shown document.
  virtual void copySelection() = 0;
  virtual void selectAll() = 0;

  // Prints the shown document on `printer`, or writes it as a PDF file;
  // `done` tells whether that worked. One at a time: while one is under way
  // another is refused at once. Asynchronous.
  using DoneCallback = std::function<void(bool ok)>;
  virtual void print(std::shared_ptr<QPrinter> printer, DoneCallback done) = 0;
  virtual void printToPdf(const QString& filePath, DoneCallback done) = 0;

  // Saves the shown page to `filePath` (replacing a file there) through the
  // program's own download path. The result, a child of `parent`, reports
  // the end; it never reports before this returns.
  virtual PaneDownload* savePage(const QString& filePath, PageSaveFormat format, QObject* parent) = 0;

  // Whether the pane is the one on show in its place (independent of
  // whether its window is on screen yet). Panes that share a place are all
  // kept shown while they load, because the engine throttles a hidden view
  // (seen on Qt WebEngine 6.4: it asks for a hidden page's images a few at a
  // time, so that a host that cannot be reached is looked up again for every
  // image, and ten or more images there take seconds instead of a tenth of
  // one). The pane on show lies above its siblings; the others lie below
  // them, covered, and take no input: no clicks, no keys, no focus. A
  // covered pane may stop painting, and hide its widget while it has
  // nothing to load (coverChanged).
  bool Visible() const { return !covered_; }
  void setVisible(bool visible) {
    covered_ = !visible;
    QWidget* view = widget();
    view->setEnabled(visible);
    if (visible) {
      view->raise();
    } else {
      view->lower();
    }
    coverChanged();
  }

 signals:
  void StatusTextChange(int index, const QString& text);
  void ProgressChange(int index, int progress, int maximum);
  void DownloadComplete(int index);
  void TitleChange(int index, const QString& text);
  // The page called alert(); the call has returned already. `source` is the
  // page's host, `message` the page's text, whole: the receiver shows it as
  // plain text and cuts it (limitPageMessage).
  void pageMessage(int index, const QString& source, const QString& message);
  // The shown document or the history changed: canGoBack and canGoForward
  // may answer differently.
  void historyChanged(int index);
  // The user asked for the context menu (right click, the menu key). The
  // pane shows none of its own while a receiver is connected.
  void contextMenuRequested(int index, const PaneContextRequest& request);
  // The process that rendered the pane's page ended (a crash, out of memory,
  // killed); `reason` says how. The pane shows that it stopped until a load
  // brings a page back; it has no page to capture meanwhile.
  void rendererStopped(int index, const QString& reason);
  // The pane refused to open an address (Navigate or a navigation of its
  // page); `message` says which and why, as its status text does.
  void addressRefused(int index, const QString& message);

 protected:
  // Called by setVisible once the pane's widget is raised or lowered.
  virtual void coverChanged() {}

 private:
  int index_;
  bool covered_ = false;
};

// Makes the pane with the given index (one of the constants above) as a
// child of `parent`.
using BrowserPaneFactory = std::function<BrowserPane*(int index, PaneRole role, QWidget* parent)>;

}  // namespace pagesift
