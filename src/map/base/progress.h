#pragma once
// Progress of long work (refreshing a map, image output, printing, export) and the
// way to stop it. The work calls the report with the stage's name and how many of
// its units are done; a report that wants the work stopped raises
// EOperationCancelled, which the work lets through after cleaning up (no partial
// file is left).

#include <cstdint>
#include <functional>

#include "record/errors.h"

using TProgressReport = std::function<void(const char* Stage, int64_t Done, int64_t Total)>;

// Raised from a progress report to stop the work; not a failure to show.
class EOperationCancelled : public EVellumError {
 public:
  EOperationCancelled() : EVellumError("cancelled") {}
};
