// Temporary: a log that discards everything, until the log file and the fatal stop exist.
#include "foundation/log.h"

#include <cstdlib>

namespace os {

LogRef get_log() {
    static auto const empty = std::make_shared<liba::TextOStreamEmpty<char16_t>>();
    return LogRef(empty);
}

void fatal_error(const std::u16string&, const std::u16string&) { std::_Exit(0); }

}  // namespace os

namespace liba {

WideTextOStream& operator<<(WideTextOStream& stream, const char*) { return stream; }
WideTextOStream& operator<<(WideTextOStream& stream, const char16_t*) { return stream; }
WideTextOStream& operator<<(WideTextOStream& stream, const std::u16string&) { return stream; }
WideTextOStream& operator<<(WideTextOStream& stream, int) { return stream; }
WideTextOStream& operator<<(WideTextOStream& stream, unsigned int) { return stream; }
WideTextOStream& operator<<(WideTextOStream& stream, double) { return stream; }

}  // namespace liba
