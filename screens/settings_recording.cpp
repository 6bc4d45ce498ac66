#include "screens/settings_recording.h"

#include "app/constants.h"
#include "app/settings.h"
#include "screens/turn_off_combo.h"
#include "skin/check_box.h"
#include "skin/combo_box_folder_tree.h"
#include "skin/drop_down_list.h"
#include "skin/edit.h"

namespace {

SettingsRecording::Format row(const char16_t* codec, int bits, int sample_rate, int bit_rate, const char16_t* label) {
    return {codec, 1, bits, sample_rate, bit_rate, label};
}

}  // namespace

const std::vector<SettingsRecording::Format>& SettingsRecording::format_table() {
    using namespace constants;
    static const std::vector<Format> table = {
        row(codec_gsm, 16, 8000, 13000, u"GSM 8kHz; 16bit, mono"),
        row(codec_mp3, 16, 8000, 16000, u"mp3 8kHz; 16bit, mono (16 kbps)"),
        row(codec_mp3, 16, 11025, 16000, u"mp3 11kHz; 16bit, mono (16 kbps)"),
        row(codec_mp3, 16, 11025, 32000, u"mp3 11kHz; 16bit, mono (32 kbps)"),
        row(codec_mp3, 16, 22050, 32000, u"mp3 22kHz; 16bit, mono (32 kbps)"),
        row(codec_mp3, 16, 44100, 64000, u"mp3 44kHz; 16bit, mono (64 kbps)"),
        row(codec_mp3, 16, 44100, 96000, u"mp3 44kHz; 16bit, mono (96 kbps)"),
        row(codec_adpcm, 16, 11025, 44000, u"ADPCM 11kHz; 4bit, mono (44 kbps)"),
        row(codec_adpcm, 16, 22050, 88000, u"ADPCM 22kHz; 4bit, mono (88 kbps)"),
        row(codec_adpcm, 16, 44100, 176000, u"ADPCM 44kHz; 4bit, mono (176 kbps)"),
        row(codec_pcm, 8, 11025, 88000, u"wav 11kHz; 8bit, mono (88 kbps)"),
        row(codec_pcm, 16, 11025, 176000, u"wav 11kHz; 16bit, mono (176 kbps)"),
        row(codec_pcm, 8, 22050, 176000, u"wav 22kHz; 8bit, mono (176 kbps)"),
        row(codec_pcm, 16, 22050, 344000, u"wav 22kHz; 16bit, mono (344 kbps)"),
        row(codec_pcm, 16, 44100, 688000, u"wav 44kHz; 16bit, mono (688 kbps)"),
    };
    return table;
}

SettingsRecording::FormatCombo::FormatCombo(skinner::Container* container, const std::u16string& name)
    : ControlComboBoxGenericReadonly(container, name) {
    set_items(format_table());
}

void SettingsRecording::FormatCombo::select_format(const std::u16string& codec, int channels, int bits,
                                                   int sample_rate, int bit_rate) {
    set_selected_index(default_format);
    for (int index = 0; index < get_item_count(); ++index) {
        Format const& format = items_[static_cast<std::size_t>(index)];
        if (format.bits == bits && format.channels == channels && format.codec == codec &&
            format.sample_rate == sample_rate && format.bit_rate == bit_rate) {
            set_selected_index(index);
            return;
        }
    }
}

const SettingsRecording::Format& SettingsRecording::FormatCombo::get_selected_format() const {
    int const index = const_cast<FormatCombo*>(this)->get_selected_index();
    bool const valid = index >= 0 && index < static_cast<int>(items_.size());
    return items_[static_cast<std::size_t>(valid ? index : default_format)];
}

std::u16string SettingsRecording::FormatCombo::get_item_text(int index) {
    if (index < 0 || index >= get_item_count()) return {};
    return items_[static_cast<std::size_t>(index)].label;
}

