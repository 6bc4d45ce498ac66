#include "native/native_controls.h"

#include "native/message_box.h"
#include "native/static_control.h"
#include "platform/dialogs.h"

namespace native {

void start_native_controls() {
    register_static_class();
    register_message_box_class();
    platform::set_message_box_presenter(show_message_box);
}

}  // namespace native
