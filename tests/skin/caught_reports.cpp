#include "tests/skin/caught_reports.h"

namespace skin_test {
namespace {

void throw_report(const std::u16string& id, const std::u16string& message) {
    throw Report{id, message};
}

}  // namespace

CaughtReports::CaughtReports() : previous_(skinner::set_report_stop(throw_report)) {}

CaughtReports::~CaughtReports() {
    skinner::set_report_stop(previous_);
}

}  // namespace skin_test
