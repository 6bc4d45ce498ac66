// A skin as its source describes it: what the skin compiler writes into a skin image and
// what it reads back out of one.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "skin/geometry.h"
#include "skin/skin_format.h"

namespace skin_compiler {

// A refusal or a warning, with the source line it is about (0: none).
struct Diagnostic {
    int line = 0;
    std::string message;
};

struct Diagnostics {
    std::vector<Diagnostic> errors;
    std::vector<Diagnostic> warnings;
    void error(int line, std::string message) { errors.push_back({line, std::move(message)}); }
    void warning(int line, std::string message) { warnings.push_back({line, std::move(message)}); }
    bool ok() const { return errors.empty(); }
};

struct PictureValue {
    int picture = 0;  // index into the skin's picture list
    // left, top, inner left, inner top, inner right, inner bottom, right, bottom
    std::array<int, 8> corners{};
    bool stretch = false;
    // Whether the source gave the outer and the inner corners; without them the part is the
    // whole picture and the inner corners are the outer ones.
    bool has_outer = true;
    bool has_inner = true;
};

struct Property {
    skinner::format::RecordType type = skinner::format::RecordType::integer;
    std::u16string name;
    int line = 0;
    std::int32_t integer = 0;
    skinner::Point point;
    std::u16string text;
    std::uint32_t color = 0;  // red in the lowest byte
    PictureValue picture;
    int font = 0;  // index into the skin's font list
};

struct AutoControl {
    std::u16string name;
    std::u16string kind;
    int line = 0;
};

// A form, a control of a form, or a kind.
struct Node {
    std::u16string name;
    int line = 0;
    std::u16string variant_of;  // forms: the form this one is a size variant of
    std::vector<Property> properties;
    std::vector<AutoControl> auto_controls;  // forms only
    std::vector<Node> controls;              // forms only
};

struct NamedEntry {
    std::u16string text;
    int line = 0;
};

struct SkinSource {
    std::u16string compatibility_name;
    std::u16string device_letters;
    std::vector<skinner::Size> screens;  // up to 32; the rest of the table is empty
    std::vector<NamedEntry> pictures;    // base names, without extension
    std::vector<NamedEntry> fonts;       // descriptions such as "14 1 0 0 Tahoma"
    std::vector<Node> forms;
    std::vector<Node> kinds;
};

}  // namespace skin_compiler
