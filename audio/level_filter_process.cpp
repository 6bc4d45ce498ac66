// The level filter's work on gathered samples: rebuilding clipped tops, then gains from
// one strong peak to the next.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "audio/filter_samples.h"
#include "audio/level_filter.h"

namespace audio {

namespace {

constexpr std::int32_t rebuilt_ceiling = 49152;  // 1.5 x full scale: the highest rebuilt top

std::int64_t magnitude(std::int64_t value) { return value < 0 ? -value : value; }

// One clipped run of a half-wave, with the neighbours that give its slopes.
struct ClippedRun {
    std::uint32_t begin;  // within the half-wave
    std::uint32_t end;
    std::int32_t clipped;
    std::int64_t before;  // a: the sample before the run
    std::int64_t after;   // e: the sample after the run
    std::int64_t rise;    // sb
    std::int64_t fall;    // sa
    std::int64_t span;    // T: the run's length + 1
    double top_at;        // y: where the rebuilt top lies, in frames from the run's start
    int estimate;         // the rebuilt top before the ceiling
};

}  // namespace

// Works on one channel copied out of the interleaved bytes (on the 16-bit scale) and
// writes the samples it changed back at the end. What it reads at and after the cut is
// never changed by the gains behind it, so the loudest level of each run of frames can be
// taken once, before the gains, for finding louder samples far away quickly.
//
// A pass that found no strong peak and no clipped top leaves a mark where its walk over
// the half-waves stopped being final: the half-waves before it ended at least a window
// before the end of the gathered sound, so no later sound changes what was found for them.
// The next pass over the same sound, longer by what came since, goes on from the mark.
class LevelFilter::ChannelPass {
public:
    using Fallback = LevelFilter::PeakFound;

    ChannelPass(LevelFilter& filter, std::uint8_t* bytes, std::uint32_t frames, std::uint32_t channels,
                std::uint32_t channel, bool sixteen, bool final, std::uint32_t window, std::uint32_t limit,
                std::uint32_t from)
        : filter_(filter),
          bytes_(bytes),
          frames_(frames),
          channels_(channels),
          channel_(channel),
          sixteen_(sixteen),
          final_(final),
          window_(window),
          limit_(limit),
          from_(from),
          mark_(filter.walk_marks_[channel]),
          values_(filter.work_.values),
          run_levels_(filter.work_.run_levels),
          changed_from_(frames),
          changed_to_(from) {
        bool const resumed = mark_.valid && mark_.from == from_ && mark_.start <= frames_ && !final_;
        walk_from_ = resumed ? mark_.start : from_;
        if (resumed) {
            best_ = mark_.best;
            fallback = mark_.fallback;
        }
        mark_.valid = false;
        values_.resize(frames_);
        // Nothing before the walk's start less a window is read unless a gain is moved there.
        loaded_from_ = walk_from_ - std::min(walk_from_ - from_, window_);
        bool full_scale = false;
        for (std::uint32_t frame = loaded_from_; frame < frames_; ++frame) {
            std::int32_t const value = read(frame);
            values_[frame] = value;
            full_scale |= value == 32767 || value == -32768;
        }
        reaches_full_scale_ = full_scale;
    }

    ~ChannelPass() { write_back(); }
    ChannelPass(const ChannelPass&) = delete;
    ChannelPass& operator=(const ChannelPass&) = delete;

    void rebuild_clipped_tops() {
        // Only runs that begin at full scale are rebuilt.
        if (!reaches_full_scale_) return;
        for (std::uint32_t start = walk_from_; start < limit_;) {
            std::uint32_t const end = half_wave_end(start);
            if (end == frames_ && !final_) return;
            rebuild_half_wave(start, end);
            start = end;
        }
    }

    // Gives every strong peak its gain from the carried position on; returns the frame
    // where the work goes on next time.
    std::uint32_t apply_gains(std::int32_t& last_peak) {
        find_run_levels();
        std::uint32_t cut = from_;
        std::uint32_t start = walk_from_;
        while (start < limit_) {
            std::uint32_t end = half_wave_end(start);
            if (end > limit_ && cut == from_) leave_mark(start);
            if (end == frames_ && !final_) break;
            std::uint32_t const loudest = loudest_in(start, std::min(end, limit_));
            std::int32_t const peak = at(loudest);
            if (peak == 0) {
                start = end;
                continue;
            }
            std::uint32_t const distance = distance_to_louder(loudest, cut);
            if (distance >= best_) {
                best_ = distance;
                fallback = {true, peak, end};
            }
            if (distance < window_) {
                start = end;
                continue;
            }
            if (end + 1 >= frames_) end = frames_;
            move_gain(cut, start, end, last_peak, peak);
            last_peak = peak;
            cut = end;
            mark_.valid = false;
            if (end >= limit_) break;
            start = end;
        }
        if (cut == from_) leave_mark(start);
        return cut;
    }

