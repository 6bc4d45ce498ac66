#include "todayplugin/today_painter.h"

#include "platform/today.h"
#include "skin/canvas.h"
#include "skin/form.h"

namespace todayplugin {

namespace {

// Below the item's other controls, which a container paints later the higher they are.
constexpr int background_z_order = -1;

}  // namespace

TodayPainter::TodayPainter(skinner::Container* form) : Control(form, u"TodayPainter") {
    if (get_z_order() == 0) set_z_order(background_z_order);
}

TodayPainter::~TodayPainter() = default;

void TodayPainter::paint(skinner::Canvas& canvas, skinner::Point, skinner::Size) {
    HWND const window = get_form()->get_window();
    TODAYDRAWWATERMARKINFO info{canvas.get_dc(), RECT{}, window};
    GetClientRect(window, &info.rc);
    SendMessageW(GetParent(window), TODAYM_DRAWWATERMARK, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace todayplugin
