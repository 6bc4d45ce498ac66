#include "tools/today_host/program_shortcuts.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/device.h"
#include "platform/file_attributes.h"
#include "platform/find.h"
#include "platform/handles.h"
#include "platform/processes.h"
#include "platform/unicode.h"

namespace today_host {
namespace {

const char16_t* const programs_folder = u"\\Windows\\Start Menu\\Programs";
// A shortcut is a line; anything longer is not one.
constexpr std::size_t longest_shortcut = 1024;

bool ends_with_link(const std::u16string& name) {
    if (name.size() <= 4) return false;
    std::u16string ending = name.substr(name.size() - 4);
    for (auto& c : ending) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return ending == u".lnk";
}

std::string_view trimmed(std::string_view text) {
    auto const first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    auto const last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::optional<std::string> read_small_file(const std::u16string& device_path) {
    auto const host = platform::host_path(device_path);
    if (!host) return std::nullopt;
    std::ifstream in(*host, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(longest_shortcut + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > longest_shortcut) return std::nullopt;
    return text;
}

}  // namespace

std::optional<ProgramShortcut> parse_shortcut(std::string_view text) {
    auto const hash = text.find('#');
    if (hash == 0 || hash == std::string_view::npos ||
        text.substr(0, hash).find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view rest = trimmed(text.substr(hash + 1));
    std::string_view target;
    std::string_view arguments;
    if (!rest.empty() && rest.front() == '"') {
        auto const closing = rest.find('"', 1);
        if (closing == std::string_view::npos) return std::nullopt;
        target = rest.substr(1, closing - 1);
        arguments = trimmed(rest.substr(closing + 1));
    } else {
        auto const space = rest.find(' ');
        target = rest.substr(0, space);
        if (space != std::string_view::npos) arguments = trimmed(rest.substr(space + 1));
    }
    if (target.empty() || (target.front() != '\\' && target.front() != '/')) return std::nullopt;
    ProgramShortcut shortcut;
    shortcut.target = platform::utf8_to_utf16(std::string(target));
    shortcut.arguments = platform::utf8_to_utf16(std::string(arguments));
    return shortcut;
}

std::vector<ProgramShortcut> read_program_shortcuts() {
    std::vector<ProgramShortcut> shortcuts;
    WIN32_FIND_DATAW found{};
    HANDLE const search = FindFirstFileW((std::u16string(programs_folder) + u"\\*.lnk").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return shortcuts;
    do {
        std::u16string const name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !ends_with_link(name)) continue;
        auto const text = read_small_file(std::u16string(programs_folder) + u"\\" + name);
        auto shortcut = text ? parse_shortcut(*text) : std::nullopt;
        if (!shortcut) continue;
        shortcut->name = name.substr(0, name.size() - 4);
        shortcuts.push_back(std::move(*shortcut));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(shortcuts.begin(), shortcuts.end(),
              [](const ProgramShortcut& a, const ProgramShortcut& b) { return a.name < b.name; });
    return shortcuts;
}

bool start_program(const ProgramShortcut& shortcut) {
    std::u16string arguments = shortcut.arguments;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(shortcut.target.c_str(), arguments.empty() ? nullptr : arguments.data(), nullptr, nullptr,
                        FALSE, 0, nullptr, nullptr, nullptr, &started)) {
        return false;
    }
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    return true;
}

}  // namespace today_host
