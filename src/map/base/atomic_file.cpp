#include "map/base/atomic_file.h"

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

TRenameFunction gRename = &::rename;

// Errors with which a folder refuses a rename it would otherwise allow a write for:
// some synchronised, network and FUSE folders forbid renames outright.
bool RenameForbidden(int Error) {
  return Error == EPERM || Error == EACCES || Error == EXDEV || Error == ENOTSUP ||
         Error == EOPNOTSUPP || Error == EBUSY || Error == ETXTBSY || Error == ENOSYS;
}

// Writes all of Bytes to Fd; 0 or the error.
int WriteAll(int Fd, const std::string& Bytes) {
  const char* p = Bytes.data();
  size_t left = Bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(Fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    p += n;
    left -= size_t(n);
  }
  return 0;
}

std::string ReadAll(const fs::path& File, bool& Ok) {
  std::ifstream in(File, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Ok = in.is_open() && !in.bad();
  return bytes;
}

// Overwrites Target in place (truncating it), flushes it to disk and reads it back.
void WriteInPlace(const std::string& FileName, const fs::path& Target, const std::string& Bytes) {
  const int fd = ::open(Target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) CannotCreate(FileName, errno);
  int error = WriteAll(fd, Bytes);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) CannotCreate(FileName, error);
  bool ok = false;
  if (ReadAll(Target, ok) != Bytes || !ok)
    throw EFileError("Cannot create file \"" + FileName +
                     "\". What was read back differs from what was written");
}

mode_t CurrentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

}  // namespace

void SetRenameFunctionForTesting(TRenameFunction Rename) { gRename = Rename ? Rename : &::rename; }

namespace {

// The atomic write. When only the final rename fails, with an error that says the
// folder forbids it, the temporary file is removed and false is returned; every
// other failure raises EFileError.
bool TryWriteAtomically(const std::string& FileName, const std::string& Bytes) {
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
  if (error == 0) error = WriteAll(fd, Bytes);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  bool renameFailed = false;
  if (error == 0 && gRename(temp.c_str(), target.c_str()) != 0) {
    error = errno;
    renameFailed = true;
  }
  if (error != 0) {
    ::unlink(temp.c_str());
    if (renameFailed && RenameForbidden(error)) return false;
    CannotCreate(FileName, error);
  }
  // Make the rename itself durable; a failure here no longer endangers either file.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace

void WriteFileAtomically(const std::string& FileName, const std::string& Bytes) {
  if (!TryWriteAtomically(FileName, Bytes)) {
    errno = 0;
    throw EFileError("Cannot create file \"" + FileName +
                     "\". Its folder does not allow files to be renamed");
  }
}

TWriteMethod WriteFileWithBackup(const std::string& FileName, const std::string& Bytes) {
  const fs::path target = ResolveTarget(FileName);
  std::error_code ec;
  const bool exists = fs::is_regular_file(target, ec);
  TWriteMethod method = TWriteMethod::Atomic;
  if (exists) {
    bool ok = false;
    const std::string old = ReadAll(target, ok);
    if (!ok) throw EFileError("Cannot read file \"" + FileName + "\" to keep its backup");
    const std::string backup = FileName + ".bak";
    if (!TryWriteAtomically(backup, old)) {
      // The original is still whole; the backup is written in place and read back
      // before anything touches the original.
      WriteInPlace(backup, ResolveTarget(backup), old);
      method = TWriteMethod::InPlace;
    }
  }
  if (TryWriteAtomically(FileName, Bytes)) return method;
  // Only now, with a verified copy of the old file beside it, is the file itself
  // overwritten in place.
  WriteInPlace(FileName, target, Bytes);
  return TWriteMethod::InPlace;
}
