// The skin of the program's dialog-like forms (settings, errors, the explorer's commands),
// made on first use for the screen size of that moment and kept for the whole run.
#pragma once

namespace skinner {
class Properties;
}

skinner::Properties& get_settings_skin();
