// Reports of the skin reader caught in tests instead of ending the run.
#pragma once

#include <string>

#include "skin/skin_report.h"

namespace skin_test {

// What a report raised in a test: thrown by the stop that CaughtReports puts in.
struct Report {
    std::u16string id;
    std::u16string message;
};

// While it lives, reports throw Report instead of ending the process.
class CaughtReports {
public:
    CaughtReports();
    ~CaughtReports();

private:
    skinner::ReportStop previous_;
};

}  // namespace skin_test
