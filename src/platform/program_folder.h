// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QString>
#include <QUrl>

namespace pagesift {

// The folder of the running executable. Help.rtf and the home page are read
// from there.
QString programFolderPath();

// The built-in home page shipped beside the program.
QUrl homePageUrl(const QString& programFolder);

// The per-user data folder, created when missing. When there is none that can
// be used (HOME unset, or the folder cannot be created or written), a private
// folder under the system's temporary folder instead, made once per run with
// owner-only access; the program says so on standard error.
QString userDataFolder();
bool userDataFolderIsPrivate();

// Makes this run keep its working files and engine data in a private folder
// of its own (see above) instead, even when the per-user folder or the
// program folder could be used: another PageSift of the same user is running
// and the two must never share files. Call before anything reads the folder.
// Returns the folder; empty when none could be made.
QString usePrivateDataFolder();

// The same choice for a given standard location (empty: none known).
QString usableDataFolder(const QString& standardLocation);

// The file `cmake --install` puts beside the installed executable.
inline constexpr QLatin1StringView kInstalledMarker{"installed"};

// The folder for the working files, each missing one created: the program
// folder when the files can be created there and it holds no
// kInstalledMarker, otherwise the per-user data folder (an installed copy
// never writes beside itself, even when it could). After
// usePrivateDataFolder() always the private folder.
QString prepareWorkingFolder(const QString& programFolder);

// Whether `url` is a file: address whose canonical local path is one of the
// six working files in `workingFolder` (query and fragment do not count; an
// empty folder holds none). Links and ".." in the path are resolved first.
bool isWorkingFileUrl(const QUrl& url, const QString& workingFolder);

}  // namespace pagesift
