// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#include "app/start_up.h"

#include <unistd.h>

#include <QApplication>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include "inventory/inventory_collector.h"
#include "inventory/page_images.h"
#include "platform/engine_settings.h"
#include "platform/product_information.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "platform/web_engine_pane.h"
#include "product_build_info.h"
#include "shell/main_window.h"
#include "shell/menu_items.h"
#include "shell/mod_product_info.h"
#include "shell/splash_window.h"
#include "shell/status_panels.h"
#include "support/auxiliary_windows.h"
#include "support/ie_tools.h"

namespace pagesift {

void prepareEngineEnvironment() {
  // The engine's sandbox cannot run for the superuser.
  if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  }
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

StartUp::StartUp(QApplication& app, std::function<void(Form1*)> mainWindowOpened, const QUrl& startAddress)
    : app_(app), mainWindowOpened_(std::move(mainWindowOpened)), startAddress_(startAddress) {
  embedProductInformation({QStringLiteral(PAGESIFT_PRODUCT_NAME), QStringLiteral(PAGESIFT_COMPANY_NAME),
                           QStringLiteral(PAGESIFT_COMMENTS)});
  splash_ = new frmSplash([this] { openMainWindow(); });
  // Queued: the engine's set-up waits until the splash's first picture is
  // on screen.
  QObject::connect(
      splash_, &frmSplash::painted, splash_, [this] { warmUpEngine(); }, Qt::QueuedConnection);
  splash_->Form_Load();
  splash_->show();
}

// What takes the engine longest before a first page can show, done while
// the splash shows: the engine itself (made with the profile), a renderer
// for the Browser pane (started for a blank page of the profile, and kept
// in reserve by the engine for the next page) and the generated views'
// panes with renderers of their own.
void StartUp::warmUpEngine() {
  if (profile_) return;
  programFolder_ = programFolderPath();
  profile_ = createEngineProfile(QStringLiteral("PageSift"), &app_);
  const WebEnginePane::Context context{profile_, programFolder_, homePageUrl(programFolder_)};
  // The generated views load right after the Browser view's first page:
  // their renderers start now, beside the blank page's.
  paneShelf_ = std::make_unique<QWidget>();
  makePane_ = webEnginePaneFactory(context, generatedViewPanesAhead(context, paneShelf_.get()));
  auxiliaryWindows_ = std::make_unique<AuxiliaryWindows>(AuxiliaryWindows::Context{
      programFolder_, SettingsStore(readExecutableProductInformation().productName), makePane_, [] {
        modProductInfo::ReadProductInfo();
        return modProductInfo::strWebsite;
      }});
  warmUpPage_ = std::make_unique<QWebEnginePage>(profile_);
  warmUpPage_->load(QUrl(QStringLiteral("about:blank")));
}

void StartUp::openMainWindow() {
  warmUpEngine();  // if the splash was never painted
  mainWindow_ = new Form1(programFolder_, makePane_);
  const Form1Ui& ui = mainWindow_->ui();
  ieTools_ = std::make_unique<IETOOLS>(programFolder_, readExecutableProductInformation().productName,
                                       ui.mnuToolsItem[kToolsAdd], ui.mnuToolsItem[kToolsRemove],
                                       [form = QPointer<Form1>(mainWindow_)](const QString& message) {
                                         if (form) form->ui().sb1->setPanelText(1, message);
                                       });
  BrowserPane* browser = ui.wb[kBrowserPane];
  Form1* form = mainWindow_;
  SaveLimits limits;
  limits.maxImageBytes = qint64(readMaxImageSizeMiB(SettingsStore(readExecutableProductInformation().productName)))
                         << 20;
  // The Every Image window's preview has the main window's context menu.
  const BrowserPaneFactory makePreviewPane = [makePane = makePane_, form](int index, PaneRole role, QWidget* parent) {
    BrowserPane* pane = makePane(index, role, parent);
    form->attachContextMenu(pane);
    return pane;
  };
  pageImages_ = std::make_unique<PageImages>(PageImages::Context{
      browser, [browser](InventoryCallback done) { collectImageInventory(*browser, std::move(done)); }, makePreviewPane,
      [form](const QString& address) { form->sendToBrowser(address); }, form, limits});
  QObject::connect(pageImages_.get(), &PageImages::statusMessage, ui.sb1,
                   [panels = ui.sb1](const QString& text) { panels->setPanelText(1, text); });
  AuxiliaryWindows* windows = auxiliaryWindows_.get();
  IETOOLS* tools = ieTools_.get();
  PageImages* images = pageImages_.get();
  mainWindow_->setCommands({
      .showHelp = [windows] { windows->showHelp(); },
      .showWebsite = [windows] { windows->showWebsite(); },
      .addToToolsMenu = [tools] { tools->AddToToolsMenu(); },
      .removeFromToolsMenu = [tools] { tools->RemoveFromToolsMenu(); },
      .unloadOtherWindows = [this] { unloadOtherWindows(); },
      .showEveryImage = [images] { images->showEveryImage(); },
      .copyImageAddresses = [images] { images->copyImageAddresses(); },
      .saveAllImages = [images] { images->saveAllImages(); },
      .saveImageAs = [images](const QUrl& address) { images->saveImageAs(address); },
  });
  mainWindow_->Form_Load(startAddress_.toString(QUrl::FullyEncoded));
  mainWindow_->show();
  // The main window's pages have renderers of their own now.
  warmUpPage_.reset();
  paneShelf_.reset();
  if (mainWindowOpened_) mainWindowOpened_(mainWindow_);
}

void StartUp::openAddress(const QUrl& address) {
  if (!mainWindow_) {
    if (!address.isEmpty()) startAddress_ = address;
    return;
  }
  if (!address.isEmpty()) mainWindow_->openAddress(address.toString(QUrl::FullyEncoded));
  mainWindow_->setWindowState((mainWindow_->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  mainWindow_->raise();
  mainWindow_->activateWindow();
}

void StartUp::quit() {
  if (mainWindow_) {
    mainWindow_->close();
  } else {
    unloadOtherWindows();
  }
  QCoreApplication::exit(0);
}

// Help first, then the splash (normally gone already), then the website.
void StartUp::unloadOtherWindows() {
  if (auxiliaryWindows_) auxiliaryWindows_->unloadHelp();
  delete splash_.data();
  if (auxiliaryWindows_) auxiliaryWindows_->unloadWebsite();
  if (pageImages_) pageImages_->unload();
}

// The main window's and the website window's pages go before the profile
// they use.
StartUp::~StartUp() {
  pageImages_.reset();
  delete mainWindow_.data();
  warmUpPage_.reset();
  auxiliaryWindows_.reset();
  delete splash_.data();
}

}  // namespace pagesift
