// The owner of one directory search of the platform (inside the foundation's sources only).
#pragma once

#include <string>

#include "foundation/nocopy.h"
#include "platform/find.h"

namespace os {

// Starts the search on an expanded pattern and ends it with its own end.
class FindHandle : liba::Nocopy {
public:
    // data holds the first entry when the search found one.
    FindHandle(const std::u16string& expanded_pattern, WIN32_FIND_DATAW& data)
        : handle_(FindFirstFileW(expanded_pattern.c_str(), &data)) {}
    // Owns a search started elsewhere (INVALID_HANDLE_VALUE: none).
    explicit FindHandle(HANDLE search) : handle_(search) {}
    ~FindHandle() {
        if (found()) FindClose(handle_);
    }

    bool found() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool next(WIN32_FIND_DATAW& data) { return FindNextFileW(handle_, &data) != FALSE; }

private:
    HANDLE handle_;
};

}  // namespace os
