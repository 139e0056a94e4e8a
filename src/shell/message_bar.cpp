// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "shell/message_bar.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include "platform/page_dialogs.h"

namespace pagesift {

MessageBar::MessageBar(QWidget* parent)
    : QFrame(parent),
      label_(new QLabel(this)),
      silenceBox_(new QCheckBox(QString::fromLatin1(kSilencePageText), this)),
      closeButton_(new QToolButton(this)) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::ToolTipBase);
  label_->setTextFormat(Qt::PlainText);
  label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  label_->installEventFilter(this);
  closeButton_->setText(QStringLiteral("\u00D7"));
  closeButton_->setToolTip(tr("Close"));
  closeButton_->setAutoRaise(true);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 2, 2, 2);
  layout->addWidget(label_, 1);
  layout->addWidget(silenceBox_);
  layout->addWidget(closeButton_);
  connect(closeButton_, &QToolButton::clicked, this, &QWidget::hide);
  connect(silenceBox_, &QCheckBox::toggled, this, [this](bool checked) {
    if (checked) emit silenceRequested();
  });
  hide();
}

void MessageBar::showMessage(const QString& source, const QString& message) {
  // Page text: cut before anything measures it, and kept to one line.
  text_ = QString(source + QStringLiteral(": ") + limitPageMessage(message)).simplified();
  {
    const QSignalBlocker blocker(silenceBox_);
    silenceBox_->setChecked(false);
  }
  show();
  raise();
  fitText();
}

// The text is cut to the label's width whenever the layout changes it.
bool MessageBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == label_ && event->type() == QEvent::Resize) fitText();
  return QFrame::eventFilter(watched, event);
}

void MessageBar::fitText() {
  label_->setText(label_->fontMetrics().elidedText(text_, Qt::ElideRight, qMax(0, label_->width())));
}

}  // namespace pagesift
