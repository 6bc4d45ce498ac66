#include <cstdlib>

#include "foundation/log.h"
#include "platform/dialogs.h"
#include "platform/kernel.h"

namespace os {

void fatal_error(const std::u16string& place, const std::u16string& message) {
    {
        auto log = get_log();
        log << u"Gluck: " + message + u" @ " + place + u"\n";
        log.flush();
    }
    platform::show_error_box(message.c_str(), place.c_str());
    TerminateProcess(GetCurrentProcess(), 0);
    std::abort();  // only if the platform refused to end the process
}

}  // namespace os
