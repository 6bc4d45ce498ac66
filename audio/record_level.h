#pragma once

#include <memory>

#include "audio/blocks.h"
#include "audio/stream_ends.h"

namespace audio {

// How the input gain of the record graph is applied.
class RecordLevelControlImpl {
public:
    virtual ~RecordLevelControlImpl() = default;

    // The level, 0..1; 0.5 is unity gain.
    virtual double get_level() = 0;
    virtual void set_level(double level) = 0;
    // Brings a device-side gain up to date; nothing for a gain applied in software.
    virtual void update() = 0;
    // Whether the gain is applied by the sound device.
    virtual bool is_hardware() = 0;
    // Whether this strategy can work on the current device.
    virtual bool is_supported() = 0;
    // Applies the gain; the base passes the block on unchanged.
    virtual PCMData process(const PCMData& in) { return in; }
};

// The gain applied to the samples: level 0 gives x0.05, 0.5 gives x1, 1 gives x10,
// linear in between on either side of 0.5.
class RecordLevelControlSoft : public RecordLevelControlImpl {
public:
    double get_level() override { return level_; }
    void set_level(double level) override { level_ = level; }
    void update() override {}
    bool is_hardware() override { return false; }
    bool is_supported() override { return true; }
    // At level 0.5 the block itself; otherwise a new block with the samples scaled and
    // clamped to their range. Blocks other than 8 or 16 bits pass unchanged.
    PCMData process(const PCMData& in) override;

    static double gain_of(double level);

private:
    double level_ = 0.5;
};

// The input-gain stage of the record graph.
class RecordLevelControl : public Processor<PCMData, PCMData> {
public:
    RecordLevelControl();
    ~RecordLevelControl() override;

    double get_level();
    void set_level(double level);
    // Installs another strategy; the one it replaces is deleted.
    void set_impl(std::unique_ptr<RecordLevelControlImpl> impl);

    PCMData process(const PCMData& in) override;

private:
    std::unique_ptr<RecordLevelControlImpl> impl_;
};

}  // namespace audio
