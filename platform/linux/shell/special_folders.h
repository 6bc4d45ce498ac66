// The shell's special folders and their device paths (inside the Linux back end only),
// outermost first, so that creating them in this order makes each parent before its child.
#pragma once

#include "platform/shell.h"

namespace platform::detail {

struct SpecialFolder {
    int csidl;
    const char16_t* device_path;
};

inline constexpr SpecialFolder special_folders[] = {
    {CSIDL_PERSONAL, u"\\My Documents"},
    {CSIDL_WINDOWS, u"\\Windows"},
    {CSIDL_STARTUP, u"\\Windows\\StartUp"},
    {CSIDL_STARTMENU, u"\\Windows\\Start Menu"},
    {CSIDL_PROGRAMS, u"\\Windows\\Start Menu\\Programs"},
    {CSIDL_PROGRAM_FILES, u"\\Program Files"},
};

}  // namespace platform::detail
