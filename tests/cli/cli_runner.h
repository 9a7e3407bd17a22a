#pragma once
// Runs the built vellumcraft-cli with arguments and collects what it printed.

#include <string>
#include <vector>

namespace vctest {

struct TCliResult {
  int Status = -1;  // exit status
  std::string Out;  // standard output
  std::string Err;  // standard error
};

// Runs the tool with Args (no shell involved) in the folder Cwd (the current
// folder when empty).
TCliResult RunCli(const std::vector<std::string>& Args, const std::string& Cwd = "");

}  // namespace vctest
