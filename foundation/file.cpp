#include "foundation/file.h"

#include "foundation/paths.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/handles.h"

namespace os {

struct FileImpl {
    HANDLE handle = INVALID_HANDLE_VALUE;
};

namespace {

struct OpenMode {
    DWORD access;
    DWORD creation;
    bool at_end;
};

OpenMode open_mode(int mode) {
    switch (mode) {
    case 0: return {GENERIC_READ, OPEN_EXISTING, false};
    case 1: return {GENERIC_WRITE, CREATE_ALWAYS, false};
    case 2: return {GENERIC_WRITE, OPEN_ALWAYS, true};
    default: return {GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, false};
    }
}

// Moves to an unsigned 32-bit position from the start. The high half is given so that
// positions from 2 GB up are not taken as negative distances.
bool move_to(HANDLE handle, std::uint32_t position) {
    LONG high = 0;
    return SetFilePointer(handle, static_cast<LONG>(position), &high, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

}  // namespace

File::File(const std::u16string& path, int mode) {
    emplace_impl();
    OpenMode const how = open_mode(mode);
    std::u16string const name = expanded_path(path);
    HANDLE handle = CreateFileW(name.c_str(), how.access, FILE_SHARE_READ, nullptr, how.creation,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (handle != INVALID_HANDLE_VALUE && how.at_end) {
        SetLastError(NO_ERROR);
        SetFilePointer(handle, 0, nullptr, FILE_END);
        if (GetLastError() != NO_ERROR) {
            CloseHandle(handle);
            handle = INVALID_HANDLE_VALUE;
        }
    }
    impl().handle = handle;
    if (handle == INVALID_HANDLE_VALUE) add_error(u"can't open file");
}

File::~File() {
    if (impl().handle != INVALID_HANDLE_VALUE) CloseHandle(impl().handle);
    impl().handle = INVALID_HANDLE_VALUE;
    destroy_impl();
}

std::uint32_t File::read(void* buffer, std::uint32_t count) {
    if (has_errors() || count == 0) return 0;
    DWORD done = 0;
    return ReadFile(impl().handle, buffer, count, &done, nullptr) ? done : 0;
}

std::uint32_t File::write(const void* buffer, std::uint32_t count) {
    if (has_errors() || count == 0) return 0;
    DWORD done = 0;
    return WriteFile(impl().handle, buffer, count, &done, nullptr) ? done : 0;
}

std::uint32_t File::skip(std::int32_t count) {
    if (has_errors() || count == 0) return 0;
    DWORD const before = SetFilePointer(impl().handle, 0, nullptr, FILE_CURRENT);
    if (before == INVALID_SET_FILE_POINTER) return 0;
    DWORD const after = SetFilePointer(impl().handle, count, nullptr, FILE_CURRENT);
    if (after == INVALID_SET_FILE_POINTER) return 0;
    return after - before;
}

std::uint32_t File::get_size() {
    if (has_errors()) return 0;
    DWORD const size = GetFileSize(impl().handle, nullptr);
    return size == INVALID_FILE_SIZE ? 0 : size;
}

bool File::seek(std::uint32_t position) {
    if (has_errors()) return false;
    return move_to(impl().handle, position);
}

std::uint32_t File::get_position() {
    if (has_errors()) return 0;
    DWORD const position = SetFilePointer(impl().handle, 0, nullptr, FILE_CURRENT);
    return position == INVALID_SET_FILE_POINTER ? 0 : position;
}

bool File::truncate(std::uint32_t position) {
    if (has_errors()) return false;
    return move_to(impl().handle, position) && SetEndOfFile(impl().handle);
}

bool File::flush() {
    if (has_errors()) return false;
    return FlushFileBuffers(impl().handle) != FALSE;
}

}  // namespace os
