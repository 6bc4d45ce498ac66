// The display driver's power escapes: the screen holds the display's power for the device.
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/gdi.h"
#include "platform/linux/user/screen_windows.h"

namespace {

constexpr int not_supported = 0;
constexpr int done = 1;
constexpr int refused = -1;

// SONBRIX_DISPLAY_POWER=unsupported: a display driver without power management (tests).
bool power_escapes_switched_off() {
    char const* setting = std::getenv("SONBRIX_DISPLAY_POWER");
    return setting && std::string_view(setting) == "unsupported";
}

bool is_power_escape(int escape) { return escape == SETPOWERMANAGEMENT || escape == GETPOWERMANAGEMENT; }

bool screen_answers() {
    bool on = true;
    return platform::detail::screen_display_power(on);
}

int query_support(int input_size, LPCSTR input) {
    DWORD escape = 0;
    if (!input || input_size < static_cast<int>(sizeof escape)) return refused;
    std::memcpy(&escape, input, sizeof escape);
    if (escape == QUERYESCSUPPORT) return done;
    return is_power_escape(static_cast<int>(escape)) && screen_answers() ? done : not_supported;
}

int set_power(int input_size, LPCSTR input) {
    VIDEO_POWER_MANAGEMENT record{};
    if (!input || input_size < static_cast<int>(sizeof record)) return refused;
    std::memcpy(&record, input, sizeof record);
    if (record.Length < sizeof record || record.PowerState < VideoPowerOn || record.PowerState > VideoPowerOff) return refused;
    return platform::detail::set_screen_display_power(record.PowerState == VideoPowerOn) ? done : not_supported;
}

int get_power(int output_size, LPSTR output) {
    VIDEO_POWER_MANAGEMENT record{};
    if (!output || output_size < static_cast<int>(sizeof record)) return refused;
    bool on = true;
    if (!platform::detail::screen_display_power(on)) return not_supported;
    record.Length = sizeof record;
    record.DPMSVersion = 1;
    record.PowerState = on ? VideoPowerOn : VideoPowerOff;
    std::memcpy(output, &record, sizeof record);
    return done;
}

}  // namespace

int ExtEscape(HDC dc, int escape, int input_size, LPCSTR input, int output_size, LPSTR output) {
    // Every device context here draws for the one display (GetDC(NULL) included).
    DWORD const kind = GetObjectType(dc);
    if ((kind != OBJ_DC && kind != OBJ_MEMDC) || power_escapes_switched_off()) return not_supported;
    switch (escape) {
    case QUERYESCSUPPORT: return query_support(input_size, input);
    case SETPOWERMANAGEMENT: return set_power(input_size, input);
    case GETPOWERMANAGEMENT: return get_power(output_size, output);
    default: return not_supported;
    }
}
