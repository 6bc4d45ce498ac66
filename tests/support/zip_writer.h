// Zip archives built in memory for tests: local headers, data, central directory.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

struct ZipEntry {
    ZipEntry(std::string entry_name, std::string entry_data, bool is_deflated = false, std::string extra_field = {})
        : name(std::move(entry_name)), data(std::move(entry_data)), deflated(is_deflated), extra(std::move(extra_field)) {}

    std::string name;
    std::string data;
    // Stored as deflate (in stored blocks, so the compressed size differs) instead of plainly.
    bool deflated = false;
    std::string extra;
};

std::string make_zip(const std::vector<ZipEntry>& entries);

}  // namespace testing_support
