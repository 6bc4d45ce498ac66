#pragma once

#include <deque>
#include <vector>

#include "audio/blocks.h"
#include "audio/stream_ends.h"
#include "foundation/stopwatch.h"

namespace audio {

// The level of the sound being recorded and how long the input has stayed quiet. Passes
// every block on unchanged; reads the first channel only.
class LevelMeterRecord : public Processor<PCMData, PCMData> {
public:
    explicit LevelMeterRecord(double silence_limit);
    ~LevelMeterRecord() override = default;

    // 0..1: a sample above it counts as loud.
    void set_threshold(double threshold);
    // The positive peak of the last block, 0..1.
    double get_level();
    // Whether the input has stayed quiet for longer than the silence limit.
    bool is_silence_too_long();

    PCMData process(const PCMData& in) override;

private:
    double level_ = 0.0;
    double threshold_ = 0.0;
    double quiet_time_ = 0.0;
    double silence_limit_;
};

// The level of the sound being heard now, last in the play graph. The player pulls ahead,
// so the meter keeps the levels of the blocks it passed on, one per fifteenth of a second,
// and its clock tells which of them is playing.
class LevelMeter : public Processor<PCMData, PCMData> {
public:
    LevelMeter() = default;
    ~LevelMeter() override = default;

    double get_current_level();
    // Pauses or resumes the clock together with the player.
    void set_paused(bool paused);
    // Forgets the queued levels (playback stopped).
    void clear();

    PCMData process(const PCMData& in) override;

protected:
    // The clock: seconds since its last restart.
    virtual double read_clock() const { return clock_.elapsed(); }
    virtual void restart_clock() { clock_.restart(); }

private:
    struct LevelRecord {
        std::vector<double> levels;
        std::uint32_t sample_rate;
        double duration;
    };

    double now() const { return paused_ ? pause_time_ : read_clock(); }
    void drop_heard(double now);
    static LevelRecord measure(const PCMData& in, double windows_per_second);

    os::Stopwatch clock_;
    std::deque<LevelRecord> queue_;
    double consumed_ = 0.0;
    double const windows_per_second_ = 15.0;
    double pause_time_ = 0.0;
    bool paused_ = false;
};

}  // namespace audio
