#include "skin/skin_report.h"

#include "foundation/log.h"

namespace skinner {
namespace {

ReportStop the_stop = nullptr;

}  // namespace

ReportStop set_report_stop(ReportStop stop) {
    ReportStop previous = the_stop;
    the_stop = stop;
    return previous;
}

void raise_report(const std::u16string& id, const std::u16string& message) {
    if (the_stop != nullptr) the_stop(id, message);
    os::fatal_error(id, message);
}

}  // namespace skinner
