// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "app/command_line.h"

#include <sys/stat.h>

#include <QtWebEngineCore/qtwebenginecoreglobal.h>
#include <QCommandLineParser>
#include <QDir>
#include <QRegularExpression>

#include "platform/address_policy.h"
#include "product_build_info.h"

namespace pagesift {
namespace {

const QString kProductName = QStringLiteral(PAGESIFT_PRODUCT_NAME);

enum class ValueForm {
  kNone,       // -reverse
  kSeparate,   // -platform offscreen
  kEither,     // -style fusion, -style=fusion
  kJoinedOnly  // -qmljsdebugger=port:1234
};

struct QtOption {
  QLatin1String name;
  ValueForm value;
};

// The options Qt's application objects and platform plugins document. Qt
// takes each with one dash or two.
constexpr QtOption kQtOptions[] = {
    {QLatin1String("platform"), ValueForm::kSeparate},
    {QLatin1String("platformpluginpath"), ValueForm::kSeparate},
    {QLatin1String("platformtheme"), ValueForm::kSeparate},
    {QLatin1String("plugin"), ValueForm::kSeparate},
    {QLatin1String("qwindowgeometry"), ValueForm::kSeparate},
    {QLatin1String("qwindowtitle"), ValueForm::kSeparate},
    {QLatin1String("qwindowicon"), ValueForm::kSeparate},
    {QLatin1String("session"), ValueForm::kSeparate},
    {QLatin1String("display"), ValueForm::kSeparate},
    {QLatin1String("geometry"), ValueForm::kSeparate},
    {QLatin1String("name"), ValueForm::kSeparate},
    {QLatin1String("title"), ValueForm::kSeparate},
    {QLatin1String("visual"), ValueForm::kSeparate},
    {QLatin1String("style"), ValueForm::kEither},
    {QLatin1String("stylesheet"), ValueForm::kEither},
    {QLatin1String("qmljsdebugger"), ValueForm::kJoinedOnly},
    {QLatin1String("reverse"), ValueForm::kNone},
    {QLatin1String("widgetcount"), ValueForm::kNone},
    {QLatin1String("nograb"), ValueForm::kNone},
    {QLatin1String("dograb"), ValueForm::kNone},
    {QLatin1String("sync"), ValueForm::kNone},
};

// Everything from this argument on belongs to the engine.
const QString kEngineArguments = QStringLiteral("--webEngineArgs");

// How many arguments from `argument` on are one of Qt's options: 0 for none,
// -1 for one that lacks its value.
int qtOptionLength(const QString& argument, bool valueFollows) {
  QStringView name(argument);
  if (name.startsWith(QLatin1String("--"))) {
    name = name.mid(2);
  } else if (name.startsWith(QLatin1Char('-'))) {
    name = name.mid(1);
  } else {
    return 0;
  }
  const qsizetype equals = name.indexOf(QLatin1Char('='));
  const QStringView bare = equals < 0 ? name : name.left(equals);
  for (const QtOption& option : kQtOptions) {
    if (bare != option.name) continue;
    if (equals >= 0) return option.value == ValueForm::kEither || option.value == ValueForm::kJoinedOnly ? 1 : 0;
    switch (option.value) {
      case ValueForm::kNone: return 1;
      case ValueForm::kSeparate:
      case ValueForm::kEither: return valueFollows ? 2 : -1;
      case ValueForm::kJoinedOnly: return 0;
    }
  }
  return 0;
}

QString versionText() {
  return kProductName + QLatin1Char(' ') + QStringLiteral(PAGESIFT_VERSION) + QLatin1Char('\n') +
         QStringLiteral(PAGESIFT_COMPANY_NAME) + QLatin1Char('\n') +
         QStringLiteral(
             "License GPL-3.0-or-later: GNU GPL version 3 or later.\n"
             "This is free software: you may change and share it. There is NO WARRANTY.\n") +
         QStringLiteral("Qt ") + QLatin1String(qVersion()) + QLatin1Char('\n') + QStringLiteral("Qt WebEngine ") +
         QLatin1String(qWebEngineVersion()) + QStringLiteral(" (Chromium ") +
         QLatin1String(qWebEngineChromiumVersion()) + QStringLiteral(")\n");
}

QString qtOptionsText() {
  QString text = QStringLiteral("\nQt's own options are passed to Qt:\n ");
  int column = 1;
  for (const QtOption& option : kQtOptions) {
    const QString shown = QLatin1Char(' ') + QLatin1Char('-') + option.name +
                          (option.value == ValueForm::kNone         ? QString()
                           : option.value == ValueForm::kJoinedOnly ? QStringLiteral("=VALUE")
                                                                    : QStringLiteral(" VALUE"));
    if (column + shown.size() > 78) {
      text += QStringLiteral("\n ");
      column = 1;
    }
    text += shown;
    column += static_cast<int>(shown.size());
  }
  return text + QStringLiteral("\nand everything after --webEngineArgs to the web engine.\n");
}

CommandLineOptions usageError(const QString& message) {
  CommandLineOptions options;
  options.exitStatus = 2;
  options.text = kProductName + QStringLiteral(": ") + message + QLatin1Char('\n') + QStringLiteral("Try '") +
                 kProductName + QStringLiteral(" --help' for more information.\n");
  return options;
}

// An existing file or folder, else a web address as the address box reads
// it; a local file's kind is the pane's to look at when it loads it.
AddressDecision resolveAddress(const QString& argument, const QString& currentFolder) {
  QByteArray path = encodeArgument(argument);
  if (!path.isEmpty() && !path.startsWith('/')) path = encodeArgument(currentFolder) + '/' + path;
  struct stat status {};
  if (!path.isEmpty() && ::stat(path.constData(), &status) == 0) {
    // Latin-1 keeps every byte of the name one character for cleanPath.
    const QByteArray clean = QDir::cleanPath(QString::fromLatin1(path)).toLatin1();
    const QUrl url = QUrl::fromEncoded("file://" + clean.toPercentEncoding("/!$&'()*+,;=:@"), QUrl::StrictMode);
    return {url, addressRefusal(url, PaneRole::kBrowsing, LocalFileCheck::kAtNavigation)};
  }
  return decideTypedAddress(argument, QString(), PaneRole::kBrowsing, LocalFileCheck::kAtNavigation);
}

}  // namespace

CommandLineOptions parseCommandLine(const QStringList& arguments, const QString& currentFolder) {
  // Qt's and the engine's options are set aside for them; the rest is ours.
  QStringList ours{arguments.value(0)};
  QStringList engineArguments;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("--")) {  // only addresses follow
      ours += arguments.mid(i);
      break;
    }
    if (argument == kEngineArguments) {
      engineArguments = arguments.mid(i + 1);
      break;
    }
    const int length = qtOptionLength(argument, i + 1 < arguments.size());
    if (length < 0) return usageError(QStringLiteral("Qt's option '%1' needs a value.").arg(argument));
    if (length == 0) {
      ours += argument;
    } else {
      i += length - 1;
    }
  }

  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(QStringLiteral("A web browser for looking at how web pages are made."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Shows the version of PageSift, Qt and the web engine."));
  const QCommandLineOption listImages(QStringLiteral("list-images"),
                                      QStringLiteral("Lists every image of the page at ADDRESS."),
                                      QStringLiteral("ADDRESS"));
  const QCommandLineOption verbose(QStringLiteral("verbose"),
                                   QStringLiteral("Prints the pages' console messages on standard error."));
  parser.addOptions({help, version, listImages, verbose});
  parser.addPositionalArgument(QStringLiteral("ADDRESS"),
                               QStringLiteral("A file or folder to open, or a web address (example.org)."),
                               QStringLiteral("[ADDRESS]"));

  if (!parser.parse(ours)) return usageError(parser.errorText());
  CommandLineOptions options;
  options.engineArguments = engineArguments;
  if (parser.isSet(help)) {
    options.exitStatus = 0;
    QString text = parser.helpText();
    // Without an application object Qt cannot name the program.
    text.replace(QRegularExpression(QStringLiteral("^Usage: \\S+")), QStringLiteral("Usage: ") + kProductName);
    options.text = text + qtOptionsText();
    return options;
  }
  if (parser.isSet(version)) {
    options.exitStatus = 0;
    options.text = versionText();
    return options;
  }

  QStringList addresses = parser.positionalArguments();
  options.listImages = parser.isSet(listImages);
  options.verbose = parser.isSet(verbose);
  if (options.listImages) addresses += parser.values(listImages);
  if (addresses.size() > 1) return usageError(QStringLiteral("Give at most one address."));
  if (addresses.isEmpty()) return options;
  const AddressDecision decision = resolveAddress(addresses.first(), currentFolder);
  if (!decision.refusal.isEmpty()) {
    return usageError(QStringLiteral("cannot open '%1': %2").arg(addresses.first().left(200), decision.refusal));
  }
  options.address = decision.url;
  return options;
}

QString decodeArgument(const QByteArray& bytes) {
  QString text;
  text.reserve(bytes.size());
  const auto byte = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
  for (qsizetype i = 0; i < bytes.size();) {
    const unsigned char lead = byte(i);
    // The length of a well-formed sequence from here, and its code point.
    int length = lead < 0x80                    ? 1
                 : lead >= 0xC2 && lead <= 0xDF ? 2
                 : lead >= 0xE0 && lead <= 0xEF ? 3
                 : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                : 0;
    char32_t point = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      if (i + k >= bytes.size() || (byte(i + k) & 0xC0) != 0x80) {
        length = 0;
        break;
      }
      point = (point << 6) | (byte(i + k) & 0x3F);
    }
    const bool shortest = length < 3 || (length == 3 && point >= 0x800) || (length == 4 && point >= 0x10000);
    if (length == 0 || !shortest || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF) {
      text += QChar(char16_t(0xDC00 + lead));  // a byte that is not part of UTF-8 text
      ++i;
      continue;
    }
    text += QString::fromUcs4(&point, 1);
    i += length;
  }
  return text;
}

QByteArray encodeArgument(const QString& text) {
  QByteArray bytes;
  qsizetype runStart = 0;
  for (qsizetype i = 0; i <= text.size(); ++i) {
    const bool pairEnd = i > 0 && text[i - 1].isHighSurrogate();
    const bool escaped = i < text.size() && !pairEnd && text[i].unicode() >= 0xDC80 && text[i].unicode() <= 0xDCFF;
    if (i < text.size() && !escaped) continue;
    bytes += QStringView(text).mid(runStart, i - runStart).toUtf8();
    if (escaped) bytes += char(text[i].unicode() - 0xDC00);
    runStart = i + 1;
  }
  return bytes;
}

}  // namespace pagesift
