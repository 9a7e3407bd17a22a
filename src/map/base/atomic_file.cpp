#include "map/base/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>
#include <vector>

#include "map/base/file_lock.h"
#include "record/errors.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void CannotCreate(const std::string& FileName, int Error) {
  throw EFileError("Cannot create file \"" + FileName + "\". " + std::strerror(Error));
}

[[noreturn]] void CannotCreate(const std::string& FileName, const std::string& Reason) {
  throw EFileError("Cannot create file \"" + FileName + "\". " + Reason);
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

// Writes all of Size bytes to Fd; 0 or the error.
int WriteAll(int Fd, const char* Data, size_t Size) {
  while (Size > 0) {
    const ssize_t n = ::write(Fd, Data, Size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    Data += n;
    Size -= size_t(n);
  }
  return 0;
}

// Reads up to Size bytes; the count, or -1 with errno set.
ssize_t ReadSome(int Fd, char* Data, size_t Size) {
  for (;;) {
    const ssize_t n = ::read(Fd, Data, Size);
    if (n >= 0 || errno != EINTR) return n;
  }
}

// The permission bits a new file gets.
mode_t NewFileMode() {
  // Read without changing it where the system tells (changing it, even briefly,
  // would touch files other threads create meanwhile).
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("Umask:", 0) == 0) return mode_t(0666 & ~std::stoul(line.substr(6), nullptr, 8));
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// The longest file name the folder allows.
size_t NameMax(const std::string& Folder) {
  const long max = ::pathconf(Folder.c_str(), _PC_NAME_MAX);
  return max > 16 ? size_t(max) : size_t(NAME_MAX);
}

// The first Bytes bytes of Name, not cutting a UTF-8 character.
std::string CutName(const std::string& Name, size_t Bytes) {
  if (Name.size() <= Bytes) return Name;
  size_t n = Bytes;
  while (n > 0 && (static_cast<unsigned char>(Name[n]) & 0xC0) == 0x80) --n;
  return Name.substr(0, n);
}

// Eight hexadecimal digits standing for the whole of Name.
std::string NameHash(const std::string& Name) {
  const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(Name.data()), uInt(Name.size()));
  char text[16];
  std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(crc & 0xFFFFFFFFul));
  return text;
}

// Before + Name + After, with Name cut and followed by "~" and its hash where the
// whole would be longer than Max bytes.
std::string FittedName(const std::string& Before, const std::string& Name, const std::string& After,
                       size_t Max) {
  if (Before.size() + Name.size() + After.size() <= Max) return Before + Name + After;
  const size_t room = Max - std::min(Max, Before.size() + After.size() + 9);
  return Before + CutName(Name, room) + "~" + NameHash(Name) + After;
}

constexpr char kTempMark[] = ".tmp-";
constexpr size_t kTempRandom = 6;  // mkstemp's XXXXXX

// The start of the temporary names of files named Name in Folder.
std::string TempPrefix(const std::string& Folder, const std::string& Name) {
  std::string name = FittedName(".", Name, std::string(kTempMark) + std::string(kTempRandom, 'X'),
                                NameMax(Folder));
  name.resize(name.size() - kTempRandom);
  return name;
}

bool IgnorableAttributeError(const char* Name, int Error) {
  // Namespaces an ordinary user cannot set (security labels, trusted data) or that
  // the folder's file system does not keep are left to the system; user data and
  // ACLs must come along.
  const bool optional =
      std::strncmp(Name, "security.", 9) == 0 || std::strncmp(Name, "trusted.", 8) == 0;
  return optional && (Error == EPERM || Error == EACCES || Error == ENOTSUP || Error == EOPNOTSUPP);
}

