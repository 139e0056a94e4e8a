// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/page_processor.h"

#include <QPointer>

#include <string_view>
#include <vector>

#include "analysis/page_analysis.h"
#include "platform/browser_pane.h"

namespace pagesift {
namespace {

// The working-file steps of the analysis (as it names them) and the views
// whose content depends on each: when one is skipped, those views show an
// earlier page's analysis or none.
struct WorkingFileStep {
  std::string_view name;
  bool sourceView;
  bool imagesView;
};
constexpr WorkingFileStep kWorkingFileSteps[] = {
    {"saving the page", true, true},         {"finding image tags", true, true},
    {"finding image links", true, true},     {"writing the source page", true, false},
    {"writing the image page", false, true}, {"resetting the working files", false, false},
};

// What the status bar says about the steps the analysis skipped: which views
// could not be updated, and the first such step's reason. Empty when no
// working-file step was skipped (a page without a body is no failure).
QString skippedStepsNotice(const std::vector<std::string>& skipped) {
  bool source = false;
  bool images = false;
  std::string first;
  for (const std::string& line : skipped) {
    for (const WorkingFileStep& step : kWorkingFileSteps) {
      if (!line.starts_with(step.name) || line.compare(step.name.size(), 2, ": ") != 0) continue;
      source = source || step.sourceView;
      images = images || step.imagesView;
      if (first.empty()) first = line;
    }
  }
  if (first.empty()) return QString();
  const QString views = source && images ? QStringLiteral("The Source Code and Images views could not be updated")
                        : source         ? QStringLiteral("The Source Code view could not be updated")
                        : images         ? QStringLiteral("The Images view could not be updated")
                                         : QStringLiteral("The working files could not be reset");
  return views + QStringLiteral(": ") + QString::fromStdString(first);
}

}  // namespace

PageProcessor::PageProcessor(BrowserPane* browser, QObject* parent) : QObject(parent), browser_(browser) {}

void PageProcessor::ProcessPage() {
  if (browserStopped_) return;
  QPointer<PageProcessor> self(this);
  const int rendererEnds = rendererEnds_;
  browser_->captureBodyHtml([self, rendererEnds](std::optional<std::string> bodyHtml) {
    if (self && rendererEnds == self->rendererEnds_) self->analyse(bodyHtml);
  });
}

void PageProcessor::rendererEnded() {
  browserStopped_ = true;
  ++rendererEnds_;
}

void PageProcessor::analyse(const std::optional<std::string>& bodyHtml) {
  BrowserPane* browser = browser_;
  const PageAnalysis result = pagesift::AnalysePage(
      bodyHtml, [browser] { return browser->LocationURL().toStdString(); }, workingFolder_.toStdString(), lists_);
  emit viewsWritten(QString::fromStdString(result.sourcePage), QString::fromStdString(result.imagePage),
                    skippedStepsNotice(result.skipped));
}

}  // namespace pagesift
