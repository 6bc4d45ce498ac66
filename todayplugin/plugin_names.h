// The names the start-screen item shares with the program and its settings.
#pragma once

namespace todayplugin {

inline constexpr char16_t program_registry_key[] = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\APPS\\XELO Sonbrix";
inline constexpr char16_t today_skin_value[] = u"TodaySkin";
inline constexpr char16_t today_skin_compatibility_name[] = u"SonbrixToday_500";
// "%windows%" joined with this name.
inline constexpr char16_t default_today_skin_name[] = u"Today Default.skin";
// The item window's class and title.
inline constexpr char16_t item_class_name[] = u"SonbrixTodayPlugin";
inline constexpr char16_t item_title[] = u"Sonbrix";
// The plug-in's application object; its forms' class would be "SkinnerClass_TodayPlugin".
inline constexpr char16_t application_name[] = u"TodayPlugin";
// The program's main window, found to tell whether the program runs.
inline constexpr char16_t program_window_class[] = u"SkinnerClass_Sonbrix";
// The skin form of the item.
inline constexpr char16_t item_form_name[] = u"Main";

}  // namespace todayplugin
