#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QtGlobal>
#include <QStandardPaths>

#include "analysis/text_file.h"
#include "analysis/working_files.h"

namespace pagesift {

QString programFolderPath() { return QCoreApplication::applicationDirPath(); }

QUrl homePageUrl(const QString& programFolder) {
  return QUrl::fromLocalFile(programFolder + QStringLiteral("/home/index.html"));
}

QString prepareWorkingFolder(const QString& programFolder) {
  try {
    CreateMissingWorkingFiles(programFolder.toStdString());
    return programFolder;
  } catch (const FileError&) {
  }
  const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  QDir().mkpath(dataFolder);
  try {
    CreateMissingWorkingFiles(dataFolder.toStdString());
  } catch (const FileError& e) {
    // Nothing is writable: the analysis will skip the files it cannot write.
    qWarning("PageSift: cannot create the working files: %s", e.what());
  }
  return dataFolder;
}

bool isWorkingFileUrl(const QUrl& url, const QString& workingFolder) {
  if (workingFolder.isEmpty() || !url.isLocalFile()) return false;
  const QString path = QFileInfo(url.toLocalFile()).canonicalFilePath();
  if (path.isEmpty()) return false;  // no such file
  for (const std::string_view name : kWorkingFiles) {
    const QString file = workingFolder + QLatin1Char('/') + QLatin1String(name.data(), static_cast<qsizetype>(name.size()));
    if (QFileInfo(file).canonicalFilePath() == path) return true;
  }
  return false;
}

}  // namespace pagesift
