#include "editor/progress_window.h"

#include <QApplication>
#include <utility>

namespace {
constexpr int kSteps = 1000;
}

TProgressWindow::TProgressWindow(QWidget* Parent, const QString& Title, const QString& Label,
                                 int MinimumDurationMs)
    : FDialog(Parent) {
  FDialog.setWindowModality(Qt::WindowModal);
  FDialog.setWindowTitle(Title);
  FDialog.setLabelText(Label);
  FDialog.setCancelButtonText(QObject::tr("Cancel"));
  FDialog.setMinimumDuration(MinimumDurationMs);
  FDialog.setAutoClose(false);
  FDialog.setAutoReset(false);
  FDialog.setRange(0, kSteps);
  FDialog.setValue(0);
}

TProgressWindow::~TProgressWindow() { FDialog.close(); }

TProgressReport TProgressWindow::Report(TStageMap Map) {
  return [this, map = std::move(Map)](const char* Stage, int64_t Done, int64_t Total) {
    const double part = Total > 0 ? double(Done) / double(Total) : 1.0;
    const double at = map ? map(Stage, part) : part;
    FDialog.setValue(int(at * kSteps));
    QApplication::processEvents();
    if (FDialog.wasCanceled()) throw EOperationCancelled();
  };
}

double TProgressWindow::OutputStages(const std::string& Stage, double Part) {
  return Stage == "refresh" ? 0.6 * Part : Stage == "compose" ? 0.6 + 0.3 * Part : 0.9 + 0.1 * Part;
}
