#include "platform/linux/kernel/process_state.h"

#include "platform/testing.h"
#include "platform/wave_testing.h"

namespace platform {

void reset_process_state() {
    detail::forget_wave_notes();
    detail::forget_back_end_modules();
    detail::forget_media_notes();
    detail::forget_prepared_devices();
    detail::forget_registry_cache();
    reset_virtual_wave();
    set_test_clock(TestClock::real);
}

}  // namespace platform
