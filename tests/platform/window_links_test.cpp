// The links between the device's processes for their windows, probed as a careless or
// hostile program of the same user would.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/messages.h"
#include "platform/testing.h"
#include "platform/windows.h"
#include "tests/support/child_process.h"
#include "tests/support/eventually.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::ChildProcess;

constexpr UINT doubled = WM_USER + 1;
constexpr UINT quit = WM_USER + 2;

HWND handle_from(const std::string& ready_line) {
    EXPECT_EQ(ready_line.rfind("ready ", 0), 0u) << ready_line;
    return reinterpret_cast<HWND>(std::strtoull(ready_line.c_str() + 6, nullptr, 16));
}

// The request layout a window link reads (a program that knows it can write it).
struct RawRequest {
    std::uint32_t magic = 0x4B4E4C57;
    std::uint32_t operation = 4;  // send
    std::uint32_t message = 0;
    std::uint32_t device_size = 0;
    std::uint64_t window = 0;
    std::uint64_t wparam = 0;
    std::int64_t lparam = 0;
    std::uint32_t payload_size = 0;
    std::uint32_t reserved = 0;
};

class RawLink {
public:
    explicit RawLink(pid_t pid) : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::string const name = "sonbrix-windows-" + std::to_string(pid);
        std::memcpy(address.sun_path + 1, name.data(), name.size());
        auto const length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
        connected_ = ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    }
    ~RawLink() { ::close(fd_); }
    RawLink(const RawLink&) = delete;
    RawLink& operator=(const RawLink&) = delete;

    bool connected() const { return connected_; }
    void write(const void* data, std::size_t size) { ASSERT_EQ(::send(fd_, data, size, MSG_NOSIGNAL), static_cast<ssize_t>(size)); }
    // True when the other end closed the link without an answer.
    bool closed_without_answer() {
        char byte;
        return ::recv(fd_, &byte, 1, 0) <= 0;
    }

private:
    int fd_;
    bool connected_ = false;
};

class WindowLinksTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        remote = handle_from(helper.read_line());
    }
    void TearDown() override {
        platform::set_window_link_timeout(5000);
        // The helper still answers, so none of the requests above harmed it.
        EXPECT_EQ(SendMessageW(remote, doubled, 21, 0), 42);
        bool const asked_to_quit = PostMessageW(remote, quit, 0, 0);
        EXPECT_TRUE(asked_to_quit);
        if (!asked_to_quit) helper.kill_hard();  // else the wait below would never end
        EXPECT_EQ(helper.wait_for_exit(), 0);
        DeviceTest::TearDown();
    }
    RawRequest request_to_window(UINT message) const {
        RawRequest request;
        request.message = message;
        request.window = reinterpret_cast<std::uint64_t>(remote);
        return request;
    }

    ChildProcess helper{{"window", "LinkProbeClass"}};
    HWND remote = nullptr;
};

TEST_F(WindowLinksTest, TextCrossesByValueBothWays) {
    EXPECT_EQ(SendMessageW(remote, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"new title")), TRUE);
    WCHAR text[32] = {};
    EXPECT_EQ(GetWindowTextW(remote, text, 32), 9);
    EXPECT_EQ(std::u16string(text), u"new title");
    WCHAR small[4] = {};
    EXPECT_EQ(SendMessageW(remote, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(small)), 3);
    EXPECT_EQ(std::u16string(small), u"new");
}

