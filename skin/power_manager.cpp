#include "skin/power_manager.h"

#include <cstdint>

#include "foundation/log.h"
#include "platform/dialogs.h"
#include "platform/messages.h"
#include "skin/display_escape.h"
#include "skin/form.h"
#include "skin/form_impl.h"

namespace skinner {
namespace {

constexpr std::uint32_t power_on = 1;
constexpr std::uint32_t power_off = 4;

// The driver's power record: length, version, state.
struct PowerRecord {
    std::uint32_t length = 12;
    std::uint32_t version = 1;
    std::uint32_t state = 0;
};
static_assert(sizeof(PowerRecord) == 12);

bool supports_power_escape(HDC dc) {
    std::int32_t const code = SETPOWERMANAGEMENT;
    return display::ext_escape(dc, QUERYESCSUPPORT, sizeof code, reinterpret_cast<const char*>(&code), 0,
                               nullptr) > 0;
}

// The screen's device context for one call.
class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() { ReleaseDC(nullptr, dc_); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

}  // namespace

PowerManagerImplPocket::PowerManagerImplPocket(Form* form) : PowerManagerImpl(form) {
    install(form->get_window());
    timer_id_ = form->set_timer(1.0);
}

PowerManagerImplPocket::~PowerManagerImplPocket() {
    form_->kill_timer(timer_id_);
    uninstall();
}

void PowerManagerImplPocket::set_display_on(bool on) {
    ScreenDc const dc;
    if (!supports_power_escape(dc.get())) return;
    PowerRecord record;
    record.state = on ? power_on : power_off;
    display::ext_escape(dc.get(), SETPOWERMANAGEMENT, sizeof record, reinterpret_cast<const char*>(&record),
                        0, nullptr);
    if (on) idle_time_.restart();
}

bool PowerManagerImplPocket::is_display_on() {
    ScreenDc const dc;
    if (!supports_power_escape(dc.get())) return true;
    PowerRecord record;
    display::ext_escape(dc.get(), GETPOWERMANAGEMENT, 0, nullptr, sizeof record,
                        reinterpret_cast<char*>(&record));
    return record.state == power_on;
}

LRESULT PowerManagerImplPocket::on_message(UINT message, WPARAM wparam, LPARAM, bool&) {
    if (message == WM_LBUTTONDOWN || message == WM_KEYDOWN) {
        os::get_log() << "PowerManagerImpl interesting message\n";
        set_display_on(true);
        idle_time_.restart();
    } else if (message == WM_TIMER && wparam == timer_id_) {
        check_idle();
    }
    return 0;
}

void PowerManagerImplPocket::check_idle() {
    if (GetForegroundWindow() != get_window() || !is_display_on()) {
        idle_time_.restart();
        return;
    }
    if (interval_ == 0.0) return;
    if (idle_time_.elapsed() > interval_) {
        os::get_log() << "PowerManagerImpl time.elapsed() > interval\n";
        set_display_on(false);
        // A tap that wakes the screen may reach no window: the next interval counts from here
        // at the latest, not from the last input before the display went off.
        idle_time_.restart();
    }
}

PowerManager::PowerManager(Form* form) {
    if (is_smartphone())
        impl_ = std::make_unique<PowerManagerImpl>(form);
    else
        impl_ = std::make_unique<PowerManagerImplPocket>(form);
}

PowerManager::~PowerManager() = default;

}  // namespace skinner
