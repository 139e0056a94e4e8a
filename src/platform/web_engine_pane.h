#pragma once

#include <QUrl>

#include "platform/browser_pane.h"
#include "platform/engine_settings.h"

class QWebEngineProfile;
class QWebEngineView;

namespace pagesift {

// A BrowserPane on Qt WebEngine.
class WebEnginePane : public BrowserPane {
  Q_OBJECT

 public:
  struct Context {
    QWebEngineProfile* profile = nullptr;
    QString programFolder;  // relative addresses are resolved against it
    QUrl homePage;
  };

  WebEnginePane(int index, PaneRole role, const Context& context, QWidget* parent);

  QWidget* widget() const override;
  bool Navigate(const QString& address) override;
  bool GoBack() override;
  bool GoForward() override;
  void GoHome() override;
  void Stop() override;
  void Refresh() override;
  QString LocationURL() const override;
  QString LocationName() const override;
  void CaptureBodyHtml(BodyCallback done) override;

 private:
  void ConnectEngineEvents();

  Context context_;
  QWebEngineView* view_;
  QString loadStateText_;
};

// Makes the main window's panes: the Browser pane browses, the Source Code
// and Images panes show generated pages.
BrowserPaneFactory WebEnginePaneFactory(const WebEnginePane::Context& context);

}  // namespace pagesift
