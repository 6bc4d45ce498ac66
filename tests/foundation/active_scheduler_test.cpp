#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/active_scheduler.h"
#include "foundation/application.h"
#include "platform/messages.h"
#include "platform/testing.h"
#include "platform/windows.h"
#include "tests/support/message_loop.h"
#include "tests/support/test_device.h"

namespace {

std::vector<std::string> runs;

// Completes when told to; its cancel notifies its own completion.
class Work : public CActive {
public:
    explicit Work(std::string name) : name_(std::move(name)) {}
    void start() {
        notified_ = false;
        scheduler().set_active(this);
    }
    void complete() {
        notified_ = true;
        scheduler().notify(this);
    }
    void run() override { runs.push_back(name_); }
    void do_cancel() override {
        if (!notified_) complete();
    }
    static CActiveScheduler& scheduler() { return *os::Application::instance()->get_scheduler(); }

private:
    std::string name_;
    bool notified_ = false;
};

// Cancels another object from inside its completion.
class Canceller : public Work {
public:
    Canceller(std::string name, Work& victim) : Work(std::move(name)), victim_(victim) {}
    void run() override {
        Work::run();
        victim_.cancel();
    }

private:
    Work& victim_;
};

class ActiveSchedulerTest : public testing_support::DeviceTest {
protected:
    void SetUp() override { runs.clear(); }
    bool settle() {
        return testing_support::pump_messages_until([] {
            MSG message;
            return !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        });
    }
    os::Application application{nullptr, u"SchedulerTest"};
};

TEST_F(ActiveSchedulerTest, CompletionsRunInNotificationOrderWithTheFlagCleared) {
    Work a("a"), b("b");
    a.start();
    b.start();
    EXPECT_TRUE(a.is_active());
    b.complete();
    a.complete();
    EXPECT_TRUE(runs.empty());
    settle();
    EXPECT_EQ(runs, (std::vector<std::string>{"b", "a"}));
    EXPECT_FALSE(a.is_active());
    EXPECT_FALSE(b.is_active());
}

TEST_F(ActiveSchedulerTest, CancelHoldsEarlierCompletionsAndRunsThemBeforeItReturns) {
    Work a("a"), b("b");
    a.start();
    b.start();
    b.complete();
    a.cancel();
    EXPECT_EQ(runs, (std::vector<std::string>{"b"}));
    EXPECT_FALSE(a.is_active());
    settle();
    EXPECT_EQ(runs, (std::vector<std::string>{"b"}));
}

TEST_F(ActiveSchedulerTest, ACompletionCancelledInsideAnEnclosingCancelIsDropped) {
    Work victim("victim"), a("a");
    Canceller canceller("canceller", victim);
    a.start();
    canceller.start();
    victim.start();
    canceller.complete();
    victim.complete();  // held in the pending list by a's cancel, then cancelled by canceller
    a.cancel();
    EXPECT_EQ(runs, (std::vector<std::string>{"canceller"}));
    EXPECT_FALSE(victim.is_active());
    settle();
    EXPECT_EQ(runs, (std::vector<std::string>{"canceller"}));
}

TEST_F(ActiveSchedulerTest, CancelPostsAQuitItTookOutOfTheQueueAgain) {
    Work a("a");
    a.start();
    PostQuitMessage(6);
    a.cancel();
    EXPECT_FALSE(a.is_active());
    MSG message;
    EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), FALSE);
    EXPECT_EQ(message.wParam, 6u);
}

TEST_F(ActiveSchedulerTest, TheHiddenWindowExistsWithItsClassAndTitle) {
    HWND const window = FindWindowW(u"CActiveSchedulerClass", u"CActiveScheduler");
    ASSERT_TRUE(window);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), WS_POPUP);
    EXPECT_FALSE(IsWindowVisible(window));
}

using ActiveSchedulerDeathTest = ActiveSchedulerTest;

TEST_F(ActiveSchedulerDeathTest, MisuseEndsTheProcessWithItsText) {
    struct Case {
        const char* expected;
        void (*misuse)();
    };
    Case const cases[] = {
        {"CActiveScheduler::set_active: Object is already active",
         [] {
             Work w("w");
             w.start();
             w.start();
         }},
        {"CActiveScheduler::notify\\(\\): Active object is not active",
         [] {
             Work w("w");
             w.complete();
         }},
        {"CActiveScheduler::process_actives\\(\\): Active object is not in active list",
         [] {
             Work w("w");
             Work::scheduler().process_actives(&w);
         }},
        {"CActive::~CActive\\(\\): Active object is already active",
         [] {
             Work w("w");
             w.start();
         }},
    };
    for (auto const& c : cases) EXPECT_EXIT(c.misuse(), testing::ExitedWithCode(0), c.expected);
}

TEST(ActiveSchedulerEndDeathTest, DestroyingTheSchedulerWithActiveObjectsIsFatal) {
    testing_support::TestDevice device;
    EXPECT_EXIT(
        {
            auto* application = new os::Application(nullptr, u"SchedulerEnd");
            auto* w = new Work("w");
            w->start();
            delete application;
        },
        testing::ExitedWithCode(0), ": Some active objects still live while scheduler is terminating");
}

}  // namespace
