// Opening a file as the shell does: ShellExecuteEx.
#include "platform/shell_execute.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/linux/entries.h"
#include "platform/linux/handles.h"
#include "platform/linux/process_object.h"
#include "platform/unicode.h"

namespace {

using platform::detail::fail_with;

// A program and the command line it is given.
struct Launch {
    std::u16string program;
    std::u16string command_line;
};

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view skip_blanks(std::u16string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    return text;
}

bool is_program(std::u16string_view path) {
    constexpr std::u16string_view extension = u".exe";
    return path.size() > extension.size() &&
           platform::equal_ignore_case(path.substr(path.size() - extension.size()), extension);
}

// The text after the last dot of the file name; empty without one.
std::u16string extension_of(std::u16string_view path) {
    std::u16string_view const name = platform::detail::last_component(path);
    std::size_t const dot = name.rfind(u'.');
    return dot == std::u16string_view::npos ? std::u16string() : std::u16string(name.substr(dot + 1));
}

// The default value of a key under HKEY_CLASSES_ROOT as text.
std::optional<std::u16string> class_value(const std::u16string& subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, subkey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    std::optional<std::u16string> text;
    if (RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::u16string value(size / sizeof(char16_t), u'\0');
        if (RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(value.data()), &size) ==
            ERROR_SUCCESS) {
            value.resize(size / sizeof(char16_t));
            while (!value.empty() && value.back() == u'\0') value.pop_back();
            text = std::move(value);
        }
    }
    RegCloseKey(key);
    return text;
}

// The program of a command line: the quoted text, else the text up to ".exe" and a blank,
// else the first word. The rest is the program's command line.
Launch split_command(std::u16string_view command) {
    command = skip_blanks(command);
    if (!command.empty() && command.front() == u'"') {
        std::size_t const end = command.find(u'"', 1);
        if (end == std::u16string_view::npos) return {std::u16string(command.substr(1)), {}};
        return {std::u16string(command.substr(1, end - 1)), std::u16string(skip_blanks(command.substr(end + 1)))};
    }
    std::size_t end = std::u16string_view::npos;
    for (std::size_t i = 0; i + 4 <= command.size() && end == std::u16string_view::npos; ++i) {
        bool const program_ends_here = i + 4 == command.size() || is_blank(command[i + 4]);
        if (program_ends_here && platform::equal_ignore_case(command.substr(i, 4), u".exe")) end = i + 4;
    }
    if (end == std::u16string_view::npos) end = std::min(command.find_first_of(u" \t"), command.size());
    return {std::u16string(command.substr(0, end)), std::u16string(skip_blanks(command.substr(end)))};
}

// "%1" in the arguments stands for the file; without one the file is appended, quoted.
std::u16string with_file(std::u16string arguments, const std::u16string& file) {
    bool replaced = false;
    for (std::size_t at = arguments.find(u"%1"); at != std::u16string::npos; at = arguments.find(u"%1", at)) {
        arguments.replace(at, 2, file);
        at += file.size();
        replaced = true;
    }
    if (!replaced) arguments += (arguments.empty() ? u"\"" : u" \"") + file + u"\"";
    return arguments;
}

// The program that opens the file by its type's association; nullopt with the last error.
std::optional<Launch> associated_launch(const std::u16string& file) {
    std::u16string const extension = extension_of(file);
    std::optional<std::u16string> const file_class =
        extension.empty() ? std::nullopt : class_value(u"." + extension);
    std::optional<std::u16string> const command =
        file_class && !file_class->empty() ? class_value(*file_class + u"\\Shell\\Open\\Command") : std::nullopt;
    if (!command) {
        SetLastError(ERROR_NO_ASSOCIATION);
        return std::nullopt;
    }
    Launch launch = split_command(*command);
    if (!is_program(launch.program)) {
        SetLastError(ERROR_NO_ASSOCIATION);
        return std::nullopt;
    }
    launch.command_line = with_file(std::move(launch.command_line), file);
    return launch;
}

// Whether the device entry exists; sets the last error when not.
bool entry_exists(const std::u16string& path) {
    auto const host = platform::detail::host_path_of_name(path.c_str());
    if (!host) return false;
    struct stat status;
    if (stat(host->c_str(), &status) != 0) return fail_with(platform::detail::entry_error(errno, *host));
    return true;
}

std::shared_ptr<platform::detail::ProcessObject> start(const Launch& launch) {
    auto const host = platform::detail::host_path_of_program_name(launch.program.c_str());
    if (!host) return nullptr;
    struct stat status;
    if (stat(host->c_str(), &status) != 0) {
        fail_with(platform::detail::entry_error(errno, *host));
        return nullptr;
    }
    if (!S_ISREG(status.st_mode)) {
        fail_with(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    std::u16string const module = platform::device_path(*host).value_or(launch.program);
    std::vector<std::string> arguments;
    if (!launch.command_line.empty()) arguments.push_back(platform::utf16_to_utf8(launch.command_line));
    return platform::detail::start_device_program(*host, module, arguments);
}

HINSTANCE failure_code(DWORD error) {
    std::uintptr_t code;
    switch (error) {
    case ERROR_FILE_NOT_FOUND: code = SE_ERR_FNF; break;
    case ERROR_PATH_NOT_FOUND: code = SE_ERR_PNF; break;
    case ERROR_NO_ASSOCIATION: code = SE_ERR_NOASSOC; break;
    case ERROR_NOT_ENOUGH_MEMORY: code = SE_ERR_OOM; break;
    default: code = SE_ERR_ACCESSDENIED; break;
    }
    return reinterpret_cast<HINSTANCE>(code);
}

BOOL fail_launch(LPSHELLEXECUTEINFO info) {
    info->hInstApp = failure_code(GetLastError());
    return FALSE;
}

}  // namespace

BOOL ShellExecuteEx(LPSHELLEXECUTEINFO info) {
    if (!info || info->cbSize != sizeof(SHELLEXECUTEINFO)) return fail_with(ERROR_INVALID_PARAMETER);
    info->hProcess = nullptr;
    if (!info->lpFile) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return fail_launch(info);
    }
    if (info->lpVerb && *info->lpVerb && !platform::equal_ignore_case(info->lpVerb, u"open")) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return fail_launch(info);
    }
    std::u16string const file = info->lpFile;
    std::optional<Launch> launch;
    if (is_program(file)) {
        launch = Launch{file, info->lpParameters ? info->lpParameters : u""};
    } else if (entry_exists(file)) {
        launch = associated_launch(file);
    }
    if (!launch) return fail_launch(info);
    auto process = start(*launch);
    if (!process) return fail_launch(info);
    info->hInstApp = reinterpret_cast<HINSTANCE>(std::uintptr_t{33});
    if (info->fMask & SEE_MASK_NOCLOSEPROCESS) info->hProcess = platform::detail::add_handle(std::move(process));
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
