#include "app/playlist/list_multi_tracker.h"

#include <iterator>

#include "app/playlist/numbers.h"
#include "app/playlist/xml_values.h"
#include "foundation/small_helpers.h"
#include "foundation/text_convert.h"
#include "foundation/xml_node.h"

namespace playlist {
namespace {

const std::u16string version = u"multitracker";

// Elements that carry an entry attribute of the same name.
const char16_t* const plain_attributes[] = {u"MediaID",      u"MediaType", u"DetailRefID", u"MediaComment",
                                            u"Status",       u"Override",  u"RelaxEarly",  u"RelaxLate"};

std::u16string attribute_of(const Entry& entry, const std::u16string& name) {
    auto const found = entry.attributes.find(name);
    return found == entry.attributes.end() ? std::u16string() : found->second;
}

void read_attribute_element(const os::XmlNode& event, const std::u16string& element, const std::u16string& name,
                            Entry& entry) {
    std::u16string text;
    if (read_text_element(event, element, text)) entry.attributes[name] = text;
}

void read_seconds(const os::XmlNode& event, const std::u16string& element, double& seconds) {
    std::u16string text;
    double number = 0.0;
    if (read_text_element(event, element, text) && parse_number(text, number)) seconds = number / 1000.0;
}

// The running end time of the entries read so far, in seconds.
void read_timing(const os::XmlNode& event, Entry& entry, double& end_time) {
    std::u16string text;
    if (read_text_element(event, u"StartTime", text)) {
        double number = -1.0;
        if (!parse_number(text, number)) number = -1.0;
        if (number >= 0.0) {
            double const start = number / 1000.0;
            entry.start_offset = start - end_time;
            end_time = start + entry.duration;
            return;
        }
    }
    if (read_text_element(event, u"StartNext", text)) {
        double number = 0.0;
        if (!parse_number(text, number)) number = 0.0;
        entry.start_offset = -(number / 1000.0);
        end_time = entry.start_offset + entry.duration + end_time;
    }
}

Entry read_entry(const os::XmlNode& event, double& end_time) {
    Entry entry;
    std::u16string text;
    read_text_element(event, u"MediaLocation", entry.path);
    double number = 0.0;
    if (read_text_element(event, u"MediaLength", text) && parse_number_with_unit(text, number)) {
        entry.duration = number / 1000.0;
    }
    read_seconds(event, u"ClipBeg", entry.clip_begin);
    read_seconds(event, u"FadeIn", entry.fade_in);
    read_seconds(event, u"FadeOut", entry.fade_out);
    read_seconds(event, u"ClipEnd", entry.clip_end);
    read_timing(event, entry, end_time);
    read_attribute_element(event, u"MediaTitle", u"title", entry);
    read_attribute_element(event, u"MediaArtist", u"artist", entry);
    for (auto const* name : plain_attributes) read_attribute_element(event, name, name, entry);
    int track = 0;
    if (read_text_element(event, u"Track", text) && liba::wstring_to_int(text, track)) entry.track = track;
    return entry;
}

void write_entry(const os::XmlNode& event, const Entry& entry, double& end_time) {
    double const start = entry.start_offset + end_time;
    append_text_element(event, u"MediaLocation", entry.path);
    append_text_element(event, u"MediaLength", milliseconds_text(entry.duration));
    append_text_element(event, u"ClipBeg", milliseconds_text(entry.clip_begin));
    append_text_element(event, u"FadeIn", milliseconds_text(entry.fade_in));
    append_text_element(event, u"FadeOut", milliseconds_text(entry.fade_out));
    append_text_element(event, u"ClipEnd", milliseconds_text(entry.clip_end));
    append_text_element(event, u"StartNext", milliseconds_text(-entry.start_offset));
    append_text_element(event, u"StartTime", milliseconds_text(start));
    append_text_element(event, u"MediaTitle", attribute_of(entry, u"title"));
    append_text_element(event, u"MediaArtist", attribute_of(entry, u"artist"));
    for (auto const* name : plain_attributes) append_text_element(event, name, attribute_of(entry, name));
    append_text_element(event, u"Track", liba::int_to_wstring(entry.track));
    end_time = start + entry.duration;
}

}  // namespace

ListMultiTracker::ListMultiTracker(const std::u16string& path) : List(u"mtr") {
    os::XmlNode const root = os::XmlNode::load_document(path).find_child(u"Log");
    std::u16string root_version;
    if (!root.get_attribute(u"version", root_version) || root_version != version) return;
    read_header(root);
    double end_time = 0.0;
    for (int i = 0; i < root.get_child_count(); ++i) {
        os::XmlNode const child = root.get_child(i);
        if (child.get_name() == u"LogEvent") get_entries().push_back(read_entry(child, end_time));
    }
    loaded_ = true;
}

void ListMultiTracker::read_header(const os::XmlNode& root) {
    std::u16string text;
    if (root.get_attribute(u"HeaderID", text)) set_header_id(text);
    if (root.get_attribute(u"Name", text)) set_name(text);
    if (root.get_attribute(u"StartTime", text)) {
        os::DateTime time;
        if (time.parse(text.data(), text.data() + text.size())) set_creation_time(time);
    }
}

bool ListMultiTracker::save(const std::u16string& path) {
    os::XmlNode const document = os::XmlNode::create_document();
    os::XmlNode const root = document.append_element(u"Log");
    root.set_attribute(u"version", version);
    root.set_attribute(u"HeaderID", get_header_id());
    root.set_attribute(u"Name", get_name());
    std::string start_time;
    std::u16string start_text;
    if (get_creation_time().format(start_time) && liba::narrow_to_wide_string(start_time, start_text)) {
        root.set_attribute(u"StartTime", start_text);
    }
    double end_time = 0.0;
    for (auto const& entry : get_entries()) write_entry(root.append_element(u"LogEvent"), entry, end_time);
    return document.save_document(path);
}

}  // namespace playlist
