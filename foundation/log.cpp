#include "foundation/log.h"

#include <cstdint>
#include <mutex>

#include "foundation/critical_section.h"
#include "foundation/registry.h"
#include "foundation/text_stream_file.h"

namespace os {
namespace {

// The log file: each write and flush is done under the log's own lock, so one write
// call's text is never interleaved with another's.
template <class Char>
class Log : public TextOStreamFile<Char> {
public:
    using TextOStreamFile<Char>::TextOStreamFile;

    void write(const Char* begin, const Char* end) override {
        std::lock_guard guard(lock_);
        TextOStreamFile<Char>::write(begin, end);
    }
    void flush() override {
        std::lock_guard guard(lock_);
        TextOStreamFile<Char>::flush();
    }

private:
    liba::CriticalSection lock_;
};

bool is_logging_switched_on() {
    std::uint32_t value = 0;
    read_registry_dword(u"HKEY_CURRENT_USER\\Software\\XELO", u"Log", value);
    return value != 0;
}

// The current stream and the switch state it was made for. A stream that is replaced
// lives on while a log statement on another thread still holds it (LogRef).
struct LogState {
    liba::CriticalSection lock;
    std::shared_ptr<liba::WideTextOStream> stream;
    bool switched_on = false;
};

LogState& log_state() {
    static auto* const state = new LogState;  // never deleted: the process end closes the file
    return *state;
}

}  // namespace

LogRef get_log() {
    bool const on = is_logging_switched_on();
    auto& state = log_state();
    std::lock_guard guard(state.lock);
    if (!state.stream || state.switched_on != on) {
        state.stream.reset();  // closes the old file unless a statement still writes to it
        state.switched_on = on;
        if (on) state.stream = std::make_shared<Log<char16_t>>(u"%app_full_name%.txt");
        else state.stream = std::make_shared<liba::TextOStreamEmpty<char16_t>>();
    }
    return LogRef(state.stream);
}

}  // namespace os
