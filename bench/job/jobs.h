// The jobs of bench-job: each runs one whole piece of work through the engine the way the
// program runs it, so that bench/compare can time it as a process next to another tool.
#pragma once

#include <span>

#include "bench/job/job_support.h"

namespace bench_job {

struct Job {
    const char* name;
    // Reads INPUT and, when it writes, OUTPUT.
    const char* usage;
    const char* description;
    // Null while the stages the job needs are not in the engine yet.
    int (*run)(const Files& files);
};

std::span<const Job> all_jobs();

}  // namespace bench_job
