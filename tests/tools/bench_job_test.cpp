#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/audio/wav_fixture.h"
#include "tests/support/test_device.h"
#include "tests/tools/tool_run.h"

namespace {

using testing_support::write_host_file;
using tools_test::run_tool;
using tools_test::ToolRun;

// bench-job says what went wrong rather than succeeding without doing the job.
class BenchJobTest : public testing_support::DeviceTest {
protected:
    ToolRun bench_job(const std::vector<std::string>& arguments) {
        return run_tool(SONBRIX_BENCH_JOB, arguments, {{"SONBRIX_DEVICE", device.folder()}}, device.folder());
    }
};

TEST_F(BenchJobTest, AMissingInputIsNamedAsSuch) {
    for (auto const& arguments : {std::vector<std::string>{"mp3-decode", device.host_path("absent.wav")},
                                  {"gsm-encode", device.host_path("absent.wav"), device.host_path("out.wav")}}) {
        SCOPED_TRACE(arguments[0]);
        ToolRun const run = bench_job(arguments);
        EXPECT_EQ(1, run.exit_code);
        EXPECT_NE(std::string::npos, run.err.find("no such file: " + device.host_path("absent.wav"))) << run.err;
    }
}

TEST_F(BenchJobTest, AnInputTheEncoderDoesNotTakeFailsInsteadOfWritingNothing) {
    std::string const input = device.host_path("tone.wav");
    write_host_file(input, wav_fixture::pcm_file(2, 16, 44100, std::string(4 * 44100, '\0')));
    ToolRun const run = bench_job({"gsm-encode", input, device.host_path("out.wav")});
    EXPECT_EQ(1, run.exit_code);
    EXPECT_NE(std::string::npos, run.err.find("gsm-encode wrote nothing")) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("8000 Hz mono")) << run.err;
}

TEST_F(BenchJobTest, AFittingInputIsEncoded) {
    std::string const input = device.host_path("speech.wav");
    write_host_file(input, wav_fixture::pcm_file(1, 16, 8000, std::string(2 * 8000, '\0')));
    ToolRun const run = bench_job({"gsm-encode", input, device.host_path("out.wav")});
    EXPECT_EQ(0, run.exit_code) << run.err;
}

}  // namespace
