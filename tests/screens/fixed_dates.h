// A file's row shows the file's birth time, which no test can set: pictures of file lists pin
// one date instead.
#pragma once

#include "screens/control_list_files.h"

namespace screens_test {

// Puts one fixed date on every row of the list (as the list shows it) and repaints it.
void show_fixed_dates(screens::ControlListFiles& list);

}  // namespace screens_test
