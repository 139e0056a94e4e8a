// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QByteArray>
#include <QString>

namespace pagesift {

// How much of a file decides whether it is an image.
inline constexpr qsizetype kImageHeadBytes = 1024;

// Whether an answer is an image to keep: its media type is image/*, and its
// first kImageHeadBytes bytes are an image format Qt can read
// (QImageReader::imageFormat) or an SVG document.
bool isImageContent(const QString& mediaType, const QByteArray& head);

// The first kImageHeadBytes bytes of a file; empty when it cannot be read.
QByteArray fileHead(const QString& path);

}  // namespace pagesift
