// bench-job: runs one whole job through the engine, so that its cost can be measured as a
// process (bench/compare times it next to the tools that do the same job).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/job/jobs.h"

namespace {

constexpr int exit_usage = 2;
// The job exists but the stages it needs are not in the engine yet.
constexpr int exit_not_built = 3;

void print_usage() {
    std::fputs("usage: bench-job JOB INPUT [OUTPUT]\n"
               "       bench-job list\n"
               "Files are host paths inside the device's file system (fs/ under SONBRIX_DEVICE).\n"
               "Jobs:\n",
               stderr);
    for (auto const& job : bench_job::all_jobs())
        std::fprintf(stderr, "  %-13s %-15s %s%s\n", job.name, job.usage, job.description,
                     job.run ? "" : " (not built yet)");
}

// One line a job: its name, "built" or "not-built", its arguments and what it does.
void list() {
    for (auto const& job : bench_job::all_jobs())
        std::printf("%s\t%s\t%s\t%s\n", job.name, job.run ? "built" : "not-built", job.usage, job.description);
}

bool writes_output(const bench_job::Job& job) { return std::strchr(job.usage, ' ') != nullptr; }

// Runs the job on an input that exists, and fails a job that should write but wrote nothing
// (an input the job's stages do not take, such as 44100 Hz sound for the GSM encoder).
int run_checked(const bench_job::Job& job, const bench_job::Files& files) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(files.input, error)) return bench_job::fail("no such file", files.input);
    if (writes_output(job)) std::filesystem::remove(files.output, error);
    int const status = job.run(files);
    if (status != 0 || !writes_output(job)) return status;
    if (std::filesystem::file_size(files.output, error) == 0 || error) {
        std::fprintf(stderr, "bench-job: %s wrote nothing to %s; it takes: %s\n", job.name, files.output.c_str(),
                     job.description);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "list") == 0) {
        list();
        return 0;
    }
    if (argc < 3) {
        print_usage();
        return exit_usage;
    }
    for (auto const& job : bench_job::all_jobs()) {
        if (std::strcmp(job.name, argv[1]) != 0) continue;
        if (argc != (writes_output(job) ? 4 : 3)) {
            print_usage();
            return exit_usage;
        }
        if (!job.run) {
            std::fprintf(stderr, "bench-job: %s: not built yet\n", job.name);
            return exit_not_built;
        }
        return run_checked(job, bench_job::Files{argv[2], argc > 3 ? argv[3] : ""});
    }
    std::fprintf(stderr, "bench-job: no job %s\n", argv[1]);
    print_usage();
    return exit_usage;
}
