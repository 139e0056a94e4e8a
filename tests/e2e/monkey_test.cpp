// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// Random user actions against the main window on the real engine and a small
// site on 127.0.0.1. PAGESIFT_MONKEY_ACTIONS sets how many (2000 by default),
// PAGESIFT_MONKEY_SEED the seed (printed, so a failing run can be repeated).

#include <QCheckBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <random>

#include "helpers/engine_fixture.h"
#include "support/help_window.h"
#include "support/website_window.h"

namespace pagesift {

class MonkeyTest : public QObject, public test::EngineFixture {
  Q_OBJECT

 public:
  MonkeyTest() : EngineFixture(this) {}

 private:
  std::mt19937 random_;

  int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
  // Characters from anywhere before the surrogates, or from the first 256:
  // laying out thousands of characters of many scripts costs Qt's text
  // layout (font fallback) about 0.7 s of CPU time, so long texts keep to
  // the first 256.
  QString garbage(int length, bool anyScript) {
    QString text;
    for (int i = 0; i < length; ++i)
      text += QChar(char16_t(anyScript && pick(3) ? 0xa0 + pick(0xd000) : 1 + pick(0xff)));
    return text;
  }
  QString address() {
    const QString fixed[] = {
        site + "/index.html",      site + "/a/one.html", site + "/a/b/two.html", site + "/missing.html",
        site + "/img/pic.gif",     "about:blank",        "javascript:void(0)",   "file:///",
        "data:text/html,<b>x</b>", "http://[::1",        "127.0.0.1:1/",         ""};
    switch (pick(4)) {
      case 0: return garbage(1 + pick(40), true);
      case 1: return pick(2) ? garbage(10000, false) : site + "/?" + QString(10000, 'x');
      default: return fixed[pick(int(std::size(fixed)))];
    }
  }

 private slots:
  void monkey() {
    const QByteArray page =
        "<html><head><title>%1</title></head><body><img src='/img/pic.gif'><img src='pic.gif'>"
        "<img src=\"../x.png\"><a href='/index.html'>home</a><a href='/a/one.html'>one</a>"
        "<a href='/a/b/two.html'>two</a><a href='big.jpg'>big</a><a href='../'>up</a></body></html>";
    for (const char* path : {"/index.html", "/a/one.html", "/a/b/two.html"}) {
      Serve(path, "text/html", QByteArray(page).replace("%1", path));
    }
    // Every other address is a picture, except pages, which are missing.
    server.route("/<arg>", [](const QUrl& url) {
      return url.path().endsWith(".html") ? QHttpServerResponse(QHttpServerResponse::StatusCode::NotFound)
                                          : QHttpServerResponse("image/gif", test::kPicture);
    });
    const unsigned seed = qEnvironmentVariableIsSet("PAGESIFT_MONKEY_SEED")
                              ? qEnvironmentVariable("PAGESIFT_MONKEY_SEED").toUInt()
                              : std::random_device()();
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
    const QKeyCombination shortcuts[] = {Qt::ALT | Qt::Key_Left,       Qt::ALT | Qt::Key_Right,
                                         Qt::ALT | Qt::Key_Up,         QKeyCombination(Qt::Key_Escape),
                                         QKeyCombination(Qt::Key_F5),  Qt::CTRL | Qt::Key_L,
                                         QKeyCombination(Qt::Key_Tab), Qt::SHIFT | Qt::Key_Backtab};
    for (int action = 0; action < actions; ++action) {
      QString done;
      switch (pick(9)) {
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
          if (windows->help() && pick(4) == 0) button = windows->help()->Check1;
          done = "button " + button->toolTip() + button->text();
          if (!button->rect().isEmpty()) QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
          break;
        }
        case 3: {
          const QString typed = address();
          done = QString("type %1 characters: ").arg(typed.size()) + typed.left(80);
          ui.txtUrl->clear();
          if (typed.size() > 100) ui.txtUrl->setText(typed);
          for (int i = 0; typed.size() <= 100 && i < typed.size(); ++i) {  // keyClicks takes Latin-1 alone
            QTest::sendKeyEvent(QTest::Click, ui.txtUrl, Qt::Key_unknown, QString(typed[i]), Qt::NoModifier);
          }
          if (pick(2)) QTest::keyClick(ui.txtUrl, Qt::Key_Return);
          break;
        }
        case 4:
          done = "Enter";
          QTest::keyClick(ui.txtUrl, Qt::Key_Return);
          break;
        case 5: {
          const QKeyCombination key = shortcuts[pick(int(std::size(shortcuts)))];
          done = "key " + QKeySequence(key).toString();
          form->activateWindow();  // the help window may have taken it
          QVERIFY(QTest::qWaitForWindowActive(form.data()));
          QWidget* focus = QApplication::focusWidget();
          QTest::keyClick(focus && form->isAncestorOf(focus) ? focus : form.data(), key.key(), key.keyboardModifiers());
          break;
        }
        case 6: {
          const int side = pick(3);
          const QSize size = side == 0   ? QSize(1, 1)
                             : side == 1 ? QSize(1 + pick(300), 1 + pick(300))
                                         : QSize(300 + pick(1300), 300 + pick(900));
          done = QString("resize %1 x %2").arg(size.width()).arg(size.height());
          form->resize(size);
          break;
        }
        case 7: {
          done = "close a window";
          if (QWidget* other = pick(2) ? static_cast<QWidget*>(windows->help()) : windows->website()) other->close();
          break;
        }
        default: {
          // Lets the loads go on until the Browser view's next event, if one comes.
          done = "wait";
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

      int visible = 0;
      for (const BrowserPane* pane : ui.wb) visible += pane->Visible() ? 1 : 0;
      QVERIFY2(visible == 1 && form->VisiblePaneIndex() == ui.TabStrip1->currentIndex(), what.constData());
      // The other two are covered: a click in the views never reaches them,
      // nor does the focus.
      const QWidget* hit = ui.client->childAt(ui.wb[kBrowserPane]->widget()->geometry().center());
      for (const BrowserPane* pane : ui.wb) {
        const QWidget* widget = pane->widget();
        QVERIFY2(!pane->Visible() || !widget->isHidden(), what.constData());
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
