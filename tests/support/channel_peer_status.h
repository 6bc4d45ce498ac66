// The status record that the channel's stand-in program answers (channel_peer/main.cpp).
#pragma once

#include <algorithm>
#include <string_view>

#include "app/comm/sonbrix_status.h"

namespace testing_support {

inline constexpr std::u16string_view status_file_sent = u"\\My Documents\\Rec \U0001F600 1.wav";

inline StatusData status_sent() {
    StatusData data{};
    data.state = 2;
    std::copy(status_file_sent.begin(), status_file_sent.end(), data.current_file);
    data.length = 1000;
    data.position = 500;
    data.format_kind = 0;
    data.sample_rate = 22050;
    data.bits_per_sample = 16;
    data.bit_rate = 32;
    data.stereo = 1;
    data.elapsed = 12345;
    return data;
}

}  // namespace testing_support
