// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QFrame>

class QCheckBox;
class QLabel;
class QToolButton;

namespace pagesift {

// The bar above the views that shows a page's messages (its alert() calls)
// without stopping the page: "<host>: <message>" on one line as plain text,
// cut to the bar's width, with a close button and the check box that
// silences the page.
class MessageBar : public QFrame {
  Q_OBJECT

 public:
  explicit MessageBar(QWidget* parent);

  // Shows the bar with this message, the check box cleared.
  void showMessage(const QString& source, const QString& message);

  // The line shown, before it is cut to the bar's width.
  const QString& text() const { return text_; }
  QLabel* label() const { return label_; }
  QCheckBox* silenceBox() const { return silenceBox_; }
  QToolButton* closeButton() const { return closeButton_; }

 signals:
  // The user ticked "Don't show more messages from this page".
  void silenceRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fitText();

  QLabel* label_;
  QCheckBox* silenceBox_;
  QToolButton* closeButton_;
  QString text_;
};

}  // namespace pagesift
