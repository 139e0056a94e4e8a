// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "support/help_window.h"

#include <QCheckBox>
#include <QFile>
#include <QTextCursor>
#include <QTextEdit>

#include "common/file_exists.h"
#include "platform/twips.h"
#include "support/mod_on_top.h"
#include "support/rtf_reader.h"

namespace pagesift {
namespace {

// More than any help text needs: a larger file shows its beginning.
constexpr qint64 kMaxHelpFileBytes = 32 * 1024 * 1024;

}  // namespace

Form8::Form8(const QString& programFolder, const SettingsStore& settings)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint),
      rtf1(new QTextEdit(this)),
      Check1(new QCheckBox(QStringLiteral("Show at Startup"), this)),
      programFolder_(programFolder),
      settings_(settings) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Readme/Help"));
  setFixedSize(twipsToPixels(10290), twipsToPixels(7920));

  rtf1->setReadOnly(true);
  QFont designedFont(QStringLiteral("MS Sans Serif"));
  designedFont.setPointSizeF(8.25);
  QTextCharFormat designedFormat;
  designedFormat.setFont(designedFont);
  QTextCursor(rtf1->document()).insertText(QStringLiteral("RichTextBox1"), designedFormat);
  placeTwips(rtf1, 0, 0, 10275, 7515);
  placeTwips(Check1, 60, 7620, 1995, 255);
  setTabOrder(rtf1, Check1);

  connect(Check1, &QCheckBox::clicked, this, &Form8::Check1_Click);
}

void Form8::Form_Load() {
  // Every step that fails is skipped and the next one runs.
  const QString path = programFolder_ + QStringLiteral("/Help.rtf");
  if (!FileExists(path.toStdString())) return;

  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) {
    ReadRtf(file.read(kMaxHelpFileBytes), *rtf1->document());  // not rich text: the designed text stays
    rtf1->moveCursor(QTextCursor::Start);                      // the reader leaves the cursor at the end
  }

  modOnTop::SetOnTop(this, modOnTop::kTrue);

  bool isNumber = false;
  const short value = settings_.read(kSettingsSection, kShowHelpKey, kShowHelpDefault).toShort(&isNumber);
  if (isNumber && (value == 0 || value == 1)) Check1->setChecked(value == 1);
}

void Form8::Check1_Click() {
  settings_.write(kSettingsSection, kShowHelpKey, Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace pagesift
