// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QWidget>

#include "platform/settings_store.h"

class QCheckBox;
class QTextEdit;

namespace pagesift {

// The help window: Help.rtf from the program folder and the box that decides
// whether the main window opens it at start. Closing it destroys it.
class Form8 : public QWidget {
  Q_OBJECT

 public:
  Form8(const QString& programFolder, const SettingsStore& settings);

  // Shows the help file, keeps the window on top and sets the box from the
  // stored setting. Without a help file none of that happens.
  void Form_Load();

  QTextEdit* rtf1;
  QCheckBox* Check1;

 private:
  // The user's click on the box stores its state at once.
  void Check1_Click();

  QString programFolder_;
  SettingsStore settings_;
};

}  // namespace pagesift
