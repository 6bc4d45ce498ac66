// The skin and the language table of a form, and every lookup in them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "foundation/nocopy.h"
#include "foundation/string_translator.h"
#include "skin/geometry.h"
#include "skin/properties_impl.h"
#include "skin/skin_resources.h"

namespace skinner {

// Lookups go by (form name, control name, property name). A non-empty form name means the
// control inside the variant of that form chosen for the screen; an empty form name means
// the kind of that name. A missing property gives the caller's default; a missing form,
// control or kind, and any lookup in an invalid skin, raise the reports of skin_report.h.
class Properties : liba::Nocopy {
public:
    // An empty (invalid) skin and an empty language table.
    Properties();
    Properties(const std::u16string& skin_path, Size screen);
    // Takes a skin loaded beforehand.
    explicit Properties(std::unique_ptr<PropertiesImpl> skin);
    ~Properties();

    bool is_loaded() const { return skin_->is_valid(); }
    bool is_suitable(const std::u16string& compatibility_name, Size screen) const;

    // Each replaces its part and refreshes every form that uses these properties; set_skin
    // does not test the new skin.
    void set_skin(const std::u16string& skin_path, Size screen);
    void set_skin(std::unique_ptr<PropertiesImpl> skin);
    // False, with the table kept, when the file does not load.
    bool set_language(const std::u16string& language_path);
    void set_skin_and_language(const std::u16string& skin_path, const std::u16string& language_path, Size screen);
    // The same as set_skin_and_language.
    void load(const std::u16string& skin_path, const std::u16string& language_path, Size screen) {
        set_skin_and_language(skin_path, language_path, screen);
    }

    // The language table's text, else the key (or the default).
    std::u16string translate(const std::u16string& key) const;
    std::u16string translate(const std::u16string& key, const std::u16string& default_text) const;

    std::int32_t get_integer(const std::u16string& form, const std::u16string& control, const std::u16string& name,
                             std::int32_t default_value);
    // Times the skin's scale; the default is not scaled.
    std::int32_t get_scaled_integer(const std::u16string& form, const std::u16string& control,
                                    const std::u16string& name, std::int32_t default_value);
    Point get_point(const std::u16string& form, const std::u16string& control, const std::u16string& name,
                    Point default_value);
    // Through the language table; the default comes back as given.
    std::u16string get_string(const std::u16string& form, const std::u16string& control, const std::u16string& name,
                              const std::u16string& default_value);
    std::uint32_t get_color(const std::u16string& form, const std::u16string& control, const std::u16string& name,
                            std::uint32_t default_value);
    // The untranslated text that names a system cursor; the cursor table maps it.
    std::u16string get_cursor_name(const std::u16string& form, const std::u16string& control,
                                   const std::u16string& name, const std::u16string& default_value);
    // The skin picture the property names, with the property's corners (times the scale)
    // and stretch flag.
    PictureRef get_picture(const std::u16string& form, const std::u16string& control, const std::u16string& name,
                           const PictureRef& default_value);
    // The skin font the property names.
    FontRef get_font(const std::u16string& form, const std::u16string& control, const std::u16string& name,
                     const FontRef& default_value);
    // The same records as read: the picture part with its corners times the scale, and the
    // index of the skin font.
    PicturePart get_picture_part(const std::u16string& form, const std::u16string& control, const std::u16string& name,
                                 const PicturePart& default_value);
    int get_font_index(const std::u16string& form, const std::u16string& control, const std::u16string& name,
                       int default_value);

    // The chosen form variant's own records.
    std::int32_t get_form_integer(const std::u16string& form, const std::u16string& name, std::int32_t default_value);
    Point get_form_point(const std::u16string& form, const std::u16string& name, Point default_value);
    PictureRef get_form_picture(const std::u16string& form, const std::u16string& name,
                                const PictureRef& default_value);
    PicturePart get_form_picture_part(const std::u16string& form, const std::u16string& name,
                                      const PicturePart& default_value);
    // The automatic controls of the chosen form variant: how many, and the name and kind of
    // one (index below the count).
    std::uint32_t get_auto_control_count(const std::u16string& form);
    std::pair<std::u16string, std::u16string> get_auto_control(const std::u16string& form, std::uint32_t index);

    // The node of the control (or kind), 0 for both names empty.
    std::uint32_t find_node(const std::u16string& form, const std::u16string& control);
    std::uint32_t find_form(const std::u16string& form);

    // Logs the cost of reloading every form that uses these properties.
    void refresh_skin();
    // What refresh_skin calls to reload the forms; the forms install it.
    using FormRefresher = std::function<void(Properties&)>;
    static FormRefresher set_form_refresher(FormRefresher refresher);

    PropertiesImpl& get_skin() { return *skin_; }
    const PropertiesImpl& get_skin() const { return *skin_; }
    const liba::StringTranslator& get_language() const { return *language_; }

private:
    std::uint32_t choose_form(const std::u16string& form);
    void check_skin();
    PicturePart scaled(PicturePart part) const;

    std::unique_ptr<PropertiesImpl> skin_;
    std::unique_ptr<liba::StringTranslator> language_;
};

}  // namespace skinner
