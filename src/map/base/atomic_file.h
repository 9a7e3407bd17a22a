#pragma once
// Replacing a file without ever leaving it half written.
//
// Every file the program writes (maps, backups, recovery copies, images, PDF pages,
// Universal VTT files) goes through TSafeFileWriter: the bytes go to a temporary
// file in the target's own folder, which is flushed to disk, given the replaced
// file's mode, owner, group and extended attributes (ACLs included), renamed over
// the target, and the folder is flushed so that the rename itself survives a power
// cut. A symbolic link is followed: its target is replaced and the link stays. A
// target that is a device, a pipe or a folder is refused.

#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

class TSafeFileWriter {
 public:
  // Creates the temporary file beside FileName's target. Raises EFileError naming
  // FileName when the target is not a regular file ("It is not a regular file"),
  // is a folder, or the temporary file cannot be made.
  explicit TSafeFileWriter(const std::string& FileName);
  // Removes the temporary file unless it was renamed into place.
  ~TSafeFileWriter();
  TSafeFileWriter(const TSafeFileWriter&) = delete;
  TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

  const std::string& FileName() const { return FFileName; }
  // The file really replaced (a symbolic link's target) and the temporary file.
  const std::string& Target() const { return FTarget; }
  const std::string& TempPath() const { return FTemp; }
  // Whether the target existed when the writer was made, and its status then.
  bool TargetExists() const { return FExists; }
  const struct stat& TargetStatus() const { return FStatus; }

  // Gives the new file the mode, owner, group and attributes of File (by default
  // those of the file it replaces).
  void TakeAttributesOf(const std::string& File, const struct stat& Status);

  // Appends Bytes to the temporary file. Raises EFileError with the reason.
  void Write(std::string_view Bytes);
  // The temporary file as a stdio stream, for writers that take one; made on the
  // first call and flushed by Finish.
  std::FILE* Stream();
  // Flushes the temporary file to disk and gives it the replaced file's mode,
  // owner and group (where the system permits) and extended attributes, or the mode
  // a new file gets. Raises EFileError on any failure. Called by the renames.
  void Finish();
  // Finish, then the rename. False when only the rename failed with an error that
  // says the folder forbids renames (the temporary file is kept for the caller to
  // copy from); every other failure raises.
  bool TryRename();
  // TryRename, raising EFileError when the folder forbids renames.
  void Commit();
  // Removes the temporary file (nothing is replaced).
  void Discard();

  // Removes temporary files of FileName's target left by a writer that died (a
  // crash or a kill): regular files of this user named as a writer names its own.
  // Only for callers that hold the target's lock, so that no live writer's file
  // goes; called before the caller's own writer is made, so that a kill during it
  // adds none.
  static void RemoveLeftovers(const std::string& FileName);

 private:
  void Fail(int Error) const;
  std::string FFileName, FTarget, FFolder, FTemp;
  struct stat FStatus {};
  bool FExists = false;
  std::string FLikeFile;
  struct stat FLikeStatus {};
  int FFd = -1;
  std::FILE* FStream = nullptr;
  bool FFinished = false;
  bool FRenamed = false;
};

// Writes Bytes to FileName through a TSafeFileWriter. On any failure the temporary
// file is removed, an existing FileName is left untouched and EFileError is raised
// naming the file and the system's reason.
void WriteFileAtomically(const std::string& FileName, const std::string& Bytes);

// How WriteFileWithBackup got the bytes to disk.
enum class TWriteMethod {
  Atomic,   // a temporary file renamed over the target
  InPlace,  // the folder forbids renames: written over the file itself
};

// Fills the temporary file of a save.
using TFillFunction = std::function<void(TSafeFileWriter& Writer)>;
// Checks the complete temporary file (by its path) before anything is replaced;
// raises to stop the save.
using TCheckFunction = std::function<void(const std::string& TempPath)>;

// Saves over FileName keeping its previous version as its backup (BackupName). The
// new content is written and flushed first; only then does the previous file
// become the backup (a hard link of it where the folder allows, else a copy with
// its mode, owner and attributes), and then the new file is renamed into place. So
// a save that fails, for a full disk say, leaves the file and its older backup as
// they were, and at every moment a complete copy of the old file exists. A missing
// FileName just gets written. The file is locked (TFileLock) while it is saved,
// and temporary files that an earlier, killed save of it left are removed.
// Where the folder refuses renames (some synchronised and network folders do), the
// backup is written in place and read back, and only then is FileName overwritten
// in place; the result says so, for the caller to tell the user. Any other failure
// raises EFileError with FileName as it was.
TWriteMethod WriteFileWithBackup(const std::string& FileName, const TFillFunction& Fill,
                                 const TCheckFunction& Check = {});
TWriteMethod WriteFileWithBackup(const std::string& FileName, const std::string& Bytes);

// The backup of FileName: "name.bak" beside it, or a shortened name ending in a
// hash of the whole name where that would be longer than the folder allows.
std::string BackupName(const std::string& FileName);

// Replaces the rename used by the atomic writes (nullptr restores it), so tests can
// play a folder that forbids renames.
using TRenameFunction = int (*)(const char* From, const char* To);
void SetRenameFunctionForTesting(TRenameFunction Rename);
