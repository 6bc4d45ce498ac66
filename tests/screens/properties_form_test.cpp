// The properties of each sound format the program reads, made by independent programs, and
// of a file that is no sound.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "screens/properties_form.h"
#include "skin/frame.h"
#include "tests/screens/dialog_fixture.h"

namespace dialog_test {
namespace {

class PropertiesFormTest : public DialogTest {
protected:
    explicit PropertiesFormTest(const char* screen_size = "240x320") : DialogTest(screen_size) {}

    // Makes the file with the shell command (%s is its host path); false when the tool failed.
    bool make(const std::string& name, const std::string& command) {
        std::string const path = device.host_path("My Documents/" + name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::string line = command;
        line.replace(line.find("%s"), 2, "'" + path + "'");
        return std::system((line + " >/dev/null 2>&1 </dev/null").c_str()) == 0;
    }

    static std::u16string text_of(skinner::Form& form, const char16_t* frame) {
        return dynamic_cast<skinner::ControlFrame&>(*form.find_control(frame)).get_text();
    }
};

std::u16string wide(const std::string& text) { return {text.begin(), text.end()}; }

TEST_F(PropertiesFormTest, EachSoundFormatShowsWhatItsReaderTells) {
    struct Case {
        const char* name;
        const char* command;
        const char16_t* format;
        const char16_t* channels;
        const char16_t* rate;
        const char16_t* bits;
        const char16_t* duration;
    };
    Case const cases[] = {
        {"pcm.wav", "sox -n -r 22050 -c 1 -b 16 %s synth 3 sine 440", u"PCM", u"1", u"22050", u"16", u"00:00:03"},
        {"pcm8.wav", "sox -n -r 11025 -c 2 -b 8 %s synth 61 sine 440", u"PCM", u"2", u"11025", u"8", u"00:01:01"},
        {"adpcm.wav", "sox -n -r 22050 -c 1 -e ms-adpcm %s synth 3 sine 440", u"ADPCM", u"1", u"22050", u"16",
         u"00:00:03"},
        {"gsm.wav", "sox -n -r 8000 -c 1 -e gsm-full-rate %s synth 3 sine 440", u"GSM", u"1", u"8000", u"16",
         u"00:00:03"},
        // A decoded MP3 file has 16 bits a sample, the reader's decoded width.
        {"song.mp3", "ffmpeg -v error -f lavfi -i sine=f=440:d=3:r=44100 -ac 2 -c:a libmp3lame -b:a 128k %s", u"mp3",
         u"2", u"44100", u"16", u"00:00:03"},
        {"song.ogg", "ffmpeg -v error -f lavfi -i sine=f=440:d=3:r=44100 -c:a libvorbis %s", u"Vorbis", u"1",
         u"44100", u"16", u"00:00:03"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        if (!make(c.name, c.command)) {
            ADD_FAILURE() << "could not make " << c.name;
            continue;
        }
        screens::PropertiesForm form(nullptr, dialogs.get(), u"Properties", u"\\My Documents\\" + wide(c.name));
        EXPECT_EQ(text_of(form, u"frmFileName"), wide(c.name));
        EXPECT_EQ(text_of(form, u"frmFormat"), c.format);
        EXPECT_EQ(text_of(form, u"frmChannels"), c.channels);
        EXPECT_EQ(text_of(form, u"frmSampleRate"), c.rate);
        EXPECT_EQ(text_of(form, u"frmBits"), c.bits);
        EXPECT_EQ(text_of(form, u"frmDuration"), c.duration);
        EXPECT_NE(text_of(form, u"frmBitRate"), u"-");
        EXPECT_NE(text_of(form, u"frmSize"), u"-");
    }
}

TEST_F(PropertiesFormTest, APcmFileShowsItsBitRateAndSizeAndOkClosesTheForm) {
    ASSERT_TRUE(make("voice.wav", "sox -n -r 22050 -c 1 -b 16 %s synth 3 sine 440"));
    screens::PropertiesForm form(nullptr, dialogs.get(), u"Properties", u"\\My Documents\\voice.wav");
    EXPECT_EQ(text_of(form, u"frmBitRate"), u"352800");
    EXPECT_EQ(text_of(form, u"frmSize"), u"129K");
    post_action([&] {
        expect_looks_like("properties_wav");
        tap(*form.find_control(u"btnOk"));
    });
    form.do_modal();
}

TEST_F(PropertiesFormTest, AFileThatIsNoSoundShowsOnlyItsName) {
    testing_support::write_host_file(device.host_path("My Documents/notes.wav"), "Shopping: milk, bread");
    screens::PropertiesForm form(nullptr, dialogs.get(), u"Properties", u"\\My Documents\\notes.wav");
    EXPECT_EQ(text_of(form, u"frmFileName"), u"notes.wav");
    for (const char16_t* frame : {u"frmFormat", u"frmDuration", u"frmChannels", u"frmSampleRate", u"frmBitRate",
                                  u"frmBits", u"frmSize"}) {
        EXPECT_EQ(text_of(form, frame), u"-");
    }
}

class PropertiesFormVgaTest : public PropertiesFormTest {
protected:
    PropertiesFormVgaTest() : PropertiesFormTest("480x640") {}
};

TEST_F(PropertiesFormVgaTest, TheFormIsDrawnAtTwiceTheSize) {
    ASSERT_TRUE(make("voice.wav", "sox -n -r 22050 -c 1 -b 16 %s synth 3 sine 440"));
    screens::PropertiesForm form(nullptr, dialogs.get(), u"Properties", u"\\My Documents\\voice.wav");
    post_action([&] {
        expect_looks_like("properties_wav_480x640");
        tap(*form.find_control(u"btnOk"));
    });
    form.do_modal();
}

}  // namespace
}  // namespace dialog_test
