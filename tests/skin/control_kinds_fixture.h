// The control kinds on a small compiled test skin with solid-colour pictures of known sizes,
// a form that logs the value events, and a memory surface to paint one control on.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/gdi.h"
#include "skin/control.h"
#include "tests/skin/form_fixture.h"

namespace form_test {

// Pictures of the skin (all opaque unless said): "red", "green", "yellow" and "blue" 8 x 8;
// "digit" 10 x 16 white, "colon" 4 x 16 white, "tall" 10 x 20 white; "wide" 200 x 100 and
// "square" 40 x 40 green; "half" 20 x 20 see-through on its left half, red on its right.
// The font "14 1 0 0 Tahoma" is the skin's only font.
constexpr std::uint32_t red = 0xFF0000, green = 0x00FF00, yellow = 0xFFFF00, blue = 0x0000FF, white = 0xFFFFFF;

// A whole picture as a stretched property.
std::string picture_xml(const std::string& key, const std::string& image);
std::string integer_xml(const std::string& key, int value);
std::string string_xml(const std::string& key, const std::string& value);

// Logs on_value_changed ("value NAME 0.5"), on_progress_changed ("progress NAME") and
// on_click with the sender's name, as TestForm does.
class EventForm : public TestForm {
public:
    EventForm(skinner::Properties* properties, const std::u16string& name, Log& log);
    void on_value_changed(skinner::Control* sender, double value) override;
    void on_progress_changed(skinner::Control* sender) override;

private:
    Log& log_;
};

// A memory context with a top-down 32-bit DIB section, black at first.
class Surface {
public:
    Surface(int width, int height);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Paints the control as its form would, clipped to the surface.
    void paint(skinner::Control& control);
    HDC dc() const { return dc_; }
    std::uint32_t at(int x, int y) const { return bits_[y * width_ + x] & 0x00FFFFFF; }
    // Pixels of the rectangle [left, right) x [top, bottom) that differ from the value.
    int count_not(std::uint32_t value, RECT r) const;

private:
    int width_, height_;
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ previous_;
    std::uint32_t* bits_ = nullptr;
};

class ControlKindsTest : public FormTest {
protected:
    ControlKindsTest() = default;
    // On a screen of another size ("480x640"); load the skin for that screen too.
    explicit ControlKindsTest(const char* screen_size) : FormTest(screen_size) {}

    // Compiles the forms with the pictures above, made for 240 x 320 and loaded for the
    // screen given (twice the scale on 480 x 640).
    void use_kinds_skin(const std::string& forms, skinner::Size screen = {240, 320});
    bool logged(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
};

}  // namespace form_test
