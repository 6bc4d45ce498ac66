#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/datetime.h"
#include "platform/errors.h"
#include "platform/wake_up.h"
#include "platform/wake_up_testing.h"
#include "tests/support/eventually.h"
#include "tests/support/system_time.h"
#include "tests/support/test_device.h"
#include "tests/support/woken_program.h"

namespace {

using testing_support::eventually;
using testing_support::host_file_exists;
using testing_support::local_time_in;
using testing_support::make_time;
using testing_support::read_host_file;
using testing_support::woken_program;
using testing_support::write_host_file;

constexpr char16_t const* program = u"\\Program Files\\Sonbrix\\Sonbrix.exe";

double seconds_since_epoch() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

class WakeUp : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        std::string const path = device.host_path("Program Files/Sonbrix/Sonbrix.exe");
        write_host_file(path, woken_program);
        ASSERT_EQ(chmod(path.c_str(), 0755), 0);
    }
    void TearDown() override {
        // Leaves no agent behind for the next test's device.
        CeRunAppAtTime(program, nullptr);
        EXPECT_TRUE(eventually([] { return !platform::wake_up_agent_running(); }));
    }
    std::string woke_file() const { return device.host_path("woke.txt"); }
};

TEST_F(WakeUp, EachCallReplacesTheRegistrationAndACallWithoutTimeRemovesIt) {
    SYSTEMTIME const first = make_time(2090, 5, 1, 8, 30);
    SYSTEMTIME const second = make_time(2091, 1, 2, 3, 4, 5, 6);
    ASSERT_TRUE(CeRunAppAtTime(program, &first));
    ASSERT_TRUE(CeRunAppAtTime(u"\\program files\\sonbrix\\SONBRIX.EXE", &second));
    auto const registered = platform::registered_wake_up(program);
    ASSERT_TRUE(registered);
    EXPECT_EQ(registered->wYear, 2091);
    EXPECT_EQ(registered->wSecond, 5);
    EXPECT_EQ(registered->wMilliseconds, 6);
    EXPECT_TRUE(eventually([] { return platform::wake_up_agent_running(); }));
    ASSERT_TRUE(CeRunAppAtTime(program, nullptr));
    EXPECT_FALSE(platform::registered_wake_up(program));
    EXPECT_TRUE(eventually([] { return !platform::wake_up_agent_running(); }));
    EXPECT_TRUE(CeRunAppAtTime(program, nullptr));  // nothing registered: still fine
}

TEST_F(WakeUp, BadArgumentsAreRefused) {
    SYSTEMTIME const no_date = make_time(2090, 2, 30);
    SYSTEMTIME const fine = make_time(2090, 2, 28);
    EXPECT_FALSE(CeRunAppAtTime(nullptr, &fine));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(CeRunAppAtTime(program, &no_date));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(platform::registered_wake_up(program));
}

TEST_F(WakeUp, TheAgentStartsTheProgramAtItsTimeNeverBeforeAndDropsTheRegistration) {
    SYSTEMTIME const at = local_time_in(std::chrono::milliseconds(1500));
    double const asked_at = seconds_since_epoch();
    ASSERT_TRUE(CeRunAppAtTime(program, &at));
    ASSERT_TRUE(eventually([&] { return host_file_exists(woke_file()); }));
    std::string const woke = read_host_file(woke_file());
    std::size_t const last_line = woke.rfind('\n', woke.size() - 2);
    EXPECT_EQ(woke.substr(0, last_line + 1), "AppRunAtTime\n\\Program Files\\Sonbrix\\Sonbrix.exe\n");
    // The registered time is whole milliseconds; started no earlier than it.
    EXPECT_GE(std::stod(woke.substr(last_line + 1)), asked_at + 1.4);
    EXPECT_FALSE(platform::registered_wake_up(program));
    EXPECT_TRUE(eventually([] { return !platform::wake_up_agent_running(); }));
}

TEST_F(WakeUp, ATimeThatHasPassedStartsTheProgramAtOnce) {
    SYSTEMTIME const past = make_time(2001, 1, 1);
    ASSERT_TRUE(CeRunAppAtTime(program, &past));
    EXPECT_TRUE(eventually([&] { return host_file_exists(woke_file()); }));
}

TEST_F(WakeUp, TheRegistrationOutlivesTheAgentThatKeptIt) {
    SYSTEMTIME const later = make_time(2090, 1, 1);
    ASSERT_TRUE(CeRunAppAtTime(program, &later));
    // Another program of the device registers; both wait for their times in one agent.
    SYSTEMTIME const soon = local_time_in(std::chrono::milliseconds(200));
    std::string const other = device.host_path("Other.exe");
    write_host_file(other, woken_program);
    ASSERT_EQ(chmod(other.c_str(), 0755), 0);
    ASSERT_TRUE(CeRunAppAtTime(u"\\Other.exe", &soon));
    ASSERT_TRUE(eventually([&] { return host_file_exists(woke_file()); }));
    EXPECT_NE(read_host_file(woke_file()).find("\\Other.exe\n"), std::string::npos);
    EXPECT_TRUE(platform::registered_wake_up(program));
    EXPECT_TRUE(eventually([] { return platform::wake_up_agent_running(); }));
}

}  // namespace
