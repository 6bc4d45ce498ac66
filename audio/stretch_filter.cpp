#include "audio/stretch_filter.h"

#include <algorithm>
#include <mutex>

#include "audio/filter_samples.h"

namespace audio {

namespace {

struct Mark {
    std::uint32_t position;  // the zero crossing where the half-wave starts
    std::int32_t peak;
};

}  // namespace

// The stretch of one channel within one call: finds the pitch marks from the carried
// position on and writes the segments between the chosen marks into the output.
class StretchFilter::ChannelStretch {
public:
    ChannelStretch(const PCMData& input, std::uint8_t* output, std::uint32_t channel, std::uint32_t factor,
                   bool final)
        : in_(input.buffer.get_data()),
          out_(output),
          sixteen_(input.bits_per_sample == 16),
          channels_(input.channels),
          channel_(channel),
          factor_(factor),
          frames_(input.get_frame_count()),
          final_(final),
          mark_distance_(input.sample_rate / 600),
          window_(input.sample_rate / 200),
          rate_(input.sample_rate) {}

    // Returns the new carried position: the last cut, or `from` when nothing was cut.
    std::uint32_t run(std::uint32_t from) {
        last_cut_ = from;
        std::uint32_t start = from;
        while (start < frames_) {
            std::uint32_t end = start + 1;
            bool const negative = at(start) < 0;
            while (end < frames_ && (at(end) < 0) == negative) ++end;
            if (end == frames_ && !final_) break;  // the half-wave may go on in the next input
            if (!negative && !look_at_half_wave(start, end)) break;
            start = end;
        }
        if (!final_) move_on_without_cuts();
        return last_cut_;
    }

private:
    // A channel that goes half a second without a cut (silence, a constant level, sound
    // without pitch marks) would hold back what every channel consumes, so that the input
    // grows without end: it goes on in plain short segments up to the hold-back.
    void move_on_without_cuts() {
        std::uint32_t const stall = rate_ / 2;
        std::uint32_t const hold_back = rate_ / 10;
        if (frames_ - last_cut_ <= stall || frames_ <= hold_back) return;
        std::uint32_t const target = frames_ - hold_back;
        std::uint32_t const piece = std::max<std::uint32_t>(rate_ / 100, 1);
        for (std::uint32_t begin = last_cut_; begin < target; begin += piece)
            write_segment(begin, std::min(begin + piece, target));
        pending_count_ = 0;
    }

    std::int32_t at(std::uint32_t frame) const { return samples::read(in_, sixteen_, frame * channels_ + channel_); }

    void put(std::uint32_t frame, std::int64_t value) {
        samples::write(out_, sixteen_, frame * channels_ + channel_, static_cast<std::int32_t>(value));
    }

    // Returns false when the half-wave lies too near the end of the input to be judged.
    bool look_at_half_wave(std::uint32_t start, std::uint32_t end) {
        std::uint32_t peak_frame = start;
        for (std::uint32_t i = start + 1; i < end; ++i)
            if (at(i) > at(peak_frame)) peak_frame = i;
        bool const near_end = peak_frame + window_ >= frames_;
        if (near_end && !final_) return false;

        std::uint32_t const distance = distance_to_larger(peak_frame);
        if (distance > mark_distance_) add_mark({start, at(peak_frame)}, distance > window_ || near_end);
        return true;
    }

    // The distance to the nearest larger sample, window + 1 when none lies within the window.
    std::uint32_t distance_to_larger(std::uint32_t frame) const {
        std::int32_t const peak = at(frame);
        for (std::uint32_t d = 1; d <= window_; ++d) {
            if (d <= frame && at(frame - d) > peak) return d;
            if (frame + d < frames_ && at(frame + d) > peak) return d;
        }
        return window_ + 1;
    }

    void add_mark(Mark mark, bool strong) {
        pending_[pending_count_++] = mark;
        if (strong && pending_count_ >= 2) {
            cut_through_newest();
        } else if (!strong && pending_count_ > 4) {
            cut_once();
        }
    }

    // Cuts from the first pending mark to the newest, going from each mark to the later
    // one whose peak lies between the newest's and the reference and is closest to its own.
    void cut_through_newest() {
        std::int32_t const reference = pending_[0].peak;
        std::int32_t const newest = pending_[pending_count_ - 1].peak;
        std::int32_t const low = std::min(reference, newest);
        std::int32_t const high = std::max(reference, newest);
        std::uint32_t from = 0;
        while (from + 1 < pending_count_) {
            std::uint32_t next = pending_count_ - 1;
            std::int64_t best = -1;
            for (std::uint32_t m = from + 1; m < pending_count_; ++m) {
                std::int32_t const peak = pending_[m].peak;
                if (peak < low || peak > high) continue;
                std::int64_t const gap = std::abs(static_cast<std::int64_t>(peak) - pending_[from].peak);
                if (best < 0 || gap < best) {
                    best = gap;
                    next = m;
                }
            }
            write_segment(pending_[from].position, pending_[next].position);
            from = next;
        }
        pending_[0] = pending_[pending_count_ - 1];
        pending_count_ = 1;
    }

