// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

#include "platform/browser_pane.h"

class QWidget;

namespace pagesift {

// A question for a file to write, asked without blocking: a save dialog,
// then, when the file (or the folder saved beside it) is there already,
// whether to replace it. Nothing is ever replaced without that answer.
struct SaveFileQuestion {
  QString title;
  QString folder;
  QString fileName;  // the suggestion
  QStringList filters;
  QString defaultSuffix;
  // The filter (by index) that saves a folder beside the file, or -1.
  int filterWithFolder = -1;
};

// Asks `question` over `parent`; `chosen` receives the file and the index
// of the filter picked, unless the user cancels.
void askForSaveFile(QWidget* parent, const SaveFileQuestion& question,
                    std::function<void(const QString& filePath, int filter)> chosen);

// The folder Save Page's complete format writes beside `filePath`:
// "/a/page.html" gives "/a/page_files" (seen on Qt WebEngine 6.4).
QString pageFilesFolder(const QString& filePath);

// A file name for the page shown in `pane`: its title, or else the last part
// of its address, made safe, with `suffix`.
QString suggestedFileName(const BrowserPane& pane, const QString& suffix);

// Print..., Save as PDF... and Save Page As...: each asks first, then hands
// the work to the pane and reports its end in the status text (success) or
// a message box (failure).
class PageOutput : public QObject {
  Q_OBJECT

 public:
  PageOutput(QWidget* window, std::function<void(const QString&)> showStatus);

  void print(BrowserPane* pane);
  void saveAsPdf(BrowserPane* pane);
  void savePage(BrowserPane* pane);

 private:
  void failed(const QString& what, const QString& reason);
  QString folder() const;

  QWidget* window_;
  std::function<void(const QString&)> showStatus_;
  QString lastFolder_;
};

}  // namespace pagesift
