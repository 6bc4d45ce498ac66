// The display without a window: the composed frame stays in the server (screenshots read
// it there) and input comes only from the control link.
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/linux/display/display_driver.h"

namespace platform::display {
namespace {

class HeadlessDisplay final : public DisplayDriver {
public:
    const char* name() const override { return "headless"; }
    void present(const Frame&, const std::vector<ScreenRect>&) override {}
    void resize(const ScreenMode&) override {}

    bool wait_input(InputEvent&, int timeout_ms) override {
        std::unique_lock lock(mutex_);
        woken_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return wake_; });
        wake_ = false;
        return false;
    }

    void wake() override {
        std::lock_guard lock(mutex_);
        wake_ = true;
        woken_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable woken_;
    bool wake_ = false;
};

std::unique_ptr<DisplayDriver> create_headless(const ScreenMode&, int, std::string&) {
    return std::make_unique<HeadlessDisplay>();
}

}  // namespace

extern const DisplayBootstrap headless_bootstrap;
const DisplayBootstrap headless_bootstrap = {"headless", "no window: tests, CI, servers", create_headless};

}  // namespace platform::display
