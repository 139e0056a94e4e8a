// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// The main window on the real engine against a site served over HTTP on
// 127.0.0.1: what the end-to-end tests share.

#include <QApplication>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

#include "helpers/test_folder.h"
#include "platform/web_engine_pane.h"
#include "shell/main_window.h"
#include "support/auxiliary_windows.h"
#include "support/ie_tools.h"

class QWebEnginePage;

namespace pagesift::test {

// A 1 x 1 GIF.
inline const QByteArray kPicture =
    QByteArray::fromBase64("R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==");
inline const QString kGif = QStringLiteral("data:image/gif;base64,") + QString::fromLatin1(kPicture.toBase64());

class EngineFixture {
 public:
  static constexpr int kTimeout = 60000;

  // Listens on 127.0.0.1 (routes may be added later) and makes the profile,
  // owned by `owner`; the product is "PageSift Test" by "Test Co".
  explicit EngineFixture(QObject* owner);
  ~EngineFixture();

  void Serve(const QString& path, const QByteArray& mime, const QByteArray& body) {
    server.route(path, [mime, body] { return QHttpServerResponse(mime, body); });
  }
  void ServePictures(std::initializer_list<const char*> paths) {
    for (const char* path : paths) Serve(QLatin1String(path), "image/gif", kPicture);
  }
  void ServeDownload(const QString& path);  // an empty ZIP archive, as an attachment

  // A main window with the real panes and commands, in a fresh working
  // folder that holds its settings and registry hive too; shown, with the
  // home page's analysis on show.
  void OpenWindow();
  void CloseWindow();  // the window, if still there, and its folder

  // A browsing pane of its own, outside the window.
  std::unique_ptr<WebEnginePane> NewPane(const QString& programFolder, QWidget* parent) const {
    return std::make_unique<WebEnginePane>(kBrowserPane, PaneRole::kBrowsing,
                                           WebEnginePane::Context{profile, programFolder, homePage}, parent);
  }

  BrowserPane* wb(int index) const { return form->ui().wb[index]; }
  QString Folder() const { return QString::fromStdString(folder->path()); }
  QString FileUrl(const char* name) const { return QUrl::fromLocalFile(Folder() + '/' + name).toString(); }
  void TypeAddress(const QString& address) const {
    form->ui().txtUrl->setText(address);
    QTest::keyClick(form->ui().txtUrl, Qt::Key_Return);
  }
  // Waits until the Browser pane shows `url` and its analysis, with
  // `images` image tags, is on show in the other two panes.
  void WaitForAnalysisOf(const QString& url, size_t images) const;

  // Runs `load` on `pane` and waits for the end of the load it starts.
  static void Load(BrowserPane* pane, const std::function<bool()>& load) {
    QSignalSpy done(pane, &BrowserPane::DownloadComplete);
    QVERIFY(load());
    QVERIFY(done.wait(kTimeout));
  }
  static QWebEnginePage* PageOf(const BrowserPane* pane);
  // Runs `script` in the isolated world of the pane's page, which works with
  // the page's script off; its result, or nothing if none came in time.
  static QString Evaluate(const BrowserPane* pane, const QString& script);

  QHttpServer server;
  QString site;  // "http://127.0.0.1:port"
  QWebEngineProfile* profile = nullptr;
  QUrl homePage;
  std::unique_ptr<TestFolder> folder;
  std::unique_ptr<AuxiliaryWindows> windows;
  std::unique_ptr<IETOOLS> tools;
  QPointer<Form1> form;
  QWidget shelf;  // never shown: the panes made ahead wait here
};

}  // namespace pagesift::test

// main() for a test of the real engine, which wants its OpenGL contexts
// shared before the application starts.
#define PAGESIFT_ENGINE_TEST_MAIN(TestClass)                    \
  int main(int argc, char** argv) {                             \
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); \
    QApplication app(argc, argv);                               \
    TestClass test;                                             \
    return QTest::qExec(&test, argc, argv);                     \
  }
