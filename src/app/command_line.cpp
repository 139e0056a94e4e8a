#include "app/command_line.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

#include "platform/single_instance.h"

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
         QStringLiteral("License GPL-3.0-or-later: GNU GPL version 3 or later.\n"
                        "This is free software: you may change and share it. There is NO WARRANTY.\n") +
         QStringLiteral("Qt ") +
         QLatin1String(qVersion()) + QLatin1Char('\n') + QStringLiteral("Qt WebEngine ") +
         QLatin1String(qWebEngineVersion()) + QStringLiteral(" (Chromium ") +
         QLatin1String(qWebEngineChromiumVersion()) + QStringLiteral(")\n");
}

QString qtOptionsText() {
  QString text = QStringLiteral("\nQt's own options are passed to Qt:\n ");
  int column = 1;
  for (const QtOption& option : kQtOptions) {
    const QString shown = QLatin1Char(' ') + QLatin1Char('-') + option.name +
                          (option.value == ValueForm::kNone       ? QString()
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

// An existing file or folder, else a web address as the address box reads it.
QUrl resolveAddress(const QString& argument, const QString& currentFolder) {
  const QFileInfo file(QDir(currentFolder), argument);
  if (!argument.isEmpty() && file.exists()) return QUrl::fromLocalFile(QDir::cleanPath(file.absoluteFilePath()));
  return QUrl::fromUserInput(argument);
}

}  // namespace

CommandLineOptions parseCommandLine(const QStringList& arguments, const QString& currentFolder) {
  // Qt's and the engine's options are set aside for them; the rest is ours.
  QStringList ours{arguments.value(0)};
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("--")) {  // only addresses follow
      ours += arguments.mid(i);
      break;
    }
    if (argument == kEngineArguments) break;
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
  parser.addOptions({help, version, listImages});
  parser.addPositionalArgument(QStringLiteral("ADDRESS"),
                               QStringLiteral("A file or folder to open, or a web address (example.org)."),
                               QStringLiteral("[ADDRESS]"));

  if (!parser.parse(ours)) return usageError(parser.errorText());
  CommandLineOptions options;
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
  if (options.listImages) addresses += parser.values(listImages);
  if (addresses.size() > 1) return usageError(QStringLiteral("Give at most one address."));
  if (addresses.isEmpty()) return options;
  options.address = resolveAddress(addresses.first(), currentFolder);
  if (!isOpenableAddress(options.address)) {
    return usageError(QStringLiteral("'%1' is not an address that can be opened.").arg(addresses.first().left(200)));
  }
  return options;
}

}  // namespace pagesift
