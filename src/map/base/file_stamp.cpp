#include "map/base/file_stamp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "record/errors.h"

namespace {

TFileStamp FromStatus(const struct stat& St) {
  TFileStamp s;
  s.Exists = true;
  s.Size = uint64_t(St.st_size);
  s.ModifiedNs = int64_t(St.st_mtim.tv_sec) * 1000000000 + St.st_mtim.tv_nsec;
  s.ChangedNs = int64_t(St.st_ctim.tv_sec) * 1000000000 + St.st_ctim.tv_nsec;
  s.Device = uint64_t(St.st_dev);
  s.Inode = uint64_t(St.st_ino);
  return s;
}

[[noreturn]] void CannotRead(const std::string& FileName, int Error) {
  throw EFileError("Cannot read file \"" + FileName + "\". " + std::strerror(Error));
}

}  // namespace

TFileStamp StampFile(const std::string& FileName) {
  const int fd = ::open(FileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return {};
    CannotRead(FileName, errno);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    CannotRead(FileName, error);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return FromStatus(st);  // not a file whose content is compared
  }
  TFileStamp s = FromStatus(st);
  std::vector<unsigned char> buffer(1 << 16);
  uLong crc = crc32(0L, Z_NULL, 0);
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      CannotRead(FileName, error);
    }
    if (n == 0) break;
    crc = crc32(crc, buffer.data(), uInt(n));
  }
  ::close(fd);
  s.Crc = uint32_t(crc);
  return s;
}

bool ChangedSince(const TFileStamp& Then, const std::string& FileName) {
  struct stat st {};
  if (::stat(FileName.c_str(), &st) != 0) return false;
  const TFileStamp now = FromStatus(st);
  if (Then.Exists && now.Size == Then.Size && now.ModifiedNs == Then.ModifiedNs &&
      now.ChangedNs == Then.ChangedNs && now.Device == Then.Device && now.Inode == Then.Inode)
    return false;
  if (!Then.Exists || now.Size != Then.Size) return true;
  return StampFile(FileName).Crc != Then.Crc;
}
