// Where and how the registry roots are kept on the device (inside the Linux back end only).
//
// Each root lives in "<device>/registry/<root name>.hive". Readers take no lock: a change is
// written to "<root name>.new", flushed to the disk and renamed over the hive, so a reader
// sees either the old or the new hive whole. Changes are serialised across processes by an
// exclusive flock on "<root name>.lock". Each process keeps the parsed hive and reads it
// again only when the file it finds at the path is no longer the one it parsed.
//
// Not thread-safe: the callers serialise all calls.
#pragma once

#include <functional>
#include <string>

#include "platform/linux/registry/registry_tree.h"
#include "platform/types.h"

namespace platform::detail {

// The host path of a root's files without their extension, in the device folder of this
// moment; empty for a key that is not one of the four roots.
std::string hive_base_path(HKEY root);

// The root as stored now.
RegistryKey& current_hive(const std::string& base_path);

// When the stored root last changed (zero when it was never stored).
FILETIME hive_last_write_time(const std::string& base_path);

// Applies the edit to the root as stored now, under the root's lock file, and stores the
// result when the edit returns ERROR_SUCCESS. An edit that fails must leave the root as it
// found it. Returns the edit's result, or the error met while storing (the change is then lost).
DWORD change_hive(const std::string& base_path, const std::function<DWORD(RegistryKey& root)>& edit);

// Drops every parsed hive, so that the next use reads the stored files again.
void forget_cached_hives();

}  // namespace platform::detail
