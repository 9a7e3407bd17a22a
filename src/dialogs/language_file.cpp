#include "dialogs/language_file.h"

#include <ini.h>

#include <algorithm>
#include <cctype>
#include <sstream>

#include "map/base/input_file.h"
#include "map/base/text_encoding.h"
#include "record/errors.h"

namespace {

std::string Lower(std::string S) {
  std::transform(S.begin(), S.end(), S.begin(),
                 [](unsigned char C) { return char(std::tolower(C)); });
  return S;
}

std::string Trimmed(const std::string& S) {
  size_t b = 0, e = S.size();
  while (b < e && std::isspace(static_cast<unsigned char>(S[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(S[e - 1]))) --e;
  return S.substr(b, e - b);
}

}  // namespace

TLanguageFile::TKey TLanguageFile::MakeKey(const std::string& Section, const std::string& Key) {
  return {Lower(Trimmed(Section)), Lower(Trimmed(Key))};
}

TLanguageFile TLanguageFile::Load(const std::string& FileName) {
  TInputFile in(FileName, "言語ファイル '" + FileName + "' を開けません。");
  std::string bytes;
  if (!in.ReadAll(bytes, uint64_t(MaxFileSize)))
    throw EFileError("言語ファイル '" + FileName + "' は大きすぎます (1 MiB まで)。");
  return FromBytes(bytes, FileName);
}

TLanguageFile TLanguageFile::FromBytes(const std::string& Bytes, const std::string& Name) {
  if (Bytes.size() > size_t(MaxFileSize))
    throw EFileError("言語ファイルは大きすぎます (1 MiB まで)。");
  std::string text = Bytes;
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  if (!IsValidUtf8(text)) {
    std::string converted;
    size_t failedAt = 0;
    if (!TryCp932ToUtf8(text, converted, failedAt))
      throw EFileError((Name.empty() ? std::string("The language file") : "Language file \"" + Name + "\"") +
                       ", line " + std::to_string(UndecodableLine(text, failedAt)) +
                       ": the text is neither UTF-8 nor Shift JIS");
    text = std::move(converted);
  }
  // The ini parser stops a string at a zero byte; no caption holds one.
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  TLanguageFile file;
  ini_parse_string(
      text.c_str(),
      [](void* User, const char* Section, const char* Name, const char* Value) -> int {
        auto* f = static_cast<TLanguageFile*>(User);
        if (!Name) return 1;  // a section line without keys
        // The first occurrence of a key counts, as with the systems' ini readers.
        f->FValues.emplace(MakeKey(Section, Name), QString::fromUtf8(Value));
        return 1;
      },
      &file);
  return file;
}

const QString* TLanguageFile::Find(const char* Section, const char* Key) const {
  const TKey k = MakeKey(Section, Key);
  FRead.insert(k);
  auto it = FValues.find(k);
  return it == FValues.end() ? nullptr : &it->second;
}

QString TLanguageFile::ReadString(const char* Section, const char* Key,
                                  const QString& Default) const {
  const QString* v = Find(Section, Key);
  return v ? *v : Default;
}

int32_t TLanguageFile::ReadInteger(const char* Section, const char* Key, int32_t Default) const {
  const QString* v = Find(Section, Key);
  if (!v) return Default;
  bool ok = false;
  const int32_t n = v->trimmed().toInt(&ok);
  return ok ? n : Default;
}

bool TLanguageFile::HasKey(const char* Section, const char* Key) const {
  return FValues.count(MakeKey(Section, Key)) > 0;
}

std::set<std::pair<std::string, std::string>> TLanguageFile::Keys() const {
  std::set<TKey> keys;
  for (const auto& [k, v] : FValues) keys.insert(k);
  return keys;
}
