// Any bytes that another program of the user writes to the device's screen socket: a run of
// messages from two links. The parser takes only well-formed requests within its caps, and
// the screen carries them out (surfaces with memory of their size, input, composition)
// without reading or writing outside any surface or the frame.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/linux/screen/screen_protocol.h"
#include "platform/linux/screen/screen_state.h"

namespace {

using namespace platform::screen;

// Memory of exactly the surface's size, as a mapped memfd would be.

// Small surfaces only, so that an input cannot make the fuzzer allocate gigabytes.
constexpr long max_fuzz_area = 128 * 128;

std::unique_ptr<SurfacePixels> memory_for(const Request& request) {
    if (request.type != MessageType::create_surface && request.type != MessageType::set_rect) return nullptr;
    long const width = request.rect.right - request.rect.left;
    long const height = request.rect.bottom - request.rect.top;
    if (width * height > max_fuzz_area) return nullptr;
    return std::make_unique<MemoryPixels>(static_cast<int>(width), static_cast<int>(height), 0x123456);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A small screen keeps each run short; size requests still bring the device's sizes. The
    // shell's bars and input panel are drawn and tapped too.
    ScreenState state({64, 48, 96}, [](LinkId, std::string) { return true; }, true);
    state.add_link(1, 100, Role::client);
    state.add_link(2, 200, Role::control);
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    // Each message: one byte naming the link (its low bit), then header and payload.
    while (rest.size() >= 1 + header_bytes) {
        LinkId const link = 1 + (static_cast<unsigned char>(rest[0]) & 1);
        MessageHeader header;
        std::memcpy(&header.type, rest.data() + 1, 4);
        std::memcpy(&header.size, rest.data() + 5, 4);
        rest.remove_prefix(1 + header_bytes);
        if (!acceptable_header(header) || header.size > rest.size()) break;
        auto const request = decode_request(header.type, rest.substr(0, header.size));
        rest.remove_prefix(header.size);
        if (!request) continue;
        if (request->type == MessageType::hello) continue;
        state.handle(link, *request, memory_for(*request));
        if (state.needs_compose()) state.compose();
    }
    state.picture_message();
    state.windows_message();
    state.remove_link(1);
    state.compose();
    return 0;
}
