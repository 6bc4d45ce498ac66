// The text form in which one registry root is stored (inside the Linux back end only).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/linux/registry/registry_tree.h"

namespace platform::detail {

std::string format_hive(const RegistryKey& root);

// Never fails: text without the header reads as an empty root, and lines that cannot be
// read are skipped.
std::unique_ptr<RegistryKey> parse_hive(std::string_view text);

}  // namespace platform::detail
