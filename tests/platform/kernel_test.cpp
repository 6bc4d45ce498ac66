#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/errors.h"
#include "platform/kernel.h"
#include "platform/testing.h"
#include "tests/support/eventually.h"

namespace {

constexpr DWORD failed_count = 0xFFFFFFFFu;
// Long enough for any thread of these tests to get going, even under the sanitizers.
constexpr DWORD patience_ms = 10000;

// A platform thread that runs a lambda; the destructor waits for it and closes the handle.
class TestThread {
public:
    explicit TestThread(std::function<DWORD()> body, DWORD flags = 0)
        : body_(std::make_unique<std::function<DWORD()>>(std::move(body))) {
        handle_ = CreateThread(nullptr, 0, &TestThread::entry, body_.get(), flags, &id_);
    }
    ~TestThread() {
        if (!handle_) return;
        if (WaitForSingleObject(handle_, patience_ms) != WAIT_OBJECT_0) {
            // Its body still uses the test's locals: stop the whole program rather than hang.
            std::fprintf(stderr, "a test thread did not end\n");
            std::abort();
        }
        CloseHandle(handle_);
    }
    TestThread(const TestThread&) = delete;
    TestThread& operator=(const TestThread&) = delete;

    HANDLE handle() const { return handle_; }
    DWORD id() const { return id_; }
    bool ended_within(DWORD ms) const { return WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0; }

private:
    static DWORD entry(LPVOID body) { return (*static_cast<std::function<DWORD()>*>(body))(); }

    std::unique_ptr<std::function<DWORD()>> body_;
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

// An unnamed event that closes itself.
class TestEvent {
public:
    explicit TestEvent(bool manual_reset, bool signalled = false)
        : handle_(CreateEventW(nullptr, manual_reset, signalled, nullptr)) {}
    ~TestEvent() { CloseHandle(handle_); }
    TestEvent(const TestEvent&) = delete;
    TestEvent& operator=(const TestEvent&) = delete;

    HANDLE handle() const { return handle_; }
    DWORD wait(DWORD ms = INFINITE) const { return WaitForSingleObject(handle_, ms); }

private:
    HANDLE handle_;
};

// Waits until the thread sleeps in SuspendThread.
bool suspended(DWORD thread_id) {
    return testing_support::eventually([&] { return platform::thread_is_suspended(thread_id); });
}

int host_nice_value_of_caller() { return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())); }

// ---- Threads ----------------------------------------------------------------------------

TEST(Threads, EveryThreadHasItsOwnStableNonZeroId) {
    DWORD const main_id = GetCurrentThreadId();
    EXPECT_NE(main_id, 0u);
    EXPECT_EQ(GetCurrentThreadId(), main_id);

    DWORD seen_inside = 0;
    {
        TestThread thread([&] {
            seen_inside = GetCurrentThreadId();
            return 0u;
        });
        ASSERT_NE(thread.handle(), nullptr);
        ASSERT_TRUE(thread.ended_within(patience_ms));
        EXPECT_EQ(seen_inside, thread.id());
    }
    DWORD host_thread_id = 0;
    std::thread([&] { host_thread_id = GetCurrentThreadId(); }).join();

    EXPECT_NE(seen_inside, 0u);
    EXPECT_NE(host_thread_id, 0u);
    EXPECT_NE(seen_inside, main_id);
    EXPECT_NE(host_thread_id, main_id);
    EXPECT_NE(host_thread_id, seen_inside);
}

