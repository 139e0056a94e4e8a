// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// The rules that name saved images, the Page commands and saving.

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "helpers/fake_browser_pane.h"
#include "helpers/files.h"
#include "inventory/image_file_names.h"
#include "inventory/image_saver.h"
#include "inventory/inventory_window.h"
#include "inventory/page_archive.h"
#include "inventory/page_images.h"

namespace pagesift {
namespace {

InventoryRow row(const QString& address) {
  return {.address = address, .kinds = {"img"}, .origins = {}, .uses = 1, .alt = {}};
}

}  // namespace

class InventoryTest : public QObject {
  Q_OBJECT

 private slots:
  // Names are handed out in order, in a folder that holds "taken.png" and a
  // dangling link "link.gif". Names are asked for in order; the answers that
  // settle them (of the media types given) come after all of them, or at a
  // "-", last first.
  void fileNames() {
    const QString cyrillic = QString(150, QChar(0x0436));  // 300 bytes of UTF-8
    const std::tuple<QStringList, QStringList, QStringList> rows[] = {
        {{"http://h/a/photo.jpg?x=1#y"}, {"image/jpeg"}, {"photo.jpg"}},
        {{"http://h/my%20ph%C3%B6to.png"}, {""}, {QString::fromUtf8("my ph\u00f6to.png")}},
        {{"http://h/a%2Fb.gif"}, {""}, {"a_b.gif"}},
        {{"http://h/a%0Ab%7F%C2%85c.gif"}, {""}, {"a_b__c.gif"}},
        {{"http://h/.hidden.png"}, {""}, {"_hidden.png"}},
        {{"http://h/dir/"}, {"text/html"}, {"image"}},
        {{"http://h/chart"}, {"image/svg+xml; charset=utf-8"}, {"chart.svg"}},
        {{"http://h/chart"}, {"application/octet-stream"}, {"chart"}},
        // 300 bytes cut, room kept for an extension.
        {{"http://h/" + QUrl::toPercentEncoding(cyrillic) + ".jpg"}, {""}, {QString(95, QChar(0x0436)) + ".jpg"}},
        {{"http://h/run.desktop"}, {"image/png"}, {"run.desktop.png"}},
        {{"http://h/page.html?x"}, {"image/gif"}, {"page.html.gif"}},
        {{"http://h/photo.JPEG"}, {"image/jpeg"}, {"photo.JPEG"}},                 // the type's other extension
        {{"http://h/x%E2%80%AEgnp.sh%E2%80%8B"}, {"image/png"}, {"xgnp.sh.png"}},  // format characters dropped
        {{"http://h/taken.png"}, {""}, {"taken (2).png"}},
        {{"http://h/link.gif"}, {""}, {"link (2).gif"}},
        {{"http://h/a/p.jpg", "http://h/b/p.jpg", "http://h/p", "http://h/c/p.jpg", "http://h/p", "http://h/d/p.jpg"},
         {"", "", "image/jpeg", "", "", "image/png"},
         {"p.jpg", "p (2).jpg", "p (3).jpg", "p (4).jpg", "p (5)", "p (6).jpg.png"}},
        // A settled name and the name it was asked as stay taken.
        {{"http://h/chart", "-", "http://h/chart.svg", "http://h/chart"},
         {"image/svg+xml", "", ""},
         {"chart.svg", "chart (2).svg", "chart (3)"}},
        // A number does not break the limit.
        {{"http://h/" + QString(200, 'a'), "http://h/" + QString(200, 'a')},
         {"", ""},
         {QString(195, 'a'), QString(191, 'a') + " (2)"}}};
    for (const auto& [addresses, mediaTypes, names] : rows) {
      const QTemporaryDir folder;
      QVERIFY(test::writeFile(folder.filePath("taken.png"), {}));
      QVERIFY(QFile::link(folder.filePath("nowhere"), folder.filePath("link.gif")));
      FileNameReservations reservations(folder.path());
      QStringList given;
      qsizetype settled = 0;
      const auto settle = [&] {
        for (qsizetype i = given.size() - 1; i >= settled; --i) {
          given[i] = reservations.complete(given[i], mediaTypes[i]);
          QVERIFY(given[i].toUtf8().size() <= kMaxFileNameBytes);
        }
        settled = given.size();
      };
      for (const QString& address : addresses) {
        address == "-" ? settle() : given.append(reservations.reserve(imageFileName(QUrl(address))));
      }
      settle();
      QCOMPARE(given, names);
    }
  }

