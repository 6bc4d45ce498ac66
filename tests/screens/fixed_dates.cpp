#include "tests/screens/fixed_dates.h"

namespace screens_test {

void show_fixed_dates(screens::ControlListFiles& list) {
    for (auto& row : list.get_rows()) row.date_text = u"05.03.06";
    list.repaint();
}

}  // namespace screens_test
