// The text form in which one registry root is stored (inside the Linux back end only).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/linux/registry_tree.h"

namespace platform::detail {

// Keys deeper than this below their root are not made, stored or read.
inline constexpr std::size_t max_registry_key_depth = 512;

std::string format_hive(const RegistryKey& root);

// The text starts with the header line (after a UTF-8 byte-order mark, and with blanks or
// zero bytes after it, as an editor may leave them).
bool is_hive_text(std::string_view text);

// Never fails: text without the header reads as an empty root, and lines that cannot be
// read (keys deeper than the limit among them) are skipped. complete, when given, says
// whether everything was read (an empty text is read completely).
std::unique_ptr<RegistryKey> parse_hive(std::string_view text, bool* complete = nullptr);

}  // namespace platform::detail
