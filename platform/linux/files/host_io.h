// Small helpers over host file descriptors (inside the Linux back end only).
#pragma once

#include <string>
#include <string_view>

namespace platform::detail {

// Owns one host file descriptor and closes it at its end.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// Appends everything up to the end of the file; false on a read error.
bool read_all(int fd, std::string& text);
// Writes every byte, retrying after interruptions and short writes.
bool write_all(int fd, std::string_view text);

}  // namespace platform::detail
