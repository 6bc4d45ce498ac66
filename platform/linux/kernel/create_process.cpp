// Starting a device program with a command line: CreateProcessW.
#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/linux/entries.h"
#include "platform/linux/handles.h"
#include "platform/linux/process_object.h"
#include "platform/processes.h"
#include "platform/unicode.h"

using namespace platform::detail;

BOOL CreateProcessW(LPCWSTR application, LPWSTR command_line, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                    DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION information) {
    if (!application || !*application) return fail_with(ERROR_INVALID_PARAMETER);
    auto const host = host_path_of_program_name(application);
    if (!host) return FALSE;
    struct stat status;
    if (::stat(host->c_str(), &status) != 0) return fail_with(entry_error(errno, *host));
    if (!S_ISREG(status.st_mode)) return fail_with(ERROR_ACCESS_DENIED);
    std::vector<std::string> arguments;
    if (command_line && *command_line) arguments.push_back(platform::utf16_to_utf8(command_line));
    std::u16string const module = platform::device_path(*host).value_or(application);
    auto process = start_device_program(*host, module, arguments);
    if (!process) return FALSE;
    if (information) {
        information->dwProcessId = process->id();
        information->dwThreadId = process->id();
        information->hThread = add_handle(process);
        information->hProcess = add_handle(std::move(process));
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
