// The program's resource index ("resources.txt" in the resource folder) and the files it
// names, read afresh at every look-up (it is small), so a changed folder is seen at once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform::resources {

enum class ResourceKind { bitmap, icon, rcdata };

struct ResourceEntry {
    ResourceKind kind = ResourceKind::rcdata;
    WORD id = 0;
    // Host paths: one file for raw data, one picture stem or more (an icon's sizes) for
    // pictures; a stem's colour picture is "<stem>.png", its alpha companion "<stem>_8.png".
    std::vector<std::string> files;
};

// The folder the resources are read from (see platform/resources.h); empty when none.
std::string resource_folder();

// The entry of that kind and id. Without one, nullopt and the last error set
// (ERROR_RESOURCE_DATA_NOT_FOUND, ERROR_RESOURCE_NAME_NOT_FOUND).
std::optional<ResourceEntry> find_resource(ResourceKind kind, WORD id);

// Parses an index; lines it cannot read are reported (through `report`) and left out.
std::vector<ResourceEntry> parse_index(const std::string& text, const std::string& folder,
                                       void (*report)(const std::string& line));

// A file's bytes, refused when larger than `limit`; nullopt when it cannot be read.
std::optional<std::vector<std::uint8_t>> read_resource_file(const std::string& path, std::size_t limit);

// One line on standard error about the program's resources.
void report_resource_problem(const std::string& what);

}  // namespace platform::resources
