// The main form's handlers of the command channel's requests (ids 0 to 8). Each pops its
// request, acts on the Document and pushes its Bool reply; the status request pushes the
// status record first.
#include <optional>

#include "app/comm/comm_clipboard.h"
#include "app/comm/command_request.h"
#include "app/comm/serializable.h"
#include "app/comm/status_source.h"
#include "app/constants.h"
#include "app/document_status.h"
#include "audio/record_chain.h"
#include "foundation/paths.h"
#include "screens/main_form.h"
#include "screens/panel_file_explorer.h"

namespace {

// The recording formats a request of id 1 names by index.
struct RequestFormat {
    const char16_t* codec;
    std::uint32_t channels;
    std::uint32_t bits;
    std::uint32_t sample_rate;
    std::uint32_t bit_rate;
};

constexpr RequestFormat request_formats[] = {
    {constants::codec_mp3, 1, 16, 8000, 16000},  {constants::codec_mp3, 1, 16, 11025, 16000},
    {constants::codec_mp3, 1, 16, 11025, 32000}, {constants::codec_mp3, 1, 16, 22050, 32000},
    {constants::codec_pcm, 1, 8, 11025, 0},      {constants::codec_pcm, 1, 16, 11025, 0},
    {constants::codec_pcm, 1, 8, 22050, 0},      {constants::codec_pcm, 1, 16, 22050, 0},
    {constants::codec_pcm, 1, 8, 44100, 0},
};
constexpr std::uint32_t request_format_count = sizeof(request_formats) / sizeof(request_formats[0]);

bool record_in_format(Document& document, const std::u16string& path, std::int32_t index) {
    if (static_cast<std::uint32_t>(index) >= request_format_count) return false;
    RequestFormat const& format = request_formats[index];
    auto chain = audio::create_record_chain(path, format.codec, format.channels, format.sample_rate, format.bits,
                                            format.bit_rate, false);
    return chain && document.record_to_file(std::move(chain), path);
}

}  // namespace

std::uint32_t MainForm::run_text_request(std::int32_t id) {
    std::optional<CommandRequest> const request = pop_command_request(id);
    if (!request) return 0;
    // A request that is not what the senders write (a path that does not fit, a recording
    // into no file, a broken number) is refused before anything runs.
    if (!request->well_formed) return push_command_reply(false);
    if (request->activate) show(true);
    Document& document = *Document::instance();
    std::u16string const& path = request->path;
    bool result = false;
    switch (id) {
        case 0:
            if (!path.empty()) explorer_->select_file(path);
            result = explorer_->play_selected(false, 0);
            break;
        case 1:
            result = path.empty() ? document.record_new_file(os::expanded_path(u"%my_documents%"))
                                  : record_in_format(document, path, request->number);
            explorer_->select_file(document.get_record_file());
            break;
        case 2:
            result = document.start_recording(path);
            explorer_->select_file(path);
            break;
        case 3:
            result = document.start_recording_append(path);
            explorer_->select_file(path);
            break;
        case 4:
            result = document.start_insert_recording(path, static_cast<std::uint32_t>(request->number));
            explorer_->select_file(path);
            break;
        case 5: result = document.is_paused() ? document.resume() : document.pause(); break;
        case 6: result = document.stop(); break;
        case 8: result = document.play_step(request->number); break;
        default: break;
    }
    document.notify(Change());
    return push_command_reply(result);
}

std::uint32_t MainForm::on_play_file_request() { return run_text_request(0); }
std::uint32_t MainForm::on_record_to_file_request() { return run_text_request(1); }
std::uint32_t MainForm::on_start_recording_request() { return run_text_request(2); }
std::uint32_t MainForm::on_append_recording_request() { return run_text_request(3); }
std::uint32_t MainForm::on_insert_recording_request() { return run_text_request(4); }
std::uint32_t MainForm::on_pause_request() { return run_text_request(5); }
std::uint32_t MainForm::on_stop_request() { return run_text_request(6); }
std::uint32_t MainForm::on_play_step_request() { return run_text_request(8); }

std::uint32_t MainForm::on_status_request() {
    CSerializableBool show_request;
    if (!CCommClipboard::read_object(CCommClipboard::instance(), &show_request)) return 0;
    if (show_request.get_value()) show(true);
    return push_status_reply(make_document_status(*Document::instance()));
}
