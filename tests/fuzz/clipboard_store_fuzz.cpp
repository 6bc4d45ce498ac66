// Any bytes kept as the clipboard's stored data: they read as some contents (damaged data
// as none), and whatever was read is stored and read back unchanged.
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/linux/clipboard_store.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace platform::detail;
    std::string const folder = clipboard_folder();
    {
        std::ofstream out(folder + "/clipboard.data", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    ClipboardContents const contents = read_clipboard(folder);
    if (write_clipboard(folder, contents) != 0) return 0;
    if (read_clipboard(folder) != contents) std::abort();
    return 0;
}
