// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "app/engine_output.h"

#include <QByteArray>
#include <QLoggingCategory>

namespace pagesift {
namespace {

bool choosesLogging(QStringView argument) {
  return argument.startsWith(QLatin1String("--log-level")) || argument.startsWith(QLatin1String("--enable-logging"));
}

}  // namespace

void limitEngineOutput(bool pageConsole, const QStringList& engineArguments) {
  // Rules set here rank below QT_LOGGING_RULES and QT_LOGGING_CONF.
  QLoggingCategory::setFilterRules(QStringLiteral("default.info=false\n"
                                                  "default.warning=false\n"
                                                  "qt.webenginecontext.info=false\n") +
                                   (pageConsole ? QStringLiteral("js=true\n") : QStringLiteral("js=false\n")));

  const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  bool chosen = false;
  for (const QByteArray& flag : flags.split(' ')) chosen = chosen || choosesLogging(QString::fromLatin1(flag));
  for (const QString& argument : engineArguments) chosen = chosen || choosesLogging(argument);
  if (!chosen) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", QByteArray("--log-level=3 ") + flags);
}

}  // namespace pagesift
