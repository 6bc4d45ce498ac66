#include "tests/screens/screens_fixture.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/linux/user/screen_windows.h"
#include "skin/form_impl.h"
#include "tests/support/expected_image.h"

namespace screens_test {

const char16_t* const settings_skin = u"\\Program Files\\Sonbrix\\skins\\settings\\settings.skin";
const char16_t* const main_skin = u"\\Program Files\\Sonbrix\\skins\\Default\\Default.skin";

ScreensTest::ScreensTest(const char* screen_size) : screen(screen_size) {
    std::string const size = screen_size;
    width = std::stoi(size.substr(0, size.find('x')));
    height = std::stoi(size.substr(size.find('x') + 1));
    std::filesystem::create_directories(device.fs());
    std::filesystem::copy(SONBRIX_DATA_STAGE, device.fs(),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
}

ScreensTest::~ScreensTest() = default;

std::unique_ptr<skinner::Properties> ScreensTest::load_skin(const std::u16string& skin_path) {
    auto properties = std::make_unique<skinner::Properties>(skin_path, skinner::Size{width, height});
    EXPECT_TRUE(properties->is_loaded());
    EXPECT_TRUE(properties->set_language(u"\\Program Files\\Sonbrix\\English.lng"));
    return properties;
}

bool ScreensTest::pump_until(const std::function<bool()>& done) { return form_test::pump_forms_until(done); }

void ScreensTest::post_action(std::function<void()> action) { actions_.post(std::move(action)); }

platform::screen::ScreenPicture ScreensTest::painted() {
    auto const nothing_to_paint = [] {
        for (skinner::Form* form : skinner::Form::get_forms()) {
            RECT rect;
            if (GetUpdateRect(form->get_window(), &rect, FALSE)) return false;
        }
        return true;
    };
    for (int round = 0; round < 1000; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) skinner::dispatch_message(message);
        if (nothing_to_paint()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(nothing_to_paint());
    EXPECT_TRUE(platform::detail::sync_screen());
    EXPECT_TRUE(screen.wait_idle());
    return screen.screenshot();
}

void ScreensTest::expect_looks_like(const std::string& name) {
    EXPECT_EQ(testing_support::compare_with_expected(painted(), SONBRIX_SCREENS_EXPECTED, name), "");
}

void ScreensTest::as_user(const std::function<void()>& act, const std::function<void()>& serve) {
    std::thread user(act);
    serve();
    user.join();
}

void ScreensTest::tap(int x, int y) { EXPECT_TRUE(screen.control().tap(x, y)); }

platform::screen::ScreenRect ScreensTest::wait_for_window(int form_width, int form_height) {
    auto const limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < limit) {
        for (const auto& window : screen.windows()) {
            if (window.visible && window.rect.right - window.rect.left == form_width &&
                window.rect.bottom - window.rect.top == form_height) {
                return window.rect;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::string seen;
    for (const auto& window : screen.windows()) {
        seen += "\n  " + window.class_name + " " + std::to_string(window.rect.left) + "," +
                std::to_string(window.rect.top) + " " + std::to_string(window.rect.right - window.rect.left) + "x" +
                std::to_string(window.rect.bottom - window.rect.top) + (window.visible ? " visible" : "") +
                (window.foreground ? " foreground" : "");
    }
    ADD_FAILURE() << "no foreground window of " << form_width << " x " << form_height << "; there are:" << seen;
    return {};
}

void ScreensTest::put(const std::string& path, const std::string& bytes) {
    testing_support::write_host_file(device.host_path(path), bytes);
}

bool ScreensTest::has(const std::string& path) const { return std::filesystem::exists(device.host_path(path)); }

std::string ScreensTest::content(const std::string& path) const {
    return testing_support::read_host_file(device.host_path(path));
}

}  // namespace screens_test
