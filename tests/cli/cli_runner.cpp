#include "cli/cli_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "support/test_support.h"

namespace vctest {

TCliResult RunCli(const std::vector<std::string>& Args, const std::string& Cwd) {
  TempDir io;
  const std::string outPath = io.File("stdout"), errPath = io.File("stderr");
  std::vector<std::string> argv{VC_CLI_PATH};
  argv.insert(argv.end(), Args.begin(), Args.end());
  std::vector<char*> raw;
  for (std::string& a : argv) raw.push_back(a.data());
  raw.push_back(nullptr);

  TCliResult r;
  pid_t pid = fork();
  if (pid == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0) _exit(127);
    dup2(out, 1);
    dup2(err, 2);
    if (!Cwd.empty() && chdir(Cwd.c_str()) != 0) _exit(127);
    execv(raw[0], raw.data());
    _exit(127);
  }
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    r.Status = WEXITSTATUS(status);
  r.Out = ReadFileBytes(outPath);
  r.Err = ReadFileBytes(errPath);
  return r;
}

}  // namespace vctest
