#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/properties_impl.h"
#include "skin/skin_file.h"
#include "tests/skin/skin_fixture.h"
#include "tests/support/test_device.h"
#include "tests/support/zip_writer.h"

namespace {

using testing_support::make_zip;
using testing_support::ZipEntry;

class SkinFileTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        std::vector<std::uint8_t> bytes = skin_test::compile_sample();
        image.assign(bytes.begin(), bytes.end());
    }

    // Writes the bytes as "\skins\Test\Test.skin" and loads it.
    std::unique_ptr<skinner::PropertiesImpl> load_file(const std::string& bytes, skinner::Size screen = {240, 320}) {
        testing_support::write_host_file(device.host_path("skins/Test/Test.skin"), bytes);
        return std::make_unique<skinner::PropertiesImpl>(path, screen, std::make_unique<skinner::SkinResourceNames>());
    }

    const std::u16string path = u"\\skins\\Test\\Test.skin";
    std::string image;
};

TEST_F(SkinFileTest, TheImageIsTheFirstSkinEntryOfAnArchiveElseTheWholeFile) {
    std::string damaged = image;
    damaged[0] = 'x';
    struct Case {
        const char* what;
        std::string file;
        bool valid;
    };
    Case const cases[] = {
        {"bare image", image, true},
        {"archive with the image first", make_zip({{"Test.skin", image}, {"a.bmp", "pixels"}}), true},
        {"extension in capitals after a picture", make_zip({{"a.bmp", "pixels"}, {"TEST.SKIN", image}}), true},
        {"first skin entry wins", make_zip({{"a.skin", image}, {"b.skin", damaged}}), true},
        {"first skin entry damaged", make_zip({{"a.skin", damaged}, {"b.skin", image}}), false},
        {"entry named only skin", make_zip({{"skin", image}}), false},
        {"compressed entry before the image", make_zip({{"a.bmp", "pixels", true}, {"Test.skin", image}}), false},
        {"empty file", "", false},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(load_file(c.file)->is_valid(), c.valid);
    }
}

TEST_F(SkinFileTest, AMissingFileIsAnInvalidSkin) {
    skinner::PropertiesImpl skin(u"\\skins\\None.skin", {240, 320});
    EXPECT_FALSE(skin.is_valid());
}

TEST_F(SkinFileTest, ImagesLargerThanTheCapAreNotRead) {
    std::string large = image;
    large.resize(skinner::max_skin_image_size + 1, '\0');
    EXPECT_FALSE(load_file(large)->is_valid());
    EXPECT_FALSE(load_file(make_zip({{"Test.skin", large}}))->is_valid());
    // Padding within the cap is harmless.
    large.resize(skinner::max_skin_image_size);
    EXPECT_TRUE(load_file(large)->is_valid());
}

TEST_F(SkinFileTest, SuitabilityReadsOnlyTheHeader) {
    // The sample declares 240 x 320 and 320 x 240 for device "P".
    std::string header_only = image.substr(0, 540);
    struct Case {
        const char* what;
        std::string file;
        std::u16string name;
        skinner::Size screen;
        bool suitable;
    };
    Case const cases[] = {
        {"whole image", image, u"Sonbrix_500", {480, 640}, true},
        {"header alone", header_only, u"Sonbrix_500", {320, 240}, true},
        {"in an archive", make_zip({{"x.bmp", "p"}, {"Test.skin", header_only}}), u"", {240, 320}, true},
        {"other name", image, u"SonbrixToday_500", {240, 320}, false},
        {"screen that does not fit", image, u"Sonbrix_500", {480, 800}, false},
        {"539 bytes", image.substr(0, 539), u"", {0, 0}, false},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::write_host_file(device.host_path("skins/Test/Test.skin"), c.file);
        EXPECT_EQ(skinner::is_skin_file_suitable(path, c.name, c.screen), c.suitable);
    }
}

TEST_F(SkinFileTest, APhoneSkinIsNotSuitableHere) {
    std::vector<std::uint8_t> phone = skin_test::compile("", "compatibility=\"Sonbrix_500\" devices=\"S\"");
    testing_support::write_host_file(device.host_path("skins/Test/Test.skin"), std::string(phone.begin(), phone.end()));
    EXPECT_FALSE(skinner::is_skin_file_suitable(path, u"Sonbrix_500", {240, 320}));
}

class FailingPictures : public skinner::SkinResourceNames {
public:
    bool add_picture(const std::u16string& skin_path, const std::u16string& name, int scale) override {
        SkinResourceNames::add_picture(skin_path, name, scale);
        return name != u"buttons";
    }
};

TEST_F(SkinFileTest, PicturesAndFontsAreLoadedAtTheChosenScaleAndABrokenPictureInvalidatesTheSkin) {
    testing_support::write_host_file(device.host_path("skins/Test/Test.skin"), image);
    auto names = std::make_unique<skinner::SkinResourceNames>();
    skinner::SkinResourceNames* kept = names.get();
    skinner::PropertiesImpl skin(path, {480, 640}, std::move(names));
    ASSERT_TRUE(skin.is_valid());
    EXPECT_EQ(kept->get_pictures(), (std::vector<std::u16string>{u"background", u"buttons"}));
    EXPECT_EQ(kept->get_fonts(), (std::vector<std::u16string>{u"14 1 0 0 Tahoma", u"10 0 0 0 Tahoma"}));

    auto failing = std::make_unique<FailingPictures>();
    FailingPictures* failed = failing.get();
    skinner::PropertiesImpl broken(path, {240, 320}, std::move(failing));
    EXPECT_FALSE(broken.is_valid());
    EXPECT_TRUE(failed->get_fonts().empty());  // fonts are not read after a failed picture
}

}  // namespace