TEST(Threads, HandleIsSignalledWithTheExitCodeOnceTheRoutineReturns) {
    TestEvent go(true);
    TestThread thread([&] {
        go.wait();
        return 42u;
    });
    DWORD code = 0;
    EXPECT_EQ(WaitForSingleObject(thread.handle(), 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(thread.handle(), 5), WAIT_TIMEOUT);
    ASSERT_TRUE(GetExitCodeThread(thread.handle(), &code));
    EXPECT_EQ(code, STILL_ACTIVE);

    SetEvent(go.handle());
    EXPECT_EQ(WaitForSingleObject(thread.handle(), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread.handle(), 0), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeThread(thread.handle(), &code));
    EXPECT_EQ(code, 42u);
}

TEST(Threads, CreatedSuspendedRunsOnlyAfterResume) {
    std::atomic<bool> ran{false};
    TestThread thread(
        [&] {
            ran = true;
            return 0u;
        },
        CREATE_SUSPENDED);
    EXPECT_EQ(WaitForSingleObject(thread.handle(), 20), WAIT_TIMEOUT);
    EXPECT_FALSE(ran);
    EXPECT_EQ(ResumeThread(thread.handle()), 1u);
    ASSERT_TRUE(thread.ended_within(patience_ms));
    EXPECT_TRUE(ran);
}

TEST(Threads, ClosingTheHandleEarlyLetsTheThreadRunOn) {
    TestEvent go(true);
    TestEvent done(true);
    DWORD id = 0;
    std::function<DWORD()> body = [&] {
        go.wait();
        SetEvent(done.handle());
        return 0u;
    };
    HANDLE const handle = CreateThread(nullptr, 0, [](LPVOID b) { return (*static_cast<std::function<DWORD()>*>(b))(); },
                                       &body, 0, &id);
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(CloseHandle(handle));
    SetEvent(go.handle());
    EXPECT_EQ(done.wait(patience_ms), WAIT_OBJECT_0);
    // The body has returned; its record goes with the end of the thread.
    testing_support::eventually([&] { return !platform::thread_is_known(id); });
}

TEST(Threads, RefusesMissingRoutineAndUnknownHandles) {
    SetLastError(0);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    TestEvent not_a_thread(true);
    DWORD code = 0;
    for (HANDLE const handle : {HANDLE{nullptr}, INVALID_HANDLE_VALUE, not_a_thread.handle()}) {
        SetLastError(0);
        EXPECT_FALSE(GetExitCodeThread(handle, &code));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_EQ(ResumeThread(handle), failed_count);
        EXPECT_EQ(SuspendThread(handle), failed_count);
        EXPECT_EQ(GetThreadPriority(handle), THREAD_PRIORITY_ERROR_RETURN);
        EXPECT_FALSE(SetThreadPriority(handle, THREAD_PRIORITY_NORMAL));
    }
}

TEST(Threads, RecordsAreFoundByIdUntilTheThreadEnds) {
    TestEvent go(true);
    DWORD pseudo_handle_id = 0;
    TestThread thread([&] {
        pseudo_handle_id = GetCurrentThreadId();
        go.wait();
        return 0u;
    });
    ASSERT_TRUE(platform::thread_is_known(thread.id()));
    SetEvent(go.handle());
    ASSERT_TRUE(thread.ended_within(patience_ms));
    EXPECT_EQ(pseudo_handle_id, thread.id());
    EXPECT_FALSE(platform::thread_is_known(thread.id()));

    DWORD host_thread_id = 0;
    std::thread([&] { host_thread_id = GetCurrentThreadId(); }).join();
    EXPECT_FALSE(platform::thread_is_known(host_thread_id));
    EXPECT_TRUE(platform::thread_is_known(GetCurrentThreadId()));
}

// Static objects of the program (a lock of the log, say) are destroyed after the main
// thread's own records; they must still be able to use the platform.
struct UsesThePlatformAtExit {
    ~UsesThePlatformAtExit() {
        if (GetCurrentThreadId() != id_at_start) _exit(3);
        CRITICAL_SECTION section;
        InitializeCriticalSection(&section);
        EnterCriticalSection(&section);
        if (section.OwnerThread != id_at_start) _exit(4);
        LeaveCriticalSection(&section);
        DeleteCriticalSection(&section);
        if (SuspendThread(GetCurrentThread()) != 0xFFFFFFFFu) _exit(5);
    }
    DWORD id_at_start = 0;
};

TEST(ThreadsDeathTest, IdsStayUsableWhileTheProgramEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static UsesThePlatformAtExit user;
            user.id_at_start = GetCurrentThreadId();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

// ---- Priorities -------------------------------------------------------------------------

TEST(ThreadPriority, IsSetOnTheHostThreadAndReadBack) {
    TestEvent ready(true);
    TestEvent go(true);
    int nice_before = 0;
    int nice_after = 0;
    int seen_from_inside = 0;
    TestThread thread([&] {
        nice_before = host_nice_value_of_caller();
        SetEvent(ready.handle());
        go.wait();
        nice_after = host_nice_value_of_caller();
        seen_from_inside = GetThreadPriority(GetCurrentThread());
        return 0u;
    });
    EXPECT_EQ(GetThreadPriority(thread.handle()), THREAD_PRIORITY_NORMAL);
    ASSERT_EQ(ready.wait(patience_ms), WAIT_OBJECT_0);
    ASSERT_TRUE(SetThreadPriority(thread.handle(), THREAD_PRIORITY_LOWEST));
    EXPECT_EQ(GetThreadPriority(thread.handle()), THREAD_PRIORITY_LOWEST);
    SetEvent(go.handle());
    ASSERT_TRUE(thread.ended_within(patience_ms));
    EXPECT_EQ(seen_from_inside, THREAD_PRIORITY_LOWEST);
    EXPECT_GT(nice_after, nice_before);
}

TEST(ThreadPriority, RaisingIsDoneOrRefusedCleanly) {
    TestThread thread([] { return 0u; }, CREATE_SUSPENDED);
    SetLastError(0);
    if (SetThreadPriority(thread.handle(), THREAD_PRIORITY_HIGHEST)) {
        EXPECT_EQ(GetThreadPriority(thread.handle()), THREAD_PRIORITY_HIGHEST);
    } else {  // an unprivileged host user
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
        EXPECT_EQ(GetThreadPriority(thread.handle()), THREAD_PRIORITY_NORMAL);
    }
    ResumeThread(thread.handle());
}

TEST(ThreadPriority, RefusesValuesOutsideTheRangeAndEndedThreads) {
    TestThread thread([] { return 0u; });
    for (int const value : {-1, 8, 100}) {
        SetLastError(0);
        EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), value)) << value;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    ASSERT_TRUE(thread.ended_within(patience_ms));
    SetLastError(0);
    EXPECT_FALSE(SetThreadPriority(thread.handle(), THREAD_PRIORITY_LOWEST));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

// ---- Self-suspension --------------------------------------------------------------------

TEST(SuspendThread, AnotherThreadCannotBeSuspended) {
    TestThread thread([] { return 0u; }, CREATE_SUSPENDED);
    SetLastError(0);
    EXPECT_EQ(SuspendThread(thread.handle()), failed_count);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ResumeThread(thread.handle()), 1u);
}