TEST_F(WindowLinksTest, MessagesThatPointIntoTheSendersMemoryDoNotCross) {
    CREATESTRUCTW create{};
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(SendMessageW(remote, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(PostMessageW(remote, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"x")));
    EXPECT_FALSE(PostMessageW(remote, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(u"intl")));
    // Without a section name a setting change is a plain notice and crosses.
    EXPECT_TRUE(PostMessageW(remote, WM_SETTINGCHANGE, 0xF2, 0));
}

TEST_F(WindowLinksTest, BadRequestsAreRefusedWithoutHarm) {
    struct Case {
        const char* what;
        RawRequest request;
        std::string body;
    };
    RawRequest set_text = request_to_window(WM_SETTEXT);
    set_text.lparam = 0x1000;  // an address in the receiver's memory
    RawRequest get_text = request_to_window(WM_GETTEXT);
    get_text.wparam = 64;
    get_text.lparam = 0x1000;
    get_text.payload_size = 0;
    get_text.wparam = 0xFFFFFFFFull;  // a buffer far over the cap
    RawRequest short_copy = request_to_window(WM_COPYDATA);
    short_copy.payload_size = 3;
    RawRequest huge_device = request_to_window(doubled);
    huge_device.device_size = 0xFFFFFFF0u;
    RawRequest huge_payload = request_to_window(WM_COPYDATA);
    huge_payload.payload_size = 0xFFFFFFF0u;
    RawRequest wrong_magic = request_to_window(doubled);
    wrong_magic.magic = 0;
    RawRequest posted_address = request_to_window(WM_SETTEXT);
    posted_address.operation = 3;
    posted_address.lparam = 0x1000;
    RawRequest unknown = request_to_window(doubled);
    unknown.operation = 99;
    std::vector<Case> const cases{
        {"WM_SETTEXT with an address", set_text, ""},
        {"WM_GETTEXT over the cap", get_text, ""},
        {"WM_COPYDATA under 8 bytes", short_copy, "abc"},
        {"a 4 GB device name", huge_device, ""},
        {"a 4 GB payload", huge_payload, ""},
        {"a wrong magic", wrong_magic, ""},
        {"a posted address", posted_address, ""},
        {"an unknown operation", unknown, ""},
    };
    for (auto const& c : cases) {
        RawLink link(helper.pid());
        ASSERT_TRUE(link.connected()) << c.what;
        link.write(&c.request, sizeof c.request);
        if (!c.body.empty()) link.write(c.body.data(), c.body.size());
        EXPECT_TRUE(link.closed_without_answer()) << c.what;
    }
}

TEST_F(WindowLinksTest, ManyIdleLinksDoNotMakeAThreadEach) {
    std::vector<std::unique_ptr<RawLink>> idle;
    for (int i = 0; i < 100; ++i) idle.push_back(std::make_unique<RawLink>(helper.pid()));
    // Past the limit, a link is closed as soon as it is taken up.
    EXPECT_TRUE(idle.back()->closed_without_answer());
    idle.clear();
    // The helper notices the closed links on its own threads; until then it stays full.
    EXPECT_TRUE(testing_support::eventually([&] { return SendMessageW(remote, doubled, 21, 0) == 42; }))
        << "the closed links gave their places back";
}

TEST_F(WindowLinksTest, AStoppedPeerCostsAPostAtMostTheTimeOutAndIsLeftOutOfTheList) {
    platform::set_window_link_timeout(200);
    ASSERT_EQ(::kill(helper.pid(), SIGSTOP), 0);
    EXPECT_FALSE(PostMessageW(remote, doubled, 0, 0));
    std::vector<HWND> seen;
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(std::find(seen.begin(), seen.end(), remote), seen.end());
    ASSERT_EQ(::kill(helper.pid(), SIGCONT), 0);
}

TEST_F(WindowLinksTest, AHandleThatTheProcessNeverGaveNamesNoWindow) {
    // What the process's first window would have been if handles were not made afresh per
    // process: the handle an earlier process with the same id could have left behind.
    auto const pid_bits = reinterpret_cast<std::uintptr_t>(remote) & ~std::uintptr_t{0xFFFFFFFFu};
    for (std::uintptr_t serial : {std::uintptr_t{1}, std::uintptr_t{2}}) {
        HWND const stale = reinterpret_cast<HWND>(pid_bits | serial);
        if (stale == remote) continue;
        EXPECT_FALSE(IsWindow(stale));
        EXPECT_FALSE(PostMessageW(stale, doubled, 0, 0));
    }
}

}  // namespace
