#pragma once

#include <memory>
#include <string>

#include "foundation/text_stream.h"

namespace os {

// The program's log stream as one log statement sees it. It keeps the stream alive until
// the statement ends, even when another thread switches logging on or off meanwhile:
//     os::get_log() << "Form::do_modal: " << result << "\n";
// Take it anew at every statement; never keep it.
class LogRef {
public:
    explicit LogRef(std::shared_ptr<liba::WideTextOStream> stream) : stream_(std::move(stream)) {}

    liba::WideTextOStream& stream() const { return *stream_; }

    template <class T>
    LogRef& operator<<(const T& value) {
        *stream_ << value;
        return *this;
    }
    LogRef& operator<<(const char* text) {
        *stream_ << text;
        return *this;
    }
    LogRef& operator<<(const char16_t* text) {
        *stream_ << text;
        return *this;
    }
    void flush() { stream_->flush(); }

private:
    std::shared_ptr<liba::WideTextOStream> stream_;
};

// The program-wide log: the file "%app_full_name%.txt" while the registry value "Log"
// under "HKEY_CURRENT_USER\Software\XELO" is set, else a stream that discards everything.
LogRef get_log();

// Logs "Gluck: " + message + " @ " + place, shows the message in a box captioned with the
// place and ends the process at once with exit code 0. For broken invariants only.
[[noreturn]] void fatal_error(const std::u16string& place, const std::u16string& message);

}  // namespace os
