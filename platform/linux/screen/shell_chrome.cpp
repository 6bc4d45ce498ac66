#include "platform/linux/screen/shell_chrome.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "platform/gdi.h"
#include "platform/linux/gdi/surface.h"
#include "platform/linux/gdi/surface_dc.h"
#include "platform/unicode.h"

namespace platform::screen {
namespace {

constexpr std::uint32_t opaque = 0xFF000000u;

// Colours as 0xRRGGBB.
constexpr std::uint32_t task_bar_top = 0x1E5AAF;
constexpr std::uint32_t task_bar_bottom = 0x0A2F72;
constexpr std::uint32_t ok_fill = 0x3C78D2;
constexpr std::uint32_t white = 0xFFFFFF;
constexpr std::uint32_t bottom_bar_top = 0xEEEEEE;
constexpr std::uint32_t bottom_bar_bottom = 0xCFCFCF;
constexpr std::uint32_t bar_line = 0x8C8C8C;
constexpr std::uint32_t icon_colour = 0x303030;
constexpr std::uint32_t panel_ground = 0xB4B4B4;
constexpr std::uint32_t key_fill = 0xFFFFFF;
constexpr std::uint32_t function_key_fill = 0xE4E4E4;
constexpr std::uint32_t key_text = 0x000000;
constexpr std::uint32_t key_down_fill = 0x000000;
constexpr std::uint32_t cue_colour = 0xD00000;

// Sizes at 96 dpi.
constexpr int title_font = 13;
constexpr int ok_font = 12;
constexpr int key_font = 11;
constexpr int title_left = 6;
constexpr int cue_radius = 14;
constexpr int cue_dot_radius = 2;
constexpr int cue_dot_count = 8;

COLORREF colour_ref(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

std::uint32_t blend(std::uint32_t from, std::uint32_t to, int step, int steps) {
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int const a = static_cast<int>((from >> shift) & 0xFF);
        int const b = static_cast<int>((to >> shift) & 0xFF);
        result |= static_cast<std::uint32_t>(a + (b - a) * step / std::max(steps, 1)) << shift;
    }
    return result;
}

HFONT make_font(int height, bool bold) {
    LOGFONTW font{};
    font.lfHeight = -height;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfQuality = ANTIALIASED_QUALITY;
    constexpr char16_t face[] = u"Tahoma";
    std::copy(std::begin(face), std::end(face), font.lfFaceName);
    return CreateFontIndirectW(&font);
}

bool contains(const ScreenRect& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

ScreenRect relative(const ScreenRect& rect, const ScreenRect& origin) {
    return {rect.left - origin.left, rect.top - origin.top, rect.right - origin.left, rect.bottom - origin.top};
}

}  // namespace

// The pixels of one part: drawn here, read by the compositor with their alpha.
class ShellChrome::Image final : public SurfacePixels, public gdi::PixelSurface {
public:
    explicit Image(const ScreenRect& rect)
        : rect_(rect), width_(std::max(rect.right - rect.left, 1)), height_(std::max(rect.bottom - rect.top, 1)),
          pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {}

    const std::uint32_t* pixels() const override { return pixels_.data(); }
    std::uint32_t* pixels() override { return pixels_.data(); }
    int width() const override { return width_; }
    int height() const override { return height_; }
    int stride() const override { return width_; }
    const ScreenRect& rect() const { return rect_; }
    Layer layer() const { return {this, rect_}; }

    void clear() { std::fill(pixels_.begin(), pixels_.end(), 0u); }
    void put(int x, int y, std::uint32_t rgb) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[static_cast<std::size_t>(y) * width_ + x] = opaque | rgb;
    }
    void fill(const ScreenRect& rect, std::uint32_t rgb) {
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) put(x, y, rgb);
        }
    }
    // Top to bottom from one colour to the other.
    void gradient(std::uint32_t top, std::uint32_t bottom) {
        for (int y = 0; y < height_; ++y) fill({0, y, width_, y + 1}, blend(top, bottom, y, height_ - 1));
    }
    // A rectangle with its corners cut by `corner` pixels.
    void rounded(const ScreenRect& rect, int corner, std::uint32_t rgb) {
        for (int y = rect.top; y < rect.bottom; ++y) {
            int const from_edge = std::min(y - rect.top, rect.bottom - 1 - y);
            int const inset = std::max(corner - from_edge, 0);
            fill({rect.left + inset, y, rect.right - inset, y + 1}, rgb);
        }
    }
    void text(const std::u16string& text, const ScreenRect& rect, int height, bool bold, std::uint32_t rgb, UINT format) {
        if (text.empty()) return;
        HDC const dc = gdi::create_surface_dc(*this, POINT{0, 0}, {RECT{0, 0, width_, height_}});
        if (!dc) return;
        HFONT const font = make_font(height, bold);
        HGDIOBJ const previous = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, colour_ref(rgb));
        RECT box{rect.left, rect.top, rect.right, rect.bottom};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SelectObject(dc, previous);
        DeleteObject(font);
        DeleteDC(dc);
        // Text goes on what was filled before: the box stays opaque, whatever alpha the drawing
        // layer wrote.
        for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, height_); ++y) {
            for (int x = std::max(rect.left, 0); x < std::min(rect.right, width_); ++x)
                pixels_[static_cast<std::size_t>(y) * width_ + x] |= opaque;
        }
    }

