// The error box, the confirmation answered each way, and the save progress that a stop
// shows while the recorded sound still held in the active buffer goes to the file.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "audio/active_buffer.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "screens/complete_form.h"
#include "screens/message_forms.h"
#include "skin/button.h"
#include "tests/screens/dialog_fixture.h"

namespace dialog_test {
namespace {

class MessageFormsTest : public DialogTest {};

skinner::Control& control_of(skinner::Form& form, const std::u16string& name) {
    skinner::Control* const control = form.find_control(name);
    EXPECT_NE(control, nullptr) << std::string(name.begin(), name.end());
    return *control;
}

TEST_F(MessageFormsTest, EachButtonOfTheConfirmationGivesItsAnswer) {
    struct Case {
        const char16_t* form;
        const char16_t* button;
        std::int32_t answer;
    };
    for (Case const c : {Case{u"ConfirmYesNo", u"btnYes", screens::CONFIRM_YES},
                         Case{u"ConfirmYesNo", u"btnNo", screens::CONFIRM_NO},
                         Case{u"Confirm5Way", u"btnYes", screens::CONFIRM_YES},
                         Case{u"Confirm5Way", u"btnNo", screens::CONFIRM_NO},
                         Case{u"Confirm5Way", u"btnYesAll", screens::CONFIRM_YES_TO_ALL},
                         Case{u"Confirm5Way", u"btnNoAll", screens::CONFIRM_NO_TO_ALL},
                         Case{u"Confirm5Way", u"btnCancel", screens::CONFIRM_CANCEL}}) {
        screens::ConfirmForm form(nullptr, dialogs.get(), c.form);
        screens::set_form_texts(form, u"Replace", u"Replace a.mp3?");
        post_action([&] { tap(control_of(form, c.button)); });
        EXPECT_EQ(form.run(), c.answer) << std::string(c.button, c.button + 9);
    }
}

TEST_F(MessageFormsTest, TheConfirmationClosedWithoutAButtonAnswersNoAndItsTextsDoNotCloseIt) {
    screens::ConfirmForm form(nullptr, dialogs.get(), u"Confirm5Way");
    screens::set_form_texts(form, u"Delete", u"Delete the read-only file a.wav?");
    post_action([&] {
        tap(control_of(form, u"frmMessage"));
        tap(control_of(form, u"frmCaption"));
        expect_looks_like("confirm_5way");
        EXPECT_TRUE(form.is_window_visible());
        PostMessageW(form.get_window(), WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(form.run(), screens::CONFIRM_NO);
}

TEST_F(MessageFormsTest, TheErrorBoxShowsItsTextsAndEndsWithOk) {
    screens::ErrorForm form(nullptr, dialogs.get());
    screens::set_form_texts(form, dialogs->translate(u"on_failed_to_beam_caption"),
                            dialogs->translate(u"on_failed_to_beam"));
    bool shown = false;
    post_action([&] {
        expect_looks_like("error");
        shown = true;
        tap(control_of(form, u"btnOk"));
    });
    form.do_modal();
    EXPECT_TRUE(shown);
}

// Holds every block until let go, as a slow file would.
class GatedSink : public audio::Consumer<audio::PCMData> {
public:
    void on_data(const audio::PCMData&) override {
        std::unique_lock lock(mutex_);
        ++taken_;
        opened_.wait(lock, [&] { return open_; });
    }
    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
    int taken_ = 0;
};

audio::PCMData block_of(std::uint32_t bytes) {
    liba::SharedBuffer buffer(bytes);
    return audio::PCMData(buffer, 1, 16, 22050);
}

TEST_F(MessageFormsTest, TheSaveProgressShowsWhileTheBufferDrainsAndClosesWhenItIsEmpty) {
    GatedSink sink;
    audio::ActiveBuffer buffer;
    audio::connect(&buffer, &sink);
    for (int i = 0; i < 40; ++i) buffer.on_data(block_of(10000));
    screens::ErrorForm owner(nullptr, dialogs.get());
    auto const factory = screens::make_drain_progress(dialogs.get());
    auto const progress = factory(owner, buffer);
    ASSERT_NE(progress, nullptr);
    bool seen = false;
    post_action([&] {
        skinner::Form* const form = skinner::Form::get_current_modal();
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(form->is_window_visible());
        expect_looks_like("save_progress");
        seen = true;
        sink.open();
    });
    progress->run_modal();
    EXPECT_TRUE(seen);
    EXPECT_EQ(buffer.get_block_count(), 0u);
}

TEST_F(MessageFormsTest, AnEmptyBufferClosesTheSaveProgressAtTheFirstTick) {
    audio::ActiveBuffer buffer;
    screens::CompleteForm form(nullptr, dialogs.get(), buffer);
    form.do_modal();
    auto* const bar = dynamic_cast<skinner::ControlProgress*>(form.find_control(u"pbProgress"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->get_progress(), 0.0);
}

}  // namespace
}  // namespace dialog_test
