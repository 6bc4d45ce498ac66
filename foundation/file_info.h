#pragma once

#include <cstdint>
#include <string>

#include "foundation/date_time.h"

namespace os {

// What the platform reports about one file or folder when the record is made, and the
// file manager's operations on it. Each operation keeps the platform's last error in the
// record for the caller's message.
class FileInfo {
public:
    static constexpr std::uint32_t not_found = 0xFFFFFFFFu;

    // The path may begin with a path macro and end with a separator. A missing entry gives
    // the attributes not_found, size 0 and times of 1601-01-01.
    explicit FileInfo(const std::u16string& path);

    bool exists() const { return attributes_ != not_found; }
    bool is_directory() const;
    bool is_read_only() const;

    const std::u16string& get_path() const { return path_; }
    std::uint32_t get_attributes() const { return attributes_; }
    std::uint32_t get_last_error() const { return last_error_; }
    // The low 32 bits of a file's size; 0 for a folder.
    std::uint32_t get_size() const { return static_cast<std::uint32_t>(size_); }
    // The whole size of a file, however large; 0 for a folder.
    std::uint64_t get_full_size() const { return size_; }
    // Local times.
    const DateTime& get_creation_time() const { return creation_time_; }
    const DateTime& get_last_write_time() const { return last_write_time_; }

    // Sets or clears the read-only attribute; true without asking the platform when it is
    // already so. Fails (ERROR_FILE_NOT_FOUND) on a record of a missing entry.
    bool set_read_only(bool read_only);
    // Removes the folder (it must be empty) or deletes the file.
    bool remove();
    // Moves or renames the entry; the record keeps its path.
    bool move_to(const std::u16string& new_path);
    // Makes the folder name inside the record's folder.
    bool create_subfolder(const std::u16string& name);

private:
    bool succeeded(bool platform_result);

    std::u16string path_;
    std::uint32_t attributes_ = not_found;
    std::uint32_t last_error_ = 0;
    std::uint64_t size_ = 0;
    DateTime creation_time_;
    DateTime last_write_time_;
};

}  // namespace os
