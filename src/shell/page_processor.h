// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <string>

#include "analysis/string_list.h"

namespace pagesift {

class BrowserPane;

// The analysis of the Browser pane's page after each completed load: asks
// the pane for the page's body, and when the text arrives analyses it in
// one go, on this thread, into the working folder. Keeps the four lists
// until the next run. Knows nothing of the window: it tells whoever listens
// that both views are written.
class PageProcessor : public QObject {
  Q_OBJECT

 public:
  explicit PageProcessor(BrowserPane* browser, QObject* parent = nullptr);

  void setWorkingFolder(const QString& folder) { workingFolder_ = folder; }
  const QString& workingFolder() const { return workingFolder_; }
  const AnalysisLists& lists() const { return lists_; }

  // Captures the page on show and analyses it when the text arrives;
  // nothing while the Browser pane has stopped (its render process ended
  // and no page has loaded since).
  void ProcessPage();
  // A page has loaded in the Browser pane.
  void pageLoaded() { browserStopped_ = false; }
  // The Browser pane's render process ended: a capture asked for before is
  // dropped, and nothing is analysed until a page loads.
  void rendererEnded();

 signals:
  // Both views are written as `sourcePage` and `imagePage`. `notice` says
  // which views could not be updated and why, empty when every step that
  // matters ran (a page without a body is no failure).
  void viewsWritten(const QString& sourcePage, const QString& imagePage, const QString& notice);

 private:
  void analyse(const std::optional<std::string>& bodyHtml);

  BrowserPane* browser_;
  QString workingFolder_;
  AnalysisLists lists_;
  bool browserStopped_ = false;
  int rendererEnds_ = 0;  // every end counts
};

}  // namespace pagesift
