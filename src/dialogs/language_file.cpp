#include "dialogs/language_file.h"

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

// Calls Entry(section, key, value) for every "key=value" line of Text, in order.
// The rules of the classic ini readers: a line may be of any length; blanks at the
// start of a line are ignored (an indented line is an ordinary line, never the
// continuation of the one above); a line whose first character is ';' is a
// comment, while ';' anywhere else is part of the value; "[name]" starts a
// section; blanks around keys and values are dropped; other lines are skipped.
template <typename TEntry>
void ForEachIniEntry(const std::string& Text, TEntry&& Entry) {
  std::string section;
  size_t pos = 0;
  while (pos < Text.size()) {
    size_t end = Text.find('\n', pos);
    if (end == std::string::npos) end = Text.size();
    const std::string line = Trimmed(Text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.find(']');
      if (close != std::string::npos) section = Trimmed(line.substr(1, close - 1));
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    Entry(section, Trimmed(line.substr(0, eq)), Trimmed(line.substr(eq + 1)));
  }
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
      throw EFileError(
          (Name.empty() ? std::string("The language file") : "Language file \"" + Name + "\"") +
          ", line " + std::to_string(UndecodableLine(text, failedAt)) +
          ": the text is neither UTF-8 nor Shift JIS");
    text = std::move(converted);
  }
  // No caption holds a zero byte; one in a damaged file is dropped.
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  TLanguageFile file;
  ForEachIniEntry(
      text, [&file](const std::string& Section, const std::string& Key, const std::string& Value) {
        // The first occurrence of a key counts, as with the systems' ini readers.
        file.FValues.emplace(MakeKey(Section, Key), QString::fromUtf8(Value));
      });
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
