// What the jobs of bench-job share: finding a host file in the device's file system,
// pulling a play chain to its end, and feeding a WAV file into a record chain.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "audio/blocks.h"
#include "audio/stream_ends.h"

namespace bench_job {

// The host files that a job reads and writes.
struct Files {
    std::string input;
    std::string output;
};

// The device path of a host file, which must lie in the device's file system (fs/ under
// SONBRIX_DEVICE): the engine opens device paths only, and copying the file in first would
// be timed with the job. Says why on stderr when it does not.
std::optional<std::u16string> device_file(const std::string& host);

// Pulls the end of a play graph the way the player does (16384 frames a pull) until the
// first empty block; the sound goes nowhere. The frames pulled.
std::uint64_t pull_to_end(audio::Provider<audio::PCMData>& end);

// Feeds a PCM WAV file into the head of a record chain the way a conversion does: 5000 bytes
// of data a read. False when the file is not a PCM WAV file.
bool feed_wav(const std::u16string& path, audio::Consumer<audio::PCMData>& head);

// Prints "bench-job: <text>: <file>" on stderr and gives the failure exit code.
int fail(const char* text, const std::string& file);

}  // namespace bench_job
