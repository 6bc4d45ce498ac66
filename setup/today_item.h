// The start-screen item that loads the plug-in, and the files that the package installer
// leaves behind.
#pragma once

namespace setup {

// Enabling sets "Enabled" = 1 under the item's key (making the key); otherwise the key goes.
// Either way every top-level window is then told to reload the start-screen items. Errors
// are ignored: the installer goes on whatever happens here.
void update_today_item(bool enable);

// Removes the plug-in and its companion files from "\windows"; missing ones are skipped.
void remove_installed_files();

}  // namespace setup
