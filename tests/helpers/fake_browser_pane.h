// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QPointer>
#include <QStringList>
#include <QTimer>

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

  bool canGoBack() const override { return canBack; }
  bool canGoForward() const override { return canForward; }
  // Answers at once: the first of three matches.
  void findText(const QString& text, bool matchCase, bool backward, FindCallback done) override {
    Record("Find " + text + (matchCase ? " case" : "") + (backward ? " backward" : ""));
    if (done) text.isEmpty() ? done(0, 0) : done(1, 3);
  }
  double zoomFactor() const override { return zoom; }
  void setZoomFactor(double factor) override {
    Record("Zoom " + QString::number(factor));
    zoom = factor;
  }
  void copySelection() override { Record("Copy"); }
  void selectAll() override { Record("SelectAll"); }
  void print(std::shared_ptr<QPrinter>, DoneCallback done) override { Record("Print"), done(true); }
  void printToPdf(const QString& filePath, DoneCallback done) override { Record("PrintToPdf " + filePath), done(true); }
  PaneDownload* savePage(const QString& filePath, PageSaveFormat format, QObject* parent) override {
    Record("SavePage " + filePath + (format == PageSaveFormat::kSingleHtml ? " single" : " complete"));
    return new FakeDownload(parent);
  }

  // No archive: the saver downloads everything.
  PaneDownload* archivePage(const QString&, QObject* parent) override {
    auto* download = new FakeDownload(parent);
    QTimer::singleShot(0, download, [download] { download->cancel(); });
    return download;
  }

  RequestedImages requestedImages() const override { return requested; }

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
  bool canBack = false;
  bool canForward = false;
  double zoom = 1;
  RequestedImages requested;

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

// Makes the fake panes of one main window and keeps them at hand: its
// three views, and the last pane made for another window.
struct FakePanes {
  QStringList log;
  std::array<FakeBrowserPane*, 3> wb{};
  QPointer<FakeBrowserPane> other;

  BrowserPaneFactory Factory() {
    return [this](int index, PaneRole, QWidget* parent) -> BrowserPane* {
      auto* pane = new FakeBrowserPane(index, parent, &log);
      if (index < kPaneCount) {
        wb[index] = pane;
      } else {
        other = pane;
      }
      return pane;
    };
  }
};

}  // namespace pagesift::test
