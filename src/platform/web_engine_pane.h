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
  void captureBodyHtml(BodyCallback done) override;

 private:
  void connectEngineEvents();

  Context context_;
  QWebEngineView* view_;
  QString loadStateText_;
};

// Makes the panes: the Browser pane and the website window's pane browse,
// the Source Code and Images panes show generated pages.
BrowserPaneFactory webEnginePaneFactory(const WebEnginePane::Context& context);

}  // namespace pagesift
