// The change record that the Document hands to its views: what to draw again.
#pragma once

#include <string>

struct Change {
    Change() = default;
    Change(bool file, bool position, bool state, bool volume)
        : file_changed(file), position_changed(position), state_changed(state), volume_changed(volume) {}

    bool file_changed = false;      // the file, list or selection shown
    bool position_changed = false;  // the play position or the bookmarks
    bool state_changed = false;     // play, record, pause, input, speed, mode, permissions
    bool volume_changed = false;
    std::u16string text;            // path of a recording that has just stopped, else empty
};
