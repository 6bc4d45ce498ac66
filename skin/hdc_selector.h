// A memory device context compatible with a given one, with a bitmap selected for the
// selector's life; the previous bitmap is selected back and the context deleted at its end.
#pragma once

#include "foundation/nocopy.h"
#include "platform/gdi.h"

namespace skinner {

class HDCSelector : liba::Nocopy {
public:
    // A null bitmap makes no context. A bitmap that cannot be selected stops the program.
    HDCSelector(HDC reference, HBITMAP bitmap);
    ~HDCSelector();

    HDC get_dc() const { return dc_; }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace skinner
