#pragma once

class QObject;
class QWebEngineProfile;
class QWebEngineSettings;
class QString;

namespace pagesift {

enum class PaneRole {
  kBrowsing,       // ordinary browsing: the Browser pane and the website window
  kGeneratedView,  // the Source Code and Images panes: pages made from untrusted input
  kPageSource,     // the Page Source window: the page as served (view-source:), script off
};

// The one profile every pane shares. An empty storage name makes an
// off-the-record profile (nothing kept on disk).
QWebEngineProfile* createEngineProfile(const QString& storageName, QObject* parent);

// Every engine setting the program decides, for one pane of the given role.
void applyEngineSettings(QWebEngineSettings* settings, PaneRole role);

}  // namespace pagesift
