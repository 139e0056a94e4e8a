// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// Random user actions against the main window on the real engine and a small
// site on 127.0.0.1. PAGESIFT_MONKEY_ACTIONS sets how many (2000 by default),
// PAGESIFT_MONKEY_SEED the seed (printed, so a failing run can be repeated).

#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <random>

#include "helpers/engine_fixture.h"

namespace pagesift {

class MonkeyTest : public QObject, public test::EngineFixture {
  Q_OBJECT

 public:
  MonkeyTest() : EngineFixture(this) {}

 private:
  std::mt19937 random_;

  int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
  // Long texts keep to the first 256 characters: laying out thousands of
  // characters of many scripts costs Qt's font fallback most of a second.
  QString address() {
    const QString fixed[] = {site + "/index.html",  site + "/a/b/two.html", site + "/missing.html",
                             site + "/img/pic.gif", "javascript:void(0)",   "file:///",
                             "http://[::1",         "127.0.0.1:1/",         ""};
    QString text;
    const int length = pick(3) == 0 ? 10000 : 1 + pick(40);
    for (int i = 0; i < length; ++i)
      text += QChar(char16_t(length < 100 && pick(3) ? 0xa0 + pick(0xd000) : 1 + pick(0xff)));
    return pick(2) ? fixed[pick(int(std::size(fixed)))] : text;
  }

 private slots:
  void monkey() {
    const QByteArray page =
        "<title>%1</title><img src='/img/pic.gif'><img src='pic.gif'><img src=\"../x.png\">"
        "<a href='/index.html'>home</a><a href='/a/b/two.html'>two</a><a href='big.jpg'>big</a><a href='../'>up</a>";
    for (const char* path : {"/index.html", "/a/b/two.html"})
      Serve(path, "text/html", QByteArray(page).replace("%1", path));
    // Every other address is a picture, except pages, which are missing.
    server.route("/<arg>", [](const QUrl& url) {
      return url.path().endsWith(".html") ? QHttpServerResponse(QHttpServerResponse::StatusCode::NotFound)
                                          : QHttpServerResponse("image/gif", test::kPicture);
    });
    const bool seeded = qEnvironmentVariableIsSet("PAGESIFT_MONKEY_SEED");
    const unsigned seed = seeded ? qEnvironmentVariable("PAGESIFT_MONKEY_SEED").toUInt() : std::random_device()();
    const int actions = qEnvironmentVariableIsSet("PAGESIFT_MONKEY_ACTIONS")
                            ? qEnvironmentVariableIntValue("PAGESIFT_MONKEY_ACTIONS")
                            : 2000;
    qInfo("PAGESIFT_MONKEY_SEED=%u PAGESIFT_MONKEY_ACTIONS=%d", seed, actions);
    random_.seed(seed);
    OpenWindow();
    const Form1Ui& ui = form->ui();
    const QList<QAction*> menuItems = ui.mnuGoItem + ui.mnuViewItem + ui.mnuToolsItem + ui.mnuHelpItem;
    const QList<QAbstractButton*> buttons = {ui.cmbBack,    ui.cmdForward, ui.cmdStop,    ui.cmdRefresh[0],
                                             ui.cmdBackDir, ui.Command1,   ui.cmdWebsite, ui.cmdGo};
    const QKeyCombination keys[] = {Qt::ALT | Qt::Key_Left,      Qt::ALT | Qt::Key_Up, QKeyCombination(Qt::Key_Escape),
                                    QKeyCombination(Qt::Key_F5), Qt::CTRL | Qt::Key_L, QKeyCombination(Qt::Key_Tab)};
    for (int action = 0; action < actions; ++action) {
      QString done;
      switch (pick(7)) {
        case 0: {
          const int tab = pick(kPaneCount);
          done = QString("tab %1").arg(tab);
          QTest::mouseClick(ui.TabStrip1->tabBar(), Qt::LeftButton, {}, ui.TabStrip1->tabBar()->tabRect(tab).center());
          break;
        }
        case 1: {
          QAction* item = menuItems[pick(int(menuItems.size()))];
          done = "menu " + item->text();
          item->trigger();
          break;
        }
        case 2: {
          QAbstractButton* button = buttons[pick(int(buttons.size()))];
          done = "button " + button->toolTip() + button->text();
          if (!button->rect().isEmpty()) QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
          break;
        }
        case 3: {
          const QString typed = address();
          done = QString("type %1 characters: ").arg(typed.size()) + typed.left(80);
          ui.txtUrl->setText(typed);
          QTest::keyClick(ui.txtUrl, Qt::Key_Return);
          break;
        }
        case 4: {
          const QKeyCombination key = keys[pick(int(std::size(keys)))];
          done = "key " + QKeySequence(key).toString();
          form->activateWindow();  // the help window may have taken it
          QVERIFY(QTest::qWaitForWindowActive(form.data()));
          QWidget* focus = QApplication::focusWidget();
          QTest::keyClick(focus && form->isAncestorOf(focus) ? focus : form.data(), key.key(), key.keyboardModifiers());
          break;
        }
        case 5: {
          const QSize size = pick(2) ? QSize(1 + pick(300), 1 + pick(300)) : QSize(300 + pick(1300), 300 + pick(900));
          done = QString("resize %1 x %2").arg(size.width()).arg(size.height());
          form->resize(size);
          break;
        }
        default: {
          done = "wait";  // until the Browser view's next event, if one comes
          QSignalSpy event(ui.wb[0], &BrowserPane::StatusTextChange);
          (void)event.wait(pick(300));
        }
      }
      // The window answers: a call queued behind the action runs.
      bool answered = false;
      QMetaObject::invokeMethod(
          form.data(), [&answered] { answered = true; }, Qt::QueuedConnection);
      while (!answered) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
      const QByteArray what = QString("action %1 (%2), seed %3").arg(action).arg(done).arg(seed).toUtf8();

      // One view on show, the tab's; the other two covered, out of reach
      // of clicks and focus.
      const int shown = form->VisiblePaneIndex();
      QVERIFY2(shown == ui.TabStrip1->currentIndex(), what.constData());
      const QWidget* hit = ui.client->childAt(ui.wb[kBrowserPane]->widget()->geometry().center());
      for (const BrowserPane* pane : ui.wb) {
        const QWidget* widget = pane->widget();
        QVERIFY2(!widget->isHidden() || !pane->Visible(), what.constData());
        QVERIFY2(pane->Visible() == (pane == ui.wb[shown]), what.constData());
        QVERIFY2(pane->Visible() || (hit != widget && !widget->isAncestorOf(hit)), what.constData());
        QVERIFY2(pane->Visible() || !widget->isAncestorOf(QApplication::focusWidget()), what.constData());
      }
      for (size_t pair : {AnalysisLists::kImageLinks, AnalysisLists::kImgTags}) {
        QVERIFY2(form->lists().Links[pair].ListCount() == form->lists().frmList[pair].ListCount(), what.constData());
      }
    }
  }
};

}  // namespace pagesift

PAGESIFT_ENGINE_TEST_MAIN(pagesift::MonkeyTest)

#include "monkey_test.moc"
