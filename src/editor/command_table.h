#pragma once
// The window's command table: name, category, caption, hint, shortcut and
// exclusive group of every command, with the initial check state. Group 0 means
// none; Check means the command toggles its own check state. Shortcut may list
// several keys separated by "; " (the first is the one menus show).

#include <cstdint>
#include <span>

struct TCommandDef {
  const char* Name;
  const char* Category;
  const char* Caption;
  const char* Hint;
  const char* Shortcut;
  int32_t Group;
  bool Check;
  bool Checked;
};

std::span<const TCommandDef> CommandTable();
