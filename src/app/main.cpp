// PageSift: starts with the splash window, which opens the main window.

#include <QApplication>

#include "app/start_up.h"

int main(int argc, char** argv) {
  pagesift::prepareEngineEnvironment();
  QApplication app(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("org.example.pagesift.PageSift"));
  pagesift::StartUp startUp(app);
  return app.exec();
}
