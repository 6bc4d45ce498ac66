// Any file handed to the zip reader as a skin archive: walking, opening and reading its
// entries must stay inside the buffers given and end.
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/zip_file.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

const char16_t* const archive_path = u"\\fuzz\\archive.skin";

void read_whole_entry(liba::ZipFile& zip) {
    char buffer[97];
    std::uint32_t total = 0;
    for (std::uint32_t got; (got = zip.read(buffer, sizeof buffer)) != 0;) total += got;
    if (total != zip.get_size()) std::abort();
}

void move_around(liba::ZipFile& zip) {
    char buffer[16];
    zip.seek(zip.get_size() + 7);
    if (zip.read(buffer, sizeof buffer) != 0 || zip.skip(3) != 0) std::abort();
    zip.skip(-5);
    zip.seek(zip.get_size() / 2);
    if (zip.read(buffer, sizeof buffer) > zip.get_size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!fuzzing::write_device_file(archive_path, data, size)) return 0;
    liba::ZipFile zip(archive_path);
    std::vector<std::u16string> names;
    for (std::u16string name = zip.next_entry(); !name.empty(); name = zip.next_entry()) {
        names.push_back(name);
        read_whole_entry(zip);
        move_around(zip);
    }
    for (std::u16string const& name : names) {
        if (!zip.open_entry(name)) std::abort();
        read_whole_entry(zip);
    }
    zip.open_entry(u"Default.skin");
    return 0;
}
