// The program Sonbrix. The platform starts a device program with its whole command line as
// one argument.
#include <string>

#include "native/native_controls.h"
#include "platform/unicode.h"
#include "screens/main_routine.h"

int main(int argc, char** argv) {
    std::u16string const command_line = argc > 1 ? platform::utf8_to_utf16(argv[1]) : std::u16string();
    native::start_native_controls();
    return run_main_routine(nullptr, command_line);
}
