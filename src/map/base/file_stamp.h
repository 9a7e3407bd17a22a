#pragma once
// What a file was like when a program last read or wrote it, to find out later
// whether someone else has changed it since.

#include <cstdint>
#include <string>

struct TFileStamp {
  bool Exists = false;
  uint64_t Size = 0;
  int64_t ModifiedNs = 0;  // modification time, nanoseconds since 1970
  int64_t ChangedNs = 0;   // status change time, which no program can set back
  uint64_t Device = 0, Inode = 0;
  uint32_t Crc = 0;  // CRC-32 of the content
};

// The stamp of FileName now (a symbolic link followed); a missing file gives a
// stamp that does not exist. Raises EFileError when the file exists but cannot be
// read.
TFileStamp StampFile(const std::string& FileName);

// Whether FileName now holds something else than when Then was taken: false when
// it is gone (nothing would be overwritten) or when size, times and file are
// the same; otherwise its content is compared through its CRC, so a file that was only
// touched or copied back unchanged does not count.
bool ChangedSince(const TFileStamp& Then, const std::string& FileName);