    Fallback fallback;

private:
    // Where a later pass may go on; none after a cut (the next pass starts there) or after
    // rebuilt tops (they are rebuilt again), nor in the last pass.
    void leave_mark(std::uint32_t start) {
        if (mark_.valid || final_ || reaches_full_scale_) return;
        mark_ = {true, from_, start, best_, fallback};
    }

    // Reads the frames from `frame` on that the pass has not read yet.
    void load_from(std::uint32_t frame) {
        for (; loaded_from_ > frame; --loaded_from_) values_[loaded_from_ - 1] = read(loaded_from_ - 1);
    }

    // On the 16-bit scale: 8-bit samples as (byte - 128) x 256.
    std::int32_t read(std::uint32_t frame) const {
        std::uint32_t const index = frame * channels_ + channel_;
        return sixteen_ ? samples::read16(bytes_, index) : samples::read8(bytes_, index) * 256;
    }

    std::int32_t at(std::uint32_t frame) const { return values_[frame]; }

    // Kept clamped to the sample range, not wrapped, and as the bytes will hold it.
    void put(std::uint32_t frame, std::int64_t value) {
        auto const clamped = static_cast<std::int32_t>(std::clamp<std::int64_t>(value, -32768, 32767));
        values_[frame] = sixteen_ ? clamped : (clamped >> 8) * 256;
    }

    // The frames from `begin` to `end` may be changed: they are written back at the end.
    void will_change(std::uint32_t begin, std::uint32_t end) {
        changed_from_ = std::min(changed_from_, begin);
        changed_to_ = std::max(changed_to_, end);
    }

    void write_back() {
        for (std::uint32_t frame = changed_from_; frame < changed_to_; ++frame) {
            std::uint32_t const index = frame * channels_ + channel_;
            if (sixteen_)
                samples::write16(bytes_, index, values_[frame]);
            else
                samples::write8(bytes_, index, values_[frame] >> 8);
        }
    }

    bool crossing_before(std::uint32_t frame) const {
        return static_cast<std::int64_t>(at(frame - 1)) * at(frame) <= 0;
    }

    std::uint32_t half_wave_end(std::uint32_t start) const {
        std::uint32_t end = start + 1;
        while (end < frames_ && !crossing_before(end)) ++end;
        return end;
    }

    std::uint32_t loudest_in(std::uint32_t begin, std::uint32_t end) const {
        std::uint32_t loudest = begin;
        std::int64_t loudest_level = magnitude(at(begin));
        for (std::uint32_t i = begin + 1; i < end; ++i) {
            std::int64_t const level = magnitude(at(i));
            if (level > loudest_level) {
                loudest = i;
                loudest_level = level;
            }
        }
        return loudest;
    }

    // The loudest level of each run of frames (runs of run_frames from frame 0; those
    // before the carried position are not used).
    void find_run_levels() {
        run_levels_.resize((frames_ + run_frames - 1) / run_frames);
        for (std::uint32_t run = loaded_from_ / run_frames; run * run_frames < frames_; ++run) {
            std::uint32_t const begin = std::max(run * run_frames, loaded_from_);
            std::uint32_t const end = std::min(run * run_frames + run_frames, frames_);
            std::int32_t level = 0;
            for (std::uint32_t frame = begin; frame < end; ++frame) level = std::max(level, std::abs(values_[frame]));
            run_levels_[run] = level;
        }
    }

    // The first frame in [begin, end) louder than `level`; end when none is.
    std::uint32_t first_louder(std::uint32_t begin, std::uint32_t end, std::int32_t level) const {
        std::uint32_t frame = begin;
        while (frame < end) {
            if (frame % run_frames == 0 && frame + run_frames <= end && run_levels_[frame / run_frames] <= level) {
                frame += run_frames;
                continue;
            }
            if (magnitude(at(frame)) > level) return frame;
            ++frame;
        }
        return end;
    }

