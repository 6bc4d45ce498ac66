// The header of a skin image: its validity, whether the skin suits a screen, and the
// picture scale chosen for a screen.
#pragma once

#include <string>

#include "skin/geometry.h"
#include "skin/skin_image.h"

namespace skinner {

// At least a header's bytes, both 32-unit text fields terminated with only zero units after
// the terminator (compatibility name first, then device letters), and the magic.
bool is_header_valid(const SkinImage& image);

struct Suitability {
    bool suitable = false;
    Size entry;     // the screen-size entry that fits the screen exactly, else 0 x 0
    int scale = 1;  // the factor of that fit, else 1
};

// On a valid header: the device letters admit the device (empty text, else it holds the
// device letter), a non-empty compatibility name equals the skin's, and the screen is
// 0 x 0, or some entry times a scale of 1 to 4 equals it, or the skin declares no sizes.
Suitability test_suitability(const SkinImage& image, const std::u16string& compatibility_name, Size screen);

// On a valid header: the exact fit when there is one, else the scale whose entry leaves the
// least of the screen over (score (W - w*s) * H + (H - h*s), lower scale and earlier entry
// first); 1 when the screen is 0 x 0, the skin declares no sizes, or nothing fits.
int choose_scale(const SkinImage& image, Size screen);

// The letter that the skin's device letters must hold on this device ("P": Pocket PC).
char16_t device_letter();

}  // namespace skinner
