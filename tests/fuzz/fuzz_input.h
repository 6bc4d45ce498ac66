// Shared by the fuzz targets: the device they run on and the file that carries each input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzing {

// Makes a device folder of this process's own (inside the one that SONBRIX_DEVICE names,
// if any), removed when the process ends.
void use_private_device();
// Writes the input as the device file at the path ("\fuzz\input.bin"); false when it could
// not be written (the input is then skipped).
bool write_device_file(const std::u16string& path, const std::uint8_t* data, std::size_t size);

}  // namespace fuzzing
