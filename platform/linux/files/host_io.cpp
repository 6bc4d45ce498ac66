#include "platform/linux/files/host_io.h"

#include <unistd.h>

#include <cerrno>

namespace platform::detail {

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
}

bool read_all(int fd, std::string& text) {
    char buffer[16384];
    for (;;) {
        ssize_t const count = ::read(fd, buffer, sizeof buffer);
        if (count == 0) return true;
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
}

bool write_all(int fd, std::string_view text) {
    while (!text.empty()) {
        ssize_t const count = ::write(fd, text.data(), text.size());
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

}  // namespace platform::detail
