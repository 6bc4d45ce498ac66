#include "audio/record_level.h"

#include <algorithm>
#include <mutex>

#include "audio/filter_samples.h"

namespace audio {

double RecordLevelControlSoft::gain_of(double level) {
    if (level < 0.5) return 0.05 + (level / 0.5) * 0.95;
    return 1.0 + ((level - 0.5) / 0.5) * 9.0;
}

PCMData RecordLevelControlSoft::process(const PCMData& in) {
    if (level_ == 0.5) return in;
    bool const sixteen = in.bits_per_sample == 16;
    if (!sixteen && in.bits_per_sample != 8) return in;

    double const gain = gain_of(level_);
    std::uint32_t const count = in.get_frame_count() * in.channels;
    liba::SharedBuffer out(in.get_size());
    out.copy_from(0, in.buffer);
    std::uint8_t* bytes = out.get_writable_data();
    double const low = sixteen ? -32768.0 : -128.0;
    double const high = sixteen ? 32767.0 : 127.0;
    for (std::uint32_t i = 0; i < count; ++i) {
        double const scaled = std::clamp(samples::read(bytes, sixteen, i) * gain, low, high);
        if (sixteen)
            samples::write16(bytes, i, static_cast<std::int32_t>(scaled));
        else  // truncated after the offset, as an unsigned byte
            bytes[i] = static_cast<std::uint8_t>(scaled + 128.0);
    }
    return in.with_buffer(out);
}

RecordLevelControl::RecordLevelControl() : impl_(std::make_unique<RecordLevelControlSoft>()) {}

RecordLevelControl::~RecordLevelControl() = default;

double RecordLevelControl::get_level() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    return impl_->get_level();
}

void RecordLevelControl::set_level(double level) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    impl_->set_level(level);
}

void RecordLevelControl::set_impl(std::unique_ptr<RecordLevelControlImpl> impl) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (impl && impl != impl_) impl_ = std::move(impl);
}

PCMData RecordLevelControl::process(const PCMData& in) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    return impl_->process(in);
}

}  // namespace audio
