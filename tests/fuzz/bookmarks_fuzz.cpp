// Any file read as a sound file's bookmark list: the list it gives is sorted by position (a
// file may hold equal ones), and it is saved and read back with the same positions.
#include <cstdlib>
#include <string>

#include "audio/bookmarks.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

const char16_t* const bookmark_path = u"\\fuzz\\sound.wav.bm";
const char16_t* const saved_path = u"\\fuzz\\saved.bm";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!fuzzing::write_device_file(bookmark_path, data, size)) return 0;
    Bookmarks const read(bookmark_path);
    for (int i = 1; i < read.size(); ++i) {
        if (read.get(i - 1).position > read.get(i).position) std::abort();
    }
    if (!read.save(saved_path)) return 0;
    Bookmarks const again(saved_path);
    if (again.size() != read.size()) std::abort();
    for (int i = 0; i < read.size(); ++i) {
        if (again.get(i).position != read.get(i).position) std::abort();
    }
    return 0;
}
