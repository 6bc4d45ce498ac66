// Converts one sound file into an MP3 file on a worker thread while a bar shows how far it
// got, and carries the source's bookmarks over to the new file. Closing the form before the
// end cancels the conversion; a conversion that did not finish, or whose file could not be
// written whole, leaves no file behind.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "foundation/thread.h"
#include "skin/form.h"
#include "skin/frame.h"
#include "skin/progress.h"

namespace audio {
class PlayChain;
class EncoderMP3;
class FileWriterMP3;
}  // namespace audio

namespace screens {

// Skin form "Convert".
class ConvertForm : public skinner::Form, private liba::Thread {
public:
    enum class Outcome { running, converted, failed, cancelled };

    static constexpr std::uint32_t bit_rate = 64000;
    static constexpr std::uint32_t block_bytes = 5000;

    ConvertForm(skinner::Form* owner, skinner::Properties* properties, const std::u16string& source,
                const std::u16string& destination);
    ~ConvertForm() override;

    // A reader took the source.
    bool can_convert() const { return chain_ != nullptr; }
    // The destination's volume has room for the MP3 file the source's length makes.
    bool has_enough_space();
    // Converts while the form runs modally; returns when it has closed. After a failure the
    // error form has been shown over this one.
    Outcome execute();

    void on_timer_broadcast(UINT_PTR id) override;

private:
    void run() override;
    bool convert();
    // After the whole source went through: ends the MP3 stream and closes the file; false
    // when it was not written whole.
    bool finish_file();
    void carry_bookmarks();
    void stop_worker();
    void release_writer();
    // Removes the destination unless it was converted whole.
    void discard_unfinished_file();

    skinner::ControlFrame file_name_;
    skinner::ControlProgress progress_;
    std::unique_ptr<audio::PlayChain> chain_;
    std::unique_ptr<audio::EncoderMP3> encoder_;
    // Made by execute, used and released only by the worker while it runs.
    std::unique_ptr<audio::FileWriterMP3> writer_;
    std::u16string source_;
    std::u16string destination_;
    UINT_PTR timer_ = 0;
    bool started_ = false;
    // Written by the worker once, when it is done; read by the timer.
    std::atomic<Outcome> outcome_{Outcome::running};
};

}  // namespace screens
