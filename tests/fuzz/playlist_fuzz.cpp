// Any file opened as a playlist (lists come from other programs and from users): every
// format reads it without fault, and an M3U list that was read saves and reads back with
// the same number of entries.
#include <cstdlib>
#include <memory>
#include <string>

#include "app/playlist/list_asx.h"
#include "app/playlist/list_m3u.h"
#include "app/playlist/list_multi_tracker.h"
#include "app/playlist/list_offline_radio.h"
#include "app/playlist/open.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

const char16_t* const input_path = u"\\fuzz\\input.lst";
const char16_t* const saved_path = u"\\fuzz\\saved.lst";

void save_if_loaded(playlist::List& list) {
    if (list.is_loaded()) list.save(saved_path);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!fuzzing::write_device_file(input_path, data, size)) return 0;
    std::unique_ptr<playlist::List> const opened = playlist::open(input_path);
    if (opened && !opened->is_loaded()) std::abort();

    playlist::ListM3U m3u(input_path);
    if (m3u.is_loaded()) {
        if (!m3u.save(saved_path)) std::abort();
        playlist::ListM3U const again(saved_path);
        if (!again.is_loaded() || again.get_entries().size() != m3u.get_entries().size()) std::abort();
    }
    playlist::ListASX asx(input_path);
    save_if_loaded(asx);
    playlist::ListMultiTracker multi_tracker(input_path);
    save_if_loaded(multi_tracker);
    playlist::ListOfflineRadio offline_radio(input_path);
    save_if_loaded(offline_radio);
    return 0;
}
