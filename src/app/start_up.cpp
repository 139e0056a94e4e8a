#include "app/start_up.h"

#include <unistd.h>

#include <QApplication>

#include "platform/engine_settings.h"
#include "platform/product_information.h"
#include "platform/program_folder.h"
#include "platform/web_engine_pane.h"
#include "shell/main_window.h"
#include "shell/splash_window.h"

namespace pagesift {

void PrepareEngineEnvironment() {
  // The engine's sandbox cannot run for the superuser.
  if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  }
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

StartUp::StartUp(QApplication& app, std::function<void(Form1*)> mainWindowOpened) {
  embedProductInformation({QStringLiteral(PAGESIFT_PRODUCT_NAME), QStringLiteral(PAGESIFT_COMPANY_NAME),
                           QStringLiteral(PAGESIFT_COMMENTS)});
  const QString programFolder = programFolderPath();
  const BrowserPaneFactory makePane = webEnginePaneFactory(
      {createEngineProfile(QStringLiteral("PageSift"), &app), programFolder, homePageUrl(programFolder)});

  auto* splash = new frmSplash([this, programFolder, makePane, mainWindowOpened] {
    mainWindow_ = new Form1(programFolder, makePane);
    mainWindow_->Form_Load();
    mainWindow_->show();
    if (mainWindowOpened) mainWindowOpened(mainWindow_);
  });
  splash->Form_Load();
  splash->show();
}

StartUp::~StartUp() { delete mainWindow_; }

}  // namespace pagesift
