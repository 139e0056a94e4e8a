// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// PageSift: reads its command line, hands its address to a PageSift already
// running for this user or starts with the splash window, which opens the
// main window.

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/command_line.h"
#include "app/engine_output.h"
#include "app/process_exit.h"
#include "app/start_up.h"
#include "inventory/list_images.h"
#include "platform/program_folder.h"
#include "platform/single_instance.h"

namespace {

QStringList argumentsOf(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments += pagesift::decodeArgument(argv[i]);
  return arguments;
}

QString currentFolder() {
  std::error_code error;
  return pagesift::decodeArgument(QByteArray::fromStdString(std::filesystem::current_path(error).native()));
}

// This program cannot share the running one's files: it keeps its own.
bool runOnItsOwn(const char* reason) {
  const QString folder = pagesift::usePrivateDataFolder();
  if (folder.isEmpty()) return false;
  std::fprintf(stderr, "PageSift: %s; this one runs on its own, with its working files and engine data in %s\n", reason,
               QFile::encodeName(folder).constData());
  return true;
}

int listImages(const QUrl& address) {
  pagesift::QuitSignals quitSignals;
  QObject::connect(&quitSignals, &pagesift::QuitSignals::received, &quitSignals, [](int signalNumber) {
    std::fprintf(stderr, "PageSift: stopped (%s); no images listed\n", strsignal(signalNumber));
    QCoreApplication::exit(1);  // ends the listing's event loop
  });
  return pagesift::listImages(address);
}

}  // namespace

int main(int argc, char** argv) {
  const pagesift::CommandLineOptions options = pagesift::parseCommandLine(argumentsOf(argc, argv), currentFolder());
  if (options.exitStatus) {
    std::fputs(pagesift::encodeArgument(options.text).constData(), *options.exitStatus == 0 ? stdout : stderr);
    return *options.exitStatus;
  }

  pagesift::limitEngineOutput(options.verbose, options.engineArguments);
  pagesift::prepareEngineEnvironment();

  if (options.listImages) {
    // The listing needs no display and never hands over to a running PageSift.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int status = listImages(options.address);
    pagesift::endWithinGracePeriod(status);
    return status;
  }

  QApplication app(argc, argv);

  QGuiApplication::setDesktopFileName(QStringLiteral("org.example.pagesift.PageSift"));

  pagesift::SingleInstance instance(pagesift::SingleInstance::socketPathFor(QStringLiteral("PageSift")));
  switch (instance.start(options.address)) {
    case pagesift::SingleInstance::Outcome::kFirst: break;
    case pagesift::SingleInstance::Outcome::kHandedOver: return 0;
    case pagesift::SingleInstance::Outcome::kNoAnswer:
      if (!runOnItsOwn("the PageSift already running does not answer")) return 1;
      break;
    case pagesift::SingleInstance::Outcome::kUnavailable:
      if (!runOnItsOwn("XDG_RUNTIME_DIR is not set or not private, so running PageSifts cannot find each other"))
        return 1;
      break;
  }

  pagesift::StartUp startUp(app, {}, options.address);
  QObject::connect(&instance, &pagesift::SingleInstance::addressReceived, &app,
                   [startUpPointer = &startUp](const QUrl& address) { startUpPointer->openAddress(address); });
  // A signal to end runs File > Exit.
  pagesift::QuitSignals quitSignals;
  QObject::connect(&quitSignals, &pagesift::QuitSignals::received, &app,
                   [startUpPointer = &startUp](int) { startUpPointer->quit(); });
  const int status = app.exec();
  pagesift::endWithinGracePeriod(status, instance.socketRemover());
  return status;
}