    // The last frame in [begin, end) louder than `level`; `none` when none is.
    std::uint32_t last_louder(std::uint32_t begin, std::uint32_t end, std::int32_t level) const {
        std::uint32_t frame = end;
        while (frame > begin) {
            if (frame % run_frames == 0 && frame >= begin + run_frames && run_levels_[frame / run_frames - 1] <= level) {
                frame -= run_frames;
                continue;
            }
            --frame;
            if (magnitude(at(frame)) > level) return frame;
        }
        return none;
    }

    // The nearest louder sample, looking back no further than the cut; the window when
    // none lies within it.
    std::uint32_t distance_to_louder(std::uint32_t frame, std::uint32_t cut) const {
        auto const level = static_cast<std::int32_t>(magnitude(at(frame)));
        std::uint32_t const after_end = static_cast<std::uint32_t>(std::min<std::uint64_t>(frames_, std::uint64_t{frame} + window_));
        std::uint32_t const after = first_louder(frame + 1, after_end, level);
        std::uint32_t distance = after < after_end ? after - frame : window_;
        if (distance <= 1) return distance;
        // Before: only within the distance found after, and not before the cut.
        std::uint32_t const reach = distance - 1;
        std::uint32_t const before_begin = frame - cut > reach ? frame - reach : cut;
        std::uint32_t const before = last_louder(before_begin, frame, level);
        if (before != none) distance = std::min(distance, frame - before);
        return distance;
    }

    // From the old peak's gain to the new one's: the old gain up to a zero crossing, a ramp
    // up to another, then the new gain to the end of the peak's half-wave.
    void move_gain(std::uint32_t cut, std::uint32_t start, std::uint32_t end, std::int32_t old_peak,
                   std::int32_t peak) {
        load_from(cut);
        will_change(cut, end);
        std::int64_t const old_gain = filter_.gain_of(old_peak);
        std::int64_t const new_gain = filter_.gain_of(peak);
        std::uint32_t ramp_begin = cut;
        std::uint32_t ramp_end = start;
        if (magnitude(old_peak) >= magnitude(peak))
            ramp_begin = crossing_walking_back(start, cut, magnitude(peak));
        else
            ramp_end = crossing_walking_forward(cut, start, magnitude(old_peak));

        for (std::uint32_t i = cut; i < ramp_begin; ++i) put(i, at(i) * old_gain / 16384);
        std::int64_t const length = ramp_end - ramp_begin;
        for (std::int64_t t = 0; t < length; ++t) {
            auto const frame = static_cast<std::uint32_t>(ramp_begin + t);
            std::int64_t const gain = (length - t) * old_gain + t * new_gain;
            put(frame, at(frame) * gain / (length * 16384));
        }
        for (std::uint32_t i = ramp_end; i < end; ++i) put(i, at(i) * new_gain / 16384);
    }

    // Walking back from start - 1 to cut + 1: the last crossing passed before a sample
    // louder than `level`; cut when no crossing was passed.
    std::uint32_t crossing_walking_back(std::uint32_t start, std::uint32_t cut, std::int64_t level) const {
        std::uint32_t crossing = cut;
        for (std::uint32_t frame = start - 1; frame > cut && frame < start; --frame) {
            if (crossing_before(frame)) crossing = frame;
            if (magnitude(at(frame)) > level) break;
        }
        return crossing;
    }

    // Walking forward from cut + 1 to start - 1: the last crossing passed before a sample
    // louder than `level`; start when no crossing was passed.
    std::uint32_t crossing_walking_forward(std::uint32_t cut, std::uint32_t start, std::int64_t level) const {
        std::uint32_t crossing = start;
        for (std::uint32_t frame = cut + 1; frame < start; ++frame) {
            if (crossing_before(frame)) crossing = frame;
            if (magnitude(at(frame)) > level) break;
        }
        return crossing;
    }

    void rebuild_half_wave(std::uint32_t start, std::uint32_t end);
    void find_clipped_runs(std::uint32_t start, std::uint32_t length);
    void rebuild_run(std::uint32_t start, const ClippedRun& run, std::int64_t scale);

    static constexpr std::uint32_t none = 0xFFFFFFFFu;
    static constexpr std::uint32_t run_frames = 32;