void SettingsRecording::FormatCombo::paint_item(int, int row, skinner::Canvas& canvas, skinner::Point position,
                                                skinner::Size size, bool selected, bool highlighted) {
    skinner::List* const list = get_list();
    if (!list || row < 0 || row >= get_item_count()) return;
    const skinner::StateLook& look = list->get_item_look(selected, highlighted);
    look.picture.draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
    skinner::Point const low = list->get_item_border_min();
    skinner::Point const high = list->get_item_border_max();
    look.font.draw_text(canvas, look.colour, items_[static_cast<std::size_t>(row)].label,
                        POINT{position.x + low.x, position.y + low.y},
                        POINT{size.width - low.x - high.x, size.height - low.y - high.y}, 0, 1);
}

void SettingsRecording::FormatCombo::on_selection_changed(skinner::Control* sender) {
    int const index = get_selected_index();
    get_text_frame().set_text(get_item_text(index == -1 ? 0 : index));
    if (sender != get_list()) ControlComboBox::on_selection_changed(sender);
}

SettingsRecording::SettingsRecording(skinner::ControlTab* tab, const std::u16string& name, const Settings& settings)
    : ControlTabElement(tab, name) {
    skinner::Container* const inner = get_panel_container();
    formats_ = std::make_unique<FormatCombo>(inner, u"cbFormats");
    default_folder_ = std::make_unique<skinner::ControlCheckBox>(inner, u"chkDefaultDir");
    folder_ = std::make_unique<skinner::ControlComboBoxFolderTree>(inner, u"cbDirectory");
    date_folder_ = std::make_unique<skinner::ControlCheckBox>(inner, u"chkCreateDateFolder");
    prefix_ = std::make_unique<skinner::ControlEdit>(inner, u"editPrefix");
    include_date_ = std::make_unique<skinner::ControlCheckBox>(inner, u"chkIncludeDate");
    turn_off_ = std::make_unique<screens::ControlComboBoxTurnOff>(inner, u"cbTurnOff");

    RecordSettings const& record = settings.record;
    prefix_->set_text(record.prefix);
    set_folder_text(record.folder);
    default_folder_->set_checked(record.default_folder);
    date_folder_->set_checked(record.date_folder);
    include_date_->set_checked(record.include_date);
    formats_->select_format(record.codec, record.channels, record.bits, record.samples, record.bitrate);
    turn_off_->select_seconds(record.turn_off);
    enable_folder_controls();
}

SettingsRecording::~SettingsRecording() = default;

std::u16string SettingsRecording::get_folder_text() { return folder_->get_path(); }

void SettingsRecording::set_folder_text(const std::u16string& folder) {
    folder_->set_path(u"\\");
    folder_->get_path_frame().set_text(folder);
}

void SettingsRecording::enable_folder_controls() {
    bool const enabled = default_folder_->is_checked();
    folder_->set_enabled(enabled);
    date_folder_->set_enabled(enabled);
}

void SettingsRecording::on_click(skinner::Control* sender) {
    if (sender == default_folder_.get() || sender == date_folder_.get()) enable_folder_controls();
}

void SettingsRecording::apply(Settings& settings) {
    RecordSettings& record = settings.record;
    record.prefix = prefix_->get_text();
    record.folder = get_folder_text();
    record.default_folder = default_folder_->is_checked();
    record.date_folder = date_folder_->is_checked();
    record.include_date = include_date_->is_checked();
    Format const& format = formats_->get_selected_format();
    record.codec = format.codec;
    record.channels = format.channels;
    record.bits = format.bits;
    record.samples = format.sample_rate;
    record.bitrate = format.bit_rate;
    int const turn_off = turn_off_->get_selected_index();
    auto const& delays = turn_off_->get_items();
    record.turn_off = turn_off >= 0 && turn_off < static_cast<int>(delays.size())
                          ? delays[static_cast<std::size_t>(turn_off)].seconds
                          : 0;
}
