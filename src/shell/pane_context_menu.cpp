// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/pane_context_menu.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>

namespace pagesift {
namespace {

bool usable(const QUrl& address) { return address.isValid() && !address.isEmpty(); }

// A javascript: address would run in whatever page the Browser view shows.
bool openable(const QUrl& address) { return address.scheme() != QLatin1String("javascript"); }

void copyAddress(const QUrl& address) { QGuiApplication::clipboard()->setText(address.toString(QUrl::FullyEncoded)); }

}  // namespace

QMenu* makePaneContextMenu(BrowserPane* pane, const PaneContextRequest& request, const PaneMenuCommands& commands,
                           QWidget* parent) {
  auto* menu = new QMenu(parent);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  const QPointer<BrowserPane> target(pane);
  const auto add = [menu](const QString& caption, auto handler) {
    QAction* item = menu->addAction(caption);
    QObject::connect(item, &QAction::triggered, menu, handler);
    return item;
  };
  const auto open = [commands](const QUrl& address) {
    if (commands.openInBrowser) commands.openInBrowser(address.toString(QUrl::FullyEncoded));
  };

  if (const QUrl link = request.linkUrl; usable(link)) {
    add(QObject::tr("Open Link in Browser View"), [open, link] { open(link); })->setEnabled(openable(link));
    add(QObject::tr("Copy Link Address"), [link] { copyAddress(link); });
    menu->addSeparator();
  }
  if (const QUrl image = request.imageUrl; usable(image)) {
    add(QObject::tr("Open Image in Browser View"), [open, image] { open(image); })->setEnabled(openable(image));
    add(QObject::tr("Copy Image Address"), [image] { copyAddress(image); });
    add(QObject::tr("Save Image As..."), [commands, image] {
      commands.saveImageAs(image);
    })->setEnabled(bool(commands.saveImageAs));
    menu->addSeparator();
  }
  if (!request.selectedText.isEmpty()) {
    add(QObject::tr("Copy"), [target] {
      if (target) target->copySelection();
    });
    menu->addSeparator();
  }
  add(QObject::tr("Back"), [target] {
    if (target) target->GoBack();
  })->setEnabled(pane->canGoBack());
  add(QObject::tr("Forward"), [target] {
    if (target) target->GoForward();
  })->setEnabled(pane->canGoForward());
  add(QObject::tr("Reload"), [target] {
    if (target) target->Refresh();
  });
  menu->addSeparator();
  add(QObject::tr("Select All"), [target] {
    if (target) target->selectAll();
  });
  add(QObject::tr("Page Source"), [commands] {
    if (commands.showPageSource) commands.showPageSource();
  });
  return menu;
}

}  // namespace pagesift
