// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include <atomic>

namespace pagesift {

// An image as the engine holds it, taken from a page archive.
struct ArchivedImage {
  QString filePath;   // its bytes, written by readArchivedImages; empty when it failed
  QString mediaType;  // as the archive gives it, lower case
  QString failure;    // why it was not written ("not an image", "larger than 256 MiB")
};

// Reads the MIME archive (MHTML, as the engine writes a page) at
// `archivePath`: for the first part of each address in `wanted` (its
// Content-Location), writes the decoded bytes into `folder` as
// "archived-N", or says why not: a part over `maxBytes` or one that is not
// an image (isImageContent) is not written. Addresses the archive does not
// hold are left out. Reads the file in place, one part at a time, so its
// memory is the largest part kept; stops early, with what it has, once
// `cancelled` is set. Any bytes give an answer, an empty one at worst.
// Runs on any thread.
QHash<QString, ArchivedImage> readArchivedImages(const QString& archivePath, const QSet<QString>& wanted,
                                                 const QString& folder, qint64 maxBytes,
                                                 const std::atomic<bool>& cancelled);

// "larger than 256 MiB" for 256 MiB: the failure of an image over the limit.
QString largerThanText(qint64 maxBytes);

}  // namespace pagesift
