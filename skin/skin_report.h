// The reports that end the program when the skin lacks what a screen asks for.
#pragma once

#include <string>

namespace skinner {

// Report ids, passed as the place of the fatal-error stop.
inline const std::u16string report_no_skin = u"report_no_skin";
inline const std::u16string report_no_form = u"report_no_form";
inline const std::u16string report_no_control = u"report_no_control";

// What a report calls: the id and the message. The program's stop is os::fatal_error, which
// logs, shows the message and ends the process. A stop put in for tests must not return
// (it throws); if it does, the program's stop runs after it.
using ReportStop = void (*)(const std::u16string& id, const std::u16string& message);

// Replaces the stop; nullptr puts the program's stop back. Returns the previous one.
ReportStop set_report_stop(ReportStop stop);

[[noreturn]] void raise_report(const std::u16string& id, const std::u16string& message);

}  // namespace skinner
