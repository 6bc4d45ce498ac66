#include "platform/linux/media/media_decoder.h"

#include <atomic>
#include <cstdio>

#include "platform/linux/kernel/back_end_module.h"
#include "platform/linux/kernel/process_state.h"

namespace platform::detail {

namespace {

std::atomic<bool> missing_module_noted{false};

void note_missing_module_once(const std::string& error) {
    if (!missing_module_noted.exchange(true))
        std::fprintf(stderr, "sonbrix: the media module could not be loaded (%s); WMA and other media files do not play\n",
                     error.c_str());
}

}  // namespace

void forget_media_notes() { missing_module_noted = false; }

std::unique_ptr<MediaDecoder> MediaDecoder::open(const std::string& host_path) {
    std::string error;
    auto* const open_file =
        find_back_end_function<MediaDecoder*(const char*)>(SONBRIX_MEDIA_MODULE, "sonbrix_open_media_decoder", error);
    if (!open_file) {
        note_missing_module_once(error);
        return nullptr;
    }
    return std::unique_ptr<MediaDecoder>(open_file(host_path.c_str()));
}

}  // namespace platform::detail
