// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QObject>
#include <QSize>
#include <QString>
#include <QUrl>

#include "platform/browser_pane.h"

class QWebEngineLoadingInfo;
class QWebEngineProfile;
class QWebEngineView;

namespace pagesift {

class AnsweringPage;
class ImageRequestLog;

// One page loaded for a script rather than a person: in an off-the-record
// profile of its own, in a view of the given size shown on the current
// platform (the offscreen one, so the page lays out as on a screen), with
// the browsing settings. The page's dialogs are answered at once (alerts
// ignored, confirm and prompt cancelled) and it cannot open windows; a
// login, a client certificate or a certificate decision it asks for is
// refused, and so is a download, and so is an address the program does not
// open (addressRefusal), whether loaded or navigated to.
//
// Exactly one of loaded() and failed() is emitted per load(), except that
// failed() also follows loaded() when the page's render process ends.
class HeadlessPage : public QObject {
  Q_OBJECT

 public:
  explicit HeadlessPage(QSize viewSize, QObject* parent = nullptr);
  ~HeadlessPage() override;

  void load(const QUrl& address);

  // As BrowserPane::runIsolatedScript.
  void runIsolatedScript(const QString& source, BrowserPane::ScriptCallback done);
  // As BrowserPane::requestedImages: what the engine asked for as images for
  // the page loaded last.
  RequestedImages requestedImages() const;

 signals:
  // The main document has loaded.
  void loaded();
  // It cannot be shown: `reason` is the engine's error, "HTTP status N" for
  // an answer with an error status, or what the page asked for and was
  // refused.
  void failed(const QString& reason);

 private:
  void loadingChanged(const QWebEngineLoadingInfo& info);
  void end(bool ok, const QString& reason);
  void refuse(const QString& refusal);

  QWebEngineProfile* profile_;
  QWebEngineView* view_;
  AnsweringPage* page_;
  ImageRequestLog* requestLog_;
  bool ended_ = true;
  bool loaded_ = false;  // the last end was loaded()
  int loadsStarted_ = 0;
};

}  // namespace pagesift
