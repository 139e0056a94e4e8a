// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QUrl>

#include <optional>

namespace pagesift {

// How saved images are named: the address's last path segment,
// percent-decoded and made safe ("/", control characters and a leading "."
// become "_"; format characters such as the bidirectional controls, Unicode
// category Cf, are dropped), "image" when nothing is left; at most
// kMaxFileNameBytes of UTF-8 once its extension is settled, cut between
// characters, the extension kept.
inline constexpr int kMaxFileNameBytes = 200;

QString imageFileName(const QUrl& address);

// The usual extension of an image media type ("image/jpeg; q=1" -> "jpg"),
// empty when it is not an image type this program knows.
QString imageExtension(const QString& mediaType);

// Whether `name` ends in an extension ("photo.jpg"; not "photo" or ".jpg").
bool hasExtension(const QString& name);

// The name to save an answer of `mediaType` under: `name` as it is when its
// extension is one of that type's ("photo.jpeg" for image/jpeg) or the type
// is not one this program knows, else `name` with the type's extension
// appended ("run.desktop" -> "run.desktop.png", "chart" -> "chart.png").
QString nameForType(const QString& name, const QString& mediaType);

// Hands out names in one folder: never the name of anything there (a
// dangling link included) nor one handed out before; a clash gets " (2)",
// " (3)", ... before the extension.
//
// A name's extension is settled only once the content type is known
// (nameForType), which may be after later names were handed out: reserve()
// keeps the name open, and with it every name it may become (the name and
// the name with any extension appended), from every other name from the
// start; complete() settles it. So the numbering follows the order of
// reserve() calls, whatever order the content types come in. Each name's
// numbering goes on from the number it last reached, so handing out n names
// costs time linear in n.
class FileNameReservations {
 public:
  explicit FileNameReservations(QString folder) : folder_(std::move(folder)) {}

  // The open name for `name`.
  QString reserve(const QString& name);
  // The name an open name settles on for an answer of `mediaType`.
  QString complete(const QString& open, const QString& mediaType);

 private:
  bool free(const QString& candidate) const;

  QString folder_;
  QSet<QString> open_;       // names kept open
  QSet<QString> openStems_;  // the stems of open names ("p" for "p.jpg")
  QSet<QString> handedOut_;  // names settled
  QSet<QString> handedOutStems_;
  QHash<QString, int> nextNumber_;                    // by name asked for: the number its numbering has reached
  mutable std::optional<QSet<QString>> folderStems_;  // of the folder's entries, read once
};

}  // namespace pagesift
