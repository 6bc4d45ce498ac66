// The scheduled start: records the task that holds the current time.
#include "app/document.h"
#include "foundation/log.h"

std::u16string Document::start_scheduled_recording() {
    int const task = settings.schedule.find_task_at(now());
    if (is_recording() || task < 0) {
        rearm_wakeup();
        return {};
    }
    if (!record_new_file(settings.record.folder)) {
        os::get_log() << "scheduled recording did not start: " << record_file.c_str() << "\n";
        rearm_wakeup();
        return {};
    }
    notify(Change());
    stop_time = settings.schedule[static_cast<std::size_t>(task)].End;
    settings.schedule.remove(task);
    set_settings(settings);
    return record_file;
}
