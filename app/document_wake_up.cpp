// The scheduled start: the device's wake-up is kept armed for the next task.
#include "app/document.h"
#include "foundation/paths.h"
#include "platform/wake_up.h"

void Document::rearm_wakeup() {
    std::u16string const program = os::expanded_path(u"%app_full_name%");
    int const next = settings.schedule.find_next_task(now());
    if (next >= 0) {
        SYSTEMTIME const begin = settings.schedule[static_cast<std::size_t>(next)].Begin.get_systemtime();
        CeRunAppAtTime(program.c_str(), &begin);
    } else {
        CeRunAppAtTime(program.c_str(), nullptr);
    }
}
