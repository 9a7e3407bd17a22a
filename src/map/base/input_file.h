#pragma once
// Reading an input file (a map, a texture, a layer set, a language file) whole.
// The file is opened without blocking and taken only when it is a regular file:
// a FIFO without a writer would hang the program, and a device such as /dev/zero
// never ends.

#include <cstdint>
#include <string>

class TInputFile {
 public:
  // Opens Path for reading. On failure raises EFileError with the text Failure
  // followed by the reason: the system's, "It is a directory" or "It is not a
  // regular file".
  TInputFile(const std::string& Path, const std::string& Failure);
  ~TInputFile();
  TInputFile(const TInputFile&) = delete;
  TInputFile& operator=(const TInputFile&) = delete;

  // The size the file had when it was opened.
  uint64_t Size() const { return FSize; }
  // Reads the file from its start to its end. Returns false, with Out incomplete,
  // once it holds more than MaxBytes (a file that grew while it was read). A read
  // error raises EFileError with Failure and the system's reason.
  bool ReadAll(std::string& Out, uint64_t MaxBytes);

 private:
  int FHandle = -1;
  uint64_t FSize = 0;
  std::string FFailure;
};