private:
    ScreenRect rect_;
    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
};

ShellChrome::ShellChrome(bool shown, const display::ScreenMode& mode) : shown_(shown) { set_mode(mode); }

ShellChrome::~ShellChrome() = default;

void ShellChrome::set_mode(const display::ScreenMode& mode) {
    mode_ = mode;
    layout_ = shell_layout(mode.width, mode.height, mode.dpi, shown_);
    pressed_ = {};
    cue_dots_ = 0;
    cue_.reset();
    if (!shown_) return;
    keyboard_.lay_out(layout_.input_panel);
    task_bar_ = std::make_unique<Image>(layout_.task_bar);
    bottom_bar_ = std::make_unique<Image>(layout_.bottom_bar);
    input_panel_button_ = std::make_unique<Image>(layout_.input_panel_button);
    input_panel_ = std::make_unique<Image>(layout_.input_panel);
    draw_all();
}

void ShellChrome::draw_all() {
    draw_task_bar();
    draw_bottom_bar();
    draw_input_panel_button();
    draw_input_panel();
}

bool ShellChrome::task_bar_shown() const { return shown_ && !front_.hide_task_bar; }

bool ShellChrome::input_panel_button_shown() const { return shown_ && !front_.hide_input_panel_button; }

void ShellChrome::set_front(const ShellFront& front) {
    if (!shown_ || front == front_) return;
    bool const bar_was_shown = task_bar_shown();
    bool const button_was_shown = input_panel_button_shown();
    front_ = front;
    draw_task_bar();
    if (bar_was_shown || task_bar_shown()) damage(layout_.task_bar);
    if (button_was_shown != input_panel_button_shown()) damage(layout_.input_panel_button);
}

void ShellChrome::set_input_panel(bool up) {
    if (!shown_ || up == input_panel_up_) return;
    input_panel_up_ = up;
    draw_input_panel_button();
    damage(layout_.input_panel_button);
    damage(layout_.input_panel);
}

void ShellChrome::set_hold_cue(int x, int y, int dots) {
    if (!shown_) return;
    if (cue_dots_ > 0) damage(cue_rect_);
    cue_dots_ = std::clamp(dots, 0, cue_dot_count);
    if (cue_dots_ == 0) {
        cue_.reset();
        return;
    }
    int const reach = (cue_radius + cue_dot_radius + 1) * layout_.scale;
    cue_rect_ = {x - reach, y - reach, x + reach + 1, y + reach + 1};
    cue_ = std::make_unique<Image>(cue_rect_);
    draw_hold_cue();
    damage(cue_rect_);
}

std::vector<Layer> ShellChrome::layers_below() const {
    if (!shown_) return {};
    return {bottom_bar_->layer()};
}

std::vector<Layer> ShellChrome::layers_above() const {
    std::vector<Layer> layers;
    if (!shown_) return layers;
    if (input_panel_up_) layers.push_back(input_panel_->layer());
    if (input_panel_button_shown()) layers.push_back(input_panel_button_->layer());
    if (task_bar_shown()) layers.push_back(task_bar_->layer());
    if (cue_) layers.push_back(cue_->layer());
    return layers;
}

std::vector<ScreenRect> ShellChrome::take_damage() { return std::exchange(damage_, {}); }

ShellChrome::Pressed ShellChrome::part_at(int x, int y) const {
    if (!shown_) return {};
    if (task_bar_shown() && contains(layout_.task_bar, x, y)) {
        if (front_.ok_button && contains(layout_.ok_button, x, y)) return {Part::ok_button, nullptr};
        return {Part::task_bar, nullptr};
    }
    if (input_panel_button_shown() && contains(layout_.input_panel_button, x, y)) return {Part::input_panel_button, nullptr};
    if (input_panel_up_ && contains(layout_.input_panel, x, y)) return {Part::key, keyboard_.key_at(x, y)};
    return {};
}

bool ShellChrome::press(int x, int y) {
    pressed_ = part_at(x, y);
    if (pressed_.part == Part::key && pressed_.key) {
        draw_input_panel();
        damage(pressed_.key->rect);
    }
    return pressed_.part != Part::none;
}

