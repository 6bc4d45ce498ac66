// Any file loaded as a language file: the loader reads it whole and never fails on its text.
#include <cstdlib>
#include <string>

#include "foundation/string_translator.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

const char16_t* const language_path = u"\\fuzz\\Language.lng";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!fuzzing::write_device_file(language_path, data, size)) return 0;
    liba::StringTranslator translator;
    if (!translator.load(language_path)) std::abort();
    std::u16string const fallback = u"fallback";
    translator.translate(u"TITLE", fallback);
    translator.translate(u"", fallback);
    return 0;
}
