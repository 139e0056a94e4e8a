// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/browser_pane.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace pagesift {

// The find bar below a window's page: the text, Previous and Next, "Match
// case", the count ("2 of 5", "Not found") and a close button. It searches
// one pane at a time, the one on show; Enter finds the next match, Shift+Enter
// the previous, Esc closes the bar while it has the focus (and only then:
// elsewhere Esc is the window's).
class FindBar : public QWidget {
  Q_OBJECT

 public:
  explicit FindBar(QWidget* parent);

  // The pane searched from now on; a search open in the bar moves to it.
  void setPane(BrowserPane* pane);

  // Find...: shows the bar with its text selected and the focus in it.
  void openBar();
  // Find Next, Find Previous: open the bar first when it is closed or empty.
  void findNext();
  void findPrevious();
  // Hides the bar and clears the marks; the focus goes back to the page.
  void closeBar();
  // The page on show was replaced: its marks and count are gone.
  void clearResult();

  QString resultText() const;
  QLineEdit* textBox() const { return text_; }
  QCheckBox* matchCaseBox() const { return matchCase_; }

 signals:
  // Shown or hidden: the window makes room for it.
  void placeChanged();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showBar();
  void search(bool backward);
  void showResult(int activeMatch, int matches);
  void endSearch();

  QPointer<BrowserPane> pane_;
  QLineEdit* text_;
  QToolButton* previous_;
  QToolButton* next_;
  QCheckBox* matchCase_;
  QLabel* result_;
  QToolButton* close_;
  int searches_ = 0;  // only the latest search's answer is shown
};

}  // namespace pagesift
