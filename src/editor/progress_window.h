#pragma once
// The progress window of long work (image output, printing, export): window-modal,
// so that no menu or mouse input reaches the document while the work runs, with a
// cancel button that stops the work through its progress report.

#include <QProgressDialog>
#include <QString>
#include <functional>
#include <string>

#include "map/base/progress.h"

class TProgressWindow {
 public:
  // Where a stage's share of the work lies on the bar: Part (0 .. 1) of Stage to
  // a position 0 .. 1. The default takes every stage as the whole bar.
  using TStageMap = std::function<double(const std::string& Stage, double Part)>;

  TProgressWindow(QWidget* Parent, const QString& Title, const QString& Label,
                  int MinimumDurationMs);
  ~TProgressWindow();
  TProgressWindow(const TProgressWindow&) = delete;
  TProgressWindow& operator=(const TProgressWindow&) = delete;

  // A report that moves the bar, lets the window answer, and raises
  // EOperationCancelled once the user has cancelled.
  TProgressReport Report(TStageMap Map = {});
  // The stages of image output and export on one bar: refresh 60 %, composition
  // 30 %, the rest (tracing, writing) 10 %.
  static double OutputStages(const std::string& Stage, double Part);
  bool Cancelled() const { return FDialog.wasCanceled(); }
  void Close() { FDialog.close(); }
  QProgressDialog& Dialog() { return FDialog; }

 private:
  QProgressDialog FDialog;
};
