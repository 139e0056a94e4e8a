#pragma once

#include <QFrame>
#include <QList>

class QLabel;

namespace pagesift {

// A status bar of text panels side by side, numbered from 1, each as wide as
// it is told; what does not fit the bar is cut off.
class StatusPanels : public QFrame {
  Q_OBJECT

 public:
  explicit StatusPanels(QWidget* parent);

  void AddPanel();
  int PanelCount() const { return static_cast<int>(panels_.size()); }
  void SetPanelText(int panel, const QString& text);
  QString PanelText(int panel) const;
  void SetPanelWidth(int panel, int pixels);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlacePanels();

  QList<QLabel*> panels_;
};

}  // namespace pagesift
