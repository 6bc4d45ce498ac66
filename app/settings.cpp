#include "app/settings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "app/hardware_key_count.h"
#include "app/settings_attributes.h"
#include "foundation/file_info.h"
#include "foundation/log.h"
#include "foundation/paths.h"
#include "foundation/small_helpers.h"
#include "foundation/xml_node.h"

namespace {

// Decimal text: white space and a sign before the digits, anything after them ignored.
// False (value unchanged) without digits or when the number does not fit an int.
bool parse_int(const std::u16string& text, int& value) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    std::int64_t number = 0;
    std::size_t const first_digit = i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        number = number * 10 + (text[i] - u'0');
        if (number > std::int64_t{INT32_MAX} + 1) return false;
    }
    if (i == first_digit) return false;
    if (negative) number = -number;
    if (number < INT32_MIN || number > INT32_MAX) return false;
    value = static_cast<int>(number);
    return true;
}

// The stored fields in the file's order, each with its element and attribute. Saving and
// loading walk the same list, so the two cannot drift apart.
template <class Record, class Visitor>
void visit_fields(Record& s, Visitor& v) {
    v.text(u"Record", u"Codec", s.record.codec);
    v.integer(u"Record", u"Channels", s.record.channels);
    v.integer(u"Record", u"Bits", s.record.bits);
    v.integer(u"Record", u"Samples", s.record.samples);
    v.integer(u"Record", u"Bitrate", s.record.bitrate);
    v.boolean(u"Record", u"DefaultFolder", s.record.default_folder);
    v.text(u"Record", u"Folder", s.record.folder);
    v.boolean(u"Record", u"DateFolder", s.record.date_folder);
    v.text(u"Record", u"Prefix", s.record.prefix);
    v.boolean(u"Record", u"IncludeDate", s.record.include_date);
    v.integer(u"Record", u"TurnOff", s.record.turn_off);
    v.boolean(u"Record", u"VASOn", s.record.vas_on);
    v.real(u"Record", u"Vas", s.record.vas);
    v.real(u"Record", u"Input", s.record.input);

    v.real(u"Play", u"Volume", s.play.volume);
    v.play_mode(u"Play", u"Mode", s.play.mode);
    v.integer(u"Play", u"TurnOff", s.play.turn_off);
    v.text(u"Play", u"AssociateMP3Cmd", s.play.associate_mp3_cmd);
    v.text(u"Play", u"AssociateWAVCmd", s.play.associate_wav_cmd);
    v.text(u"Play", u"AssociateM3UCmd", s.play.associate_m3u_cmd);
    v.text(u"Play", u"AssociateOGGCmd", s.play.associate_ogg_cmd);
    v.text(u"Play", u"AssociateWMACmd", s.play.associate_wma_cmd);
    v.text(u"Play", u"AssociateMP3Icon", s.play.associate_mp3_icon);
    v.text(u"Play", u"AssociateWAVIcon", s.play.associate_wav_icon);
    v.text(u"Play", u"AssociateM3UIcon", s.play.associate_m3u_icon);
    v.text(u"Play", u"AssociateOGGIcon", s.play.associate_ogg_icon);
    v.text(u"Play", u"AssociateWMAIcon", s.play.associate_wma_icon);
    v.level(u"Play", u"Booster", s.play.booster);
    v.level(u"Play", u"Noise", s.play.noise);
    v.level(u"Play", u"Limiter", s.play.limiter);
    v.real(u"Play", u"Speed", s.play.speed);
    v.boolean(u"Play", u"PitchLock", s.play.pitch_lock);

    v.text(u"Language", u"Language", s.language);
    v.text(u"Skin", u"Skin", s.skin);

    v.boolean(u"FileExplorer", u"ShowFolders", s.file_explorer.show_folders);
    v.text(u"FileExplorer", u"Folder", s.file_explorer.folder);
    v.sort_order(u"FileExplorer", u"Sort", s.file_explorer.sort);

    for (std::size_t key = 0; key < s.buttons.keys.size(); ++key) {
        v.text(u"Buttons", u"Button" + liba::int_to_wstring(static_cast<int>(key)), s.buttons.keys[key]);
    }
    v.boolean(u"Buttons", u"UnmapWhenInactive", s.buttons.unmap_when_inactive);
    v.text(u"Buttons", u"JoyLeftAction", s.buttons.joy_left_action);
    v.text(u"Buttons", u"JoyRightAction", s.buttons.joy_right_action);
}

class FieldWriter {
public:
    explicit FieldWriter(const os::XmlNode& root) : root_(root) {}

    void text(const char16_t* element, const std::u16string& name, const std::u16string& value) {
        liba::write_attribute_text(root_.find_child(element), name, value);
    }
    void integer(const char16_t* element, const std::u16string& name, int value) {
        liba::write_attribute_int(root_.find_child(element), name, value);
    }
    void level(const char16_t* element, const std::u16string& name, int value) { integer(element, name, value); }
    void boolean(const char16_t* element, const std::u16string& name, bool value) {
        liba::write_attribute_bool(root_.find_child(element), name, value);
    }
    void real(const char16_t* element, const std::u16string& name, double value) {
        write_attribute_double(root_.find_child(element), name, value);
    }
    void play_mode(const char16_t* element, const std::u16string& name, int value) {
        write_attribute_play_mode(root_.find_child(element), name, value);
    }
    void sort_order(const char16_t* element, const std::u16string& name, int value) {
        write_attribute_sort_order(root_.find_child(element), name, value);
    }

private:
    os::XmlNode root_;
};

