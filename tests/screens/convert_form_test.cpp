// WAV to MP3 on the form's worker: the result decoded by independent programs, bookmarks
// carried over by time with their play order, cancelling half way, a file that cannot be
// written, and a source no reader takes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "audio/bookmarks.h"
#include "audio/file_reader_wav.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "screens/convert_form.h"
#include "skin/progress.h"
#include "tests/screens/dialog_fixture.h"
#include "tests/support/shell_tools.h"

namespace dialog_test {
namespace {

using testing_support::command_output;
using testing_support::have_tool;

using screens::ConvertForm;

class ConvertFormTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        if (!have_tool("sox") || !have_tool("ffprobe")) GTEST_SKIP() << "sox and ffprobe are needed";
    }

    // A tone of that many seconds, 16-bit stereo at 44100 Hz.
    std::u16string make_wav(const std::string& name, int seconds) {
        std::string const path = device.host_path("My Documents/" + name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        EXPECT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 '" + path + "' synth " + std::to_string(seconds) +
                               " sine 440 2>/dev/null")
                                  .c_str()),
                  0);
        return u"\\My Documents\\" + std::u16string(name.begin(), name.end());
    }

    double mp3_duration(const std::string& host_path) {
        std::string const command = "ffprobe -v error -show_entries format=duration -of csv=p=0 '" + host_path + "'";
        return std::atof(command_output(command).c_str());
    }

    skinner::ControlProgress& bar_of(ConvertForm& form) {
        return *dynamic_cast<skinner::ControlProgress*>(form.find_control(u"pbProgress"));
    }
};

TEST_F(ConvertFormTest, AWavFileBecomesAnMp3FileThatAnotherDecoderReadsWithItsBookmarks) {
    std::u16string const source = make_wav("tone.wav", 6);
    {
        // Bytes of 44100 Hz 16-bit stereo: 176400 a second. A at 0 s, B at 2 s (not played),
        // C at 4 s; C is played before A.
        Bookmarks marks;
        marks.insert(0, u"A", false);
        marks.insert(2 * 176400, u"B", false);
        marks.insert(4 * 176400, u"C", false);
        marks.add_to_play_order(2);
        marks.add_to_play_order(0);
        ASSERT_TRUE(marks.save(source + u".bm"));
    }
    std::u16string const destination = u"\\My Documents\\tone.mp3";
    ConvertForm form(nullptr, dialogs.get(), source, destination);
    ASSERT_TRUE(form.can_convert());
    EXPECT_TRUE(form.has_enough_space());
    EXPECT_EQ(form.execute(), ConvertForm::Outcome::converted);
    EXPECT_EQ(bar_of(form).get_progress(), 1.0);

    std::string const mp3 = device.host_path("My Documents/tone.mp3");
    EXPECT_NEAR(mp3_duration(mp3), 6.0, 0.1);
    EXPECT_EQ(std::system(("ffmpeg -v error -xerror -i '" + mp3 + "' -f null - </dev/null").c_str()), 0);

    Bookmarks const carried(destination + u".bm");
    ASSERT_EQ(carried.size(), 3);
    // 64 kbit/s: 8000 bytes a second.
    for (auto const& [index, name, seconds] : {std::tuple{0, u"A", 0.0}, {1, u"B", 2.0}, {2, u"C", 4.0}}) {
        EXPECT_EQ(carried.get(index).name, name);
        EXPECT_NEAR(carried.get(index).position / 8000.0, seconds, 0.1) << index;
    }
    ASSERT_EQ(carried.get_play_count(), 2);
    EXPECT_EQ(carried.get_played(0).name, u"C");
    EXPECT_EQ(carried.get_played(1).name, u"A");
    EXPECT_EQ(carried.get(1).play, -1);
}

TEST_F(ConvertFormTest, ClosingTheFormHalfWayKeepsNoPartOfTheFile) {
    std::u16string const source = make_wav("long.wav", 120);
    {
        Bookmarks marks;
        marks.insert(0, u"Start", true);
        ASSERT_TRUE(marks.save(source + u".bm"));
    }
    ConvertForm form(nullptr, dialogs.get(), source, u"\\My Documents\\long.mp3");
    bool shown = false;
    when([&] { return bar_of(form).get_progress() > 0.05; },
         [&] {
             shown = true;
             PostMessageW(form.get_window(), WM_CLOSE, 0, 0);
         });
    EXPECT_EQ(form.execute(), ConvertForm::Outcome::cancelled);
    EXPECT_TRUE(shown);
    EXPECT_LT(bar_of(form).get_progress(), 1.0);
    EXPECT_FALSE(std::filesystem::exists(device.host_path("My Documents/long.mp3")));
    EXPECT_FALSE(std::filesystem::exists(device.host_path("My Documents/long.mp3.bm")));
}

TEST_F(ConvertFormTest, AFileThatCannotBeWrittenWholeIsReportedAndGetsNoBookmarks) {
    std::u16string const source = make_wav("tone.wav", 20);
    {
        Bookmarks marks;
        marks.insert(0, u"Start", true);
        ASSERT_TRUE(marks.save(source + u".bm"));
    }
    // Every write to the destination fails for want of space.
    std::filesystem::create_symlink("/dev/full", device.host_path("My Documents/full.mp3"));
    ConvertForm form(nullptr, dialogs.get(), source, u"\\My Documents\\full.mp3");
    bool reported = false;
    when([&] { return skinner::Form::get_current_modal() != &form && skinner::Form::get_current_modal() != nullptr; },
         [&] {
             skinner::Form* const error = skinner::Form::get_current_modal();
             reported = true;
             tap(*error->find_control(u"btnOk"));
         });
    EXPECT_EQ(form.execute(), ConvertForm::Outcome::failed);
    EXPECT_TRUE(reported);
    // The device keeps its own special file; what is removed is what the cancel test shows.
    EXPECT_FALSE(std::filesystem::exists(device.host_path("My Documents/full.mp3.bm")));
}

TEST_F(ConvertFormTest, ASourceThatNoReaderTakesIsNotConverted) {
    testing_support::write_host_file(device.host_path("My Documents/text.wav"), "not a sound");
    ConvertForm form(nullptr, dialogs.get(), u"\\My Documents\\text.wav", u"\\My Documents\\text.mp3");
    EXPECT_FALSE(form.can_convert());
    EXPECT_FALSE(form.has_enough_space());
    EXPECT_FALSE(std::filesystem::exists(device.host_path("My Documents/text.mp3")));
}

}  // namespace
}  // namespace dialog_test
