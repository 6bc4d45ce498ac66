#include "bench/job/job_support.h"

#include <cstdio>
#include <filesystem>

#include "audio/file_reader_wav_pcm.h"
#include "platform/device.h"

namespace bench_job {

std::optional<std::u16string> device_file(const std::string& host) {
    std::error_code error;
    std::filesystem::path const absolute = std::filesystem::absolute(host, error);
    if (!error) {
        if (auto inside = platform::device_path(absolute.lexically_normal().string())) return inside;
    }
    std::fprintf(stderr, "bench-job: %s is not inside the device's file system (%s/fs)\n", host.c_str(),
                 platform::device_folder().c_str());
    return std::nullopt;
}

namespace {

// The player's side of a play graph without a device.
class PullEnd : public audio::Consumer<audio::PCMData> {};

}  // namespace

std::uint64_t pull_to_end(audio::Provider<audio::PCMData>& end) {
    constexpr std::uint32_t pull_frames = 16384;
    PullEnd sink;
    audio::connect<audio::PCMData>(&end, &sink);
    std::uint64_t frames = 0;
    for (;;) {
        audio::PCMData const block = sink.pull_data(pull_frames);
        if (block.is_empty()) break;
        frames += block.get_frame_count();
    }
    audio::connect<audio::PCMData>(&end, nullptr);
    return frames;
}

bool feed_wav(const std::u16string& path, audio::Consumer<audio::PCMData>& head) {
    audio::FileReaderWAVPCM reader(path);
    if (!reader.is_valid()) return false;
    audio::connect<audio::PCMData>(&reader, &head);
    while (!reader.is_at_end() && reader.read_block(5000)) {
    }
    audio::connect<audio::PCMData>(&reader, nullptr);
    return true;
}

int fail(const char* text, const std::string& file) {
    std::fprintf(stderr, "bench-job: %s: %s\n", text, file.c_str());
    return 1;
}

}  // namespace bench_job