  // The Page commands: the window collects when it opens and after each
  // completed load in the Browser view while it is open, keeping the latest
  // answer; Copy uses the window's inventory when there is one and leaves
  // data: addresses out; a double-click sends its address to the Browser view.
  void pageCommands() {
    QWidget host;
    test::FakePanes panes;
    QStringList& log = panes.log;
    auto* browser = new test::FakeBrowserPane(kBrowserPane, &host, &log);
    const ImageInventory inventory = {row("http://h/a.png"), row("data:image/gif;base64,R0lG"), row("http://h/b.png")};
    int collected = 0;
    bool hold = false;
    std::vector<InventoryCallback> held;
    QStringList sent;
    PageImages images({browser,
                       [&](InventoryCallback done) {
                         ++collected, hold ? held.push_back(std::move(done)) : done({inventory, {}, {}});
                       },
                       panes.Factory(), [&sent](const QString& address) { sent.append(address); }, &host,
                       SaveLimits()});
    images.copyImageAddresses();
    QCOMPARE(QApplication::clipboard()->text(), "http://h/a.png\nhttp://h/b.png");
    emit browser->DownloadComplete(kBrowserPane);
    QCOMPARE(collected, 1);  // no window: nothing to keep up to date
    images.showEveryImage();
    images.copyImageAddresses();
    emit browser->DownloadComplete(kBrowserPane);
    QCOMPARE(collected, 3);
    QTableView* table = images.window()->table();
    QVERIFY(QTest::qWaitForWindowExposed(images.window()));
    const QPoint third = table->visualRect(table->model()->index(2, 0)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, third);  // a view takes a double-click after a click
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, third);
    QCOMPARE(sent, QStringList{"http://h/b.png"});
    // Of two collections under way, the later one's answer is kept.
    hold = true;
    emit browser->DownloadComplete(kBrowserPane);
    emit browser->DownloadComplete(kBrowserPane);
    held[1]({{row("http://h/new.png")}, {}, {}});
    held[0]({inventory, {}, {}});
    QCOMPARE(table->model()->rowCount(), 1);
    // An address the preview does not open says why there.
    images.window()->setCollected({{row("chrome://gpucrash/x.png")}, {}, {}});
    log.clear();
    table->selectRow(0);
    QCOMPARE(log, QStringList());
    QStringList shown;
    for (const QLabel* label : images.window()->findChildren<QLabel*>()) {
      if (label->isVisible()) shown.append(label->text());
    }
    QVERIFY2(shown.contains("PageSift does not open chrome://gpucrash/x.png: an internal page of the web engine"),
             qPrintable(shown.join('\n')));
    emit browser->DownloadComplete(kBrowserPane);
    images.unload();
    QVERIFY(!images.window());
    held.back()({inventory, {}, {}});  // too late for the window
  }

  // The Every Image window on 10,000 rows counts them right, sorts
  // numerically, and says when the list was cut short or could not be read.
  void largeInventory() {
    ImageInventory inventory;
    for (int i = 0; i < 10000; ++i) {
      inventory.append(
          row(i % 10 ? QString("http://h/%1.png").arg(i) : QString("data:image/png;base64,AAAA%1").arg(i)));
      inventory.back().uses = 1 + i % 3;
      inventory.back().naturalWidth = inventory.back().naturalHeight = i;
      inventory.back().loaded = i % 4 ? ImageLoaded::kYes : ImageLoaded::kNo;
    }
    test::FakePanes panes;
    InventoryWindow window(panes.Factory());
    window.setCollected({inventory, "the page uses more than 100,000 images", {}});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.table()->sortByColumn(3, Qt::DescendingOrder);  // natural size, numerically
    QCOMPARE(window.statusText(),
             "19999 images (10000 distinct), 2500 not loaded. The list was cut short: the page "
             "uses more than 100,000 images.");
    QCOMPARE(window.table()->model()->index(0, 0).data().toString(), "http://h/9999.png");
    QCOMPARE(window.table()->model()->index(9, 0).data().toString(), "inline image, 6 bytes");  // row 9990
    window.setCollected({{}, {}, "x is not a function"});
    QCOMPARE(window.statusText(), "PageSift could not read this page's images: x is not a function");
  }