    LevelFilter& filter_;
    std::uint8_t* bytes_;
    std::uint32_t frames_;
    std::uint32_t channels_;
    std::uint32_t channel_;
    bool sixteen_;
    bool final_;
    std::uint32_t window_;
    std::uint32_t limit_;
    std::uint32_t from_;
    LevelFilter::WalkMark& mark_;
    std::uint32_t walk_from_;    // where the walk over the half-waves begins
    std::uint32_t loaded_from_;  // the frames read from the bytes so far: from here on
    std::uint32_t best_ = 0;     // the longest distance to a louder sample so far
    std::vector<std::int32_t>& values_;
    std::vector<std::int32_t>& run_levels_;
    bool reaches_full_scale_ = false;
    std::uint32_t changed_from_;  // the changed frames, written back at the end
    std::uint32_t changed_to_;
    std::vector<ClippedRun> runs_;
};

// Runs that start at full scale and go on while the next sample, or the one after it, has
// that same value; only runs longer than two samples count.
void LevelFilter::ChannelPass::find_clipped_runs(std::uint32_t start, std::uint32_t length) {
    runs_.clear();
    auto value = [&](std::uint32_t i) -> std::int64_t { return at(start + i); };
    for (std::uint32_t i = 0; i < length;) {
        std::int64_t const clipped = value(i);
        if (clipped != 32767 && clipped != -32768) {
            ++i;
            continue;
        }
        std::uint32_t j = i + 1;
        for (;;) {
            if (j < length && value(j) == clipped)
                j += 1;
            else if (j + 1 < length && value(j + 1) == clipped)
                j += 2;
            else
                break;
        }
        if (j - i > 2) {
            ClippedRun run{};
            run.begin = i;
            run.end = j;
            run.clipped = static_cast<std::int32_t>(clipped);
            run.before = i >= 1 ? value(i - 1) : clipped;
            std::int64_t const second_before = i >= 2 ? value(i - 2) : run.before;
            run.after = j < length ? value(j) : clipped;
            std::int64_t const second_after = j + 1 < length ? value(j + 1) : run.after;
            run.rise = std::max(magnitude(run.before - second_before), magnitude(clipped - run.before));
            run.fall = std::max(magnitude(run.after - second_after), magnitude(clipped - run.after));
            run.span = j - i + 1;
            // Without any slope the top cannot be estimated: the run stays as it is.
            if (run.rise + run.fall > 0) {
                run.top_at = static_cast<double>(2 * (magnitude(run.after) - magnitude(run.before)) +
                                                 run.span * run.fall) /
                             static_cast<double>(run.fall + run.rise);
                run.estimate = static_cast<int>(run.rise * run.top_at / 2 + magnitude(run.before));
                runs_.push_back(run);
            }
        }
        i = j;
    }
}

void LevelFilter::ChannelPass::rebuild_half_wave(std::uint32_t start, std::uint32_t end) {
    std::uint32_t const length = end - start;
    if (length < 3) return;
    find_clipped_runs(start, length);
    if (runs_.empty()) return;

    std::int64_t highest_estimate = 0;
    std::int64_t highest_clipped = 0;
    for (ClippedRun const& run : runs_) {
        highest_estimate = std::max<std::int64_t>(highest_estimate, std::min(run.estimate, rebuilt_ceiling));
        highest_clipped = std::max(highest_clipped, magnitude(run.clipped));
    }
    if (highest_estimate <= highest_clipped) return;
    will_change(start, end);
    std::int64_t const scale = highest_clipped * 16384 / highest_estimate;

    std::uint32_t outside = 0;
    for (ClippedRun const& run : runs_) {
        for (; outside < run.begin; ++outside) put(start + outside, at(start + outside) * scale / 16384);
        rebuild_run(start, run, scale);
        outside = run.end;
    }
    for (; outside < length; ++outside) put(start + outside, at(start + outside) * scale / 16384);
}

// The run becomes a rise from the sample before it, a top, and a fall to the sample after
// it, all scaled so that the highest rebuilt top of the half-wave stays at full scale.
void LevelFilter::ChannelPass::rebuild_run(std::uint32_t start, const ClippedRun& run, std::int64_t scale) {
    std::int64_t const sign = run.clipped < 1 ? -1 : 1;
    std::int64_t const before = magnitude(run.before);
    std::int64_t const after = magnitude(run.after);
    double rise_until = run.top_at;
    double fall_from = run.top_at;
    if (run.estimate >= rebuilt_ceiling) {
        // The top is cut at the ceiling: a flat top between the rise and the fall.
        rise_until = 2.0 * static_cast<double>(rebuilt_ceiling - before) / static_cast<double>(run.rise);
        fall_from = static_cast<double>(run.span) - (run.fall == 0 ? 0.0
                                                                    : 2.0 * static_cast<double>(rebuilt_ceiling - after) /
                                                                          static_cast<double>(run.fall));
    }
    double const unit = static_cast<double>(scale) / 16384.0;
    for (std::int64_t q = 1; q < run.span; ++q) {
        auto const frame = static_cast<std::uint32_t>(start + run.begin + q - 1);
        auto const dq = static_cast<double>(q);
        std::int64_t value = 0;
        if (rise_until >= 1.0 && dq <= rise_until) {
            double const level = static_cast<double>(before + q * run.rise / 2) +
                                 dq * (static_cast<double>(run.rise) - dq * static_cast<double>(run.rise) / rise_until) / 2.0;
            value = static_cast<std::int64_t>(level * unit);
        } else if (dq <= fall_from) {
            value = scale * rebuilt_ceiling / 16384;
        } else {
            std::int64_t const m = run.span - q;
            auto const dm = static_cast<double>(m);
            double const falling = static_cast<double>(run.span) - fall_from;
            double const level = static_cast<double>(after + m * run.fall / 2) +
                                 dm * (static_cast<double>(run.fall) - dm * static_cast<double>(run.fall) / falling) / 2.0;
            value = static_cast<std::int64_t>(level * unit);
        }
        put(frame, sign * value);
    }
}

std::uint32_t LevelFilter::process_frames(std::uint8_t* bytes, std::uint32_t frames, std::uint32_t rate,
                                          std::uint32_t channels, bool sixteen, bool final) {
    std::uint32_t const window = rate / 10;
    std::uint32_t const held_back = final ? 0 : window;
    if (frames <= held_back) return 0;
    std::uint32_t const limit = frames - held_back;

    ChannelPass::Fallback fallbacks[2];
    for (std::uint32_t channel = 0; channel < channels; ++channel) {
        auto const from = std::min<std::uint32_t>(static_cast<std::uint32_t>(carried_[channel]), frames);
        ChannelPass pass(*this, bytes, frames, channels, channel, sixteen, final, window, limit, from);
        if (sixteen) pass.rebuild_clipped_tops();
        carried_[channel] = static_cast<std::int32_t>(pass.apply_gains(last_peak_[channel]));
        fallbacks[channel] = pass.fallback;
    }

    auto consumed = static_cast<std::uint32_t>(*std::min_element(carried_, carried_ + channels));
    if (consumed == 0 && frames > rate) {
        // More than a second without a strong peak on some channel: release up to the
        // strongest peak seen, without gain.
        std::uint32_t released = frames;
        for (std::uint32_t channel = 0; channel < channels; ++channel)
            released = std::min(released, fallbacks[channel].found ? fallbacks[channel].end
                                                                   : static_cast<std::uint32_t>(carried_[channel]));
        forget_walks();
        if (released == 0) {
            carried_[0] = carried_[1] = 0;
            consumed = frames;
        } else {
            consumed = released;
            for (std::uint32_t channel = 0; channel < channels; ++channel) {
                ChannelPass::Fallback const& fallback = fallbacks[channel];
                if (!fallback.found) {
                    carried_[channel] -= static_cast<std::int32_t>(consumed);
                    continue;
                }
                if (magnitude(fallback.peak) > magnitude(last_peak_[channel])) last_peak_[channel] = fallback.peak;
                std::uint32_t const reached = std::max(fallback.end, static_cast<std::uint32_t>(carried_[channel]));
                carried_[channel] = static_cast<std::int32_t>(reached - consumed);
            }
        }
    } else {
        for (std::uint32_t channel = 0; channel < channels; ++channel) {
            carried_[channel] -= static_cast<std::int32_t>(consumed);
            walk_marks_[channel].move_back(consumed);
        }
    }
    if (final) {
        forget_walks();
        last_peak_[0] = last_peak_[1] = 0;
        carried_[0] = carried_[1] = 0;
    }
    return consumed;
}

}  // namespace audio
