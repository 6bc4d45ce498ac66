#include "platform/linux/user/clipboard_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/device.h"
#include "platform/linux/kernel/errors.h"
#include "platform/linux/files/host_io.h"

namespace platform::detail {
namespace {

// The file starts with the magic text, then holds one record per format:
// format (u32), size (u32), bytes; numbers little-endian.
constexpr char magic[] = "SBXCLIP1";
constexpr std::size_t magic_size = sizeof magic - 1;

std::string data_file(const std::string& folder) { return folder + "/clipboard.data"; }
std::string new_file(const std::string& folder) { return folder + "/clipboard.new"; }

void append_u32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

bool take_u32(const std::string& in, std::size_t& at, std::uint32_t& value) {
    if (in.size() - at < 4) return false;
    value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(in[at + i]);
    at += 4;
    return true;
}

std::string format_contents(const ClipboardContents& contents) {
    std::string out(magic, magic_size);
    for (auto const& [format, bytes] : contents) {
        append_u32(out, format);
        append_u32(out, static_cast<std::uint32_t>(bytes.size()));
        out += bytes;
    }
    return out;
}

ClipboardContents parse_contents(const std::string& in) {
    if (in.compare(0, magic_size, magic, magic_size) != 0) return {};
    ClipboardContents contents;
    std::size_t at = magic_size;
    while (at < in.size()) {
        std::uint32_t format = 0;
        std::uint32_t size = 0;
        if (!take_u32(in, at, format) || !take_u32(in, at, size) || in.size() - at < size) return {};
        contents[format] = in.substr(at, size);
        at += size;
    }
    return contents;
}

}  // namespace

std::string clipboard_folder() { return platform::device_folder() + "/run"; }

std::string clipboard_lock_file(const std::string& folder) { return folder + "/clipboard.lock"; }

ClipboardContents read_clipboard(const std::string& folder) {
    int const fd = ::open(data_file(folder).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    std::string text;
    bool const read = read_all(fd, text);
    ::close(fd);
    return read ? parse_contents(text) : ClipboardContents{};
}

DWORD write_clipboard(const std::string& folder, const ClipboardContents& contents) {
    std::string const temporary = new_file(folder);
    int const fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return error_from_errno(errno);
    bool stored = write_all(fd, format_contents(contents));
    DWORD error = stored ? ERROR_SUCCESS : error_from_errno(errno);
    if (::close(fd) != 0 && stored) {
        stored = false;
        error = error_from_errno(errno);
    }
    if (!stored) {
        ::unlink(temporary.c_str());
        return error;
    }
    if (::rename(temporary.c_str(), data_file(folder).c_str()) != 0) {
        DWORD const error = error_from_errno(errno);
        ::unlink(temporary.c_str());
        return error;
    }
    return ERROR_SUCCESS;
}

}  // namespace platform::detail
