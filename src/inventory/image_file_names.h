#pragma once

#include <QSet>
#include <QString>
#include <QUrl>

#include <optional>

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
//
// A name without an extension gets its extension only once the content type
// is known, which may be after later names were handed out: reserve() keeps
// its stem from every other name from the start (no "photo.*" is handed out
// while "photo" is open, and none that a file in the folder has), and
// complete() adds the extension. So the numbering follows the order of
// reserve() calls, whatever order the content types come in.
class FileNameReservations {
 public:
  explicit FileNameReservations(QString folder) : folder_(std::move(folder)) {}

  // A name with an extension is handed out whole; one without is kept open
  // and its stem returned.
  QString reserve(const QString& name);
  // The name for a stem reserve() returned: the stem with `extension`
  // (none when empty).
  QString complete(const QString& stem, const QString& extension);

 private:
  bool taken(const QString& name) const;
  bool stemTaken(const QString& stem) const;

  QString folder_;
  QSet<QString> handedOut_;
  QSet<QString> handedOutStems_;
  QSet<QString> openStems_;
  mutable std::optional<QSet<QString>> folderStems_;  // of the folder's entries, read once
};

}  // namespace pagesift
