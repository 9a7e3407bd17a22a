#include "cli/cli_progress.h"

#include <unistd.h>

namespace vcli {

namespace {
constexpr int kBarWidth = 30;
}

TProgressBar::TProgressBar(bool Quiet, std::FILE* Stream)
    : FStream(Stream), FEnabled(!Quiet && isatty(fileno(Stream))) {}

TProgressBar::~TProgressBar() { Finish(); }

void TProgressBar::Update(const char* Stage, int64_t Done, int64_t Total) {
  if (!FEnabled) return;
  int percent = Total > 0 ? int(Done * 100 / Total) : 100;
  if (percent == FLastPercent && FStage == Stage) return;
  FLastPercent = percent;
  FStage = Stage;
  int filled = percent * kBarWidth / 100;
  std::string bar(size_t(filled), '#');
  bar.append(size_t(kBarWidth - filled), '-');
  std::fprintf(FStream, "\r%-8s [%s] %3d%%", Stage, bar.c_str(), percent);
  std::fflush(FStream);
  FShown = true;
}

void TProgressBar::Finish() {
  if (!FShown) return;
  std::fprintf(FStream, "\r%*s\r", kBarWidth + 16, "");
  std::fflush(FStream);
  FShown = false;
}

TOutputProgress TProgressBar::Callback() {
  if (!FEnabled) return {};
  return [this](const char* Stage, int64_t Done, int64_t Total) { Update(Stage, Done, Total); };
}

}  // namespace vcli
