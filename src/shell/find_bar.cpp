// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/find_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace pagesift {

FindBar::FindBar(QWidget* parent)
    : QWidget(parent),
      text_(new QLineEdit(this)),
      previous_(new QToolButton(this)),
      next_(new QToolButton(this)),
      matchCase_(new QCheckBox(tr("Match case"), this)),
      result_(new QLabel(this)),
      close_(new QToolButton(this)) {
  setAutoFillBackground(true);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  auto* label = new QLabel(tr("Find:"), this);
  label->setBuddy(text_);
  text_->setClearButtonEnabled(true);
  text_->setMinimumWidth(200);
  text_->installEventFilter(this);
  previous_->setArrowType(Qt::UpArrow);
  previous_->setToolTip(tr("Find Previous (Shift+Enter)"));
  next_->setArrowType(Qt::DownArrow);
  next_->setToolTip(tr("Find Next (Enter)"));
  close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  close_->setToolTip(tr("Close the find bar (Esc)"));
  close_->setAutoRaise(true);
  result_->setTextFormat(Qt::PlainText);
  layout->addWidget(label);
  layout->addWidget(text_);
  layout->addWidget(previous_);
  layout->addWidget(next_);
  layout->addWidget(matchCase_);
  layout->addWidget(result_, 1);
  layout->addWidget(close_);
  setFocusProxy(text_);
  hide();

  connect(text_, &QLineEdit::textEdited, this, [this] { search(false); });
  connect(previous_, &QToolButton::clicked, this, &FindBar::findPrevious);
  connect(next_, &QToolButton::clicked, this, &FindBar::findNext);
  connect(matchCase_, &QCheckBox::toggled, this, [this] { search(false); });
  connect(close_, &QToolButton::clicked, this, &FindBar::closeBar);
}

void FindBar::setPane(BrowserPane* pane) {
  if (pane == pane_) return;
  if (!isHidden()) endSearch();
  pane_ = pane;
  if (!isHidden()) search(false);
}

void FindBar::showBar() {
  if (isHidden()) {
    show();
    emit placeChanged();
  }
  text_->setFocus(Qt::ShortcutFocusReason);
}

void FindBar::openBar() {
  const bool wasHidden = isHidden();
  showBar();
  text_->selectAll();
  if (wasHidden && !text_->text().isEmpty()) search(false);  // the last search, counted again
}

void FindBar::findNext() {
  if (text_->text().isEmpty()) return openBar();
  showBar();
  search(false);
}

void FindBar::findPrevious() {
  if (text_->text().isEmpty()) return openBar();
  showBar();
  search(true);
}

void FindBar::closeBar() {
  if (isHidden()) return;
  endSearch();
  const bool hadFocus = isAncestorOf(focusWidget()) || hasFocus();
  hide();
  emit placeChanged();
  if (hadFocus && pane_) pane_->widget()->setFocus(Qt::OtherFocusReason);
}

void FindBar::clearResult() {
  if (!isHidden()) endSearch();
}

QString FindBar::resultText() const { return result_->text(); }

void FindBar::endSearch() {
  ++searches_;
  showResult(0, -1);
  if (pane_) pane_->findText(QString(), false, false, {});
}

void FindBar::search(bool backward) {
  const int search = ++searches_;
  if (!pane_ || text_->text().isEmpty()) {
    endSearch();
    return;
  }
  QPointer<FindBar> self(this);
  pane_->findText(text_->text(), matchCase_->isChecked(), backward, [self, search](int activeMatch, int matches) {
    if (self && search == self->searches_) self->showResult(activeMatch, matches);
  });
}

// matches -1: no search, nothing to show.
void FindBar::showResult(int activeMatch, int matches) {
  const bool notFound = matches == 0;
  result_->setText(matches < 0 ? QString() : notFound ? tr("Not found") : tr("%1 of %2").arg(activeMatch).arg(matches));
  text_->setStyleSheet(notFound ? QStringLiteral("QLineEdit { background: #f8d0d0; }") : QString());
}

// Esc is the window's Stop key: while the focus is in the bar, the bar takes
// it (Esc and Shift+Enter reach the bar as keys, not as shortcuts).
bool FindBar::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    event->accept();
    return true;
  }
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    closeBar();
    return true;
  }
  return QWidget::event(event);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == text_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      key->modifiers() & Qt::ShiftModifier ? findPrevious() : findNext();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace pagesift
