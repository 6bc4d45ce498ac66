#include <gtest/gtest.h>

#include "platform/dialogs.h"
#include "platform/kernel.h"

namespace {

TEST(MessageBox, WritesCaptionAndTextAsUtf8Lines) {
    ::testing::internal::CaptureStderr();
    MessageBoxW(nullptr, u"Gr\u00FC\u00DFe", u"Warning", MB_OK);
    MessageBoxW(nullptr, nullptr, nullptr, MB_OK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Warning: Gr\xC3\xBC\xC3\x9F" "e\n: \n");
}

TEST(MessageBox, AnswersWithTheFirstButtonOfTheBox) {
    struct Case { UINT type; int answer; };
    ::testing::internal::CaptureStderr();
    for (auto const& c : {Case{MB_OK, IDOK}, Case{MB_OKCANCEL, IDOK}, Case{MB_YESNO, IDYES},
                          Case{MB_YESNOCANCEL | MB_ICONQUESTION, IDYES}, Case{MB_RETRYCANCEL, IDRETRY},
                          Case{MB_ABORTRETRYIGNORE, IDABORT}, Case{MB_ICONERROR | MB_SETFOREGROUND, IDOK}}) {
        EXPECT_EQ(MessageBoxW(nullptr, u"t", u"c", c.type), c.answer) << c.type;
    }
    ::testing::internal::GetCapturedStderr();
}

TEST(MessageBoxDeathTest, ItsLineIsOutBeforeTheProcessIsTerminated) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            MessageBoxW(GetForegroundWindow(), u"disk full", u"Recorder::on_data", MB_OK);
            TerminateProcess(GetCurrentProcess(), 5);
        },
        ::testing::ExitedWithCode(5), "^Recorder::on_data: disk full\n$");
}

TEST(ForegroundWindow, IsNoneWithoutWindows) { EXPECT_EQ(GetForegroundWindow(), nullptr); }

}  // namespace
