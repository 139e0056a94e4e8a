// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/page_source_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "shell/find_bar.h"

namespace pagesift {
namespace {

constexpr int kNoticeMilliseconds = 2000;

}  // namespace

PageSourceWindow::PageSourceWindow(const BrowserPaneFactory& makePane, QWidget* parent)
    : QMainWindow(parent, Qt::Window) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(tr("Page Source"));
  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  pane_ = makePane(kPageSourcePane, PaneRole::kPageSource, client);
  findBar_ = new FindBar(client);
  findBar_->setPane(pane_);
  layout->addWidget(pane_->widget(), 1);
  layout->addWidget(findBar_);
  setCentralWidget(client);

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  addFindItems(edit, items_);
  QMenu* view = menuBar()->addMenu(tr("&View"));
  addZoomItems(view, items_);
  connect(items_.find, &QAction::triggered, findBar_, &FindBar::openBar);
  connect(items_.findNext, &QAction::triggered, findBar_, &FindBar::findNext);
  connect(items_.findPrevious, &QAction::triggered, findBar_, &FindBar::findPrevious);
  connect(items_.zoomIn, &QAction::triggered, this, [this] { zoomBy(1); });
  connect(items_.zoomOut, &QAction::triggered, this, [this] { zoomBy(-1); });
  connect(items_.actualSize, &QAction::triggered, this, [this] { zoomBy(0); });
  connect(pane_, &BrowserPane::DownloadComplete, findBar_, &FindBar::clearResult);
  connect(pane_, &BrowserPane::TitleChange, this,
          [this] { setWindowTitle(tr("Page Source - %1").arg(address_.toDisplayString())); });
  statusBar();  // for the status tips and the zoom
  resize(900, 700);
}

void PageSourceWindow::showSourceOf(const QString& address) {
  address_ = QUrl(address);
  setWindowTitle(tr("Page Source - %1").arg(address_.toDisplayString()));
  pane_->Navigate(QStringLiteral("view-source:") + address_.toString(QUrl::FullyEncoded));
}

void PageSourceWindow::zoomBy(int direction) {
  const double factor = nextZoomFactor(pane_->zoomFactor(), direction);
  pane_->setZoomFactor(factor);
  statusBar()->showMessage(zoomText(factor), kNoticeMilliseconds);
}

}  // namespace pagesift
