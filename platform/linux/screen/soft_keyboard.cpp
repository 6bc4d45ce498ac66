#include "platform/linux/screen/soft_keyboard.h"

#include <cwctype>

namespace platform::screen {
namespace {

// A row is 30 half-units wide; five rows fill the panel.
constexpr int units_per_row = 30;
constexpr int row_count = 5;

struct KeyShape {
    int units;
    const char16_t* label;
    std::uint32_t vk;
    char16_t lower;
    char16_t upper;
    SoftKey::Kind kind = SoftKey::Kind::plain;
};

KeyShape typing(char16_t lower, char16_t upper, std::uint32_t vk) { return {2, nullptr, vk, lower, upper}; }

KeyShape letter(char16_t lower) {
    return typing(lower, static_cast<char16_t>(lower - u'a' + u'A'), static_cast<std::uint32_t>(lower - u'a' + 'A'));
}

std::vector<std::vector<KeyShape>> rows() {
    std::vector<KeyShape> digits{typing(u'`', u'~', 0xC0)};
    char16_t const shifted_digits[] = u"!@#$%^&*()";
    for (int digit = 1; digit <= 10; ++digit) {
        auto const character = static_cast<char16_t>(u'0' + digit % 10);
        digits.push_back(typing(character, shifted_digits[digit - 1], character));
    }
    digits.push_back(typing(u'-', u'_', 0xBD));
    digits.push_back(typing(u'=', u'+', 0xBB));
    digits.push_back({4, u"\u2190", 0x08, 0x08, 0x08});

    std::vector<KeyShape> top{{3, u"Tab", 0x09, 0x09, 0x09}};
    for (char16_t c : std::u16string(u"qwertyuiop")) top.push_back(letter(c));
    top.push_back(typing(u'[', u'{', 0xDB));
    top.push_back(typing(u']', u'}', 0xDD));
    top.push_back({3, nullptr, 0xDC, u'\\', u'|'});

    std::vector<KeyShape> home{{4, u"CAP", 0x14, 0, 0, SoftKey::Kind::caps}};
    for (char16_t c : std::u16string(u"asdfghjkl")) home.push_back(letter(c));
    home.push_back(typing(u';', u':', 0xBA));
    home.push_back(typing(u'\'', u'"', 0xDE));
    home.push_back({4, u"\u21B5", 0x0D, 0x0D, 0x0D});

    std::vector<KeyShape> bottom{{5, u"Shift", 0x10, 0, 0, SoftKey::Kind::shift}};
    for (char16_t c : std::u16string(u"zxcvbnm")) bottom.push_back(letter(c));
    bottom.push_back(typing(u',', u'<', 0xBC));
    bottom.push_back(typing(u'.', u'>', 0xBE));
    bottom.push_back(typing(u'/', u'?', 0xBF));
    bottom.push_back({5, u"Shift", 0x10, 0, 0, SoftKey::Kind::shift});

    std::vector<KeyShape> space{{3, u"\u25C0", 0x25, 0, 0},
                               {3, u"\u25B6", 0x27, 0, 0},
                               {18, u"", 0x20, u' ', u' '},
                               {3, u"\u25B2", 0x26, 0, 0},
                               {3, u"\u25BC", 0x28, 0, 0}};
    return {digits, top, home, bottom, space};
}

bool contains(const ScreenRect& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

bool is_letter(char16_t character) { return character >= u'a' && character <= u'z'; }

}  // namespace

void SoftKeyboard::lay_out(const ScreenRect& panel) {
    keys_.clear();
    int const width = panel.right - panel.left;
    int const height = panel.bottom - panel.top;
    auto const all = rows();
    for (int row = 0; row < row_count; ++row) {
        int const top = panel.top + height * row / row_count;
        int const bottom = panel.top + height * (row + 1) / row_count;
        int units = 0;
        for (auto const& shape : all[static_cast<std::size_t>(row)]) {
            SoftKey key;
            key.rect = {panel.left + width * units / units_per_row, top,
                        panel.left + width * (units + shape.units) / units_per_row, bottom};
            units += shape.units;
            if (shape.label) key.label = shape.label;
            key.vk = shape.vk;
            key.lower = shape.lower;
            key.upper = shape.upper;
            key.kind = shape.kind;
            keys_.push_back(key);
        }
    }
}

const SoftKey* SoftKeyboard::key_at(int x, int y) const {
    for (auto const& key : keys_) {
        if (contains(key.rect, x, y)) return &key;
    }
    return nullptr;
}

bool SoftKeyboard::upper_case(const SoftKey& key) const {
    // Caps shifts letters only; shift inverts it for letters, as a keyboard does.
    return is_letter(key.lower) ? shift_ != caps_ : shift_;
}

std::optional<TypedKey> SoftKeyboard::tap(const SoftKey& key) {
    if (key.kind == SoftKey::Kind::shift) {
        shift_ = !shift_;
        return std::nullopt;
    }
    if (key.kind == SoftKey::Kind::caps) {
        caps_ = !caps_;
        return std::nullopt;
    }
    TypedKey typed{key.vk, upper_case(key) ? key.upper : key.lower};
    shift_ = false;
    return typed;
}

std::u16string SoftKeyboard::label(const SoftKey& key) const {
    if (!key.label.empty() || key.lower == u' ') return key.label;
    return std::u16string(1, upper_case(key) ? key.upper : key.lower);
}

bool SoftKeyboard::active(const SoftKey& key) const {
    return (key.kind == SoftKey::Kind::shift && shift_) || (key.kind == SoftKey::Kind::caps && caps_);
}

}  // namespace platform::screen
