#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "foundation/log.h"
#include "foundation/registry.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::host_file_exists;
using testing_support::read_host_file;

constexpr char16_t log_key[] = u"HKEY_CURRENT_USER\\Software\\XELO";

class LogTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        setenv("SONBRIX_MODULE", "\\Program Files\\Sonbrix\\Sonbrix", 1);
        std::filesystem::create_directories(device.host_path("Program Files/Sonbrix"));
        switch_logging(false);
        os::get_log();  // drops whatever stream an earlier test left
    }
    void TearDown() override {
        switch_logging(false);
        os::get_log();
        unsetenv("SONBRIX_MODULE");
    }

    static void switch_logging(bool on) { ASSERT_TRUE(os::write_registry_dword(log_key, u"Log", on ? 1 : 0)); }

    std::string log_path() const { return device.host_path("Program Files/Sonbrix/Sonbrix.txt"); }

    // The log file's text after its byte-order mark, as UTF-16 units.
    std::u16string logged_text() const {
        std::string const bytes = read_host_file(log_path());
        EXPECT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
        std::u16string text;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 static_cast<unsigned char>(bytes[i + 1]) << 8));
        }
        return text;
    }
};

TEST_F(LogTest, SwitchedOffDiscardsEverythingAndCreatesNoFile) {
    os::get_log() << "nothing " << 5 << u"\n";
    EXPECT_FALSE(host_file_exists(log_path()));
}

TEST_F(LogTest, InsertionsWriteTheirTextForms) {
    switch_logging(true);
    os::get_log() << "narrow \xE9 " << u"wide \u20AC " << std::u16string(u"string ") << -5 << " " << 0.5 << " "
                  << 7u << "\n";
    os::get_log().flush();
    EXPECT_EQ(logged_text(), u"narrow \u00E9 wide \u20AC string -5 0.500000 7\n");
}

TEST_F(LogTest, SwitchingOnCreatesTheFileAfreshAndOffClosesIt) {
    switch_logging(true);
    os::get_log() << "first run\n";
    os::get_log().flush();
    EXPECT_EQ(logged_text(), u"first run\n");

    switch_logging(false);
    os::get_log() << "not logged\n";
    EXPECT_EQ(logged_text(), u"first run\n");

    switch_logging(true);
    os::get_log() << "second run\n";
    os::get_log().flush();
    EXPECT_EQ(logged_text(), u"second run\n");
}

TEST_F(LogTest, SwitchingWhileOtherThreadsWriteKeepsTheirStreamsAlive) {
    std::atomic<bool> done{false};
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&done] {
            while (!done) os::get_log() << "line " << 1 << " of a statement" << u"\n";
        });
    }
    for (int i = 0; i < 40; ++i) switch_logging(i % 2 == 0);
    done = true;
    for (auto& writer : writers) writer.join();
    switch_logging(false);
    os::get_log();
}

TEST_F(LogTest, FatalErrorLogsShowsAndEndsTheProcessWithCodeZero) {
    GTEST_FLAG_SET(death_test_style, "fast");
    switch_logging(true);
    EXPECT_EXIT(os::fatal_error(u"CActive::~CActive()", u"Active object is not active"),
                testing::ExitedWithCode(0), "CActive::~CActive\\(\\): Active object is not active");
    EXPECT_EQ(logged_text(), u"Gluck: Active object is not active @ CActive::~CActive()\n");
}

}  // namespace
