// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QPointer>

#include <functional>

#include "platform/browser_pane.h"
#include "platform/settings_store.h"

namespace pagesift {

class Form8;
class frmWebsite;

// The help and website windows: each made and loaded on first use, shown
// (and brought forward) on every use, and made anew after it was closed.
class AuxiliaryWindows {
 public:
  struct Context {
    QString programFolder;  // where Help.rtf is
    SettingsStore settings;
    BrowserPaneFactory makePane;               // the website pane
    std::function<QString()> readWebsiteText;  // the website window's caption
  };

  explicit AuxiliaryWindows(Context context);
  ~AuxiliaryWindows();  // unloads both windows
  AuxiliaryWindows(const AuxiliaryWindows&) = delete;
  AuxiliaryWindows& operator=(const AuxiliaryWindows&) = delete;

  void showHelp();
  void showWebsite();
  void unloadHelp();
  void unloadWebsite();

  // The windows while they live, null otherwise.
  Form8* help() const;
  frmWebsite* website() const;

 private:
  Context context_;
  QPointer<Form8> help_;
  QPointer<frmWebsite> website_;
};

}  // namespace pagesift
