// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/page_output.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

namespace pagesift {
namespace {

constexpr qsizetype kFileNameLimit = 100;  // characters, before the suffix

}  // namespace

QString pageFilesFolder(const QString& filePath) {
  const QFileInfo file(filePath);
  return file.dir().filePath(file.completeBaseName() + QLatin1String("_files"));
}

QString suggestedFileName(const BrowserPane& pane, const QString& suffix) {
  QString name = pane.LocationName().simplified();
  if (name.isEmpty()) name = QFileInfo(QUrl(pane.LocationURL()).fileName()).completeBaseName();
  QString safe;
  for (const QChar c : name) {
    const bool unsafe = c.category() == QChar::Other_Control || QStringLiteral("/\\:*?\"<>|").contains(c);
    safe += unsafe ? QLatin1Char('_') : c;
  }
  safe = safe.left(kFileNameLimit).trimmed();
  while (safe.startsWith(QLatin1Char('.'))) safe.remove(0, 1);
  if (safe.isEmpty()) safe = QObject::tr("page");
  return safe + QLatin1Char('.') + suffix;
}

void askForSaveFile(QWidget* parent, const SaveFileQuestion& question,
                    std::function<void(const QString& filePath, int filter)> chosen) {
  auto* dialog = new QFileDialog(parent, question.title, QDir(question.folder).filePath(question.fileName));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setOption(QFileDialog::DontConfirmOverwrite);  // asked below, the folder beside it included
  dialog->setNameFilters(question.filters);
  dialog->setDefaultSuffix(question.defaultSuffix);
  QObject::connect(
      dialog, &QFileDialog::fileSelected, parent, [parent, dialog, question, chosen](const QString& filePath) {
        const int filter = static_cast<int>(question.filters.indexOf(dialog->selectedNameFilter()));
        const QFileInfo file(filePath);
        const QFileInfo folder(pageFilesFolder(filePath));
        const bool fileThere = file.exists() || file.isSymLink();
        const bool folderThere = filter == question.filterWithFolder && (folder.exists() || folder.isSymLink());
        if (!fileThere && !folderThere) {
          chosen(filePath, filter);
          return;
        }
        QString text;
        if (file.isDir()) {
          auto* box = new QMessageBox(QMessageBox::Warning, question.title,
                                      QObject::tr("\u201c%1\u201d is a folder.").arg(file.absoluteFilePath()),
                                      QMessageBox::Ok, parent);
          box->setAttribute(Qt::WA_DeleteOnClose);
          box->open();
          return;
        }
        if (fileThere) {
          text = QObject::tr("\u201c%1\u201d already exists in \u201c%2\u201d. Do you want to replace it?")
                     .arg(file.fileName(), file.absolutePath());
        }
        if (folderThere) {
          if (!text.isEmpty()) text += QLatin1String("\n\n");
          text += QObject::tr(
                      "The folder \u201c%1\u201d beside it already exists: the page's files in it will replace "
                      "any files of the same names.")
                      .arg(folder.fileName());
        }
        auto* box = new QMessageBox(QMessageBox::Warning, question.title, text, QMessageBox::NoButton, parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        QPushButton* replace = box->addButton(QObject::tr("Replace"), QMessageBox::AcceptRole);
        box->setDefaultButton(box->addButton(QMessageBox::Cancel));
        QObject::connect(box, &QMessageBox::buttonClicked, parent,
                         [replace, chosen, filePath, filter](QAbstractButton* button) {
                           if (button == replace) chosen(filePath, filter);
                         });
        box->open();
      });
  dialog->open();
}

PageOutput::PageOutput(QWidget* window, std::function<void(const QString&)> showStatus)
    : QObject(window), window_(window), showStatus_(std::move(showStatus)) {}

QString PageOutput::folder() const {
  if (!lastFolder_.isEmpty()) return lastFolder_;
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void PageOutput::failed(const QString& what, const QString& reason) {
  QString text = tr("PageSift could not %1.").arg(what);
  showStatus_(text);
  if (!reason.isEmpty()) text += QLatin1Char('\n') + reason;
  auto* box = new QMessageBox(QMessageBox::Warning, tr("PageSift"), text, QMessageBox::Ok, window_);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void PageOutput::print(BrowserPane* pane) {
  auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
  auto* dialog = new QPrintDialog(printer.get(), window_);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  QPointer<BrowserPane> target(pane);
  connect(dialog, &QDialog::accepted, this, [this, printer, target] {
    if (!target) return;
    showStatus_(tr("Printing..."));
    QPointer<PageOutput> self(this);
    target->print(printer, [self](bool ok) {
      if (!self) return;
      ok ? self->showStatus_(tr("Printed")) : self->failed(tr("print the page"), {});
    });
  });
  dialog->open();
}

void PageOutput::saveAsPdf(BrowserPane* pane) {
  QPointer<BrowserPane> target(pane);
  QPointer<PageOutput> self(this);
  const SaveFileQuestion question{tr("Save as PDF"),
                                  folder(),
                                  suggestedFileName(*pane, QStringLiteral("pdf")),
                                  {tr("PDF documents (*.pdf)")},
                                  QStringLiteral("pdf")};
  askForSaveFile(window_, question, [self, target](const QString& filePath, int) {
    if (!self || !target) return;
    self->lastFolder_ = QFileInfo(filePath).absolutePath();
    self->showStatus_(tr("Saving the page as %1...").arg(filePath));
    target->printToPdf(filePath, [self, filePath](bool ok) {
      if (!self) return;
      ok ? self->showStatus_(tr("Saved the page as %1").arg(filePath))
         : self->failed(tr("save the page as %1").arg(filePath), {});
    });
  });
}

void PageOutput::savePage(BrowserPane* pane) {
  QPointer<BrowserPane> target(pane);
  QPointer<PageOutput> self(this);
  const SaveFileQuestion question{tr("Save Page As"),
                                  folder(),
                                  suggestedFileName(*pane, QStringLiteral("html")),
                                  {tr("Web page, HTML only (*.html *.htm)"), tr("Web page, complete (*.html *.htm)")},
                                  QStringLiteral("html"),
                                  1};
  askForSaveFile(window_, question, [self, target](const QString& filePath, int filter) {
    if (!self || !target) return;
    self->lastFolder_ = QFileInfo(filePath).absolutePath();
    const PageSaveFormat format = filter == 1 ? PageSaveFormat::kCompleteHtml : PageSaveFormat::kSingleHtml;
    PaneDownload* download = target->savePage(filePath, format, self);
    self->showStatus_(tr("Saving the page as %1...").arg(filePath));
    connect(download, &PaneDownload::progress, self, [self, filePath](qint64 received, qint64) {
      self->showStatus_(tr("Saving the page as %1... %2 KB").arg(filePath).arg(received / 1024));
    });
    connect(download, &PaneDownload::finished, self, [self, download, filePath](bool ok, const QString& reason) {
      download->deleteLater();
      ok ? self->showStatus_(tr("Saved the page as %1").arg(filePath))
         : self->failed(tr("save the page as %1").arg(filePath), reason);
    });
  });
}

}  // namespace pagesift