// Copies the extended attributes (ACLs included) of Source to Fd; 0 or the error.
int CopyAttributes(const std::string& Source, int Fd) {
  ssize_t size = ::listxattr(Source.c_str(), nullptr, 0);
  if (size < 0) return errno == ENOTSUP || errno == EOPNOTSUPP ? 0 : errno;
  std::vector<char> names(size_t(size) + 1);
  size = ::listxattr(Source.c_str(), names.data(), names.size());
  if (size < 0) return errno;
  std::vector<char> value;
  for (const char* name = names.data(); name < names.data() + size; name += std::strlen(name) + 1) {
    ssize_t n = ::getxattr(Source.c_str(), name, nullptr, 0);
    if (n < 0) {
      if (IgnorableAttributeError(name, errno) || errno == ENODATA) continue;
      return errno;
    }
    value.resize(size_t(n) + 1);
    n = ::getxattr(Source.c_str(), name, value.data(), value.size());
    if (n < 0) return errno;
    if (::fsetxattr(Fd, name, value.data(), size_t(n), 0) != 0 &&
        !IgnorableAttributeError(name, errno))
      return errno;
  }
  return 0;
}

// Flushes a folder so that a rename in it is on disk. Errors that say the data may
// not have reached the disk are reported; a folder that cannot be opened or
// flushed at all (some file systems do not support it) is not an error.
void SyncFolder(const std::string& Folder, const std::string& FileName) {
  const int dir = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;
  const int result = ::fsync(dir);
  const int error = errno;
  ::close(dir);
  if (result != 0 && (error == EIO || error == ENOSPC || error == EDQUOT))
    throw EFileError("Cannot create file \"" + FileName +
                     "\". Its folder could not be flushed: " + std::strerror(error));
}

// Copies the file Source over Target in place (truncating it), flushes it to disk
// and reads it back.
void WriteInPlace(const std::string& FileName, const std::string& Target,
                  const std::string& Source) {
  const int in = ::open(Source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) CannotCreate(FileName, errno);
  const int out = ::open(Target.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (out < 0) {
    const int error = errno;
    ::close(in);
    CannotCreate(FileName, error);
  }
  std::vector<char> a(1 << 16), b(1 << 16);
  int error = 0;
  for (;;) {
    const ssize_t n = ReadSome(in, a.data(), a.size());
    if (n < 0) error = errno;
    if (n <= 0 || (error = WriteAll(out, a.data(), size_t(n))) != 0) break;
  }
  if (error == 0 && ::fsync(out) != 0) error = errno;
  // Read back: what is in the file must be what was meant.
  bool same = error == 0 && ::lseek(in, 0, SEEK_SET) == 0 && ::lseek(out, 0, SEEK_SET) == 0;
  while (same) {
    const ssize_t n = ReadSome(in, a.data(), a.size());
    const ssize_t m = n > 0 ? ReadSome(out, b.data(), size_t(n)) : ReadSome(out, b.data(), 1);
    if (n < 0 || m < 0) {
      same = false;
      break;
    }
    if (n == 0) {
      same = m == 0;
      break;
    }
    same = m == n && std::memcmp(a.data(), b.data(), size_t(n)) == 0;
  }
  ::close(in);
  if (::close(out) != 0 && error == 0) error = errno;
  if (error != 0) CannotCreate(FileName, error);
  if (!same) CannotCreate(FileName, "What was read back differs from what was written");
}

}  // namespace

void SetRenameFunctionForTesting(TRenameFunction Rename) { gRename = Rename ? Rename : &::rename; }

// ---------------------------------------------------------------- the writer

TSafeFileWriter::TSafeFileWriter(const std::string& FileName) : FFileName(FileName) {
  if (FileName.empty()) CannotCreate(FileName, ENOENT);
  const fs::path target = ResolveTarget(FileName);
  FTarget = target.string();
  FExists = ::stat(FTarget.c_str(), &FStatus) == 0;
  if (FExists && S_ISDIR(FStatus.st_mode)) CannotCreate(FileName, EISDIR);
  // A device or pipe must not be replaced by a regular file.
  if (FExists && !S_ISREG(FStatus.st_mode)) CannotCreate(FileName, "It is not a regular file");
  FFolder = target.has_parent_path() ? target.parent_path().string() : std::string(".");
  FTemp = (fs::path(FFolder) /
           (TempPrefix(FFolder, target.filename().string()) + std::string(kTempRandom, 'X')))
              .string();
  FFd = ::mkostemp(FTemp.data(), O_CLOEXEC);
  if (FFd < 0) {
    const int error = errno;
    FTemp.clear();
    CannotCreate(FileName, error);
  }
  if (FExists) TakeAttributesOf(FTarget, FStatus);
}

