#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "audio/blocks.h"
#include "audio/stream_ends.h"

namespace audio {

// Reshapes the level of the sound through a 256-entry transfer curve (booster, noise gate,
// limiter). It finds the strong peaks of each channel, gives each the gain that the curve
// asks for, ramps the gain from one strong peak to the next at zero crossings, and first
// rebuilds the tops of 16-bit half-waves that were clipped at full scale. It holds back
// rate / 10 frames of each block until the next one.
class LevelFilter : public Consumer<PCMData>, public Provider<PCMData> {
public:
    using Table = std::array<std::int32_t, 256>;

    LevelFilter();
    ~LevelFilter() override = default;

    // booster -256..256, noise 0..256, limiter 0..256; arguments outside leave the filter
    // as it is, all three 0 pass the sound through.
    void set_curve(int booster, int noise, int limiter);
    // A table of output levels (1/256 of full scale) for input levels (i + 1) / 256, or
    // none: the identity and pass through.
    void set_table(const Table* table);
    // Forgets the peaks and positions (before a new curve); the gathered sound stays.
    void clear_state();
    // Forgets the gathered input and the output not yet handed out as well, so that
    // nothing of the old sound follows a seek or starts the next stream.
    void drop_sound();

    const Table& get_table() const { return table_; }
    bool is_pass_through() const { return pass_through_; }

    void on_data(const PCMData& in) override;
    PCMData get_data(std::uint32_t count) override;

    // Works in place on the gathered samples and returns how many bytes are done. Public
    // for the tests; the stage calls it under its lock.
    std::uint32_t process(PCMData& samples, bool final);
    // The curve's output for a signed 16-bit-scale input, in 1/2^14 sample units.
    std::int64_t lookup(std::int32_t value) const;
    // The gain (14 fractional bits) that brings the peak where the curve asks.
    std::int64_t gain_of(std::int32_t peak) const;

    static Table build_curve(int booster, int noise, int limiter);

private:
    class ChannelPass;

    // The loudest peak of the longest distance to a louder sample in a pass: where the
    // sound is released when no strong peak comes for a second.
    struct PeakFound {
        bool found = false;
        std::int32_t peak = 0;
        std::uint32_t end = 0;
    };
    // Where a channel's walk over the half-waves may go on in the next pass over the same
    // gathered sound (see ChannelPass).
    struct WalkMark {
        bool valid = false;
        std::uint32_t from = 0;   // the pass's carried position
        std::uint32_t start = 0;  // the first half-wave not final
        std::uint32_t best = 0;
        PeakFound fallback;

        void move_back(std::uint32_t frames) {
            from -= frames;
            start -= frames;
            if (fallback.found) fallback.end -= frames;
        }
    };

    // The work of process() on the gathered sound, which may go on from the marks.
    std::uint32_t work_on(PCMData& samples, bool final);
    void forget_walks() { walk_marks_[0].valid = walk_marks_[1].valid = false; }

    std::uint32_t process_frames(std::uint8_t* bytes, std::uint32_t frames, std::uint32_t rate,
                                 std::uint32_t channels, bool sixteen, bool final);
    PCMData take_output(std::uint32_t count);

    bool pass_through_ = true;
    PCMData input_;
    PCMData output_;
    Table table_{};
    std::int32_t last_peak_[2] = {};  // 16-bit scale, signed; 0 = none yet
    std::int32_t carried_[2] = {};    // frames of the gathered input where work goes on
    // Room a channel's pass works in, kept from pass to pass.
    struct WorkSpace {
        std::vector<std::int32_t> values;
        std::vector<std::int32_t> run_levels;
    };
    WorkSpace work_;
    WalkMark walk_marks_[2];
};

}  // namespace audio
