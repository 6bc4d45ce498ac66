#include "tools/today_host/host_log.h"


#include "platform/messages.h"
#include "platform/unicode.h"

namespace today_host {

HostLog::~HostLog() {
    if (own_file_) std::fclose(trace_);
}

bool HostLog::open_trace(const std::string& path) {
    if (path == "-") {
        trace_ = stderr;
        return true;
    }
    trace_ = std::fopen(path.c_str(), "w");
    if (!trace_) return false;
    own_file_ = true;
    setvbuf(trace_, nullptr, _IOLBF, 0);
    return true;
}

void HostLog::trace(const std::string& line) {
    if (trace_) std::fprintf(trace_, "%s\n", line.c_str());
}

void HostLog::problem(const std::string& line) {
    std::fprintf(stderr, "today-host: %s\n", line.c_str());
    if (trace_ && trace_ != stderr) trace(line);
}

std::string hex(unsigned long long value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", value);
    return text;
}

std::string message_name(UINT message) {
    struct Named {
        UINT message;
        const char* name;
    };
    static Named const names[] = {
        {WM_CREATE, "WM_CREATE"},   {WM_DESTROY, "WM_DESTROY"},     {WM_MOVE, "WM_MOVE"},
        {WM_SIZE, "WM_SIZE"},       {WM_ACTIVATE, "WM_ACTIVATE"},   {WM_SETFOCUS, "WM_SETFOCUS"},
        {WM_KILLFOCUS, "WM_KILLFOCUS"}, {WM_PAINT, "WM_PAINT"},     {WM_CLOSE, "WM_CLOSE"},
        {WM_ERASEBKGND, "WM_ERASEBKGND"}, {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
        {WM_WININICHANGE, "WM_WININICHANGE"}, {WM_NCCREATE, "WM_NCCREATE"},
        {WM_NCDESTROY, "WM_NCDESTROY"}, {WM_TIMER, "WM_TIMER"},     {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
        {WM_LBUTTONUP, "WM_LBUTTONUP"}, {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
    };
    for (auto const& named : names) {
        if (named.message == message) return named.name;
    }
    if (message >= WM_USER && message < WM_USER + 0x400) return "WM_USER+" + std::to_string(message - WM_USER);
    return hex(message);
}

std::string utf8(const std::u16string& text) { return platform::utf16_to_utf8(text); }

}  // namespace today_host
