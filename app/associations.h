// Making the program the opener of sound and playlist file types in the device's shell,
// and giving the types back. The opener that a type had before is remembered in the
// settings record; a type counts as the program's while its remembered command is not empty.
#pragma once

#include <string>

class Settings;

// Associates (flag set) or gives back (flag clear) the types "wav", "mp3", "m3u", "ogg" and
// "wma", in that order, with the program's command and icon. Only the record in memory
// changes; the caller saves it.
void update_file_associations(Settings& settings, bool wav, bool mp3, bool m3u, bool ogg, bool wma);

// One type. Associating remembers the opener found (or the program's own command when there
// was none). Giving back writes the remembered opener back, or, when the program's own
// command was remembered, removes the program's command and icon from the type; the
// remembered values are emptied only when that succeeded.
void apply_file_association(bool associate, const std::u16string& extension, const std::u16string& class_name,
                            const std::u16string& description, const std::u16string& command,
                            const std::u16string& icon, std::u16string& remembered_command,
                            std::u16string& remembered_icon);

// True when the extension's class and its open command were read; the icon is read when
// there is one.
bool read_file_association(const std::u16string& extension, std::u16string& command, std::u16string& icon);
// Writes the description, command (macros expanded) and icon under the extension's class,
// registering class_name as its class when it has none.
bool write_file_association(const std::u16string& extension, const std::u16string& class_name,
                            const std::u16string& description, const std::u16string& command,
                            const std::u16string& icon);
// Removes the open command and the icon of the extension's class when the command is the
// given one; true when they are gone or were not that command's.
bool remove_file_association(const std::u16string& extension, const std::u16string& command);

// The program's own open command ("\"<program path>\" %1") and icon ("<program path>,-0").
std::u16string get_program_open_command();
std::u16string get_program_icon();