    // Too many marks without a strong one: one segment from the first pending mark to the
    // one whose peak is closest to the reference.
    void cut_once() {
        std::int32_t const reference = pending_[0].peak;
        std::uint32_t next = 1;
        for (std::uint32_t m = 2; m < pending_count_; ++m)
            if (std::abs(pending_[m].peak - reference) < std::abs(pending_[next].peak - reference)) next = m;
        write_segment(pending_[0].position, pending_[next].position);
        std::copy(pending_ + next, pending_ + pending_count_, pending_);
        pending_count_ -= next;
    }

    // The input [begin, end) becomes `factor` copies at output frame begin x factor: for 3 a
    // cross-fade from the segment into what precedes it, then the segment itself, then a
    // cross-fade from what follows into the segment.
    void write_segment(std::uint32_t begin, std::uint32_t end) {
        std::uint32_t const length = end - begin;
        std::uint32_t target = begin * factor_;
        if (factor_ == 3) {
            for (std::uint32_t k = 0; k < length; ++k) {
                std::int64_t const own = at(begin + k);
                std::int64_t const before = begin + k >= length ? at(begin + k - length) : own;
                put(target + k, (own * (length - k) + before * k) / length);
            }
            target += length;
        }
        for (std::uint32_t k = 0; k < length; ++k) put(target + k, at(begin + k));
        target += length;
        for (std::uint32_t k = 0; k < length; ++k) {
            std::int64_t const own = at(begin + k);
            std::int64_t const after = end + k < frames_ ? at(end + k) : own;
            put(target + k, (after * (length - k) + own * k) / length);
        }
        last_cut_ = end;
    }

    std::uint8_t const* in_;
    std::uint8_t* out_;
    bool sixteen_;
    std::uint32_t channels_;
    std::uint32_t channel_;
    std::uint32_t factor_;
    std::uint32_t frames_;
    bool final_;
    std::uint32_t mark_distance_;  // no larger sample this near the peak makes a mark
    std::uint32_t window_;         // none this near makes a strong mark
    std::uint32_t rate_;
    Mark pending_[5] = {};
    std::uint32_t pending_count_ = 0;
    std::uint32_t last_cut_ = 0;
};

void StretchFilter::set_factor(std::uint32_t factor) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (factor < 1 || factor > 3 || factor == factor_) return;
    clear_state();
    factor_ = factor;
}

std::uint32_t StretchFilter::get_factor() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    return factor_;
}

void StretchFilter::reset() { clear_state(); }

// The carry belongs to the old factor or format: dropped with the positions.
void StretchFilter::clear_state() {
    carry_ = PCMData();
    carried_[0] = carried_[1] = 0;
}

bool StretchFilter::can_stretch(const PCMData& input) {
    return (input.bits_per_sample == 8 || input.bits_per_sample == 16) && input.channels >= 1 &&
           input.channels <= 2 && input.sample_rate >= 1 && input.get_frame_count() >= 1;
}

std::uint32_t StretchFilter::process(const PCMData& input, PCMData& output, bool final) {
    if (factor_ == 1 || !can_stretch(input)) {
        output = input;
        return input.get_size();
    }
    std::uint32_t const size = input.get_size() * factor_;
    liba::SharedBuffer made(size);
    made.fill(input.bits_per_sample == 8 ? 128 : 0);
    std::uint32_t const carry_fit = made.copy_from(0, carry_.buffer);
    std::uint8_t* bytes = made.get_writable_data();

    std::uint32_t const frames = input.get_frame_count();
    std::uint32_t lowest = frames;
    for (std::uint32_t channel = 0; channel < input.channels; ++channel) {
        auto const from = std::min<std::uint32_t>(static_cast<std::uint32_t>(carried_[channel]), frames);
        ChannelStretch stretch(input, bytes, channel, factor_, final);
        std::uint32_t const reached = stretch.run(from);
        carried_[channel] = static_cast<std::int32_t>(reached);
        lowest = std::min(lowest, reached);
        if (final) {
            for (std::uint32_t frame = reached * factor_; frame < frames * factor_; ++frame)
                samples::write(bytes, input.bits_per_sample == 16, frame * input.channels + channel, 0);
        }
    }

    std::uint32_t consumed_bytes = input.get_size();
    if (final) {
        carried_[0] = carried_[1] = 0;
    } else {
        std::uint32_t const held_back = input.sample_rate / 10;
        std::uint32_t const consumed = lowest > held_back ? lowest - held_back : 0;
        for (std::uint32_t channel = 0; channel < input.channels; ++channel)
            carried_[channel] -= static_cast<std::int32_t>(consumed);
        consumed_bytes = consumed * input.get_frame_bytes();
    }

    PCMData const all = input.with_buffer(made);
    std::uint32_t const produced = consumed_bytes * factor_;
    output = blocks::slice(all, 0, produced);
    PCMData const rest = blocks::slice(all, produced, size - produced);
    carry_ = carry_fit < carry_.get_size()
                 ? blocks::join(rest, blocks::slice(carry_, carry_fit, carry_.get_size() - carry_fit))
                 : rest;
    return consumed_bytes;
}

}  // namespace audio