TEST(SuspendThread, ResumeBeforeTheSuspendIsKept) {
    TestEvent go(true);
    DWORD suspend_result = 1234;
    TestThread thread([&] {
        go.wait();
        suspend_result = SuspendThread(GetCurrentThread());
        return 0u;
    });
    EXPECT_EQ(ResumeThread(thread.handle()), 0u);
    SetEvent(go.handle());
    ASSERT_TRUE(thread.ended_within(patience_ms));
    EXPECT_EQ(suspend_result, 0u);
}

TEST(SuspendThread, ResumeAfterTheSuspendWakesTheThread) {
    std::vector<DWORD> results;
    TestThread thread([&] {
        results.push_back(SuspendThread(GetCurrentThread()));
        HANDLE const own_handle = GetCurrentThread();
        results.push_back(SuspendThread(own_handle));
        return 0u;
    });
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(suspended(thread.id()));
        EXPECT_EQ(ResumeThread(thread.handle()), 1u);
    }
    ASSERT_TRUE(thread.ended_within(patience_ms));
    EXPECT_EQ(results, (std::vector<DWORD>{0, 0}));
}

TEST(SuspendThread, NoWakeUpIsLostWhateverTheOrder) {
    constexpr int rounds = 3000;
    TestEvent handed_on(false);
    std::atomic<int> turn{0};
    TestThread thread([&] {
        for (int i = 0; i < rounds; ++i) {
            while (turn.load() == i) SuspendThread(GetCurrentThread());
            SetEvent(handed_on.handle());
        }
        return 0u;
    });
    for (int i = 0; i < rounds; ++i) {
        turn = i + 1;
        ResumeThread(thread.handle());
        ASSERT_EQ(handed_on.wait(patience_ms), WAIT_OBJECT_0) << "round " << i;
    }
    ASSERT_TRUE(thread.ended_within(patience_ms));
}

