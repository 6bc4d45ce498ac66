// Edits the ID3v1 tag of one MP3 file: title, artist, album, year, track, comment and the
// genre, chosen from the ID3v1 genres. The caller reads the tag, hands it to edit and writes
// it back when edit answers true.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/combo_box_generic.h"
#include "skin/edit.h"
#include "skin/form.h"
#include "skin/menu_main_button.h"

namespace audio {
struct Id3Tag;
}

namespace screens {

struct Id3Genre {
    std::u16string name;
    std::int32_t id = 0;
};

// The 149 ID3v1 genres (ids 0 to 147 and 255 for none), sorted by name in code-unit order.
const std::vector<Id3Genre>& id3_genres_by_name();

// Skin form "Id3Tags".
class Id3TagForm : public skinner::Form {
public:
    class GenreCombo : public skinner::ControlComboBoxGenericReadonly<std::vector<Id3Genre>> {
    public:
        GenreCombo(skinner::Container* container, const std::u16string& name,
                   int lookup_mode = skinner::LOOKUP_BY_NAME);

        void on_selection_changed(skinner::Control* sender) override;
        void paint_item(int column, int row, skinner::Canvas& canvas, skinner::Point position, skinner::Size size,
                        bool selected, bool highlighted) override;
        std::u16string get_item_text(int index) override;
        // Selects the genre of that id; "<none>" for an id that is not one.
        void select_id(std::int32_t id);
        std::int32_t get_selected_id();
    };

    Id3TagForm(skinner::Form* owner, skinner::Properties* properties);
    ~Id3TagForm() override;

    // Shows the tag, runs the form and copies the fields back into the tag however the form
    // was closed; true when it was closed with "btnOk".
    bool edit(audio::Id3Tag& tag);

    void on_click(skinner::Control* sender) override;

    skinner::ControlEdit& field(const std::u16string& name);
    GenreCombo& genre() { return genre_; }

private:
    skinner::ControlEdit title_;
    skinner::ControlEdit artist_;
    skinner::ControlEdit album_;
    GenreCombo genre_;
    skinner::ControlEdit year_;
    skinner::ControlEdit track_;
    skinner::ControlEdit comment_;
    skinner::ControlMenuMain menu_;
    bool accepted_ = false;
};

}  // namespace screens
