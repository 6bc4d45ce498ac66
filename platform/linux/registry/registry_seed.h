// The keys that a device's registry holds before anything was stored in it (inside the
// Linux back end only).
#pragma once

#include <string>

#include "platform/linux/registry/registry_tree.h"

namespace platform::detail {

// Adds the keys that a new device comes with to the root kept at base_path (see
// hive_base_path), when it is a root that has such keys: the six application buttons under
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shell\Keys ("40C1" to "40C6", each with a "Name").
void seed_new_hive(const std::string& base_path, RegistryKey& root);

}  // namespace platform::detail