TEST(SuspendThread, SeveralResumesLeaveOneWakeUp) {
    TestEvent go(true);
    TestEvent first_returned(true);
    TestThread thread([&] {
        go.wait();
        SuspendThread(GetCurrentThread());  // takes the kept wake-up
        SetEvent(first_returned.handle());
        SuspendThread(GetCurrentThread());  // sleeps
        return 0u;
    });
    EXPECT_EQ(ResumeThread(thread.handle()), 0u);
    EXPECT_EQ(ResumeThread(thread.handle()), 0u);
    SetEvent(go.handle());
    ASSERT_EQ(first_returned.wait(patience_ms), WAIT_OBJECT_0);
    ASSERT_TRUE(suspended(thread.id()));
    EXPECT_EQ(ResumeThread(thread.handle()), 1u);
}

// ---- Critical sections ------------------------------------------------------------------

class CriticalSectionTest : public ::testing::Test {
protected:
    CriticalSectionTest() { InitializeCriticalSection(&section); }
    ~CriticalSectionTest() override { DeleteCriticalSection(&section); }

    BOOL try_enter_on_other_thread() {
        BOOL entered = FALSE;
        TestThread thread([&] {
            entered = TryEnterCriticalSection(&section);
            if (entered) LeaveCriticalSection(&section);
            return 0u;
        });
        EXPECT_TRUE(thread.ended_within(patience_ms));
        return entered;
    }

    CRITICAL_SECTION section;
};

TEST_F(CriticalSectionTest, OwnerEntersAgainAndOthersWaitUntilItLeftAsOften) {
    EnterCriticalSection(&section);
    EXPECT_TRUE(TryEnterCriticalSection(&section));
    EXPECT_EQ(section.OwnerThread, GetCurrentThreadId());
    EXPECT_EQ(section.LockCount, 2u);
    EXPECT_FALSE(try_enter_on_other_thread());

    LeaveCriticalSection(&section);
    EXPECT_EQ(section.LockCount, 1u);
    EXPECT_FALSE(try_enter_on_other_thread());

    LeaveCriticalSection(&section);
    EXPECT_EQ(section.OwnerThread, 0u);
    EXPECT_TRUE(try_enter_on_other_thread());
}

TEST_F(CriticalSectionTest, LeaveByAThreadThatDoesNotOwnItIsIgnored) {
    EnterCriticalSection(&section);
    TestThread intruder([&] {
        LeaveCriticalSection(&section);
        return 0u;
    });
    ASSERT_TRUE(intruder.ended_within(patience_ms));
    EXPECT_EQ(section.OwnerThread, GetCurrentThreadId());
    EXPECT_FALSE(try_enter_on_other_thread());
    LeaveCriticalSection(&section);
}

