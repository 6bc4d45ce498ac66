// Inputs that bench/compare leaves for the benchmarks.
#pragma once

#include <optional>
#include <string>

namespace bench {

// The device path of "<SONBRIX_BENCH_INPUT_DIR>/<name>", copied into the device's file system
// when it lies outside it; nothing when the folder or the file is absent.
std::optional<std::u16string> given_file(const std::string& name);

}  // namespace bench