void TSafeFileWriter::TakeAttributesOf(const std::string& File, const struct stat& Status) {
  FLikeFile = File;
  FLikeStatus = Status;
}

TSafeFileWriter::~TSafeFileWriter() { Discard(); }

void TSafeFileWriter::Fail(int Error) const { CannotCreate(FFileName, Error); }

void TSafeFileWriter::Write(std::string_view Bytes) {
  if (FFinished) Fail(EBADF);
  if (FStream) {
    if (std::fwrite(Bytes.data(), 1, Bytes.size(), FStream) != Bytes.size())
      Fail(errno ? errno : EIO);
    return;
  }
  if (const int error = WriteAll(FFd, Bytes.data(), Bytes.size())) Fail(error);
}

std::FILE* TSafeFileWriter::Stream() {
  if (!FStream && !FFinished) {
    FStream = ::fdopen(FFd, "wb");
    if (!FStream) Fail(errno);
  }
  return FStream;
}

void TSafeFileWriter::Finish() {
  if (FFinished) return;
  int error = 0;
  if (FStream && (std::fflush(FStream) != 0 || std::ferror(FStream))) error = errno ? errno : EIO;
  if (error == 0 && ::fsync(FFd) != 0) error = errno;
  const bool like = !FLikeFile.empty();
  const struct stat& st = FLikeStatus;
  if (error == 0 && like) {
    // The replaced file's owner and group where the system permits: an ordinary
    // user may keep a group of theirs, only an administrator another owner.
    if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
        ::fchown(FFd, st.st_uid, st.st_gid) != 0 && ::fchown(FFd, uid_t(-1), st.st_gid) != 0 &&
        errno != EPERM && errno != EINVAL)
      error = errno;
    if (error == 0) error = CopyAttributes(FLikeFile, FFd);
  }
  const mode_t mode = like ? mode_t(st.st_mode & 07777) : NewFileMode();
  if (error == 0 && ::fchmod(FFd, mode) != 0) error = errno;
  const int closed = FStream ? std::fclose(FStream) : ::close(FFd);
  if (closed != 0 && error == 0) error = errno;
  FStream = nullptr;
  FFd = -1;
  FFinished = true;
  if (error != 0) Fail(error);
}

bool TSafeFileWriter::TryRename() {
  Finish();
  if (gRename(FTemp.c_str(), FTarget.c_str()) != 0) {
    const int error = errno;
    if (RenameForbidden(error)) return false;
    Fail(error);
  }
  FRenamed = true;
  SyncFolder(FFolder, FFileName);
  return true;
}

void TSafeFileWriter::Commit() {
  if (!TryRename()) CannotCreate(FFileName, "Its folder does not allow files to be renamed");
}

void TSafeFileWriter::Discard() {
  if (FStream)
    std::fclose(FStream);
  else if (FFd >= 0)
    ::close(FFd);
  FStream = nullptr;
  FFd = -1;
  FFinished = true;
  if (!FRenamed && !FTemp.empty()) ::unlink(FTemp.c_str());
  FTemp.clear();
}

void TSafeFileWriter::RemoveLeftovers(const std::string& FileName) {
  if (FileName.empty()) return;
  const fs::path target = ResolveTarget(FileName);
  const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
  const std::string prefix = TempPrefix(folder, target.filename().string());
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  // Each one goes as soon as it is found, so that a kill half way through the
  // folder still leaves fewer than before.
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + kTempRandom || name.compare(0, prefix.size(), prefix) != 0)
      continue;
    struct stat st {};
    if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
      ::unlinkat(::dirfd(dir), name.c_str(), 0);
  }
  ::closedir(dir);
}

