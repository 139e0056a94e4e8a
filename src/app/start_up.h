#pragma once

#include <QPointer>

#include <functional>

class QApplication;

namespace pagesift {

class Form1;

// Everything the program sets up before its event loop: product
// information, the engine profile, the splash window that opens the main
// window. `mainWindowOpened` (optional) is told when the main window is shown.
class StartUp {
 public:
  explicit StartUp(QApplication& app, std::function<void(Form1*)> mainWindowOpened = {});
  ~StartUp();  // the main window's pages go before the profile they use

 private:
  QPointer<Form1> mainWindow_;
};

// Call before the QApplication exists.
void PrepareEngineEnvironment();

}  // namespace pagesift