// Each read that fails leaves the field as it was.
class FieldReader {
public:
    explicit FieldReader(const os::XmlNode& root) : root_(root) {}

    void text(const char16_t* element, const std::u16string& name, std::u16string& value) {
        liba::read_attribute_text(root_.find_child(element), name, value);
    }
    // A number too large for the field is not taken (it would wrap to another value).
    void integer(const char16_t* element, const std::u16string& name, int& value) {
        std::u16string text;
        if (root_.find_child(element).get_attribute(name, text)) parse_int(text, value);
    }
    // The levels index the level filter's tables: a value outside them is not taken.
    void level(const char16_t* element, const std::u16string& name, int& value) {
        int read = 0;
        if (liba::read_attribute_int(root_.find_child(element), name, read) && read >= 0 &&
            read <= Settings::max_level) {
            value = read;
        }
    }
    void boolean(const char16_t* element, const std::u16string& name, bool& value) {
        liba::read_attribute_bool(root_.find_child(element), name, value);
    }
    void real(const char16_t* element, const std::u16string& name, double& value) {
        read_attribute_double(root_.find_child(element), name, value);
    }
    void play_mode(const char16_t* element, const std::u16string& name, int& value) {
        read_attribute_play_mode(root_.find_child(element), name, value);
    }
    void sort_order(const char16_t* element, const std::u16string& name, int& value) {
        read_attribute_sort_order(root_.find_child(element), name, value);
    }

private:
    os::XmlNode root_;
};

// The nearest value of the range; a value that is no number at all becomes the fallback.
double limit(double value, double low, double high, double fallback) {
    if (std::isnan(value)) return fallback;
    return std::clamp(value, low, high);
}

// A band's filter needs a centre above 0 Hz and a width that is not negative.
void limit(EqualizerBand& band, const EqualizerBand& defaults) {
    if (!(band.frequency > 0.0)) band.frequency = defaults.frequency;
    band.width = std::max(band.width, 0.0);
}

// Keeps a file that cannot be read as settings under a name of its own, so that the next
// save does not replace it. An earlier kept file is not replaced either.
void keep_unreadable_file(const std::u16string& path) {
    for (int attempt = 1; attempt < 100; ++attempt) {
        std::u16string const aside = path + u".bad" + (attempt == 1 ? u"" : liba::int_to_wstring(attempt));
        if (os::FileInfo(aside).exists()) continue;
        if (os::FileInfo(path).move_to(aside)) {
            os::get_log() << "Settings: " << path.c_str() << " cannot be read; kept as " << aside.c_str() << "\n";
        }
        return;
    }
}

std::u16string default_skin_path() {
    return os::join_path(os::join_path(os::join_path(u"%app_path%", u"skins"), u"Default"), u"Default.skin");
}

}  // namespace

Settings::Settings() : skin(default_skin_path()) {
    std::u16string const documents = os::expand_path_macros(u"%my_documents%");
    record.folder = documents;
    file_explorer.folder = documents;
    buttons.keys.resize(static_cast<std::size_t>(count_hardware_keys()));
}

bool Settings::save(const std::u16string& path) const {
    os::XmlNode const document = os::XmlNode::create_document();
    os::XmlNode const root = document.append_element(u"Settings");
    for (auto const* element : {u"Record", u"Play", u"Language", u"Buttons", u"FileExplorer", u"Skin"}) {
        root.append_element(element);
    }
    FieldWriter writer(root);
    visit_fields(*this, writer);
    write_equalizer_band(root.append_element(u"Equalizer1"), equalizer1);
    write_equalizer_band(root.append_element(u"Equalizer2"), equalizer2);
    write_equalizer_band(root.append_element(u"Equalizer3"), equalizer3);
    schedule.save(root.append_element(u"Schedule"));
    return document.save_document(path);
}

void Settings::load(const std::u16string& path) {
    os::XmlNode const root = os::XmlNode::load_document(path).find_child(u"Settings");
    if (!root.is_valid() && os::FileInfo(path).exists()) keep_unreadable_file(path);
    FieldReader reader(root);
    visit_fields(*this, reader);
    read_equalizer_band(root.find_child(u"Equalizer1"), equalizer1);
    read_equalizer_band(root.find_child(u"Equalizer2"), equalizer2);
    read_equalizer_band(root.find_child(u"Equalizer3"), equalizer3);
    Schedule read;
    read.load(root.find_child(u"Schedule"));
    schedule = read;
    keep_within_limits();
}

// The recorder takes 1 or 2 channels of 8 or 16 bits at 8000 to 48000 Hz; the player's
// volume runs from 0 to 1 and its speed from 0.5 to 2.
void Settings::keep_within_limits() {
    Settings const defaults;
    record.channels = std::clamp(record.channels, 1, 2);
    record.bits = record.bits <= 8 ? 8 : 16;
    record.samples = std::clamp(record.samples, 8000, 48000);
    record.bitrate = std::clamp(record.bitrate, 8000, 320000);
    record.turn_off = std::max(record.turn_off, 0);
    record.vas = limit(record.vas, 0.0, 1.0, defaults.record.vas);
    record.input = limit(record.input, 0.0, 1.0, defaults.record.input);
    play.volume = limit(play.volume, 0.0, 1.0, defaults.play.volume);
    play.turn_off = std::max(play.turn_off, 0);
    play.speed = limit(play.speed, 0.5, 2.0, defaults.play.speed);
    limit(equalizer1, defaults.equalizer1);
    limit(equalizer2, defaults.equalizer2);
    limit(equalizer3, defaults.equalizer3);
}

std::u16string Settings::get_language_path() const { return os::join_path(u"%app_path%", language + u".lng"); }