  // From the engine's archive of a page: the first part of each wanted
  // address, decoded, kept when it is an image; the other parts left out.
  void archivedImages() {
    const QByteArray gif = QByteArray::fromBase64("R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==");
    const QByteArray quoted = gif.toPercentEncoding().replace('%', '=');  // and a soft line break, a lone "="
    // Base64 read as QByteArray::fromBase64 reads it: in lines, past the
    // padding, with one to three characters after the last group of four.
    QByteArray lines = (gif + "a").toBase64();
    for (qsizetype at = 20; at < lines.size(); at += 22) lines.insert(at, "\r\n");
    const QByteArray base64[] = {lines, gif.toBase64(), gif.toBase64() + "AAA"};
    QByteArray base64Parts;
    for (int i = 0; i < 3; ++i) {
      base64Parts += "--B\r\nContent-Location: http://h/b" + QByteArray::number(i) +
                     ".gif\r\nContent-Type: image/gif\r\nContent-Transfer-Encoding: base64\r\n\r\n" + base64[i] +
                     "\r\n";
    }
    const QTemporaryDir folder;
    QVERIFY(test::writeFile(folder.filePath("page.mhtml"),
                            "Content-Type: multipart/related; boundary=\"B\"\r\n\r\n"
                            "--B\r\nContent-Location: http://h/\r\nContent-Type: text/html\r\n\r\n<p>\r\n"
                            "--B\r\nContent-Location: http://h/a.gif\r\nContent-Type: image/gif\r\n"
                            "Content-Transfer-Encoding: quoted-printable\r\n\r\n" +
                                quoted.first(6) + "=\r\n" + quoted.sliced(6) +
                                "==\n\r\n"
                                "--B\r\nContent-Location: http://h/a.gif\r\nContent-Type: image/gif\r\n\r\nx\r\n"
                                "--B\r\nContent-Location: http://h/c.svg\r\nContent-Type: image/svg+xml\r\n\r\n"
                                "<!-- <svg>\r\n" +
                                base64Parts + "--B--\r\n"));
    const QSet<QString> wanted = {"http://h/a.gif",  "http://h/b0.gif", "http://h/b1.gif",
                                  "http://h/b2.gif", "http://h/c.svg",  "http://h/d.gif"};
    const std::atomic<bool> cancelled = false;
    const QHash<QString, ArchivedImage> found =
        readArchivedImages(folder.filePath("page.mhtml"), wanted, folder.path(), 1 << 20, cancelled);
    QStringList addresses = found.keys();
    addresses.sort();
    QCOMPARE(addresses, (QStringList{"http://h/a.gif", "http://h/b0.gif", "http://h/b1.gif", "http://h/b2.gif",
                                     "http://h/c.svg"}));
    QCOMPARE(test::readFile(found["http://h/a.gif"].filePath), gif + "=");
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(test::readFile(found["http://h/b" + QString::number(i) + ".gif"].filePath),
               QByteArray::fromBase64(base64[i]));
    }
    QCOMPARE(found["http://h/c.svg"].failure, "not an image");  // a comment that never ends
    // An archive cut short before its closing delimiter keeps its parts.
    QFile archive(folder.filePath("page.mhtml"));
    QVERIFY(archive.open(QIODevice::ReadWrite) && archive.resize(archive.size() - 7));
    archive.close();
    QCOMPARE(readArchivedImages(archive.fileName(), wanted, folder.path(), 1 << 20, cancelled).size(), 5);
  }

  // Save All: a page whose images cannot be read says so and saves nothing;
  // no more than four downloads at a time, Cancel in the progress window;
  // the summary says what was saved and what not, cut to fit its box.
  void saveAll() {
    QWidget host;
    QStringList log;
    auto* browser = new test::FakeBrowserPane(kBrowserPane, &host, &log);
    CollectedImages collected{{}, {}, "x is not a function"};
    PageImages images({browser, [&collected](InventoryCallback done) { done(collected); }, {}, {}, &host, {}});
    const auto summary = [&host] {
      QMessageBox* box = nullptr;
      (void)QTest::qWaitFor([&] { return (box = host.findChild<QMessageBox*>()) != nullptr; });
      const QString text = box ? box->text() + (box->detailedText().isEmpty() ? "" : " | " + box->detailedText()) : "";
      delete box;
      return text;
    };
    const QTemporaryDir folder;
    images.saveAllImagesTo(folder.path());
    QCOMPARE(summary(), "PageSift could not read this page's images: x is not a function");

    collected.failure.clear();
    for (int i = 0; i < 6; ++i) collected.rows.append(row(QString("http://h/%1.png").arg(i)));
    images.saveAllImagesTo(folder.path());
    QTRY_COMPARE(log.size(), 4);
    QCoreApplication::processEvents();  // nothing more is pending: the four downloads run on
    for (int i = 0; i < 4; ++i) QCOMPARE(log[i], QString("wb(0).StartDownload http://h/%1.png").arg(i));
    host.findChild<QProgressDialog*>()->findChild<QPushButton*>()->click();
    QCOMPARE(summary(), "Cancelled: 0 of 6 images saved in " + folder.path() + ".");
    QCOMPARE(test::folderEntries(folder.path()), QStringList());

    // Eleven folders, no images: twelve lines shown, those past 160
    // characters cut.
    const QTemporaryDir folders;
    QStringList lines = {"0 of 11 images saved in " + folder.path() + ".", "Not saved:"};
    const qsizetype fixed = QUrl::fromLocalFile(folders.path()).toString(QUrl::FullyEncoded).size() +
                            QString("//: not a regular file").size();
    collected.rows.clear();
    for (int i = 0; i < 11; ++i) {
      const QString name = i > 1 ? QString::number(i) : QString(i ? 160 - fixed : 200, 'n');
      QVERIFY(QDir(folders.path()).mkdir(name));
      collected.rows.append(row(QUrl::fromLocalFile(folders.filePath(name) + '/').toString(QUrl::FullyEncoded)));
      lines.append(collected.rows.back().address + ": not a regular file");
    }
    QStringList shown = lines.mid(0, 12);
    shown[2] = shown[2].left(160) + QChar(0x2026);
    images.saveAllImagesTo(folder.path());
    QCOMPARE(summary(), shown.join('\n') + "\n... | " + lines.mid(1).join('\n'));
  }
};

}  // namespace pagesift

QTEST_MAIN(pagesift::InventoryTest)
#include "inventory_test.moc"
