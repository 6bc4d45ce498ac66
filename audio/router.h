#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>

#include "audio/bookmarks.h"

namespace audio {
class FileReaderWAVPCM;
class FileReaderMP3;
}  // namespace audio

// How much of a range one read may take, in the reader's units: by default every unit left
// in the range (coded blocks, sample frames).
template <class R>
struct RangeClip {
    static std::uint32_t clip(R&, std::uint32_t count, std::int64_t left) {
        return static_cast<std::uint32_t>(std::min<std::int64_t>(count, left));
    }
    // Where a range that begins at that position can start reading.
    static std::int64_t start_of(R&, std::int64_t position) { return position; }
};

// WAV PCM counts bytes but reads frames: only whole frames left in the range.
template <>
struct RangeClip<audio::FileReaderWAVPCM> {
    template <class Reader>
    static std::uint32_t clip(Reader& reader, std::uint32_t count, std::int64_t left) {
        std::int64_t const align = reader.get_format()->block_align;
        if (align <= 0) return 0;
        return static_cast<std::uint32_t>(std::min<std::int64_t>(count, left / align));
    }
    // A bookmark inside a frame (an insert can make one) starts its range at that frame,
    // where a seek to it lands.
    template <class Reader>
    static std::int64_t start_of(Reader& reader, std::int64_t position) {
        std::int64_t const align = reader.get_format()->block_align;
        return align <= 0 || position < 0 ? position : position - position % align;
    }
};

// MP3: one whole frame per read, even when it runs past the end of the range.
template <>
struct RangeClip<audio::FileReaderMP3> {
    template <class Reader>
    static std::uint32_t clip(Reader&, std::uint32_t count, std::int64_t left) {
        return left > 0 ? std::min<std::uint32_t>(count, 1) : 0;
    }
    template <class Reader>
    static std::int64_t start_of(Reader&, std::int64_t position) {
        return position;
    }
};

// A reader that delivers only the bookmarked ranges of its file, in play order: a range
// runs from a played bookmark to the next bookmark (played or not), or to the end of the
// data for the last one. The list is a private copy. The place in the play order only
// moves forward; a seek does not change it.
template <class R>
class Router : public R {
public:
    using Block = decltype(std::declval<R&>().get_data(0));

    Router(const std::u16string& path, const Bookmarks& bookmarks) : R(path), bookmarks_(bookmarks) {
        place_ = bookmarks_.next_played(-1);
        if (place_ != bookmarks_.get_play_count()) R::set_position(range_start());
    }

    // Every played range has been delivered.
    bool is_at_end() override { return place_ >= bookmarks_.get_play_count(); }

    // The next piece of the ranges; an empty block ends the stream.
    Block get_data(std::uint32_t count) override {
        Block block = read_range(count);
        if (!block.is_empty()) return block;
        place_ = bookmarks_.next_played(place_);
        // A range that begins where the last one ended flows on without a seek.
        block = read_range(count);
        if (!block.is_empty()) return block;
        if (place_ != bookmarks_.get_play_count()) {
            R::set_position(range_start());
            block = read_range(count);
        }
        // No range is left: the reader stands at its end, as the player's stream does.
        if (block.is_empty()) R::set_position(R::get_size());
        return block;
    }

private:
    // Positions below the data's start are read from its start.
    std::uint32_t range_start() const {
        return static_cast<std::uint32_t>(std::max<std::int32_t>(bookmarks_.get_played(place_).position, 0));
    }

    Block read_range(std::uint32_t count) {
        std::int64_t const position = R::get_position();
        if (place_ >= bookmarks_.get_play_count()) return Block();
        std::int64_t const bookmark = bookmarks_.get_played(place_).position;
        std::int64_t const end = bookmark + bookmarks_.get_played_length(place_, static_cast<int>(R::get_size()));
        std::int64_t const start = RangeClip<R>::start_of(*this, bookmark);
        if (position < start || position >= end) return Block();
        std::uint32_t const n = RangeClip<R>::clip(*this, count, end - position);
        if (n == 0) return Block();
        return R::get_data(n);
    }

    Bookmarks bookmarks_;
    // Moved by the thread that plays, read by the one that shows the state.
    std::atomic<int> place_ = 0;
};