TEST_F(CriticalSectionTest, KeepsThreadsOutOfEachOther) {
    constexpr int threads = 4;
    constexpr int rounds = 20000;
    int counter = 0;
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    {
        std::vector<std::unique_ptr<TestThread>> workers;
        for (int t = 0; t < threads; ++t) {
            workers.push_back(std::make_unique<TestThread>([&] {
                for (int i = 0; i < rounds; ++i) {
                    EnterCriticalSection(&section);
                    EnterCriticalSection(&section);
                    if (++inside != 1) overlapped = true;
                    ++counter;
                    --inside;
                    LeaveCriticalSection(&section);
                    LeaveCriticalSection(&section);
                }
                return 0u;
            }));
        }
    }
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(counter, threads * rounds);
}

TEST_F(CriticalSectionTest, DeletingASectionTheCallerHoldsLeavesItFirst) {
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);
    DeleteCriticalSection(&section);
    EXPECT_EQ(section.OwnerThread, 0u);
    EXPECT_EQ(section.LockCount, 0u);
    InitializeCriticalSection(&section);  // for the fixture's delete
}

// ---- Events -----------------------------------------------------------------------------

TEST(Events, ManualResetReleasesEveryWaiterAndStaysSet) {
    TestEvent event(true);
    std::atomic<int> released{0};
    {
        std::vector<std::unique_ptr<TestThread>> waiters;
        for (int i = 0; i < 4; ++i) {
            waiters.push_back(std::make_unique<TestThread>([&] {
                if (event.wait() == WAIT_OBJECT_0) ++released;
                return 0u;
            }));
        }
        EXPECT_EQ(event.wait(5), WAIT_TIMEOUT);
        EXPECT_TRUE(SetEvent(event.handle()));
    }
    EXPECT_EQ(released, 4);
    EXPECT_EQ(event.wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(event.wait(0), WAIT_OBJECT_0);
    EXPECT_TRUE(ResetEvent(event.handle()));
    EXPECT_EQ(event.wait(0), WAIT_TIMEOUT);
}

TEST(Events, AutoResetReleasesOneWaiterPerSet) {
    TestEvent event(false);
    std::atomic<int> released{0};
    std::vector<std::unique_ptr<TestThread>> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.push_back(std::make_unique<TestThread>([&] {
            event.wait();
            ++released;
            return 0u;
        }));
    }
    for (int sets = 1; sets <= 3; ++sets) {
        SetEvent(event.handle());
        for (int i = 0; i < 10000 && released < sets; ++i) Sleep(1);
        ASSERT_EQ(released, sets);
        Sleep(10);  // a second waiter would have been released by now
        EXPECT_EQ(released, sets);
    }
    EXPECT_EQ(event.wait(0), WAIT_TIMEOUT);
}

