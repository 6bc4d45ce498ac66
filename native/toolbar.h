// The buttons of a menu bar's toolbar: kept, changed by the TB_ messages, laid out in a row
// and drawn, with their images taken from strips.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/menu_bar.h"

namespace native {

struct ToolbarButton {
    int image = I_IMAGENONE;
    int command = 0;
    BYTE state = TBSTATE_ENABLED;
    BYTE style = TBSTYLE_BUTTON;
    DWORD_PTR data = 0;
    std::u16string text;
    RECT place{};  // client coordinates, after lay_out

    bool is_separator() const { return (style & TBSTYLE_SEP) != 0; }
    bool is_drop_down() const { return (style & TBSTYLE_DROPDOWN) != 0; }
    bool is_enabled() const { return (state & TBSTATE_ENABLED) != 0; }
    bool is_hidden() const { return (state & TBSTATE_HIDDEN) != 0; }
};

class Toolbar {
public:
    // The answer to a TB_ message; nullopt for a message that is not one.
    std::optional<LRESULT> on_message(UINT message, WPARAM wparam, LPARAM lparam);

    void insert(std::size_t index, ToolbarButton button);
    // Appends count images of width x height from a 32-bit strip; the first's index, -1 on
    // failure.
    int add_images(HBITMAP strip, int count, int width, int height);

    // Places the buttons from the left of a bar of that height, within `room` pixels when
    // narrower spacing makes them fit; `scale` is 1 at 96 dpi.
    void lay_out(HDC dc, HFONT font, int height, int scale, int room);
    // Draws the bar's client area (width x height) onto the context; `pressed` is the index
    // of the button held down, or -1.
    void paint(HDC dc, HFONT font, int width, int height, int scale, int pressed) const;

    // The visible, non-separator button under the point, or -1.
    int button_at(POINT point) const;
    const ToolbarButton& button(std::size_t index) const { return buttons_[index]; }
    std::size_t count() const { return buttons_.size(); }

private:
    struct Image {
        int width = 0;
        int height = 0;
        std::vector<std::uint32_t> pixels;  // 0xAARRGGBB
    };

    // Space around a button's content, a separator's width, and the least button width.
    struct Spacing {
        int padding = 0;
        int separator = 0;
        int least_width = 0;
    };

    static Spacing full_spacing(int height, int scale);
    static int button_width(const ToolbarButton& button, int content, const Spacing& spacing);
    int content_width(HDC dc, const ToolbarButton& button, int scale) const;
    int row_width(const std::vector<int>& contents, const Spacing& spacing) const;
    int index_of_command(int command) const;
    LRESULT set_button_info(int command, const TBBUTTONINFOW* info);
    LRESULT get_button_info(int command, TBBUTTONINFOW* info) const;
    const Image* image(int index) const;
    void draw_image(std::uint32_t* pixels, int stride, int rows, int x, int y, const Image& image, bool enabled) const;

    std::vector<ToolbarButton> buttons_;
    std::vector<Image> images_;
    int padding_ = 0;  // left of a button's content, as laid out
};

}  // namespace native
