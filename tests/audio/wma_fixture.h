// WMA files made at test time with ffmpeg, in the test's device folder.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testing_support {

// A sine tone of that many seconds coded as WMA version 2 at the host path; false when
// ffmpeg failed.
inline bool make_wma_file(const std::string& host_path, double seconds, int channels = 2) {
    std::filesystem::create_directories(std::filesystem::path(host_path).parent_path());
    std::string const command = "ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=440:duration=" +
                                std::to_string(seconds) + " -ac " + std::to_string(channels) +
                                " -ar 44100 -c:a wmav2 '" + host_path + "'";
    return std::system(command.c_str()) == 0;
}

}  // namespace testing_support
