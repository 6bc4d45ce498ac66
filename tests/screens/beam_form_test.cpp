// Beaming a file to the test OBEX receiver through the form: devices listed, the file
// received byte for byte, a search with nobody in range and another one asked for, a
// refused transfer reported once, and closing the form while it searches.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/messages.h"
#include "platform/windows.h"
#include "screens/beam_form.h"
#include "screens/message_forms.h"
#include "skin/progress.h"
#include "skin/string_list.h"
#include "tests/screens/dialog_fixture.h"
#include "tests/support/child_process.h"

namespace dialog_test {
namespace {

using screens::BeamForm;

class BeamFormTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        std::string bytes;
        for (int i = 0; i < 50000; ++i) bytes += static_cast<char>(i * 7 % 251);
        sent_bytes = bytes;
        testing_support::write_host_file(device.host_path("My Documents/take.wav"), bytes);
        received = device.folder() + "/received";
        std::filesystem::create_directories(received);
    }

    // The receiver in range, in a process of its own, until the test ends.
    void start_receiver(std::vector<std::string> more = {}) {
        std::vector<std::string> arguments{"--name", "Desktop", "--into", received};
        arguments.insert(arguments.end(), more.begin(), more.end());
        receiver = std::make_unique<testing_support::ChildProcess>(SONBRIX_OBEX_RECEIVE, arguments);
        ASSERT_NE(receiver->read_line().find("in range"), std::string::npos);
    }

    static std::vector<std::u16string> rows_of(BeamForm& form) {
        return dynamic_cast<skinner::ControlListString&>(*form.find_control(u"lstDevices")).get_rows();
    }
    static skinner::Control& control(BeamForm& form, const char16_t* name) { return *form.find_control(name); }

    std::string sent_bytes;
    std::string received;
    std::unique_ptr<testing_support::ChildProcess> receiver;
};

TEST_F(BeamFormTest, TheFileGoesToTheDeviceChosenFromTheList) {
    start_receiver();
    BeamForm form(nullptr, dialogs.get(), u"\\My Documents\\take.wav");
    when([&] { return form.get_state() == BeamForm::State::choosing; },
         [&] {
             EXPECT_EQ(rows_of(form), std::vector<std::u16string>{u"Desktop"});
             EXPECT_TRUE(control(form, u"btnBeam").is_enabled());
             expect_looks_like("beam_devices");
             tap(control(form, u"btnBeam"));
         });
    form.execute();
    EXPECT_TRUE(form.was_sent());
    EXPECT_EQ(testing_support::read_host_file(received + "/take.wav"), sent_bytes);
}

TEST_F(BeamFormTest, WithNobodyInRangeTheListSaysSoAndASecondSearchCanBeAskedFor) {
    BeamForm form(nullptr, dialogs.get(), u"\\My Documents\\take.wav");
    std::u16string const nobody = dialogs->translate(u"BEAM_NO_DEVICES");
    std::u16string const searching = dialogs->translate(u"BEAM_SEARCHING");
    auto const shows_nobody = [&] { return rows_of(form) == std::vector<std::u16string>{nobody}; };
    when(shows_nobody, [&] {
        EXPECT_EQ(form.get_state(), BeamForm::State::devices_found);
        EXPECT_FALSE(control(form, u"btnBeam").is_enabled());
        EXPECT_TRUE(control(form, u"btnRefresh").is_enabled());
        expect_looks_like("beam_nobody");
        tap(control(form, u"btnRefresh"));
        when([&] { return rows_of(form) == std::vector<std::u16string>{searching}; },
             [&] {
                 EXPECT_FALSE(control(form, u"btnBeam").is_enabled());
                 EXPECT_FALSE(control(form, u"btnRefresh").is_enabled());
                 when(shows_nobody, [&] { tap(control(form, u"btnOk")); });
             });
    });
    form.execute();
    EXPECT_FALSE(form.was_sent());
}

TEST_F(BeamFormTest, ClosingTheFormWhileItSearchesEndsTheSearch) {
    BeamForm form(nullptr, dialogs.get(), u"\\My Documents\\take.wav");
    post_action([&] {
        EXPECT_EQ(form.get_state(), BeamForm::State::searching);
        PostMessageW(form.get_window(), WM_CLOSE, 0, 0);
    });
    form.execute();
    EXPECT_FALSE(form.was_sent());
}

TEST_F(BeamFormTest, TheBarFollowsTheTransferAndClosingTheFormCancelsIt) {
    // The receiver takes the connection and four packets of the file, then falls silent.
    start_receiver({"--max-packet", "1024", "--stall-after", "5"});
    BeamForm form(nullptr, dialogs.get(), u"\\My Documents\\take.wav");
    auto const& bar = dynamic_cast<skinner::ControlProgress&>(*form.find_control(u"pbProgress"));
    when([&] { return form.get_state() == BeamForm::State::choosing; }, [&] { tap(control(form, u"btnBeam")); });
    // The bar stood full at the end of the search; now it shows the part sent.
    when([&] {
             return form.get_state() == BeamForm::State::sending && bar.get_progress() > 0.0 &&
                    bar.get_progress() < 1.0;
         },
         [&] { PostMessageW(form.get_window(), WM_CLOSE, 0, 0); });
    form.execute();
    EXPECT_FALSE(form.was_sent());
    EXPECT_FALSE(std::filesystem::exists(received + "/take.wav"));
}

TEST_F(BeamFormTest, ARefusedTransferIsReportedOnceAndClosesTheForm) {
    start_receiver({"--refuse"});
    BeamForm form(nullptr, dialogs.get(), u"\\My Documents\\take.wav");
    int reports = 0;
    std::function<bool()> const error_shown = [&] {
        return dynamic_cast<screens::ErrorForm*>(skinner::Form::get_current_modal()) != nullptr;
    };
    std::function<void()> answer = [&] {
        ++reports;
        skinner::Form* const error = skinner::Form::get_current_modal();
        tap(*error->find_control(u"btnOk"));
        // Watch for another one once this one has gone.
        when([error] { return skinner::Form::get_current_modal() != error; }, [&] { when(error_shown, answer); });
    };
    when([&] { return form.get_state() == BeamForm::State::choosing; }, [&] { tap(control(form, u"btnBeam")); });
    when(error_shown, answer);
    form.execute();
    EXPECT_EQ(reports, 1);
    EXPECT_FALSE(form.was_sent());
    EXPECT_FALSE(std::filesystem::exists(received + "/take.wav"));
}

}  // namespace
}  // namespace dialog_test
