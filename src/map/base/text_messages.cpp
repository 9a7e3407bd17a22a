#include "map/base/text_messages.h"

#include <vector>

namespace {

const TMessageForm kForms[] = {
    {"NotAnInteger", "'%s' は整数ではありません", "'%s' is not a valid integer value"},
    {"CannotAssign", "%s を %s に代入することはできません", "Cannot assign a %s to a %s"},
    {"ListIndex", "リストのインデックスが範囲を超えています (%d)", "List index out of bounds (%d)"},
    {"ListCapacity", "リストの容量が超えました (%d)", "List capacity out of bounds (%d)"},
    {"ListCount", "リストの個数を超えました (%d)", "List count out of bounds (%d)"},
    {"Error", "エラー", "Error"},
};

// Template cut at its placeholders: the literal pieces, one more than arguments.
std::vector<std::string> Pieces(const std::string& Template) {
  std::vector<std::string> out(1);
  for (size_t i = 0; i < Template.size(); ++i) {
    if (Template[i] == '%' && i + 1 < Template.size() &&
        (Template[i + 1] == 's' || Template[i + 1] == 'd')) {
      out.emplace_back();
      ++i;
    } else {
      out.back() += Template[i];
    }
  }
  return out;
}

// Replaces the first occurrence of the template BuiltIn in Message by Form, each
// argument taken as the text up to the next literal piece.
bool ReplaceOnce(std::string& Message, const std::string& BuiltIn, const std::string& Form) {
  const std::vector<std::string> from = Pieces(BuiltIn), to = Pieces(Form);
  if (from.size() != to.size()) return false;
  size_t pos = 0;
  if (!from[0].empty()) {
    pos = Message.find(from[0]);
    if (pos == std::string::npos) return false;
  }
  size_t cur = pos + from[0].size();
  std::vector<std::string> args;
  for (size_t k = 1; k < from.size(); ++k) {
    if (from[k].empty()) return false;  // no core text ends in an argument
    const size_t next = Message.find(from[k], cur);
    if (next == std::string::npos) return false;
    args.push_back(Message.substr(cur, next - cur));
    cur = next + from[k].size();
  }
  std::string out = to[0];
  for (size_t k = 0; k < args.size(); ++k) out += args[k] + to[k + 1];
  Message.replace(pos, cur - pos, out);
  return true;
}

}  // namespace

const TMessageForm* CoreMessageForms(size_t& Count) {
  Count = sizeof kForms / sizeof kForms[0];
  return kForms;
}

std::string LocalizeMessage(const std::string& Message,
                            const std::function<std::string(const TMessageForm&)>& FormOf) {
  std::string out = Message;
  for (const TMessageForm& f : kForms) {
    const std::string form = FormOf(f);
    if (!form.empty()) ReplaceOnce(out, f.BuiltIn, form);
  }
  return out;
}

std::string EnglishMessage(const std::string& Message) {
  return LocalizeMessage(Message, [](const TMessageForm& F) { return std::string(F.English); });
}
