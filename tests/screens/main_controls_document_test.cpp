// The controls driven by the device's stylus and by a Document that plays on the virtual
// sound device: a tap on the position bar seeks, a dragged equalizer band becomes the
// settings' band, and the clock and the lamp show what plays.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/document.h"
#include "platform/testing.h"
#include "platform/wave_testing.h"
#include "screens/control_clock.h"
#include "screens/control_equalizer.h"
#include "screens/control_flash.h"
#include "screens/control_progress_bookmarks.h"
#include "tests/audio/wav_fixture.h"
#include "tests/skin/control_kinds_fixture.h"
#include "tests/support/eventually.h"
#include "tests/support/scoped_environment.h"

namespace form_test {
namespace {

using testing_support::ScopedEnvironment;

// What the main form and its equalizer panel do with the controls' events.
class DocumentForm : public TestForm {
public:
    DocumentForm(skinner::Properties* properties, Document& document, Log& log)
        : TestForm(nullptr, properties, u"Main", log), document_(document) {}

    void on_value_changed(skinner::Control* sender, double value) override {
        if (sender->get_name() == u"pbPosition") document_.seek_fraction(value);
    }
    void on_click(skinner::Control* sender) override {
        TestForm::on_click(sender);
        if (sender != equalizer) return;
        Settings settings = document_.get_settings();
        settings.equalizer1 = {equalizer->get_band_frequency(u"Eq1"), equalizer->get_band_gain(u"Eq1"),
                               equalizer->get_band_width(u"Eq1"), true};
        document_.set_settings(settings);
        document_.apply_equalizers();
    }

    screens::ControlEqualizer* equalizer = nullptr;

private:
    Document& document_;
};

class MainControlsWithDocument : public ControlKindsTest {
protected:
    MainControlsWithDocument() {
        std::filesystem::create_directories(device.host_path("Program Files/Sonbrix"));
        platform::reset_virtual_wave();
        platform::set_virtual_wave_speed(50);
    }
    ~MainControlsWithDocument() override {
        platform::set_test_clock(platform::TestClock::real);
        platform::reset_virtual_wave();
    }

    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        std::string digits;
        for (int i = 0; i < 10; ++i) digits += picture_xml("Symbol" + std::to_string(i), "digit");
        use_kinds_skin(
            form_xml("Main", 240, 268,
                     control_xml("pbPosition", 10, 20, 100, 16,
                                 integer_xml("Orientation", 3) + integer_xml("TrackSize", 10) +
                                     picture_xml("Background", "blue") + picture_xml("Progress", "green") +
                                     picture_xml("Track", "digit")) +
                         control_xml("Equalizer", 10, 50, 120, 100,
                                     integer_xml("CellWidth", 20) + integer_xml("FirstCellWidth", 10) +
                                         integer_xml("FrequencyBase", 100) +
                                         "<picture name=\"Eq1Icon\" image=\"red\"/>"
                                         "<picture name=\"Eq1Handle\" image=\"yellow\"/>") +
                         control_xml("Clock", 10, 160, 120, 32, string_xml("FormTemplate", "ClockPanel")) +
                         control_xml("checkPlay", 150, 20, 8, 8, picture_xml("On", "red") + picture_xml("Off", "blue"))) +
            form_xml("ClockPanel", 120, 32,
                     control_xml("lcdClock", 0, 0, 80, 16, digits + picture_xml("SymbolColon", "colon")) +
                         control_xml("chkMode", 90, 0, 8, 8) + control_xml("chkHours", 90, 10, 8, 8) +
                         control_xml("chkMinutes", 90, 20, 8, 8)));
    }

    // 200 seconds of 8-bit mono at 8000 Hz in "\Music\long.wav".
    std::u16string long_file() {
        testing_support::write_host_file(device.host_path("Music/long.wav"),
                                         wav_fixture::pcm_file(1, 8, 8000, std::string(8000 * 200, char(0x90))));
        return u"\\Music\\long.wav";
    }

    ScopedEnvironment audio{"SONBRIX_AUDIO", "virtual"};
    ScopedEnvironment module{"SONBRIX_MODULE", "\\Program Files\\Sonbrix\\Sonbrix.exe"};
};

TEST_F(MainControlsWithDocument, TheStylusSeeksAndTunesWhileTheClockAndLampFollow) {
    // The device's time stands still, so the position is where the taps put it.
    platform::set_test_clock(platform::TestClock::held);
    Document document;
    DocumentForm form(properties.get(), document, log);
    screens::ControlProgressBookmarks position(&form, u"pbPosition");
    screens::ControlEqualizer equalizer(&form, u"Equalizer");
    screens::ControlClock clock(&form, u"Clock");
    screens::ControlFlash lamp(&form, u"checkPlay", skinner::LOOKUP_BY_NAME, [] { return 0.7; });
    form.equalizer = &equalizer;
    SetForegroundWindow(form.get_window());
    painted();

    playlist::Entry entry;
    entry.path = long_file();
    document.set_playlist(u"list", {entry}, 0, false);
    ASSERT_TRUE(document.play_item(0, 0));
    ASSERT_TRUE(document.pause());
    auto const show = [&] {
        position.set_bookmarks(document.get_length(), &document.get_bookmarks());
        position.set_progress(document.get_position_fraction());
        clock.set_time(document.get_position_seconds(), document.get_remaining_seconds());
        lamp.set_flashing(document.is_playing());
    };

    // A fifth of the bar: its usable length is 90 from x 15.
    ASSERT_TRUE(screen.control().tap(15 + 18, 28));
    ASSERT_TRUE(pump_until([&] { return document.get_position() == 8000u * 40; })) << document.get_position();
    show();
    EXPECT_EQ(clock.get_text(), u"00:40");
    clock.set_mode(false);
    EXPECT_EQ(clock.get_text(), u"02:40");
    EXPECT_DOUBLE_EQ(position.get_progress(), 0.2);
    EXPECT_TRUE(lamp.is_lit());

    // Band 1 from 100 Hz and 0 dB to 400 Hz and +10 dB.
    equalizer.set_band(u"Eq1", 100, 0, 1.0);
    ASSERT_TRUE(screen.control().drag(10 + 10, 50 + 50, 10 + 50, 50 + 25));
    ASSERT_TRUE(pump_until([&] { return logged("click Equalizer"); }));
    EqualizerBand const band = document.get_settings().equalizer1;
    EXPECT_EQ(band.frequency, 400.0);
    EXPECT_EQ(band.amplitude, 10.0);
    EXPECT_EQ(band.width, 1.0);
    EXPECT_TRUE(band.active);

    platform::set_test_clock(platform::TestClock::real);
    EXPECT_TRUE(document.stop());
    show();
    EXPECT_FALSE(lamp.is_lit());
    EXPECT_EQ(clock.get_text(), u"00:00");
}

}  // namespace
}  // namespace form_test
