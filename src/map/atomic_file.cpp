#include "map/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "record/errors.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void CannotCreate(const std::string& FileName, int Error) {
  throw EFileError("Cannot create file \"" + FileName + "\". " + std::strerror(Error));
}

// The file that is really replaced: the target of a symbolic link, else the name itself.
fs::path ResolveTarget(const std::string& FileName) {
  fs::path target(FileName);
  std::error_code ec;
  for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(target, ec)); ++hops) {
    const fs::path link = fs::read_symlink(target, ec);
    if (ec) break;
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  return target;
}

mode_t CurrentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

}  // namespace

void WriteFileAtomically(const std::string& FileName, const std::string& Bytes) {
  if (FileName.empty()) CannotCreate(FileName, ENOENT);
  const fs::path target = ResolveTarget(FileName);
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) CannotCreate(FileName, EISDIR);
  // A device or pipe must not be replaced by a regular file.
  if (exists && !S_ISREG(existing.st_mode))
    throw EFileError("Cannot create file \"" + FileName + "\". It is not a regular file");

  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::string name = ".";
  name += target.filename().string();
  name += ".tmp-XXXXXX";
  std::string temp = (folder / name).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) CannotCreate(FileName, errno);

  int error = 0;
  const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());
  if (::fchmod(fd, mode) != 0) error = errno;
  const char* p = Bytes.data();
  size_t left = Bytes.size();
  while (error == 0 && left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
    } else {
      p += n;
      left -= size_t(n);
    }
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    CannotCreate(FileName, error);
  }
  // Make the rename itself durable; a failure here no longer endangers either file.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

void WriteFileWithBackup(const std::string& FileName, const std::string& Bytes) {
  const fs::path target = ResolveTarget(FileName);
  std::error_code ec;
  if (fs::is_regular_file(target, ec)) {
    std::ifstream in(target, std::ios::binary);
    std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof())
      throw EFileError("Cannot read file \"" + FileName + "\" to keep its backup");
    WriteFileAtomically(FileName + ".bak", old);
  }
  WriteFileAtomically(FileName, Bytes);
}
