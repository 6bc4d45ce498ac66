// Any file loaded as the settings file (users edit it by hand): loading never fails, the
// levels stay in range, the schedule stays sorted and free of overlaps, and the record saves.
#include <cstdlib>
#include <string>

#include "app/settings.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

const char16_t* const input_path = u"\\fuzz\\Sonbrix.xml";
const char16_t* const saved_path = u"\\fuzz\\saved.xml";

bool in_range(int level) { return level >= 0 && level <= Settings::max_level; }

bool schedule_holds(const Schedule& schedule) {
    for (std::size_t i = 0; i < schedule.size(); ++i) {
        if (!(schedule[i].Begin < schedule[i].End)) return false;
        if (i > 0 && schedule[i - 1].End > schedule[i].Begin) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!fuzzing::write_device_file(input_path, data, size)) return 0;
    Settings settings;
    settings.load(input_path);
    if (!in_range(settings.play.booster) || !in_range(settings.play.noise) || !in_range(settings.play.limiter)) {
        std::abort();
    }
    if (!schedule_holds(settings.schedule)) std::abort();
    if (!settings.save(saved_path)) std::abort();
    Settings again;
    again.load(saved_path);
    if (again.schedule.size() != settings.schedule.size()) std::abort();
    return 0;
}
