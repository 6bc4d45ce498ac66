#include "screens/settings_skin.h"

#include "app/constants.h"
#include "skin/form_impl.h"
#include "skin/properties.h"

skinner::Properties& get_settings_skin() {
    // Never destroyed: forms may use it until the process ends.
    static auto* const skin =
        new skinner::Properties(constants::startup_globals().settings_skin_path, skinner::get_screen_size());
    return *skin;
}
