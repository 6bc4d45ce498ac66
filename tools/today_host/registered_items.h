// The start-screen items that the registry holds: one subkey of
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Today\Items per item.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace today_host {

struct RegisteredItem {
    std::u16string name;     // the subkey's name
    std::u16string library;  // "DLL", macros such as %windows% expanded; empty: none
    DWORD order = 0;         // "Order"
    bool has_order = false;
    DWORD enabled = 0;  // "Enabled"; a missing value counts as disabled
    DWORD options = 0;  // "Options"
    DWORD flags = 0;    // "Flags"
};

// Every item, those with an "Order" first by that number, then the others, each group by name.
std::vector<RegisteredItem> read_registered_items();

// The text colour set for the start screen: "TextColor", a COLORREF, under
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Today; false when none is set.
bool read_registered_text_colour(DWORD& colour);

}  // namespace today_host
