#include "app/document_status.h"

#include "app/comm/status_source.h"
#include "app/document.h"

namespace {

class DocumentStatusSource : public StatusSource {
public:
    explicit DocumentStatusSource(Document& document) : d_(document) {}
    bool is_playing() override { return d_.is_playing(); }
    bool is_recording() override { return d_.is_recording(); }
    // The pause of what the state names: a playback and a recording may run at once.
    bool is_paused() override { return d_.is_playing() ? d_.is_playback_paused() : d_.is_recording_paused(); }
    double get_position_seconds() override { return d_.get_position_seconds(); }
    std::u16string get_current_file() override { return d_.get_current_file(); }
    std::uint32_t get_sample_rate() override { return d_.get_sample_rate(); }
    std::uint32_t get_bits_per_sample() override { return d_.get_bits_per_sample(); }
    std::uint32_t get_bitrate_kbps() override { return d_.get_bitrate_kbps(); }
    bool is_stereo() override { return d_.is_stereo(); }
    std::u16string get_codec() override { return d_.get_codec(); }
    std::uint32_t get_length() override { return d_.get_length(); }
    std::uint32_t get_position() override { return d_.get_position(); }

private:
    Document& d_;
};

}  // namespace

StatusData make_document_status(Document& document) {
    DocumentStatusSource source(document);
    return make_status(source);
}
