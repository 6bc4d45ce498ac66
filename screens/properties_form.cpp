#include "screens/properties_form.h"

#include "app/text_utils.h"
#include "audio/play_chain_factory.h"
#include "foundation/file_info.h"
#include "foundation/paths.h"

namespace screens {

namespace {

std::u16string decimal(std::uint32_t value) {
    std::string const text = std::to_string(value);
    return {text.begin(), text.end()};
}

}  // namespace

PropertiesForm::PropertiesForm(skinner::Form* owner, skinner::Properties* properties, const std::u16string& form_name,
                               const std::u16string& path)
    : skinner::Form(owner, properties, form_name, owner),
      file_name_(this, u"frmFileName"),
      format_(this, u"frmFormat"),
      duration_(this, u"frmDuration"),
      channels_(this, u"frmChannels"),
      sample_rate_(this, u"frmSampleRate"),
      bit_rate_(this, u"frmBitRate"),
      bits_(this, u"frmBits"),
      size_(this, u"frmSize"),
      ok_(this, u"btnOk") {
    file_name_.set_text(os::get_file_name(path));
    show_sound(path);
}

PropertiesForm::~PropertiesForm() = default;

void PropertiesForm::show_sound(const std::u16string& path) {
    std::unique_ptr<audio::PlayChain> const chain = audio::create_play_chain(path, nullptr);
    audio::FileReader* const reader = chain ? chain->get_reader() : nullptr;
    if (reader == nullptr) return;
    size_.set_text(format_file_size(os::FileInfo(path).get_size()));
    format_.set_text(chain->get_name());
    duration_.set_text(format_duration_text(reader->get_duration()));
    channels_.set_text(decimal(reader->get_channels()));
    sample_rate_.set_text(decimal(reader->get_sample_rate()));
    bit_rate_.set_text(decimal(reader->get_bit_rate()));
    bits_.set_text(decimal(reader->get_bits_per_sample()));
}

void PropertiesForm::on_click(skinner::Control* sender) {
    if (sender == &ok_) close();
}

}  // namespace screens
