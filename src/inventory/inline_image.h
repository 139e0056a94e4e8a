// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace pagesift {

// An image carried in its data: address.
struct InlineImage {
  QString mediaType;  // lower case; "text/plain" when the address names none
  QByteArray bytes;   // decoded
};

// The image of a data: address ("data:[<media type>][;base64],<data>"), or
// nothing when `address` is not one.
std::optional<InlineImage> decodeInlineImage(const QString& address);

}  // namespace pagesift
