#include "screens/convert_form.h"

#include "app/text_utils.h"
#include "audio/bookmarks.h"
#include "audio/encoder_mp3.h"
#include "audio/file_reader_mp3.h"
#include "audio/file_writer_mp3.h"
#include "audio/play_chain_factory.h"
#include "foundation/file_info.h"
#include "foundation/file_system.h"
#include "foundation/paths.h"
#include "screens/message_forms.h"

namespace screens {

namespace {

constexpr double tick_seconds = 0.1;

}  // namespace

ConvertForm::ConvertForm(skinner::Form* owner, skinner::Properties* properties, const std::u16string& source,
                         const std::u16string& destination)
    : skinner::Form(owner, properties, u"Convert", owner),
      file_name_(this, u"frmFileName"),
      progress_(this, u"pbProgress"),
      chain_(audio::open_play_chain_plain(source)),
      encoder_(std::make_unique<audio::EncoderMP3>(bit_rate)),
      source_(source),
      destination_(destination) {
    file_name_.set_text(os::get_file_name(source));
    if (chain_ != nullptr && chain_->get_reader() == nullptr) chain_.reset();
    if (chain_ != nullptr) audio::connect(chain_->get_provider(), encoder_.get());
    timer_ = set_timer(tick_seconds);
}

ConvertForm::~ConvertForm() {
    kill_timer(timer_);
    stop_worker();
    discard_unfinished_file();
    if (chain_ != nullptr) audio::connect(chain_->get_provider(), nullptr);
}

void ConvertForm::release_writer() {
    if (writer_ == nullptr) return;
    // The encoder pushes its last frames on when it goes: they must not reach a freed writer.
    audio::connect(static_cast<audio::Provider<audio::MP3Data>*>(encoder_.get()), nullptr);
    writer_.reset();
}

void ConvertForm::discard_unfinished_file() {
    release_writer();
    if (started_ && outcome_ != Outcome::converted) os::FileInfo(destination_).remove();
}

bool ConvertForm::has_enough_space() {
    if (chain_ == nullptr) return false;
    // The MP3 file's expected size in bytes at the encoder's constant bit rate.
    double const bytes = bit_rate / 8.0 * chain_->get_reader()->get_duration();
    return os::get_disk_free_space(os::get_folder(destination_)) > bytes;
}

ConvertForm::Outcome ConvertForm::execute() {
    if (chain_ == nullptr) return Outcome::failed;
    writer_ = std::make_unique<audio::FileWriterMP3>(destination_, false);
    started_ = true;
    audio::connect(static_cast<audio::Provider<audio::MP3Data>*>(encoder_.get()), writer_.get());
    if (!writer_->is_open() || !start()) {
        outcome_ = Outcome::failed;
    } else {
        set_priority(-1);
        do_modal();
    }
    stop_worker();
    discard_unfinished_file();
    if (outcome_ == Outcome::failed) {
        show_error(this, &get_properties(), u"on_failed_to_convert_caption", u"on_failed_to_convert");
    }
    return outcome_;
}

void ConvertForm::stop_worker() {
    request_stop();
    join();
    Outcome running = Outcome::running;
    outcome_.compare_exchange_strong(running, Outcome::cancelled);
}

void ConvertForm::run() {
    outcome_ = convert() ? Outcome::converted : (is_stop_requested() ? Outcome::cancelled : Outcome::failed);
}

bool ConvertForm::convert() {
    audio::FileReader* const reader = chain_->get_reader();
    while (!is_stop_requested() && !reader->is_at_end() && reader->is_valid() && writer_->is_open()) {
        reader->read_block(block_bytes);
    }
    if (!reader->is_at_end()) return false;
    if (!finish_file()) return false;
    carry_bookmarks();
    return true;
}

bool ConvertForm::finish_file() {
    writer_->end_stream(encoder_->end_stream());
    bool const written = writer_->is_open();
    release_writer();
    return written;
}

void ConvertForm::carry_bookmarks() {
    Bookmarks const old_marks(get_bookmark_file_path(source_));
    if (old_marks.size() == 0) return;
    audio::FileReader* const source = chain_->get_reader();
    audio::FileReaderMP3 mp3(destination_);
    auto const moved = [&](std::int32_t position) {
        double const seconds = source->bytes_to_time(static_cast<std::uint32_t>(position));
        return static_cast<std::int32_t>(mp3.time_to_bytes(seconds));
    };
    Bookmarks marks;
    for (int place = 0; place < old_marks.get_play_count(); ++place) {
        Bookmark const& mark = old_marks.get_played(place);
        marks.insert(moved(mark.position), mark.name, true);
    }
    for (Bookmark const& mark : old_marks.get_records()) {
        if (mark.play == -1) marks.insert(moved(mark.position), mark.name, false);
    }
    marks.save(get_bookmark_file_path(destination_));
}

void ConvertForm::on_timer_broadcast(UINT_PTR id) {
    if (id != timer_) {
        skinner::Form::on_timer_broadcast(id);
        return;
    }
    if (chain_ == nullptr) {
        close();
        return;
    }
    audio::FileReader* const reader = chain_->get_reader();
    progress_.set_progress_in_range(0.0, reader->get_size(), reader->get_position());
    if (outcome_ != Outcome::running) close();
}

}  // namespace screens
