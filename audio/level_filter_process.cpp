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

class LevelFilter::ChannelPass {
public:
    ChannelPass(LevelFilter& filter, std::uint8_t* bytes, std::uint32_t frames, std::uint32_t channels,
                std::uint32_t channel, bool sixteen, bool final, std::uint32_t window, std::uint32_t limit)
        : filter_(filter),
          bytes_(bytes),
          frames_(frames),
          channels_(channels),
          channel_(channel),
          sixteen_(sixteen),
          final_(final),
          window_(window),
          limit_(limit) {}

    struct Fallback {
        bool found = false;
        std::int32_t peak = 0;
        std::uint32_t end = 0;
    };

    void rebuild_clipped_tops(std::uint32_t from) {
        for (std::uint32_t start = from; start < limit_;) {
            std::uint32_t const end = half_wave_end(start);
            if (end == frames_ && !final_) return;
            rebuild_half_wave(start, end);
            start = end;
        }
    }

    // Gives every strong peak its gain from the carried position on; returns the frame
    // where the work goes on next time.
    std::uint32_t apply_gains(std::uint32_t from, std::int32_t& last_peak) {
        std::uint32_t cut = from;
        std::uint32_t best = 0;
        for (std::uint32_t start = from; start < limit_;) {
            std::uint32_t end = half_wave_end(start);
            if (end == frames_ && !final_) break;
            std::uint32_t const loudest = loudest_in(start, std::min(end, limit_));
            std::int32_t const peak = at(loudest);
            if (peak == 0) {
                start = end;
                continue;
            }
            std::uint32_t const distance = distance_to_louder(loudest, cut);
            if (distance >= best) {
                best = distance;
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
            if (end >= limit_) break;
            start = end;
        }
        return cut;
    }

    Fallback fallback;

private:
    // On the 16-bit scale: 8-bit samples as (byte - 128) x 256.
    std::int32_t at(std::uint32_t frame) const {
        std::uint32_t const index = frame * channels_ + channel_;
        return sixteen_ ? samples::read16(bytes_, index) : samples::read8(bytes_, index) * 256;
    }

    // Written back clamped to the sample range, not wrapped.
    void put(std::uint32_t frame, std::int64_t value) {
        std::uint32_t const index = frame * channels_ + channel_;
        auto const clamped = static_cast<std::int32_t>(std::clamp<std::int64_t>(value, -32768, 32767));
        if (sixteen_)
            samples::write16(bytes_, index, clamped);
        else
            samples::write8(bytes_, index, clamped >> 8);
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
        for (std::uint32_t i = begin + 1; i < end; ++i)
            if (magnitude(at(i)) > magnitude(at(loudest))) loudest = i;
        return loudest;
    }

    // The nearest louder sample, looking back no further than the cut; the window when
    // none lies within it.
    std::uint32_t distance_to_louder(std::uint32_t frame, std::uint32_t cut) const {
        std::int64_t const peak = magnitude(at(frame));
        for (std::uint32_t d = 1; d < window_; ++d) {
            if (frame >= cut + d && magnitude(at(frame - d)) > peak) return d;
            if (frame + d < frames_ && magnitude(at(frame + d)) > peak) return d;
        }
        return window_;
    }

    // From the old peak's gain to the new one's: the old gain up to a zero crossing, a ramp
    // up to another, then the new gain to the end of the peak's half-wave.
    void move_gain(std::uint32_t cut, std::uint32_t start, std::uint32_t end, std::int32_t old_peak,
                   std::int32_t peak) {
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

    LevelFilter& filter_;
    std::uint8_t* bytes_;
    std::uint32_t frames_;
    std::uint32_t channels_;
    std::uint32_t channel_;
    bool sixteen_;
    bool final_;
    std::uint32_t window_;
    std::uint32_t limit_;
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
        ChannelPass pass(*this, bytes, frames, channels, channel, sixteen, final, window, limit);
        auto const from = std::min<std::uint32_t>(static_cast<std::uint32_t>(carried_[channel]), frames);
        if (sixteen) pass.rebuild_clipped_tops(from);
        carried_[channel] = static_cast<std::int32_t>(pass.apply_gains(from, last_peak_[channel]));
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
        for (std::uint32_t channel = 0; channel < channels; ++channel)
            carried_[channel] -= static_cast<std::int32_t>(consumed);
    }
    if (final) {
        last_peak_[0] = last_peak_[1] = 0;
        carried_[0] = carried_[1] = 0;
    }
    return consumed;
}

}  // namespace audio
