#include "tools/skin_compiler/skin_checker.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "skin/skin_format.h"
#include "tools/skin_compiler/picture_file.h"
#include "tools/skin_compiler/utf.h"

namespace skin_compiler {
namespace {

using skinner::format::RecordType;

std::string in_quotes(const std::u16string& text) {
    return "\"" + utf16_to_utf8(text) + "\"";
}

class SourceChecker {
public:
    SourceChecker(SkinSource& source, const std::filesystem::path& folder, Diagnostics& diagnostics)
        : source_(source), folder_(folder), diagnostics_(diagnostics) {}

    void check() {
        check_header();
        check_unique_entries(source_.pictures, "picture");
        check_unique_entries(source_.fonts, "font");
        find_picture_sizes();
        check_unique_nodes(source_.forms, "form");
        check_unique_nodes(source_.kinds, "kind");
        for (Node& form : source_.forms) {
            check_node(form);
            check_unique_nodes(form.controls, "control of form " + in_quotes(form.name));
            for (Node& control : form.controls) check_node(control);
            for (AutoControl const& control : form.auto_controls) {
                if (control.name.empty() || control.kind.empty()) {
                    diagnostics_.error(control.line, "automatic control needs a name and a kind");
                }
            }
        }
        for (Node& kind : source_.kinds) check_node(kind);
        check_variants();
    }

private:
    void check_header() {
        std::size_t const longest = skinner::format::header_text_units - 1;
        if (source_.compatibility_name.size() > longest) diagnostics_.error(1, "compatibility name longer than 31 characters");
        if (source_.device_letters.size() > longest) diagnostics_.error(1, "device letters longer than 31 characters");
        if (source_.screens.size() > skinner::format::screen_entry_count) diagnostics_.error(1, "more than 32 screen sizes");
    }

    void check_unique_entries(const std::vector<NamedEntry>& entries, const std::string& what) {
        std::set<std::u16string> seen;
        for (NamedEntry const& entry : entries) {
            if (!seen.insert(entry.text).second) diagnostics_.error(entry.line, "duplicate " + what + " " + in_quotes(entry.text));
        }
    }

    void check_unique_nodes(const std::vector<Node>& nodes, const std::string& what) {
        std::set<std::u16string> seen;
        for (Node const& node : nodes) {
            if (node.name.empty()) diagnostics_.error(node.line, what + " without a name");
            if (!seen.insert(node.name).second) diagnostics_.error(node.line, "duplicate " + what + " " + in_quotes(node.name));
        }
    }

    void find_picture_sizes() {
        for (NamedEntry const& picture : source_.pictures) {
            std::optional<std::filesystem::path> file = find_picture_file(folder_, utf16_to_utf8(picture.text));
            std::optional<skinner::Size> size = file ? read_picture_size(*file) : std::nullopt;
            if (!file) {
                diagnostics_.error(picture.line, "missing picture " + in_quotes(picture.text) + ": no .gif, .bmp, .png or .jpg "
                                                 "of that name in " + folder_.string());
            } else if (!size) {
                diagnostics_.error(picture.line, "picture " + file->string() + " is not a GIF, BMP, PNG or JPEG file");
            }
            sizes_.push_back(size);
        }
    }

    void check_node(Node& node) {
        std::set<std::pair<int, std::u16string>> seen;
        for (Property& property : node.properties) {
            if (!seen.insert({static_cast<int>(property.type), property.name}).second) {
                diagnostics_.error(property.line, "duplicate property " + in_quotes(property.name) + " in " + in_quotes(node.name));
            }
            if (property.type == RecordType::picture) check_picture(property);
        }
    }

    void check_picture(Property& property) {
        PictureValue& picture = property.picture;
        if (picture.picture < 0 || static_cast<std::size_t>(picture.picture) >= sizes_.size()) return;
        std::optional<skinner::Size> size = sizes_[picture.picture];
        if (!size) return;
        if (!picture.has_outer) {
            auto& c = picture.corners;
            c = {0, 0, 0, 0, size->width, size->height, size->width, size->height};
            if (picture.has_inner) diagnostics_.error(property.line, "inner corners need outer corners");
        }
        auto const& c = picture.corners;
        bool ordered = c[0] <= c[2] && c[2] <= c[4] && c[4] <= c[6] && c[1] <= c[3] && c[3] <= c[5] && c[5] <= c[7];
        if (!ordered) {
            diagnostics_.error(property.line, "picture " + in_quotes(property.name) +
                                                  ": corners must run outer left/top <= inner left/top <= inner "
                                                  "right/bottom <= outer right/bottom");
        }
        if (c[6] > size->width || c[7] > size->height) {
            diagnostics_.error(property.line, "picture " + in_quotes(property.name) + " reaches outside its picture " +
                                                  in_quotes(source_.pictures[picture.picture].text) + " of " +
                                                  std::to_string(size->width) + " x " + std::to_string(size->height));
        }
    }

    void check_variants() {
        std::set<std::u16string> names;
        for (Node const& form : source_.forms) names.insert(form.name);
        for (Node const& form : source_.forms) {
            if (!form.variant_of.empty()) {
                bool prefix = form.variant_of.size() < form.name.size() && form.name.starts_with(form.variant_of);
                if (!prefix || !names.count(form.variant_of)) {
                    diagnostics_.error(form.line, "form " + in_quotes(form.name) + " cannot be a variant of " +
                                                      in_quotes(form.variant_of) + ": no such form begins its name");
                }
                continue;
            }
            for (std::u16string const& other : names) {
                if (other.size() < form.name.size() && form.name.starts_with(other)) {
                    diagnostics_.warning(form.line, "form " + in_quotes(other) + " is a prefix of form " + in_quotes(form.name) +
                                                        ": a request for " + in_quotes(other) + " also chooses among " +
                                                        in_quotes(form.name) + "; mark it variant-of=" + in_quotes(other) +
                                                        " if it is a size variant, else rename one");
                }
            }
        }
    }

    SkinSource& source_;
    std::filesystem::path folder_;
    Diagnostics& diagnostics_;
    std::vector<std::optional<skinner::Size>> sizes_;
};

}  // namespace

void check_skin_source(SkinSource& source, const std::filesystem::path& picture_folder, Diagnostics& diagnostics) {
    SourceChecker(source, picture_folder, diagnostics).check();
}

}  // namespace skin_compiler
