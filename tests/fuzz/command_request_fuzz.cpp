// Any request text from another process, for any command id: reading it never fails, no
// field passes its longest, and a well-formed request that records names a file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/comm/command_request.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::int32_t const command = static_cast<std::int32_t>(data[0] % 11) - 1;
    std::u16string text;
    for (std::size_t i = 1; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    CommandRequest const request = parse_command_request(command, text);
    if (request.path.size() > longest_request_path) std::abort();
    if (request.well_formed && command >= 2 && command <= 4 && request.path.empty()) std::abort();
    return 0;
}
