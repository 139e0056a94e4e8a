// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace pagesift {

// What the command line `PageSift [options] [ADDRESS]` asks for.
struct CommandLineOptions {
  // The address to open instead of the home page, resolved; empty: none.
  QUrl address;
  // --list-images ADDRESS: list the page's images instead of starting the
  // program; `address` is the option's value.
  bool listImages = false;
  // --verbose: the pages' console messages go to standard error.
  bool verbose = false;
  // What follows --webEngineArgs: the engine's own options.
  QStringList engineArguments;
  // Set when the program ends at once (help, version, bad usage) with this
  // status after printing `text`: to standard output for status 0, to
  // standard error otherwise.
  std::optional<int> exitStatus;
  QString text;
};

// Reads the arguments (the program's name first) without needing an
// application object or a display. Qt's own options and the engine's
// (--webEngineArgs and everything after it) are left for them; an argument
// naming an existing file or folder, relative to `currentFolder`, is that
// file, anything else a web address as the address box reads it. Arguments
// and the folder are given as decodeArgument makes them, so that a file
// name in any encoding is found again.
CommandLineOptions parseCommandLine(const QStringList& arguments, const QString& currentFolder);

// A command-line argument or file name as text, and back, byte for byte: the
// system's file names are UTF-8 here, and QFile::decodeName turns bytes that
// are not into U+FFFD, which names another file (seen on Qt 6.4). Such a
// byte becomes a lone surrogate, U+DC80 to U+DCFF, which UTF-8 text never
// holds, and encodeArgument turns it back.
QString decodeArgument(const QByteArray& bytes);
QByteArray encodeArgument(const QString& text);

}  // namespace pagesift
