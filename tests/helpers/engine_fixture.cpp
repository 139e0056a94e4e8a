// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "helpers/engine_fixture.h"

#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "platform/engine_settings.h"
#include "platform/product_information.h"
#include "shell/mod_product_info.h"

namespace pagesift::test {

EngineFixture::EngineFixture(QObject* owner)
    : homePage(QUrl::fromLocalFile(QStringLiteral(PAGESIFT_RESOURCES "/home/index.html"))) {
  const quint16 port = server.listen(QHostAddress::LocalHost, 0);
  if (port == 0) qFatal("the fixture site cannot listen");
  site = QStringLiteral("http://127.0.0.1:%1").arg(port);
  profile = createEngineProfile(QString(), owner);
  embedProductInformation({QStringLiteral("PageSift Test"), QStringLiteral("Test Co"), site});
  modProductInfo::ReadProductInfo();
}

EngineFixture::~EngineFixture() { CloseWindow(); }

void EngineFixture::ServeDownload(const QString& path) {
  server.route(path, [] {
    QHttpServerResponse response("application/zip", QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0'));
    response.addHeader("Content-Disposition", "attachment; filename=archive.zip");
    return response;
  });
}

void EngineFixture::OpenWindow() {
  folder = std::make_unique<TestFolder>();
  qputenv("XDG_CONFIG_HOME", folder->path().c_str());
  qputenv("PAGESIFT_HIVE", QString(Folder() + QStringLiteral("/HKEY_LOCAL_MACHINE.reg")).toUtf8());
  // The generated views' panes are made ahead, as the program makes them.
  const WebEnginePane::Context context{profile, Folder(), homePage};
  const std::vector<WebEnginePane*> ahead = generatedViewPanesAhead(context, &shelf);
  for (const WebEnginePane* pane : ahead) QTRY_VERIFY_WITH_TIMEOUT(pane->rendererStarted(), kTimeout);
  const BrowserPaneFactory makePane = webEnginePaneFactory(context, ahead);
  windows = std::make_unique<AuxiliaryWindows>(
      AuxiliaryWindows::Context{QStringLiteral(PAGESIFT_RESOURCES), SettingsStore(QStringLiteral("PageSift Test")),
                                makePane, [] { return modProductInfo::strWebsite; }});
  form = new Form1(Folder(), makePane);
  form->setAttribute(Qt::WA_DeleteOnClose, false);
  const Form1Ui& ui = form->ui();
  tools = std::make_unique<IETOOLS>(Folder(), QStringLiteral("PageSift Test"), ui.mnuToolsItem[0], ui.mnuToolsItem[1]);
  AuxiliaryWindows* w = windows.get();
  IETOOLS* t = tools.get();
  form->setCommands({.showHelp = [w] { w->showHelp(); },
                     .showWebsite = [w] { w->showWebsite(); },
                     .addToToolsMenu = [t] { t->AddToToolsMenu(); },
                     .removeFromToolsMenu = [t] { t->RemoveFromToolsMenu(); },
                     .unloadOtherWindows = [w] { w->unloadHelp(), w->unloadWebsite(); }});
  form->Form_Load();
  form->show();
  WaitForAnalysisOf(homePage.toString(), 3);
}

void EngineFixture::CloseWindow() {
  delete form;  // the views go before the profile, the commands before what they call
  tools.reset();
  windows.reset();
  folder.reset();
}

void EngineFixture::WaitForAnalysisOf(const QString& url, size_t images) const {
  QTRY_COMPARE_WITH_TIMEOUT(wb(0)->LocationURL(), url, kTimeout);
  QTRY_COMPARE_WITH_TIMEOUT(form->lists().Links[AnalysisLists::kImgTags].ListCount(), images, kTimeout);
  QTRY_COMPARE_WITH_TIMEOUT(wb(1)->LocationURL(), FileUrl("source.htm"), kTimeout);
  QTRY_COMPARE_WITH_TIMEOUT(wb(2)->LocationURL(), FileUrl("imagepage.html"), kTimeout);
}

QWebEnginePage* EngineFixture::PageOf(const BrowserPane* pane) {
  return qobject_cast<const QWebEngineView*>(pane->widget())->page();
}

QString EngineFixture::Evaluate(const BrowserPane* pane, const QString& script) {
  auto result = std::make_shared<std::optional<QString>>();
  PageOf(pane)->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                              [result](const QVariant& value) { *result = value.toString(); });
  (void)QTest::qWaitFor([result] { return result->has_value(); }, kTimeout);
  return result->value_or(QString());
}

}  // namespace pagesift::test
