// What the start screen says. A problem (an item skipped) is one line on standard error; in
// test mode every message the start screen sends and receives, and every load and unload of
// an item library, is one line of the trace as well.
#pragma once

#include <cstdio>
#include <string>

#include "platform/types.h"

namespace today_host {

class HostLog {
public:
    HostLog() = default;
    ~HostLog();
    HostLog(const HostLog&) = delete;
    HostLog& operator=(const HostLog&) = delete;

    // Test mode: the trace goes to the file ("-": standard error). False when it cannot open.
    bool open_trace(const std::string& path);
    bool tracing() const { return trace_ != nullptr; }

    void trace(const std::string& line);
    void problem(const std::string& line);

private:
    std::FILE* trace_ = nullptr;
    bool own_file_ = false;
};

// "WM_USER+243", "WM_PAINT", or the number in hexadecimal.
std::string message_name(UINT message);
std::string hex(unsigned long long value);
std::string utf8(const std::u16string& text);

}  // namespace today_host
