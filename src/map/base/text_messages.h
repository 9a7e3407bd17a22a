#pragma once
// The core's built-in (Japanese) error texts and their English forms. Errors
// carry the built-in text; where a message reaches the user, the program puts the
// form of its language in its place, keeping the arguments and any text around.

#include <functional>
#include <string>

struct TMessageForm {
  const char* Key;       // the key in the "Messages" section of a language file
  const char* BuiltIn;   // the built-in text, with "%s" or "%d" for arguments
  const char* English;   // the English form, with the same arguments in order
};

// Every built-in text of the core.
const TMessageForm* CoreMessageForms(size_t& Count);

// Message with each built-in text replaced by the form FormOf gives for it
// (FormOf returns empty text to keep the built-in one). Arguments keep their place.
std::string LocalizeMessage(const std::string& Message,
                            const std::function<std::string(const TMessageForm&)>& FormOf);
// Message with the English forms.
std::string EnglishMessage(const std::string& Message);
