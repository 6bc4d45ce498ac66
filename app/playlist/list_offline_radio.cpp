#include "app/playlist/list_offline_radio.h"

#include <cstddef>

#include "app/playlist/numbers.h"
#include "app/playlist/xml_values.h"
#include "foundation/small_helpers.h"
#include "foundation/text_convert.h"
#include "foundation/xml_node.h"

namespace playlist {
namespace {

struct InfoField {
    const char16_t* element;  // under "AudioInfo"
    const char16_t* attribute;
};

const InfoField audio_info[] = {
    {u"Title", u"title"}, {u"Artist", u"artist"}, {u"Number", u"MediaID"}, {u"Comment", u"MediaComment"}};

std::u16string attribute_of(const Entry& entry, const std::u16string& name) {
    auto const found = entry.attributes.find(name);
    return found == entry.attributes.end() ? std::u16string() : found->second;
}

void read_attribute_element(const os::XmlNode& parent, const std::u16string& element, const std::u16string& name,
                            Entry& entry) {
    std::u16string text;
    if (read_text_element(parent, element, text)) entry.attributes[name] = text;
}

// A fade time: -1 stands for none, and a negative time counts as none.
void read_fade(const os::XmlNode& event, const std::u16string& element, double& seconds) {
    std::u16string text;
    double number = 0.0;
    if (!read_text_element(event, element, text) || !parse_number(text, number)) return;
    seconds = number == -1.0 || number < 0.0 ? 0.0 : number / 1000.0;
}

// The running cross-fade value: the start offset of the next entry that has one.
Entry read_entry(const os::XmlNode& event, double& cross_fade) {
    Entry entry;
    std::u16string text;
    double number = 0.0;
    read_text_element(event, u"FileName", entry.path);
    if (read_text_element(event, u"AudioLength", text) && parse_number_with_unit(text, number)) {
        entry.duration = number / 1000.0;
    }
    read_fade(event, u"StartFadeUp", entry.clip_begin);
    read_fade(event, u"StartFadeUpLength", entry.fade_in);
    read_fade(event, u"EndFadeDownLength", entry.fade_out);
    if (read_text_element(event, u"EndFadeDown", text) && parse_number(text, number)) {
        double const clip_end = entry.duration - number / 1000.0 - entry.fade_out;
        entry.clip_end = number == -1.0 || !(clip_end >= 0.0) ? 0.0 : clip_end;
    }
    if (read_text_element(event, u"CrossFade", text)) {
        entry.start_offset = cross_fade;
        if (!parse_number_with_unit(text, number)) number = 0.0;
        cross_fade = entry.clip_end - number / 1000.0;
    }
    read_attribute_element(event, u"EntryType", u"EntryType", entry);
    os::XmlNode const info = event.find_child(u"AudioInfo");
    for (auto const& field : audio_info) read_attribute_element(info, field.element, field.attribute, entry);
    return entry;
}

std::u16string start_time_text(double seconds) {
    std::u16string text;
    liba::narrow_to_wide(liba::format_long(static_cast<long>(saturated_int64(seconds * 10000000.0))), text);
    return text;
}

}  // namespace

ListOfflineRadio::ListOfflineRadio(const std::u16string& path) : List(u"log") {
    os::XmlNode const root = os::XmlNode::load_document(path).find_child(u"Log");
    if (!root.is_valid()) return;
    double cross_fade = 0.0;
    for (int i = 0; i < root.get_child_count(); ++i) {
        os::XmlNode const child = root.get_child(i);
        if (child.get_name() == u"LogEvent") get_entries().push_back(read_entry(child, cross_fade));
    }
    loaded_ = true;
}

bool ListOfflineRadio::save(const std::u16string& path) {
    os::XmlNode const document = os::XmlNode::create_document();
    os::XmlNode const root = document.append_element(u"Log");
    auto const& entries = get_entries();
    double start_time = 0.0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Entry const& entry = entries[i];
        os::XmlNode const event = root.append_element(u"LogEvent");
        append_text_element(event, u"FileName", entry.path);
        append_text_element(event, u"AudioLength", milliseconds_text(entry.duration));
        append_text_element(event, u"StartFadeUp", milliseconds_text(entry.clip_begin));
        append_text_element(event, u"StartFadeUpLength", milliseconds_text(entry.fade_in));
        append_text_element(event, u"EndFadeDownLength", milliseconds_text(entry.fade_out));
        append_text_element(event, u"EndFadeDown",
                            milliseconds_text(entry.duration - entry.fade_out - entry.clip_end));
        bool const last = i + 1 == entries.size();
        append_text_element(event, u"CrossFade",
                            last ? u"0" : milliseconds_text(entry.clip_end - entries[i + 1].start_offset));
        if (start_time == 0.0) {
            append_text_element(event, u"StartTime", u"0");
        } else {
            start_time += entry.start_offset;
            append_text_element(event, u"StartTime", start_time_text(start_time));
        }
        if (auto const type = entry.attributes.find(u"EntryType"); type != entry.attributes.end()) {
            append_text_element(event, u"EntryType", type->second);
        }
        os::XmlNode const info = event.append_element(u"AudioInfo");
        for (auto const& field : audio_info) append_text_element(info, field.element, attribute_of(entry, field.attribute));
        append_text_element(event, u"Track", liba::int_to_wstring(entry.track));
        start_time += entry.duration;
    }
    return document.save_document(path);
}

}  // namespace playlist
