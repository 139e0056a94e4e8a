#pragma once

#include <QStringList>

#include <vector>

#include "platform/address_policy.h"
#include "platform/browser_pane.h"

namespace pagesift::test {

// A pane without an engine: it records what is asked of it in a log shared
// by all panes ("wb(1).GoBack"), answers with what the test set, and raises
// its events when the test emits them.
class FakeBrowserPane : public BrowserPane {
  Q_OBJECT

 public:
  FakeBrowserPane(int index, QWidget* parent, QStringList* log)
      : BrowserPane(index, parent), widget_(new QWidget(parent)), log_(log) {}

  QWidget* widget() const override { return widget_; }
  // Decides as the real pane does: a refused address says why in the
  // status text and loads nothing.
  bool Navigate(const QString& address) override {
    Record("Navigate " + address);
    if (address.isEmpty()) return false;
    const AddressDecision decision = decideTypedAddress(address, QString(), PaneRole::kBrowsing);
    if (!decision.refusal.isEmpty()) {
      emit StatusTextChange(index(), refusalMessage(address, decision.refusal));
      emit addressRefused(index(), refusalMessage(address, decision.refusal));
      return false;
    }
    url = address;
    return true;
  }
  bool GoBack() override { return Record("GoBack"), false; }  // no history
  bool GoForward() override { return Record("GoForward"), false; }
  void GoHome() override { Record("GoHome"); }
  void Stop() override { Record("Stop"); }
  void Refresh() override { Record("Refresh"); }
  QString LocationURL() const override { return url; }
  QString LocationName() const override { return title; }
  void captureBodyHtml(BodyCallback done) override {
    Record("Capture");
    if (holdCaptures) {
      held_.push_back(std::move(done));
    } else {
      done(body);
    }
  }

  void runIsolatedScript(const QString&, ScriptCallback done) override {
    Record("RunScript");
    done(QVariant());
  }

  // A download that goes on until it is cancelled.
  PaneDownload* startDownload(const QUrl& address, DownloadTarget, QObject* parent) override {
    Record("StartDownload " + address.toString());
    return new FakeDownload(parent);
  }

  void setWorkingFolder(const QString& folder) override { workingFolder = folder; }
  void silencePageMessages() override { Record("SilencePageMessages"); }

  // Answers the captures held so far.
  void ReleaseCaptures() {
    for (BodyCallback& done : std::exchange(held_, {})) done(body);
  }

  QString url;
  QString title;
  QString workingFolder;
  std::optional<std::string> body;
  bool holdCaptures = false;

 private:
  void Record(const QString& call) const { log_->append(QStringLiteral("wb(%1).%2").arg(index()).arg(call)); }

  QWidget* widget_;
  QStringList* log_;
  struct FakeDownload : PaneDownload {
    using PaneDownload::PaneDownload;
    void cancel() override {
      if (!std::exchange(ended, true)) emit finished(false, QStringLiteral("Cancelled"));
    }
    bool ended = false;
  };

  std::vector<BodyCallback> held_;
};

// Makes the fake panes of one main window and keeps them at hand.
struct FakePanes {
  QStringList log;
  std::array<FakeBrowserPane*, 3> wb{};

  BrowserPaneFactory Factory() {
    return [this](int index, QWidget* parent) -> BrowserPane* {
      return wb[index] = new FakeBrowserPane(index, parent, &log);
    };
  }
};

}  // namespace pagesift::test
