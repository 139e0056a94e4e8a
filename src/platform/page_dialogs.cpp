// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "platform/page_dialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>

namespace pagesift {
namespace {

// The site a page belongs to, as far as silencing goes: scheme, host and port.
QString siteOf(const QUrl& address) {
  return address.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo)
      .toString();
}

}  // namespace

QString limitPageMessage(const QString& message) {
  if (message.size() <= kPageMessageLimit) return message;
  return message.left(kPageMessageLimit) + QStringLiteral("...");
}

QString pageMessageSource(const QUrl& origin) { return origin.host().isEmpty() ? origin.scheme() : origin.host(); }

void PageDialogGate::silence(const QUrl& page) { silencedSite_ = siteOf(page); }

void PageDialogGate::mainFrameLoading(const QUrl& address) {
  if (silencedSite_ && siteOf(address) != *silencedSite_) silencedSite_.reset();
}

std::optional<QString> askForPage(QWidget* parent, const QString& source, const QString& message,
                                  const std::optional<QString>& promptValue, bool* silence) {
  QPointer<QDialog> dialog = new QDialog(parent);
  dialog->setWindowTitle(source);
  auto* layout = new QVBoxLayout(dialog);
  auto* text = new QLabel(limitPageMessage(message), dialog);
  text->setTextFormat(Qt::PlainText);
  text->setWordWrap(true);
  layout->addWidget(text);
  QLineEdit* input = nullptr;
  if (promptValue) {
    input = new QLineEdit(limitPageMessage(*promptValue), dialog);
    layout->addWidget(input);
  }
  auto* silenceBox = new QCheckBox(QString::fromLatin1(kSilencePageText), dialog);
  layout->addWidget(silenceBox);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  layout->addWidget(buttons);

  // The engine waits for the answer: this is the one nested event loop, as
  // the engine's own dialogs have.
  const bool ok = dialog->exec() == QDialog::Accepted;
  if (!dialog) {  // the pane went away meanwhile
    *silence = true;
    return std::nullopt;
  }
  *silence = silenceBox->isChecked();
  std::optional<QString> answer;
  if (ok) answer = input ? input->text() : QString();
  delete dialog.data();
  return answer;
}

}  // namespace pagesift
