// Any menu-bar resource text: reading it stays inside the bytes, and what it accepts keeps
// within its limits.
#include <cstdlib>
#include <string_view>

#include "native/menu_bar_resource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string problem;
    auto const layout = native::parse_menu_bar_resource(std::string_view(reinterpret_cast<const char*>(data), size), problem);
    if (!layout && problem.empty()) std::abort();
    if (layout) {
        if (layout->buttons.size() > 32) std::abort();
        for (auto const& button : layout->buttons) {
            if (button.command < 1 || button.command > 65535 || button.text.size() > 64) std::abort();
        }
    }
    return 0;
}
