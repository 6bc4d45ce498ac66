// The input panel's keyboard (inside the Linux back end only): five rows of keys laid out on
// the panel's rectangle, and the shift and caps state that decides what a letter types.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/display/display_driver.h"

namespace platform::screen {

using display::ScreenRect;

struct SoftKey {
    enum class Kind { plain, shift, caps };
    ScreenRect rect;
    std::u16string label;  // of a key that types no character of its own (Tab, arrows, ...)
    std::uint32_t vk = 0;
    char16_t lower = 0;
    char16_t upper = 0;
    Kind kind = Kind::plain;
};

// What a tap on a key sends to the focus window: a key and the character it types (0: none).
struct TypedKey {
    std::uint32_t vk = 0;
    char16_t character = 0;
};

class SoftKeyboard {
public:
    void lay_out(const ScreenRect& panel);
    const std::vector<SoftKey>& keys() const { return keys_; }
    // Null outside every key.
    const SoftKey* key_at(int x, int y) const;
    // Shift and caps change the state (and type nothing); a shifted key ends the shift.
    std::optional<TypedKey> tap(const SoftKey& key);
    // What the key shows now.
    std::u16string label(const SoftKey& key) const;
    bool active(const SoftKey& key) const;

private:
    bool upper_case(const SoftKey& key) const;
    std::vector<SoftKey> keys_;
    bool shift_ = false;
    bool caps_ = false;
};

}  // namespace platform::screen