ShellTap ShellChrome::release(int x, int y) {
    Pressed const pressed = std::exchange(pressed_, {});
    Pressed const here = part_at(x, y);
    ShellTap tap;
    if (pressed.part == Part::key && pressed.key) {
        if (here.key == pressed.key) {
            if (auto const typed = keyboard_.tap(*pressed.key)) {
                tap.action = ShellTap::Action::key;
                tap.key = *typed;
            }
        }
        draw_input_panel();
        damage(layout_.input_panel);
        return tap;
    }
    if (here.part != pressed.part) return tap;
    if (pressed.part == Part::ok_button) tap.action = ShellTap::Action::ok;
    if (pressed.part == Part::input_panel_button) tap.action = ShellTap::Action::toggle_input_panel;
    return tap;
}

void ShellChrome::draw_task_bar() {
    auto& image = *task_bar_;
    int const scale = layout_.scale;
    image.gradient(task_bar_top, task_bar_bottom);
    ScreenRect title_box{title_left * scale, 0, layout_.ok_button.left - title_left * scale, layout_.bar};
    image.text(utf8_to_utf16(front_.title), title_box, title_font * scale, true, white, DT_LEFT);
    if (!front_.ok_button) return;
    ScreenRect const button = relative(layout_.ok_button, layout_.task_bar);
    image.rounded(button, 4 * scale, white);
    ScreenRect const inner{button.left + scale, button.top + scale, button.right - scale, button.bottom - scale};
    image.rounded(inner, 4 * scale - 1, ok_fill);
    image.text(u"ok", inner, ok_font * scale, true, white, DT_CENTER);
}

void ShellChrome::draw_bottom_bar() {
    auto& image = *bottom_bar_;
    image.gradient(bottom_bar_top, bottom_bar_bottom);
    image.fill({0, 0, image.width(), layout_.scale}, bar_line);
}

// A keyboard: a frame with three rows of keys, and beside it an arrow that says which way
// a tap moves the panel.
void ShellChrome::draw_input_panel_button() {
    auto& image = *input_panel_button_;
    int const s = layout_.scale;
    image.gradient(input_panel_up_ ? bottom_bar_bottom : bottom_bar_top, input_panel_up_ ? bottom_bar_top : bottom_bar_bottom);
    image.fill({0, 0, image.width(), s}, bar_line);
    image.fill({0, 0, s, image.height()}, bar_line);
    int const left = 5 * s;
    int const top = (image.height() - 12 * s) / 2;
    ScreenRect const frame{left, top, left + 18 * s, top + 12 * s};
    image.fill(frame, icon_colour);
    image.fill({frame.left + s, frame.top + s, frame.right - s, frame.bottom - s}, white);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 5; ++column) {
            int const x = frame.left + 2 * s + column * 3 * s;
            int const y = frame.top + 2 * s + row * 3 * s;
            int const width = row == 2 && column == 1 ? 8 * s : 2 * s;
            if (row == 2 && column > 1 && column < 4) continue;
            image.fill({x, y, x + width, y + 2 * s}, icon_colour);
        }
    }
    int const arrow_x = frame.right + 2 * s;
    int const arrow_middle = image.height() / 2;
    for (int step = 0; step < 3 * s; ++step) {
        int const y = input_panel_up_ ? arrow_middle - s + step : arrow_middle + s - step;
        image.fill({arrow_x + step, y, arrow_x + 6 * s - step, y + 1}, icon_colour);
    }
}

void ShellChrome::draw_input_panel() {
    auto& image = *input_panel_;
    int const s = layout_.scale;
    image.fill({0, 0, image.width(), image.height()}, panel_ground);
    for (auto const& key : keyboard_.keys()) {
        ScreenRect const box = relative(key.rect, layout_.input_panel);
        ScreenRect const face{box.left + (box.left == 0 ? 0 : s), box.top + s, box.right, box.bottom};
        bool const down = keyboard_.active(key) || (pressed_.part == Part::key && pressed_.key == &key);
        bool const function_key = !key.label.empty() || key.kind != SoftKey::Kind::plain;
        image.fill(face, down ? key_down_fill : function_key ? function_key_fill : key_fill);
        image.text(keyboard_.label(key), face, key_font * s, false, down ? white : key_text, DT_CENTER);
    }
}

void ShellChrome::draw_hold_cue() {
    auto& image = *cue_;
    image.clear();
    int const s = layout_.scale;
    int const centre = image.width() / 2;
    int const dot = cue_dot_radius * s;
    for (int index = 0; index < cue_dots_; ++index) {
        double const angle = -std::numbers::pi / 2 + 2 * std::numbers::pi * index / cue_dot_count;
        int const x = centre + static_cast<int>(std::lround(std::cos(angle) * cue_radius * s));
        int const y = centre + static_cast<int>(std::lround(std::sin(angle) * cue_radius * s));
        for (int dy = -dot; dy <= dot; ++dy) {
            for (int dx = -dot; dx <= dot; ++dx) {
                if (dx * dx + dy * dy <= dot * dot + dot) image.put(x + dx, y + dy, cue_colour);
            }
        }
    }
}

}  // namespace platform::screen
