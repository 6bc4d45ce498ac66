#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/file_writer.h"
#include "audio/stream_ends.h"
#include "audio/wav_info.h"
#include "foundation/file.h"
#include "foundation/shared_buffer.h"

namespace audio {

// Writes the whole header in the writers' layout from the start of the file: the RIFF
// header, the fmt chunk with the kind's extension (and "fact" chunk), and the "data"
// chunk header. The RIFF size is data start + data size - 8. False when a write fell short.
bool write_wav_header(liba::StreamWriter& file, WAVInfo& info);

// A record-chain stage that stores the blocks pushed through it in a WAV file and hands
// each block on unchanged. A new file is created by the first block that the kind
// accepts (no block, no file); appending continues a file of the same kind and layout.
// The header is written when the file is created and again, with the final sizes, when
// the writer is destroyed. After the first failed or short write the writer stops
// writing but still passes blocks on; the file then ends at the last whole frame or
// block and its header says so.
template <class Info, class Block>
class FileWriterWAV : public Processor<Block, Block>, public FileWriter {
public:
    ~FileWriterWAV() override {
        std::lock_guard<liba::CriticalSection> guard(this->get_lock());
        if (!file_) return;
        write_gathered();
        file_->seek(0);
        write_wav_header(*file_, header_);
    }

    Block process(const Block& block) override {
        std::lock_guard<liba::CriticalSection> guard(this->get_lock());
        if (open_ && !file_) {
            // The end-of-stream signal carries no format to fix.
            if (block.is_empty() || !set_format(block)) return block;
            file_ = std::make_unique<os::File>(path_, 1);
            open_ = write_wav_header(*file_, header_);
        }
        if (open_) {
            open_ = write_data(block);
            if (open_) keep_header_current();
        }
        return block;
    }

    // Takes the header's format from the first block; false when the kind cannot store it.
    virtual bool set_format(const Block& block) = 0;
    // Appends the block's bytes and counts them; false when the file could not take them all.
    virtual bool write_data(const Block& block) = 0;

    // Gathered bytes are written first: the answer holds for everything handed so far.
    bool is_open() override {
        std::lock_guard<liba::CriticalSection> guard(this->get_lock());
        if (open_ && file_) open_ = write_gathered();
        return open_;
    }

protected:
    // For a new file the header starts as given. To append, the file must exist and hold a
    // header of the same kind that the reader accepts, laid out as this writer writes it
    // (so that rewriting the header cannot overwrite anything else); the file is then cut
    // after the last whole unit of its data and writing goes on from there. Otherwise the
    // file is left as it was (a missing one is not created) and the writer is not open.
    FileWriterWAV(const std::u16string& path, bool append, const Info& new_file_header)
        : header_(new_file_header), path_(path), open_(!append) {
        if (append) continue_file(new_file_header);
    }

    // Writes the bytes, counts the whole units of unit bytes that reached the file into
    // the data size and written, and gives that count. complete is true when every byte
    // was written and the bytes were whole units; otherwise the file is cut at the end of
    // the counted data. Small blocks (a GSM block is 65 bytes) are gathered and reach the
    // file together (at most gather_limit bytes, and always before the header is brought
    // up to date); a write of gathered bytes that fails is reported by the block that
    // caused it, with the units that did not reach the file taken off the counts.
    std::uint32_t append_units(const liba::SharedBuffer& bytes, std::uint32_t unit, bool& complete) {
        std::uint32_t const size = bytes.get_size();
        std::uint64_t const end = std::uint64_t{header_.data_start} + header_.data_size + size;
        // Sizes and positions of a WAV file end below 4 GB: a file that would pass it is full.
        bool const fits = end <= 0xFFFFFFFFu;
        if (fits && size % unit == 0 && gathered_.size() + size <= gather_limit) {
            gathered_.insert(gathered_.end(), bytes.get_data(), bytes.get_data() + size);
            gathered_unit_ = unit;
            header_.data_size += size;
            written_ += size / unit;
            complete = true;
            return size / unit;
        }
        if (!write_gathered()) {
            complete = false;
            return 0;
        }
        std::uint32_t const put = fits ? file_->write(bytes.get_data(), size) : 0;
        std::uint32_t const whole = put / unit;
        header_.data_size += whole * unit;
        written_ += whole;
        complete = put == size && whole * unit == put;
        // A write that failed part way may have left bytes that it does not report.
        if (!complete) file_->truncate(header_.data_start + header_.data_size);
        return whole;
    }

    // Writes the gathered bytes; false, with the file cut after the last whole unit that
    // reached it and the counts taken back to it, when the file does not take them all.
    bool write_gathered() {
        if (gathered_.empty()) return true;
        auto const size = static_cast<std::uint32_t>(gathered_.size());
        std::uint32_t const put = file_->write(gathered_.data(), size);
        gathered_.clear();
        if (put == size) return true;
        std::uint32_t const lost = size - put / gathered_unit_ * gathered_unit_;
        header_.data_size -= lost;
        written_ -= lost / gathered_unit_;
        if constexpr (requires { header_.fact_sample_count; }) {
            std::uint64_t const samples = std::uint64_t{lost / gathered_unit_} * header_.samples_per_block;
            header_.fact_sample_count -= static_cast<std::uint32_t>(std::min<std::uint64_t>(samples, header_.fact_sample_count));
        }
        file_->truncate(header_.data_start + header_.data_size);
        return false;
    }

    Info header_;
    std::u16string path_;
    std::unique_ptr<os::File> file_;
    bool open_;
    // Frames (PCM) or blocks (ADPCM, GSM) in the file.
    std::uint32_t written_ = 0;
    // The data size that the header in the file says.
    std::uint32_t header_size_written_ = 0;

private:
    static constexpr std::uint32_t gather_limit = 8192;

    std::vector<std::uint8_t> gathered_;
    std::uint32_t gathered_unit_ = 1;

    // About once a second of sound the sizes in the header are brought up to date, so that
    // a recording cut off by a crash or power loss says how much sound it holds.
    void keep_header_current() {
        std::uint32_t const second = header_.byte_rate == 0 ? 1 : header_.byte_rate;
        if (header_.data_size - header_size_written_ < second) return;
        if (!write_gathered()) {
            open_ = false;
            return;
        }
        std::uint32_t const end = header_.data_start + header_.data_size;
        open_ = file_->seek(0) && write_wav_header(*file_, header_) && file_->seek(end);
        header_size_written_ = header_.data_size;
    }

    void continue_file(const Info& layout) {
        if (os::File(path_, 0).has_errors()) return;
        auto file = std::make_unique<os::File>(path_, 3);
        Info found;
        if (!read_wav_header(*file, found) || found.data_start != layout.data_start ||
            found.fmt_size != layout.fmt_size)
            return;
        // The reader accepts no header without a block align. A partial frame or block at
        // the end would put every later sample out of step.
        found.data_size -= found.data_size % found.block_align;
        if (!file->truncate(found.data_start + found.data_size)) return;
        // The header may have been left behind by a crash: it says what the file holds
        // before anything is added.
        if (!file->seek(0) || !write_wav_header(*file, found) || !file->seek(found.data_start + found.data_size))
            return;
        header_ = found;
        header_size_written_ = found.data_size;
        written_ = found.data_size / found.block_align;
        open_ = !file->has_errors();
        file_ = std::move(file);
    }
};

}  // namespace audio
