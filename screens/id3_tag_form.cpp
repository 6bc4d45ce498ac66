#include "screens/id3_tag_form.h"

#include <algorithm>

#include "audio/id3_tag.h"
#include "foundation/small_helpers.h"
#include "foundation/text_parse.h"
#include "skin/drop_down_list.h"

namespace screens {

namespace {

constexpr std::int32_t no_genre = 255;

// The names of genres 0 to 147, in id order.
constexpr const char16_t* genre_names[] = {
    u"Blues", u"Classic Rock", u"Country", u"Dance", u"Disco", u"Funk", u"Grunge", u"Hip-Hop", u"Jazz", u"Metal",
    u"New Age", u"Oldies", u"Other", u"Pop", u"R&B", u"Rap", u"Reggae", u"Rock", u"Techno", u"Industrial",
    u"Alternative", u"Ska", u"Death Metal", u"Pranks", u"Soundtrack", u"Euro-Techno", u"Ambient", u"Trip-Hop",
    u"Vocal", u"Jazz+Funk", u"Fusion", u"Trance", u"Classical", u"Instrumental", u"Acid", u"House", u"Game",
    u"Sound Clip", u"Gospel", u"Noise", u"Alt. Rock", u"Bass", u"Soul", u"Punk", u"Space", u"Meditative",
    u"Instrumental Pop", u"Instrumental Rock", u"Ethnic", u"Gothic", u"Darkwave", u"Techno-Industrial",
    u"Electronic", u"Pop-Folk", u"Eurodance", u"Dream", u"Southern Rock", u"Comedy", u"Cult", u"Gangsta Rap",
    u"Top 40", u"Christian Rap", u"Pop/Funk", u"Jungle", u"Native American", u"Cabaret", u"New Wave",
    u"Psychedelic", u"Rave", u"Showtunes", u"Trailer", u"Lo-Fi", u"Tribal", u"Acid Punk", u"Acid Jazz", u"Polka",
    u"Retro", u"Musical", u"Rock & Roll", u"Hard Rock", u"Folk", u"Folk/Rock", u"National Folk", u"Swing",
    u"Fast-Fusion", u"Bebob", u"Latin", u"Revival", u"Celtic", u"Bluegrass", u"Avantgarde", u"Gothic Rock",
    u"Progressive Rock", u"Psychedelic Rock", u"Symphonic Rock", u"Slow Rock", u"Big Band", u"Chorus",
    u"Easy Listening", u"Acoustic", u"Humour", u"Speech", u"Chanson", u"Opera", u"Chamber Music", u"Sonata",
    u"Symphony", u"Booty Bass", u"Primus", u"Porn Groove", u"Satire", u"Slow Jam", u"Club", u"Tango", u"Samba",
    u"Folklore", u"Ballad", u"Power Ballad", u"Rhythmic Soul", u"Freestyle", u"Duet", u"Punk Rock", u"Drum Solo",
    u"A Cappella", u"Euro-House", u"Dance Hall", u"Goa", u"Drum & Bass", u"Club-House", u"Hardcore", u"Terror",
    u"Indie", u"BritPop", u"Negerpunk", u"Polsk Punk", u"Beat", u"Christian Gangsta Rap", u"Heavy Metal",
    u"Black Metal", u"Crossover", u"Contemporary Christian", u"Christian Rock", u"Merengue", u"Salsa",
    u"Thrash Metal", u"Anime", u"JPop", u"Synthpop",
};

}  // namespace

const std::vector<Id3Genre>& id3_genres_by_name() {
    static const std::vector<Id3Genre> genres = [] {
        std::vector<Id3Genre> all;
        std::int32_t id = 0;
        for (const char16_t* name : genre_names) all.push_back({name, id++});
        all.push_back({u"<none>", no_genre});
        std::stable_sort(all.begin(), all.end(), [](const Id3Genre& a, const Id3Genre& b) { return a.name < b.name; });
        return all;
    }();
    return genres;
}

Id3TagForm::GenreCombo::GenreCombo(skinner::Container* container, const std::u16string& name, int lookup_mode)
    : ControlComboBoxGenericReadonly(container, name, lookup_mode) {
    set_items(id3_genres_by_name());
    set_selected_index(0);
}

std::u16string Id3TagForm::GenreCombo::get_item_text(int index) {
    if (index < 0 || index >= get_item_count()) return {};
    return items_[static_cast<std::size_t>(index)].name;
}

void Id3TagForm::GenreCombo::on_selection_changed(skinner::Control*) {
    int const index = std::max(get_selected_index(), 0);
    get_text_frame().set_text(get_item_text(index));
}

void Id3TagForm::GenreCombo::paint_item(int, int row, skinner::Canvas& canvas, skinner::Point position,
                                        skinner::Size size, bool selected, bool highlighted) {
    skinner::List* const list = get_list();
    if (!list || row < 0 || row >= get_item_count()) return;
    const skinner::StateLook& look = list->get_item_look(selected, highlighted);
    look.picture.draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
    look.font.draw_text(canvas, look.colour, items_[static_cast<std::size_t>(row)].name, POINT{position.x, position.y},
                        POINT{size.width, size.height}, 1, 1);
}

void Id3TagForm::GenreCombo::select_id(std::int32_t id) {
    set_selected_index(0);
    for (int index = 0; index < get_item_count(); ++index) {
        if (items_[static_cast<std::size_t>(index)].id == id) {
            set_selected_index(index);
            return;
        }
    }
}

std::int32_t Id3TagForm::GenreCombo::get_selected_id() {
    int const index = get_selected_index();
    if (index < 0 || index >= get_item_count()) return no_genre;
    return items_[static_cast<std::size_t>(index)].id;
}

Id3TagForm::Id3TagForm(skinner::Form* owner, skinner::Properties* properties)
    : skinner::Form(owner, properties, u"Id3Tags", owner),
      title_(this, u"txtTitle"),
      artist_(this, u"txtArtist"),
      album_(this, u"txtAlbum"),
      genre_(this, u"cbGenre"),
      year_(this, u"txtYear"),
      track_(this, u"txtTrack"),
      comment_(this, u"txtComment"),
      menu_(this, u"MenuMain") {}

Id3TagForm::~Id3TagForm() = default;

skinner::ControlEdit& Id3TagForm::field(const std::u16string& name) {
    for (skinner::ControlEdit* edit : {&title_, &artist_, &album_, &year_, &track_, &comment_}) {
        if (edit->get_name() == name) return *edit;
    }
    return title_;
}

bool Id3TagForm::edit(audio::Id3Tag& tag) {
    title_.set_text(tag.title);
    artist_.set_text(tag.artist);
    album_.set_text(tag.album);
    year_.set_text(tag.year);
    comment_.set_text(tag.comment);
    track_.set_text(liba::int_to_wstring(static_cast<int>(tag.track)));
    genre_.select_id(static_cast<std::int32_t>(tag.genre));
    do_modal();
    tag.title = title_.get_text();
    tag.artist = artist_.get_text();
    tag.album = album_.get_text();
    tag.year = year_.get_text();
    tag.comment = comment_.get_text();
    // "7a" gives 7, "x" gives 0; an empty field keeps the track that was read.
    auto track = static_cast<int>(tag.track);
    std::u16string const& text = track_.get_text();
    liba::parse_int(track, text.data(), text.data() + text.size());
    tag.track = static_cast<std::uint32_t>(track);
    tag.genre = static_cast<std::uint32_t>(genre_.get_selected_id());
    return accepted_;
}

void Id3TagForm::on_click(skinner::Control* sender) {
    if (sender == nullptr || sender->get_name() != u"btnOk") return;
    accepted_ = true;
    close();
}

}  // namespace screens
