#pragma once
// A progress bar on standard error for long work, shown only when standard error
// is a terminal and the user did not ask for quiet output.

#include <cstdint>
#include <cstdio>
#include <string>

#include "map/output/image_output.h"

namespace vcli {

class TProgressBar {
 public:
  // Enabled when Quiet is false and Stream is a terminal.
  TProgressBar(bool Quiet, std::FILE* Stream = stderr);
  ~TProgressBar();
  TProgressBar(const TProgressBar&) = delete;
  TProgressBar& operator=(const TProgressBar&) = delete;

  bool Enabled() const { return FEnabled; }
  void Update(const char* Stage, int64_t Done, int64_t Total);
  // Clears the bar's line.
  void Finish();
  // The callback form the core takes; empty when the bar is disabled.
  TOutputProgress Callback();

 private:
  std::FILE* FStream;
  bool FEnabled;
  bool FShown = false;
  std::string FStage;
  int FLastPercent = -1;
};

}  // namespace vcli
