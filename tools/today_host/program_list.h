// The start menu of this start screen: a band at the bottom of its window listing the
// programs of "\Windows\Start Menu\Programs" under a "Programs" heading; a tap on a row starts
// that program. Without shortcuts there is no band.
#pragma once

#include <optional>
#include <vector>

#include "platform/gdi.h"
#include "platform/windows.h"
#include "tools/today_host/program_shortcuts.h"

namespace today_host {

class ProgramList {
public:
    // Reads the shortcuts again; true when they changed.
    bool refresh();
    const std::vector<ProgramShortcut>& programs() const { return programs_; }

    // The band's place in a client area of that size, empty without programs.
    RECT band(const RECT& client, int scale) const;
    void draw(HDC dc, const RECT& client, int scale, COLORREF text_colour) const;
    // The program whose row is at the point, if any.
    std::optional<ProgramShortcut> program_at(POINT point, const RECT& client, int scale) const;

private:
    std::vector<ProgramShortcut> programs_;
};

}  // namespace today_host
