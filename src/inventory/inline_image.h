#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace pagesift {

// The content of a data: address ("data:image/png;base64,...").
struct InlineImage {
  QString mediaType;  // lower case, without parameters; "text/plain" when the address names none
  QByteArray bytes;
};

// Nothing when `address` is not a data: address with a comma.
std::optional<InlineImage> decodeDataAddress(const QString& address);

}  // namespace pagesift
