#include "map/base/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "record/errors.h"

TInputFile::TInputFile(const std::string& Path, const std::string& Failure) : FFailure(Failure) {
  // Non-blocking, so that opening a FIFO returns at once instead of waiting for a
  // writer; a regular file reads the same either way.
  FHandle = ::open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (FHandle < 0) throw EFileError(Failure + std::strerror(errno));
  struct stat st {};
  if (::fstat(FHandle, &st) != 0) {
    const int err = errno;
    ::close(FHandle);
    throw EFileError(Failure + std::strerror(err));
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(FHandle);
    throw EFileError(Failure + (S_ISDIR(st.st_mode) ? "It is a directory" : "It is not a regular file"));
  }
  FSize = uint64_t(st.st_size);
}

TInputFile::~TInputFile() {
  if (FHandle >= 0) ::close(FHandle);
}

bool TInputFile::ReadAll(std::string& Out, uint64_t MaxBytes) {
  Out.clear();
  if (FSize > MaxBytes) return false;
  Out.reserve(size_t(FSize));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(FHandle, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EFileError(FFailure + std::strerror(errno));
    }
    if (n == 0) return true;
    if (Out.size() + size_t(n) > MaxBytes) return false;
    Out.append(buffer, size_t(n));
  }
}
