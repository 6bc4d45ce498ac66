// The start menu's programs: the shortcuts in "\Windows\Start Menu\Programs". A shortcut is a
// small text file "<count>#<target> [arguments]", the target a device path, quoted when it
// holds spaces, e.g. 36#"\Program Files\Sonbrix\Sonbrix.exe".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace today_host {

struct ProgramShortcut {
    std::u16string name;  // the shortcut's file name without ".lnk"
    std::u16string target;
    std::u16string arguments;
    bool operator==(const ProgramShortcut&) const = default;
};

// Nullopt when the text is no shortcut to a device path. The name is left empty.
std::optional<ProgramShortcut> parse_shortcut(std::string_view text);

// The shortcuts that can be read, by name; anything else in the folder is passed over.
std::vector<ProgramShortcut> read_program_shortcuts();

// Starts the shortcut's program; false when it cannot be started.
bool start_program(const ProgramShortcut& shortcut);

}  // namespace today_host
