// vellumcraft-cli: inspect, create, edit and render maps without the editor.

#include <unistd.h>

#include <cstdlib>

#include "cli/cli_commands.h"

namespace {

// OpenMP threads left idle between parallel passes spin by default, and on a
// machine of few cores they take the time of the threads that load textures and
// compress the output meanwhile. The runtime reads its wait policy only when it
// starts, so without one set by the user the program starts itself once more
// with idle threads sleeping instead (and carries on as it is should that fail).
void SleepIdleThreads(char** Argv) {
  if (std::getenv("OMP_WAIT_POLICY") != nullptr) return;
  if (setenv("OMP_WAIT_POLICY", "PASSIVE", 1) != 0) return;
  execv("/proc/self/exe", Argv);
}

}  // namespace

int main(int argc, char** argv) {
  SleepIdleThreads(argv);
  return vcli::RunCli(argc, argv);
}
