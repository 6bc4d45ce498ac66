// Messages that the skin's form window sends to whatever window holds the focus; they mean
// something only to its own controls, so a native control answers 0 and does nothing.
#pragma once

#include "platform/messages.h"

namespace native {

inline bool is_form_private_message(UINT message) {
    return message == WM_USER + 2 || message == WM_USER + 4 || message == WM_USER + 33;
}

}  // namespace native
