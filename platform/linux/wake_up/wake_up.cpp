#include "platform/wake_up.h"

#include <unistd.h>

#include <cerrno>

#include "platform/datetime.h"
#include "platform/device.h"
#include "platform/errors.h"
#include "platform/linux/errors.h"
#include "platform/linux/wake_up_agent.h"
#include "platform/linux/wake_up_store.h"
#include "platform/wake_up_testing.h"

BOOL CeRunAppAtTime(LPCWSTR application, const SYSTEMTIME* time) {
    FILETIME ignored;
    if (application == nullptr || *application == 0 || (time && !SystemTimeToFileTime(time, &ignored))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string const device = platform::device_folder();
    std::string const folder = platform::detail::wake_up_folder(device);
    platform::detail::WakeUpLock const state(platform::detail::state_lock_path(folder), true);
    if (!state.held()) {
        SetLastError(platform::detail::error_from_errno(errno));
        return FALSE;
    }
    std::string const file = platform::detail::registration_file(folder, application);
    if (time == nullptr) {
        ::unlink(file.c_str());
        return TRUE;
    }
    auto const host_program = platform::host_path_of_program(application);
    if (!host_program) return FALSE;
    platform::detail::WakeUpRegistration const registration{file, application, *host_program, *time};
    if (!platform::detail::write_registration(registration)) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    platform::detail::ensure_wake_up_agent(device, folder);
    return TRUE;
}

namespace platform {

std::optional<SYSTEMTIME> registered_wake_up(std::u16string_view application) {
    std::string const folder = detail::wake_up_folder(device_folder());
    detail::WakeUpLock const state(detail::state_lock_path(folder), true);
    std::string const file = detail::registration_file(folder, application);
    for (auto const& registration : detail::read_registrations(folder)) {
        if (registration.file == file) return registration.time;
    }
    return std::nullopt;
}

bool wake_up_agent_running() {
    std::string const folder = detail::wake_up_folder(device_folder());
    detail::WakeUpLock const state(detail::state_lock_path(folder), true);
    detail::WakeUpLock const probe(detail::agent_lock_path(folder), false);
    return !probe.held();
}

}  // namespace platform
