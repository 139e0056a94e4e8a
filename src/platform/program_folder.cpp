#include "platform/program_folder.h"

#include <stdlib.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>
#include <QStandardPaths>

#include <cstdio>

#include "analysis/text_file.h"
#include "analysis/working_files.h"

namespace pagesift {

QString programFolderPath() { return QCoreApplication::applicationDirPath(); }

QUrl homePageUrl(const QString& programFolder) {
  return QUrl::fromLocalFile(programFolder + QStringLiteral("/home/index.html"));
}

namespace {

QString standardDataLocation() {
  // Without a home folder the standard location would be a folder below "/".
  const bool homeKnown =
      !qEnvironmentVariable("HOME").isEmpty() || QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME"));
  return homeKnown ? QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) : QString();
}

}  // namespace

QString usableDataFolder(const QString& standardLocation) {
  if (!standardLocation.isEmpty() && QDir().mkpath(standardLocation) && QFileInfo(standardLocation).isWritable()) {
    return standardLocation;
  }
  QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/PageSift-XXXXXX"));
  if (!::mkdtemp(pattern.data())) {  // owner-only access
    std::fprintf(stderr, "PageSift: no folder for the working files and engine data can be created\n");
    return QString();
  }
  std::fprintf(stderr, "PageSift: no usable per-user data folder; working files and engine data are in %s\n",
               pattern.constData());
  return QFile::decodeName(pattern);
}

QString userDataFolder() {
  static const QString folder = usableDataFolder(standardDataLocation());
  return folder;
}

bool userDataFolderIsPrivate() { return userDataFolder() != standardDataLocation(); }

QString prepareWorkingFolder(const QString& programFolder) {
  if (!QFileInfo::exists(programFolder + QLatin1Char('/') + kInstalledMarker)) {
    try {
      CreateMissingWorkingFiles(programFolder.toStdString());
      return programFolder;
    } catch (const FileError&) {
    }
  }
  const QString dataFolder = userDataFolder();
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
