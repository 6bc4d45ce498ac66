#include "app/associations.h"

#include "app/settings.h"
#include "foundation/paths.h"
#include "foundation/registry.h"
#include "platform/registry.h"

namespace {

const std::u16string classes_root = u"HKEY_CLASSES_ROOT\\";

std::u16string open_command_key(const std::u16string& class_name) {
    return classes_root + class_name + u"\\Shell\\Open\\Command";
}

std::u16string icon_key(const std::u16string& class_name) { return classes_root + class_name + u"\\DefaultIcon"; }

bool read_class(const std::u16string& extension, std::u16string& class_name) {
    return os::read_registry_string(classes_root + u"." + extension, u"", class_name);
}

bool delete_key(const std::u16string& subkey) {
    LONG const result = RegDeleteKeyW(HKEY_CLASSES_ROOT, subkey.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

struct FileType {
    const char16_t* extension;
    const char16_t* class_name;
    const char16_t* description;
    std::u16string PlaySettings::*command;
    std::u16string PlaySettings::*icon;
};

const FileType file_types[] = {
    {u"wav", u"wavfile", u"Voice Recording", &PlaySettings::associate_wav_cmd, &PlaySettings::associate_wav_icon},
    {u"mp3", u"mp3sound", u"MP3 sound", &PlaySettings::associate_mp3_cmd, &PlaySettings::associate_mp3_icon},
    {u"m3u", u"m3ulists", u"M3U lists", &PlaySettings::associate_m3u_cmd, &PlaySettings::associate_m3u_icon},
    {u"ogg", u"oggfiles", u"Ogg Vorbis sound", &PlaySettings::associate_ogg_cmd, &PlaySettings::associate_ogg_icon},
    {u"wma", u"wmafiles", u"Windows Media Audio file", &PlaySettings::associate_wma_cmd,
     &PlaySettings::associate_wma_icon},
};

}  // namespace

// The macro must start the text to be expanded, so the opening quote comes after.
std::u16string get_program_open_command() { return u"\"" + os::expand_path_macros(u"%app_full_name%\" %1"); }

std::u16string get_program_icon() { return os::expand_path_macros(u"%app_full_name%,-0"); }

bool read_file_association(const std::u16string& extension, std::u16string& command, std::u16string& icon) {
    std::u16string class_name;
    if (!read_class(extension, class_name)) return false;
    if (!os::read_registry_string(open_command_key(class_name), u"", command)) return false;
    os::read_registry_string(icon_key(class_name), u"", icon);
    return true;
}

bool write_file_association(const std::u16string& extension, const std::u16string& class_name,
                            const std::u16string& description, const std::u16string& command,
                            const std::u16string& icon) {
    std::u16string used_class;
    if (!read_class(extension, used_class)) {
        used_class = class_name;
        os::write_registry_string(classes_root + u"." + extension, u"", used_class);
    }
    if (!os::write_registry_string(classes_root + used_class, u"", description)) return false;
    if (!os::write_registry_string(open_command_key(used_class), u"", os::expand_path_macros(command))) return false;
    return os::write_registry_string(icon_key(used_class), u"", icon);
}

bool remove_file_association(const std::u16string& extension, const std::u16string& command) {
    std::u16string class_name;
    std::u16string current;
    if (!read_class(extension, class_name) || !os::read_registry_string(open_command_key(class_name), u"", current) ||
        current != os::expand_path_macros(command)) {
        return true;  // not ours (any more): nothing to remove
    }
    return delete_key(class_name + u"\\Shell\\Open\\Command") && delete_key(class_name + u"\\DefaultIcon");
}

void apply_file_association(bool associate, const std::u16string& extension, const std::u16string& class_name,
                            const std::u16string& description, const std::u16string& command,
                            const std::u16string& icon, std::u16string& remembered_command,
                            std::u16string& remembered_icon) {
    if (associate) {
        std::u16string current_command;
        std::u16string current_icon;
        bool const read = read_file_association(extension, current_command, current_icon);
        if (read && current_command == command && current_icon == icon) return;
        write_file_association(extension, class_name, description, command, icon);
        if (!read) {
            current_command.clear();
            current_icon.clear();
        }
        remembered_command = current_command;
        remembered_icon = current_icon;
        if (remembered_command.empty()) remembered_command = command;
        return;
    }
    if (remembered_command.empty()) return;
    // Our own command stands for "no opener before us": there is nothing to give back.
    bool const given_back = remembered_command == command
                                ? remove_file_association(extension, command)
                                : write_file_association(extension, class_name, description, remembered_command,
                                                         remembered_icon);
    if (!given_back) return;
    remembered_command.clear();
    remembered_icon.clear();
}

void update_file_associations(Settings& settings, bool wav, bool mp3, bool m3u, bool ogg, bool wma) {
    std::u16string const command = get_program_open_command();
    std::u16string const icon = get_program_icon();
    bool const flags[] = {wav, mp3, m3u, ogg, wma};
    for (std::size_t i = 0; i < std::size(flags); ++i) {
        FileType const& type = file_types[i];
        apply_file_association(flags[i], type.extension, type.class_name, type.description, command, icon,
                               settings.play.*type.command, settings.play.*type.icon);
    }
}
