#pragma once
// The tool's subcommands. Each takes the words after its name, writes its normal
// output to Out, and raises TUsageError or TCliError on failure.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace vcli {

struct TCliContext {
  std::filesystem::path ExecutableDir;  // for the layer-set folders
  std::FILE* Out = stdout;
};

using TCliArgs = std::vector<std::string>;

int RunInfo(const TCliArgs& Args, const TCliContext& Context);
int RunNew(const TCliArgs& Args, const TCliContext& Context);
int RunEdit(const TCliArgs& Args, const TCliContext& Context);
int RunRender(const TCliArgs& Args, const TCliContext& Context);
int RunPrint(const TCliArgs& Args, const TCliContext& Context);
int RunExportVtt(const TCliArgs& Args, const TCliContext& Context);
int RunDeleteObject(const TCliArgs& Args, const TCliContext& Context);
int RunProp(const TCliArgs& Args, const TCliContext& Context);
int RunMoveObject(const TCliArgs& Args, const TCliContext& Context);
int RunLabel(const TCliArgs& Args, const TCliContext& Context);
int RunLight(const TCliArgs& Args, const TCliContext& Context);
int RunWindow(const TCliArgs& Args, const TCliContext& Context);
int RunPack(const TCliArgs& Args, const TCliContext& Context);

// The whole tool: parses the command line, runs the subcommand, prints failures
// and returns the exit status (0, 1 for failed work, 2 for usage errors).
int RunCli(int Argc, char** Argv);

extern const char* const kUsageText;

// Takes the value of option Args[I] (advancing I); a usage error when it is last.
const std::string& OptionValue(const TCliArgs& Args, size_t& I);

}  // namespace vcli
