#pragma once
// Recovery copies: while a map has unsaved changes the editor writes it, every few
// minutes, to a folder of the user's ("recovery" in the user's data folder), so
// that a crash or a power cut costs at most those minutes. Each running editor
// writes its own copy under a name no other session has (its process id and a
// random number) and holds a lock on a file beside it while it runs; a copy whose
// lock nobody holds was left by a session that did not end cleanly and is offered
// for restoring. A process id alone is not enough: a new session may get the id of
// one that crashed. Copies named by the process id alone (written by older
// versions, or by stores made for a given id) count as left when no process of
// that id runs, or when it is this one.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

class TMapEditLayerList;
struct TMapLoadReport;

// A recovery copy left on disk.
struct TRecoveryCopy {
  std::filesystem::path File;  // the copy itself, a complete map file
  std::string MapFileName;     // the file the map was opened from or saved to; may be empty
  int64_t Pid = 0;             // the process that wrote it
  std::time_t Time = 0;        // when it was written
};

class TRecoveryStore {
 public:
  // Copies live in Folder (made when the first copy is written). This session's
  // copy gets a name of its own and a lock file held while the store lives.
  explicit TRecoveryStore(std::filesystem::path Folder);
  // A store whose copy is named by Pid alone, and counts as left once no process
  // Pid runs.
  TRecoveryStore(std::filesystem::path Folder, int64_t Pid);
  ~TRecoveryStore();
  TRecoveryStore(const TRecoveryStore&) = delete;
  TRecoveryStore& operator=(const TRecoveryStore&) = delete;

  // "recovery" in the user's data folder.
  static std::filesystem::path DefaultFolder();

  const std::filesystem::path& Folder() const { return FFolder; }
  // This process's copy and the file beside it that names the map's file.
  std::filesystem::path CopyFile() const;
  std::filesystem::path NameFile() const;

  // Writes Map as this process's copy, atomically, with the name of its file.
  // Raises EFileError when the folder or the file cannot be written.
  void Write(const TMapEditLayerList& Map, const std::string& MapFileName);
  // Removes this process's copy (after a save, or when the editor ends cleanly).
  void Remove();
  // Copies left by processes that no longer run, newest first.
  std::vector<TRecoveryCopy> Orphans() const;

  // Reads a copy into Map (replaced only when the whole copy was read); textures
  // named relatively are looked for beside the map's own file.
  static void Restore(const TRecoveryCopy& Copy, TMapEditLayerList& Map, TMapLoadReport& Report);
  // Deletes a copy, its name file and its lock file.
  static void Discard(const TRecoveryCopy& Copy);

 private:
  std::filesystem::path LockFile() const;
  std::filesystem::path FFolder;
  int64_t FPid;
  std::string FId;       // what names this session's files
  bool FUnique = false;  // FId is unique and guarded by a lock file
  int FLockFd = -1;
};
