// A popup menu as the host builds it: one entry per item, in display order.
#pragma once

#include <string_view>

namespace kobex {

enum class MenuKind { Root, Command, Separator, Submenu };

struct MenuEntry {
  std::string_view name;     // the item's name, mnuIM...
  std::string_view caption;  // as stored: an ampersand marks the access key
  int level;                 // 0 the root, 1 the popup, 2 a submenu's items
  MenuKind kind;
};

}  // namespace kobex
