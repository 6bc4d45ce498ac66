#include "skin/hdc_selector.h"

#include "foundation/log.h"

namespace skinner {

HDCSelector::HDCSelector(HDC reference, HBITMAP bitmap) {
    if (bitmap == nullptr) return;
    dc_ = CreateCompatibleDC(reference);
    previous_ = SelectObject(dc_, bitmap);
    if (previous_ == nullptr) os::fatal_error(u"HDCSelector::HDCSelector", u"Failed to select bitmap into context");
}

HDCSelector::~HDCSelector() {
    if (dc_ == nullptr) return;
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
}

}  // namespace skinner
