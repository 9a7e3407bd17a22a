#pragma once
// The two ways a command of the tool fails: a usage error (exit status 2, with the
// usage text) and a failure of the work itself (exit status 1, one line).

#include <stdexcept>
#include <string>

namespace vcli {

class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A failure whose message already names the file concerned.
class TCliError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "<file>: <what>", the form of every failure message.
inline TCliError FileError(const std::string& File, const std::string& What) {
  return TCliError(File + ": " + What);
}

}  // namespace vcli
