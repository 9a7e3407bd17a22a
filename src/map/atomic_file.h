#pragma once
// Replacing a file without ever leaving it half written.

#include <string>

// Writes Bytes to a temporary file in FileName's folder, flushes it to disk and
// renames it over FileName. On any failure the temporary file is removed, an
// existing FileName is left untouched and EFileError is raised naming the file and
// the system's reason. A symbolic link at FileName is followed: its target is
// replaced. An existing file's permission bits are kept.
void WriteFileAtomically(const std::string& FileName, const std::string& Bytes);

// Saves over FileName keeping its previous bytes in FileName + ".bak". The backup is
// written (atomically) before the new content replaces the file, so at every moment
// a complete copy of the old map exists. A missing FileName just gets written.
void WriteFileWithBackup(const std::string& FileName, const std::string& Bytes);
