// The program's main routine: the single-instance start, the Document, the main skin and its
// language, the main form and its modal run, and the teardown in the reverse order.
#pragma once

#include <string>

struct HINSTANCE__;

// The whole command line as given, untrimmed and unsplit. Always 0.
int run_main_routine(HINSTANCE__* instance, const std::u16string& command_line);
