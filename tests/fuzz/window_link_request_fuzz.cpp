// Any bytes that another program of the user writes to a process's window link: the
// request parser takes exactly the well-formed requests and allocates no more than its caps.
#include <cstddef>
#include <cstdint>

#include "platform/testing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::parse_window_link_request(data, size);
    return 0;
}
