#pragma once
// A language file: an ini file of captions. Its text is read as UTF-8 when it is
// valid UTF-8 and as Shift JIS otherwise, so files written on either kind of system
// read the same. Sections and keys are matched without regard to case, as ini
// files are on the systems these files come from. Every key looked up is recorded,
// so the program can tell which keys it reads. Lines are read as the classic ini
// readers do: of any length, with ';' starting a comment only at the beginning of
// a line and leading blanks ignored.

#include <QString>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>

class TLanguageFile {
 public:
  // Files larger than this are refused: a language file is a few kilobytes.
  static constexpr int64_t MaxFileSize = 1 << 20;

  TLanguageFile() = default;
  // Reads FileName; raises EFileError when it cannot be read, is not a regular
  // file, is too large or is neither UTF-8 nor Shift JIS.
  // Lines that are not ini syntax are skipped.
  static TLanguageFile Load(const std::string& FileName);
  // Parses Bytes (the file's contents, Name the file's name for messages);
  // raises EFileError when they are larger than MaxFileSize or are neither UTF-8
  // nor Shift JIS (naming the first line that is neither).
  static TLanguageFile FromBytes(const std::string& Bytes, const std::string& Name = {});

  // The value of Section/Key, or Default when the key is missing. An empty value
  // is returned as it is.
  QString ReadString(const char* Section, const char* Key, const QString& Default) const;
  // The value as an integer; Default when missing or not a number.
  int32_t ReadInteger(const char* Section, const char* Key, int32_t Default) const;
  bool HasKey(const char* Section, const char* Key) const;

  // Every section/key pair present in the file, lower-cased.
  std::set<std::pair<std::string, std::string>> Keys() const;
  // Every section/key pair looked up so far, lower-cased.
  const std::set<std::pair<std::string, std::string>>& KeysRead() const { return FRead; }

 private:
  using TKey = std::pair<std::string, std::string>;
  static TKey MakeKey(const std::string& Section, const std::string& Key);
  const QString* Find(const char* Section, const char* Key) const;

  std::map<TKey, QString> FValues;
  mutable std::set<TKey> FRead;
};
