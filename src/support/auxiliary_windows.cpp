// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "support/auxiliary_windows.h"

#include "support/help_window.h"
#include "support/website_window.h"

namespace pagesift {
namespace {

void showAndRaise(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace

AuxiliaryWindows::AuxiliaryWindows(Context context) : context_(std::move(context)) {}

AuxiliaryWindows::~AuxiliaryWindows() {
  unloadHelp();
  unloadWebsite();
}

void AuxiliaryWindows::showHelp() {
  if (!help_) {
    help_ = new Form8(context_.programFolder, context_.settings);
    help_->Form_Load();
  }
  showAndRaise(help_);
}

void AuxiliaryWindows::showWebsite() {
  if (!website_) {
    website_ = new frmWebsite(context_.makePane, context_.readWebsiteText);
    website_->Form_Load();
  }
  showAndRaise(website_);
}

Form8* AuxiliaryWindows::help() const { return help_; }

frmWebsite* AuxiliaryWindows::website() const { return website_; }

void AuxiliaryWindows::unloadHelp() { delete help_.data(); }

void AuxiliaryWindows::unloadWebsite() { delete website_.data(); }

}  // namespace pagesift
