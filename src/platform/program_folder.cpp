// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/program_folder.h"

#include <stdlib.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

#include <cstdio>
#include <optional>

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

// A new folder under the system's temporary folder with owner-only access.
QString makePrivateFolder() {
  QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/PageSift-XXXXXX"));
  if (!::mkdtemp(pattern.data())) {  // owner-only access
    std::fprintf(stderr, "PageSift: no folder for the working files and engine data can be created\n");
    return QString();
  }
  return QFile::decodeName(pattern);
}

struct DataFolderChoice {
  std::optional<QString> folder;
  bool forcedPrivate = false;
};

DataFolderChoice& dataFolderChoice() {
  static DataFolderChoice choice;
  return choice;
}

}  // namespace

QString usableDataFolder(const QString& standardLocation) {
  if (!standardLocation.isEmpty() && QDir().mkpath(standardLocation) && QFileInfo(standardLocation).isWritable()) {
    return standardLocation;
  }
  const QString folder = makePrivateFolder();
  if (!folder.isEmpty()) {
    std::fprintf(stderr, "PageSift: no usable per-user data folder; working files and engine data are in %s\n",
                 QFile::encodeName(folder).constData());
  }
  return folder;
}

QString userDataFolder() {
  DataFolderChoice& choice = dataFolderChoice();
  if (!choice.folder) choice.folder = usableDataFolder(standardDataLocation());
  return *choice.folder;
}

QString usePrivateDataFolder() {
  DataFolderChoice& choice = dataFolderChoice();
  choice.folder = makePrivateFolder();
  choice.forcedPrivate = true;
  return *choice.folder;
}

bool userDataFolderIsPrivate() { return userDataFolder() != standardDataLocation(); }

QString prepareWorkingFolder(const QString& programFolder) {
  if (!dataFolderChoice().forcedPrivate && !QFileInfo::exists(programFolder + QLatin1Char('/') + kInstalledMarker)) {
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
    std::fprintf(stderr, "PageSift: cannot create the working files: %s\n", e.what());
  }
  return dataFolder;
}

bool isWorkingFileUrl(const QUrl& url, const QString& workingFolder) {
  if (workingFolder.isEmpty() || !url.isLocalFile()) return false;
  const QString path = QFileInfo(url.toLocalFile()).canonicalFilePath();
  if (path.isEmpty()) return false;  // no such file
  for (const std::string_view name : kWorkingFiles) {
    const QString file =
        workingFolder + QLatin1Char('/') + QLatin1String(name.data(), static_cast<qsizetype>(name.size()));
    if (QFileInfo(file).canonicalFilePath() == path) return true;
  }
  return false;
}

}  // namespace pagesift