TEST(Events, InitialStateAndSingleWaitsWithoutWaiters) {
    TestEvent manual_set(true, true);
    EXPECT_EQ(manual_set.wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(manual_set.wait(0), WAIT_OBJECT_0);

    TestEvent auto_set(false, true);
    EXPECT_EQ(auto_set.wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(auto_set.wait(0), WAIT_TIMEOUT);
    EXPECT_TRUE(EventModify(auto_set.handle(), EVENT_SET));
    EXPECT_TRUE(EventModify(auto_set.handle(), EVENT_SET));
    EXPECT_EQ(auto_set.wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(auto_set.wait(0), WAIT_TIMEOUT);
}

TEST(Events, PulseReleasesWaitersAndLeavesTheEventReset) {
    for (bool const manual_reset : {true, false}) {
        TestEvent event(manual_reset);
        EXPECT_TRUE(PulseEvent(event.handle()));  // nobody waits: nothing stays behind
        EXPECT_EQ(event.wait(0), WAIT_TIMEOUT) << manual_reset;

        TestThread waiter([&] { return event.wait(); });
        while (!waiter.ended_within(1)) PulseEvent(event.handle());
        DWORD code = 0;
        GetExitCodeThread(waiter.handle(), &code);
        EXPECT_EQ(code, WAIT_OBJECT_0);
        EXPECT_EQ(event.wait(0), WAIT_TIMEOUT) << manual_reset;
    }
}

TEST(Events, RefusalsAndHandleErrors) {
    SetLastError(0);
    EXPECT_EQ(CreateEventW(nullptr, TRUE, FALSE, u"named"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);

    TestEvent event(true);
    SetLastError(0);
    EXPECT_FALSE(EventModify(event.handle(), 0));
    EXPECT_FALSE(EventModify(event.handle(), 4));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    HANDLE const closed = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    ASSERT_NE(closed, nullptr);
    CloseHandle(closed);
    SetLastError(0);
    EXPECT_FALSE(SetEvent(closed));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(closed, 0), WAIT_FAILED);
}

// ---- Interlocked counts -----------------------------------------------------------------

TEST(Interlocked, ConcurrentIncrementsHandOutEveryValueOnce) {
    constexpr int threads = 4;
    constexpr int rounds = 10000;
    LONG volatile count = 0;
    std::vector<std::vector<LONG>> seen(threads);
    {
        std::vector<std::unique_ptr<TestThread>> workers;
        for (int t = 0; t < threads; ++t) {
            workers.push_back(std::make_unique<TestThread>([&, t] {
                for (int i = 0; i < rounds; ++i) seen[t].push_back(InterlockedIncrement(&count));
                return 0u;
            }));
        }
    }
    std::vector<LONG> all;
    for (auto const& values : seen) all.insert(all.end(), values.begin(), values.end());
    std::sort(all.begin(), all.end());
    ASSERT_EQ(all.size(), std::size_t{threads * rounds});
    for (std::size_t i = 0; i < all.size(); ++i) ASSERT_EQ(all[i], static_cast<LONG>(i + 1));

    {
        std::vector<std::unique_ptr<TestThread>> workers;
        for (int t = 0; t < threads; ++t) {
            workers.push_back(std::make_unique<TestThread>([&] {
                for (int i = 0; i < rounds; ++i) InterlockedDecrement(&count);
                return 0u;
            }));
        }
    }
    EXPECT_EQ(count, 0);
}

TEST(Interlocked, ResultsAreTheNewOrTheFoundValue) {
    LONG volatile value = -1;
    EXPECT_EQ(InterlockedIncrement(&value), 0);
    EXPECT_EQ(InterlockedDecrement(&value), -1);
    EXPECT_EQ(InterlockedExchange(&value, 7), -1);
    EXPECT_EQ(value, 7);

    struct Case { LONG start, exchange, comparand, found, after; };
    for (auto const& c : {Case{7, 9, 7, 7, 9}, Case{7, 9, 8, 7, 7}, Case{0, -5, 0, 0, -5}}) {
        value = c.start;
        EXPECT_EQ(InterlockedCompareExchange(&value, c.exchange, c.comparand), c.found);
        EXPECT_EQ(value, c.after);
    }
}

// ---- The own process --------------------------------------------------------------------

TEST(Process, PseudoHandleAndId) {
    EXPECT_NE(GetCurrentProcess(), INVALID_HANDLE_VALUE);
    EXPECT_NE(GetCurrentProcess(), nullptr);
    EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(getpid()));
}

TEST(Process, OtherProcessesCannotBeEndedYet) {
    TestEvent event(true);
    for (HANDLE const other : {HANDLE{nullptr}, INVALID_HANDLE_VALUE, event.handle()}) {
        SetLastError(0);
        EXPECT_FALSE(TerminateProcess(other, 3));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
}

struct ExitsWithCodeOnDestruction {
    ~ExitsWithCodeOnDestruction() { _exit(98); }
};

TEST(ProcessDeathTest, TerminateProcessEndsAtOnceWithTheGivenCode) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atexit([] { _exit(99); });
            static ExitsWithCodeOnDestruction not_destroyed;
            TerminateProcess(GetCurrentProcess(), 7);
        },
        ::testing::ExitedWithCode(7), "");
}

}  // namespace
