#include "app/constants.h"

#include "foundation/paths.h"

namespace constants {
namespace {

std::u16string join_all(std::initializer_list<const char16_t*> parts) {
    std::u16string path;
    for (const char16_t* part : parts) path = os::join_path(path, part);
    return path;
}

StartupGlobals build_globals() {
    StartupGlobals globals;
    globals.default_skin_path = join_all({u"%app_path%", u"skins", u"Default", u"Default.skin"});
    globals.default_today_skin_path = join_all({u"%windows%", u"Today Default.skin"});
    globals.settings_skin_path = join_all({u"%app_path%", u"skins", u"settings", u"settings.skin"});
    globals.dialogs_skin_path = join_all({u"%app_path%", u"skins", u"settings", u"dialogs.skin"});
    return globals;
}

}  // namespace

std::u16string recording_extension(const std::u16string& codec) { return codec == codec_mp3 ? u"mp3" : u"wav"; }

StartupGlobals& startup_globals() {
    static StartupGlobals globals = build_globals();
    return globals;
}

namespace {
// Builds the globals during static initialisation, before the main routine runs.
[[maybe_unused]] StartupGlobals& built_at_start = startup_globals();
}  // namespace

}  // namespace constants
