#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QDir>
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

}  // namespace pagesift
