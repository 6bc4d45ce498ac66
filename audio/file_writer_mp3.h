#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/blocks.h"
#include "audio/file_writer.h"
#include "audio/stream_ends.h"
#include "foundation/file.h"

namespace audio {

// Stores MP3 blocks in a file through a large write buffer: the first frame-length bytes
// of each block, so that frames copied from a reader (whose blocks run on past their
// frame) are stored exactly. The buffer goes to the file when it would overflow and once
// it holds about a second of sound, so that a crash loses little of a recording. The position
// is in file bytes, as the MP3 reader counts. After a short write the writer ignores
// further blocks; what is buffered is written when it is destroyed.
class FileWriterMP3 : public Consumer<MP3Data>, public FileWriter {
public:
    static constexpr std::uint32_t buffer_size = 120000;

    // Appending continues an existing file at its end (creating a missing one); otherwise
    // the file is made new or emptied.
    FileWriterMP3(const std::u16string& path, bool append);
    ~FileWriterMP3() override;

    void on_data(const MP3Data& block) override;
    bool is_open() override;
    std::uint32_t get_position() override;
    // Puts the encoder's tag frame in the place its stream began with (where this writer
    // began writing). Appending, there is no such place: a tag frame at the old file's
    // start, whose length and padding no longer hold, is made a plain silent frame.
    void end_stream(const std::vector<std::uint8_t>& info_frame);

private:
    void write_at(std::uint32_t position, const std::uint8_t* bytes, std::uint32_t count);
    void silence_old_info_frame();

    bool open() const { return ok_ && !file_.has_errors(); }
    bool write_all(const std::uint8_t* bytes, std::uint32_t count);
    bool write_buffer();
    // The bytes of a second of sound at the bit rate of a block that starts with a frame
    // header (0 for other bytes).
    static std::uint32_t second_of(const MP3Data& block);
    // Until a frame header tells: a second at 32 kbit/s.
    static constexpr std::uint32_t default_second_bytes = 4000;

    os::File file_;
    bool ok_ = true;
    std::uint32_t written_ = 0;
    // The file's size when it was opened: where this writer's stream begins.
    std::uint32_t start_ = 0;
    std::u16string path_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::uint32_t buffer_fill_ = 0;
    std::uint32_t second_bytes_ = 0;
};

}  // namespace audio
