// Forms run modally inside each other: the private message and WM_QUIT ending loops, the
// forms disabler, a picture failure deep inside, closing refused, and a form's destruction.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <memory>
#include <string>

#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/testing.h"
#include "platform/windows.h"
#include "skin/button.h"
#include "skin/form_impl.h"
#include "tests/skin/form_fixture.h"

namespace form_test {
namespace {

class FormModalTest : public FormTest {
protected:
    void SetUp() override {
        use_skin(form_xml("Main", 200, 200, "") + form_xml("Child", 100, 100, "") + form_xml("Grandchild", 50, 50, "") +
                 form_xml("Timed", 100, 100, "<auto name=\"btnTimed\" kind=\"Auto.Button\"/>") +
                 "<kind name=\"Auto.Button\"><point name=\"Size\" x=\"20\" y=\"20\"/></kind>");
    }

    // Runs the form modally and logs when its loop has ended.
    void run(TestForm& form, const std::string& name) {
        log.push_back(name + " runs");
        form.do_modal();
        log.push_back(name + " ended");
    }
};

TEST_F(FormModalTest, TheEndMessageEndsOnlyTheInnermostLoop) {
    TestForm main(nullptr, properties.get(), u"Main", log);
    TestForm child(&main, properties.get(), u"Child", log);
    post_action([&] {
        EXPECT_EQ(skinner::Form::get_current_modal(), &main);
        post_action([&] { PostMessageW(child.get_window(), skinner::WM_END_MODAL, 0, 0); });
        run(child, "child");
        EXPECT_EQ(skinner::Form::get_current_modal(), &main);
        post_action([&] { PostMessageW(main.get_window(), skinner::WM_END_MODAL, 0, 0); });
    });
    run(main, "main");
    EXPECT_EQ(log, (Log{"main runs", "child runs", "child ended", "main ended"}));
    EXPECT_EQ(skinner::Form::get_current_modal(), nullptr);
}

// The task bar shows the title of the window in front: an owned form goes by its owner's.
TEST_F(FormModalTest, AnOwnedFormTakesItsOwnersTitle) {
    TestForm main(nullptr, properties.get(), u"Main", log);
    SetWindowTextW(main.get_window(), u"Recorder");
    TestForm child(&main, properties.get(), u"Child", log);
    char16_t text[32] = {};
    GetWindowTextW(child.get_window(), text, 32);
    EXPECT_EQ(std::u16string(text), u"Recorder");
}

TEST_F(FormModalTest, AQuitTakenByAnInnerLoopEndsTheOuterLoopsToo) {
    TestForm main(nullptr, properties.get(), u"Main", log);
    TestForm child(&main, properties.get(), u"Child", log);
    TestForm grandchild(&child, properties.get(), u"Grandchild", log);
    post_action([&] {
        post_action([&] {
            post_action([] { PostQuitMessage(3); });
            run(grandchild, "grandchild");
        });
        run(child, "child");
    });
    // Should a loop wait for ever, a guard ends the loops after ten seconds (not a timing check).
    std::atomic<bool> finished{false};
    std::thread guard([&] {
        for (int waited = 0; waited < 1000 && !finished; ++waited) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (finished) return;
        for (HWND window : {child.get_window(), main.get_window()}) PostMessageW(window, skinner::WM_END_MODAL, 0, 0);
    });
    run(main, "main");
    finished = true;
    guard.join();
    EXPECT_EQ(log, (Log{"main runs", "child runs", "grandchild runs", "grandchild ended", "child ended", "main ended"}));
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the outermost loop took the quit";
}

TEST_F(FormModalTest, TheDisablerReEnablesExactlyTheFormsItDisabled) {
    TestForm main(nullptr, properties.get(), u"Main", log);
    auto other = std::make_unique<TestForm>(nullptr, properties.get(), u"Main", log);
    TestForm already_off(nullptr, properties.get(), u"Main", log);
    EnableWindow(already_off.get_window(), FALSE);
    TestForm child(&main, properties.get(), u"Child", log);
    post_action([&] {
        EXPECT_FALSE(IsWindowEnabled(main.get_window()));
        EXPECT_FALSE(IsWindowEnabled(other->get_window()));
        EXPECT_TRUE(IsWindowEnabled(child.get_window()));
        other.reset();  // deleted while the child runs
        child.close();
    });
    child.do_modal();
    EXPECT_TRUE(IsWindowEnabled(main.get_window()));
    EXPECT_FALSE(IsWindowEnabled(already_off.get_window())) << "it was not the disabler's to enable";
    EXPECT_EQ(GetForegroundWindow(), main.get_window()) << "the owner comes to the front";
}

TEST_F(FormModalTest, APictureFailureThreeFormsDeepClosesThemAllWithOneMessageAtTheOutermost) {
    TestForm main(nullptr, properties.get(), u"Main", log);
    TestForm child(&main, properties.get(), u"Child", log);
    TestForm grandchild(&child, properties.get(), u"Grandchild", log);
    skinner::PictureRef const broken(u"\\skins\\Test\\Test.skin", u"back");
    post_action([&] {
        post_action([&] {
            post_action([&] { grandchild.on_picture_failed_to_load(broken); });
            run(grandchild, "grandchild");
        });
        run(child, "child");
    });
    testing::internal::CaptureStderr();
    run(main, "main");
    std::string const boxes = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log, (Log{"main runs", "child runs", "grandchild runs", "grandchild ended", "child ended", "main ended"}));
    EXPECT_EQ(boxes, "Out of memory: name=back\nscale=1\nbase_path=\\skins\\Test\\Test.skin\n");
}

TEST_F(FormModalTest, AFormThatRefusesToCloseStaysOpenAndModal) {
    TestForm main(nullptr, properties.get(), u"Main", log);
    main.closable = false;
    post_action([&] {
        SendMessageW(main.get_window(), WM_CLOSE, 0, 0);
        post_action([&] {
            log.push_back(main.is_window_visible() && main.is_modal() ? "still open" : "closed");
            main.closable = true;
            main.close();
        });
    });
    run(main, "main");
    EXPECT_EQ(log, (Log{"main runs", "still open", "main ended"}));
    EXPECT_FALSE(main.is_window_visible()) << "closing hides the window";
}

TEST_F(FormModalTest, AnAutomaticControlStopsItsTimerWhileItsFormIsWhole) {
    auto form = std::make_unique<TestForm>(nullptr, properties.get(), u"Timed", log);
    ASSERT_EQ(form->get_auto_controls().size(), 1u);
    skinner::Control* const timed = form->get_auto_controls().front();
    timed->start_timer(10);
    HWND const window = form->get_window();
    UINT_PTR const id = timed->get_timer_id();
    ASSERT_TRUE(platform::window_timer_period(window, id).has_value());
    timed->start_timer(20);
    EXPECT_FALSE(platform::window_timer_period(window, id).has_value()) << "a second start replaces the first";
    EXPECT_EQ(platform::window_timer_period(window, timed->get_timer_id()), 20000u);
    form.reset();  // the sanitizers see any use of the form part after its destructor
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
}  // namespace form_test
