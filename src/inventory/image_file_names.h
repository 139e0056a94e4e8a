#pragma once

#include <QSet>
#include <QString>
#include <QUrl>

namespace pagesift {

// How saved images are named: the address's last path segment,
// percent-decoded and made safe ("/", control characters and a leading "."
// become "_"), "image" when nothing is left; at most kMaxFileNameBytes of
// UTF-8, cut between characters, the extension kept.
inline constexpr int kMaxFileNameBytes = 200;

QString imageFileName(const QUrl& address);

// The usual extension of an image media type ("image/jpeg; q=1" -> "jpg"),
// empty when it is not an image type this program knows.
QString imageExtension(const QString& mediaType);

// Whether `name` ends in an extension ("photo.jpg"; not "photo" or ".jpg").
bool hasExtension(const QString& name);

// Hands out names in one folder: never the name of anything there (a
// dangling link included) nor one handed out before; a clash gets " (2)",
// " (3)", ... before the extension.
class FileNameReservations {
 public:
  explicit FileNameReservations(QString folder) : folder_(std::move(folder)) {}

  QString reserve(const QString& name);

 private:
  bool taken(const QString& name) const;

  QString folder_;
  QSet<QString> handedOut_;
};

}  // namespace pagesift
