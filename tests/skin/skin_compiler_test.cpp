#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "skin/properties.h"
#include "tests/skin/skin_fixture.h"
#include "tests/support/test_device.h"
#include "tools/skin_compiler/skin_compiler.h"
#include "tools/skin_compiler/skin_package.h"

namespace {

using skin_compiler::Diagnostics;

struct Compiled {
    std::vector<std::uint8_t> image;
    Diagnostics diagnostics;
};

Compiled compile_text(const std::string& xml, const std::string& pictures = skin_test::sample_folder()) {
    Compiled result;
    skin_compiler::SkinSource source;
    result.image = skin_compiler::compile_skin(xml, pictures, source, result.diagnostics);
    return result;
}

const std::string pictures = "<pictures><picture name=\"buttons\"/></pictures>\n";

TEST(SkinCompilerTest, RefusesWithTheLineAndAClearMessage) {
    std::string const long_text(16500, 'x');
    struct Case {
        const char* what;
        std::string body;  // begins on line 2
        int line;
        const char* message;
    };
    Case const cases[] = {
        {"unknown property type", "<kind name=\"K\">\n<number name=\"N\" value=\"1\"/></kind>", 3, "unknown property type <number>"},
        {"duplicate form", "<form name=\"A\"/>\n<form name=\"A\"/>", 3, "duplicate form \"A\""},
        {"duplicate kind", "<kind name=\"A\"/><kind name=\"A\"/>", 2, "duplicate kind \"A\""},
        {"duplicate control", "<form name=\"F\">\n<control name=\"c\"/>\n<control name=\"c\"/></form>", 4,
         "duplicate control of form \"F\" \"c\""},
        {"duplicate property of one type",
         "<kind name=\"K\"><integer name=\"X\" value=\"1\"/>\n<integer name=\"X\" value=\"2\"/></kind>", 3,
         "duplicate property \"X\" in \"K\""},
        {"duplicate picture", "<pictures><picture name=\"buttons\"/>\n<picture name=\"buttons\"/></pictures>", 3,
         "duplicate picture \"buttons\""},
        {"point beyond 32767", "<kind name=\"K\">\n<point name=\"P\" x=\"32768\" y=\"0\"/></kind>", 3,
         "x \"32768\" is not a whole number from -32767 to 32767"},
        {"point below -32767", "<kind name=\"K\">\n<point name=\"P\" x=\"0\" y=\"-32768\"/></kind>", 3,
         "y \"-32768\" is not a whole number from -32767 to 32767"},
        {"integer that is no number", "<kind name=\"K\"><integer name=\"I\" value=\"12a\"/></kind>", 2,
         "value \"12a\" is not a whole number"},
        {"missing picture", "<pictures>\n<picture name=\"nothing\"/></pictures>", 3, "missing picture \"nothing\""},
        {"picture not in the list", pictures + "<kind name=\"K\">\n<picture name=\"P\" image=\"other\"/></kind>", 4,
         "picture \"other\" is not in the skin's list of pictures"},
        {"picture corners out of order",
         pictures + "<kind name=\"K\">\n<picture name=\"P\" image=\"buttons\" outer=\"0 0 20 20\" inner=\"10 0 5 20\"/></kind>",
         4, "corners must run"},
        {"picture beyond its picture",
         pictures + "<kind name=\"K\">\n<picture name=\"P\" image=\"buttons\" outer=\"0 0 41 20\"/></kind>", 4,
         "reaches outside its picture \"buttons\" of 40 x 20"},
        {"16-bit texts beyond 65536 bytes",
         "<kind name=\"K\"><string name=\"A\" value=\"" + long_text + "\"/>\n<string name=\"B\" value=\"y" + long_text +
             "\"/></kind>",
         3, "beyond the first 65536 bytes"},
        {"variant of a form that does not begin its name",
         "<form name=\"Main\"/>\n<form name=\"Other\" variant-of=\"Main\"/>", 3, "cannot be a variant of \"Main\""},
        {"automatic control without kind", "<form name=\"F\">\n<auto name=\"a\"/></form>", 3, "needs the attribute kind"},
        {"not XML", "<form name=\"F\">", 3, "not well-formed XML"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        Compiled result = compile_text(skin_test::source(c.body));
        EXPECT_TRUE(result.image.empty());
        ASSERT_FALSE(result.diagnostics.errors.empty());
        EXPECT_EQ(result.diagnostics.errors[0].line, c.line);
        EXPECT_NE(result.diagnostics.errors[0].message.find(c.message), std::string::npos)
            << result.diagnostics.errors[0].message;
    }
}

TEST(SkinCompilerTest, RefusesPictureNumbersBeyond255) {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / ("skin-pictures-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::string list;
    for (int index = 0; index <= 256; ++index) {
        std::string name = "p" + std::to_string(index);
        std::filesystem::copy_file(skin_test::sample_folder() + "/buttons.bmp", folder / (name + ".bmp"),
                                   std::filesystem::copy_options::overwrite_existing);
        list += "<picture name=\"" + name + "\"/>";
    }
    std::string body = "<pictures>" + list + "</pictures>\n<kind name=\"K\"><picture name=\"Fine\" image=\"p255\"/>\n"
                       "<picture name=\"Last\" image=\"p256\"/></kind>";
    Compiled result = compile_text(skin_test::source(body), folder.string());
    std::filesystem::remove_all(folder);
    ASSERT_EQ(result.diagnostics.errors.size(), 1u);
    EXPECT_EQ(result.diagnostics.errors[0].line, 4);
    EXPECT_NE(result.diagnostics.errors[0].message.find("only its first 256 pictures"), std::string::npos);
}

TEST(SkinCompilerTest, WarnsAboutFormsThatBeginWithAnotherFormsNameUnlessMarked) {
    Compiled unmarked = compile_text(skin_test::source("<form name=\"Main\"/>\n<form name=\"MainSettings\"/>"));
    EXPECT_FALSE(unmarked.image.empty());
    ASSERT_EQ(unmarked.diagnostics.warnings.size(), 1u);
    EXPECT_EQ(unmarked.diagnostics.warnings[0].line, 3);
    EXPECT_NE(unmarked.diagnostics.warnings[0].message.find("\"Main\" is a prefix of form \"MainSettings\""),
              std::string::npos);
    Compiled marked =
        compile_text(skin_test::source("<form name=\"Main\"/>\n<form name=\"MainLarge\" variant-of=\"Main\"/>"));
    EXPECT_TRUE(marked.diagnostics.warnings.empty());
}

TEST(SkinCompilerTest, DumpAndCompileAgainGiveTheSameBytes) {
    std::vector<std::uint8_t> image = skin_test::compile_sample();
    std::string dumped;
    std::string problem;
    ASSERT_TRUE(skin_compiler::dump_skin(image, dumped, problem)) << problem;
    Compiled again = compile_text(dumped);
    ASSERT_TRUE(again.diagnostics.ok());
    EXPECT_EQ(again.image, image);
    std::string dumped_again;
    ASSERT_TRUE(skin_compiler::dump_skin(again.image, dumped_again, problem));
    EXPECT_EQ(dumped_again, dumped);
}

TEST(SkinCompilerTest, TheOrderOfTheSourceDoesNotChangeTheImage) {
    std::string a = "<kind name=\"B\"><integer name=\"y\" value=\"1\"/><string name=\"x\" value=\"t\"/></kind>"
                    "<kind name=\"A\"/>";
    std::string b = "<kind name=\"A\"/>"
                    "<kind name=\"B\"><string name=\"x\" value=\"t\"/><integer name=\"y\" value=\"1\"/></kind>";
    EXPECT_EQ(skin_test::compile(a), skin_test::compile(b));
}

TEST(SkinCompilerTest, TheBuildCompiledTheSampleSkinFromItsSource) {
    std::string built = skin_test::read_file(SONBRIX_SAMPLE_SKIN);
    std::vector<std::uint8_t> image = skin_test::compile_sample();
    EXPECT_EQ(std::vector<std::uint8_t>(built.begin(), built.end()), image);
    std::filesystem::path folder = std::filesystem::path(SONBRIX_SAMPLE_SKIN).parent_path();
    for (const char* picture : {"background.png", "buttons.bmp", "buttons_1.bmp"}) {
        EXPECT_TRUE(std::filesystem::exists(folder / picture)) << picture;
    }
}

class SkinPackageTest : public testing_support::DeviceTest {};

TEST_F(SkinPackageTest, AnArchiveHoldsTheImageFirstAndThePngLiesBeside) {
    skin_compiler::SkinSource source;
    Diagnostics diagnostics;
    auto image = skin_compiler::compile_skin(skin_test::read_file(skin_test::sample_folder() + "/sample.xml"),
                                             skin_test::sample_folder(), source, diagnostics);
    ASSERT_TRUE(diagnostics.ok());
    std::filesystem::path output = device.host_path("skins/Sample/Sample.skin");
    std::string problem;
    ASSERT_TRUE(skin_compiler::write_skin_package(image, source, skin_test::sample_folder(), output,
                                                  skin_compiler::PackageKind::archive, problem))
        << problem;
    EXPECT_TRUE(std::filesystem::exists(output.parent_path() / "background.png"));
    EXPECT_FALSE(std::filesystem::exists(output.parent_path() / "buttons.bmp"));
    std::string archive = skin_test::read_file(output.string());
    EXPECT_EQ(archive.substr(30, 11), "Sample.skin");
    skin_test::FixedWorkArea area({240, 268});
    skin_test::CaughtReports reports;
    skinner::Properties properties(u"\\skins\\Sample\\Sample.skin", {240, 320});
    ASSERT_TRUE(properties.is_suitable(u"Sonbrix_500", {240, 320}));
    EXPECT_EQ(properties.get_integer(u"Main", u"lstFiles", u"IconWidth", 0), 16);
    // "buttons" comes from inside the archive, "background" from beside it.
    for (const char16_t* control : {u"btnPlay", u""}) {
        skinner::PictureRef picture = *control ? properties.get_picture(u"Main", control, u"Normal", {})
                                               : properties.get_form_picture(u"Main", u"Background", {});
        ASSERT_FALSE(picture.is_empty());
        EXPECT_TRUE(picture.get_picture()->is_loaded());
    }
}

}  // namespace
