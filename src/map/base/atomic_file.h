#pragma once
// Replacing a file without ever leaving it half written.

#include <string>

// Writes Bytes to a temporary file in FileName's folder, flushes it to disk and
// renames it over FileName. On any failure the temporary file is removed, an
// existing FileName is left untouched and EFileError is raised naming the file and
// the system's reason. A symbolic link at FileName is followed: its target is
// replaced. An existing file's permission bits are kept.
void WriteFileAtomically(const std::string& FileName, const std::string& Bytes);

// How WriteFileWithBackup got the bytes to disk.
enum class TWriteMethod {
  Atomic,   // a temporary file renamed over the target
  InPlace,  // the folder forbids renames: written over the file itself
};

// Saves over FileName keeping its previous bytes in FileName + ".bak". The backup is
// written before the new content replaces the file, so at every moment a complete
// copy of the old map exists. A missing FileName just gets written.
// Where the folder refuses the rename of an atomic write (some synchronised and
// network folders do), the backup is written in place and read back, and only then
// is FileName overwritten in place; the result says so, for the caller to tell the
// user. Any other failure raises EFileError with FileName as it was.
TWriteMethod WriteFileWithBackup(const std::string& FileName, const std::string& Bytes);

// Replaces the rename used by the atomic writes (nullptr restores it), so tests can
// play a folder that forbids renames.
using TRenameFunction = int (*)(const char* From, const char* To);
void SetRenameFunctionForTesting(TRenameFunction Rename);