// ---------------------------------------------------------------- whole files

void WriteFileAtomically(const std::string& FileName, const std::string& Bytes) {
  TSafeFileWriter writer(FileName);
  writer.Write(Bytes);
  writer.Commit();
}

std::string BackupName(const std::string& FileName) {
  const fs::path path(FileName);
  const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
  const std::string name = FittedName("", path.filename().string(), ".bak", NameMax(folder));
  return path.has_parent_path() ? (path.parent_path() / name).string() : name;
}

namespace {

// Makes the temporary file of Backup a hard link of Source: the backup is then the
// previous file itself, with its mode, owner and attributes, and costs no space.
// False where the folder does not allow it.
bool LinkIntoTemp(const std::string& Source, const std::string& Temp) {
  if (::unlink(Temp.c_str()) != 0) return false;
  return ::link(Source.c_str(), Temp.c_str()) == 0;
}

// Streams the file Source into Writer.
void CopyInto(const std::string& Source, const std::string& SourceName, TSafeFileWriter& Writer) {
  const int in = ::open(Source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0)
    throw EFileError("Cannot read file \"" + SourceName + "\" to keep its backup. " +
                     std::strerror(errno));
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t n = ReadSome(in, buffer.data(), buffer.size());
    if (n < 0) {
      const int error = errno;
      ::close(in);
      throw EFileError("Cannot read file \"" + SourceName + "\" to keep its backup. " +
                       std::strerror(error));
    }
    if (n == 0) break;
    try {
      Writer.Write(std::string_view(buffer.data(), size_t(n)));
    } catch (...) {
      ::close(in);
      throw;
    }
  }
  ::close(in);
}

// Makes the previous version of the file that Map replaces its backup, before the
// rename; true when the folder forbids renames and the backup was written in place.
bool RotateBackup(const std::string& FileName, const TSafeFileWriter& Map) {
  const std::string backupName = BackupName(FileName);
  TSafeFileWriter::RemoveLeftovers(backupName);
  std::optional<TSafeFileWriter> backup(std::in_place, backupName);
  if (!LinkIntoTemp(Map.Target(), backup->TempPath())) {
    // No hard links here: a copy, which gets the file's own mode, owner and
    // attributes rather than those of the backup it replaces.
    backup.reset();
    backup.emplace(backupName);
    backup->TakeAttributesOf(Map.Target(), Map.TargetStatus());
    CopyInto(Map.Target(), FileName, *backup);
  }
  if (backup->TryRename()) return false;
  // The original is still whole; the backup is written in place and read back
  // before anything touches the original.
  const std::string target = backup->Target();
  backup->Discard();
  WriteInPlace(backupName, target, Map.Target());
  return true;
}

}  // namespace

TWriteMethod WriteFileWithBackup(const std::string& FileName, const TFillFunction& Fill,
                                 const TCheckFunction& Check) {
  const TFileLock lock(FileName);
  TSafeFileWriter::RemoveLeftovers(FileName);
  TSafeFileWriter map(FileName);
  Fill(map);
  map.Finish();
  if (Check) Check(map.TempPath());

  TWriteMethod method = TWriteMethod::Atomic;
  if (map.TargetExists() && RotateBackup(FileName, map)) method = TWriteMethod::InPlace;
  if (map.TryRename()) return method;
  // Only now, with a verified copy of the old file beside it, is the file itself
  // overwritten in place.
  WriteInPlace(FileName, map.Target(), map.TempPath());
  return TWriteMethod::InPlace;
}

TWriteMethod WriteFileWithBackup(const std::string& FileName, const std::string& Bytes) {
  return WriteFileWithBackup(FileName, [&](TSafeFileWriter& Writer) { Writer.Write(Bytes); });
}
