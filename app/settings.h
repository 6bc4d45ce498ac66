// The program's settings record and its XML file ("Sonbrix.xml" beside the program). The
// fields are grouped as the file's elements group them; each field's comment names its
// attribute where the name differs.
#pragma once

#include <string>
#include <vector>

#include "app/equalizer_band.h"
#include "app/schedule.h"

// Element "Record": how and where new recordings are made.
struct RecordSettings {
    std::u16string codec = u"mp3";  // "PCM", "ADPCM", "GSM" or "mp3"
    int channels = 1;
    int bits = 16;
    int samples = 22050;  // sample rate in Hz
    int bitrate = 32000;  // bit/s
    bool default_folder = false;
    std::u16string folder;  // "%my_documents%" expanded
    bool date_folder = false;
    std::u16string prefix;
    bool include_date = false;
    int turn_off = 0;
    bool vas_on = false;  // "VASOn"
    double vas = 0.5;
    double input = 0.5;
};

// Element "Play": playback, the level filter and the remembered owners of the file types.
struct PlaySettings {
    double volume = 1.0;
    int mode = 0;  // a play mode, see play_mode_to_name
    int turn_off = 0;
    std::u16string associate_mp3_cmd;  // "AssociateMP3Cmd", and so on
    std::u16string associate_wav_cmd;
    std::u16string associate_m3u_cmd;
    std::u16string associate_ogg_cmd;
    std::u16string associate_wma_cmd;
    std::u16string associate_mp3_icon;
    std::u16string associate_wav_icon;
    std::u16string associate_m3u_icon;
    std::u16string associate_ogg_icon;
    std::u16string associate_wma_icon;
    int booster = 0;  // level-filter levels, 0 to Settings::max_level
    int noise = 0;
    int limiter = 0;
    double speed = 1.0;
    bool pitch_lock = false;
};

// Element "FileExplorer".
struct FileExplorerSettings {
    bool show_folders = true;
    std::u16string folder;  // "%my_documents%" expanded
    int sort = 1;           // a sort order, see sort_order_to_name
};

// Element "Buttons": the commands bound to the hardware keys and the joystick.
struct ButtonSettings {
    std::vector<std::u16string> keys;  // "Button0", "Button1", ...: one per hardware key
    bool unmap_when_inactive = true;
    std::u16string joy_left_action = u"Rewind";
    std::u16string joy_right_action = u"Forward";
};

class Settings {
public:
    // The level-filter levels (booster, noise, limiter) run from 0 to this.
    static constexpr int max_level = 3;

    // The defaults; one empty button binding per hardware key of the device.
    Settings();

    // Writes the whole record as a new XML document (the path's macros are expanded); the
    // result is the document save's. The file is replaced in one step, so a failed save
    // leaves the previous file whole.
    bool save(const std::u16string& path) const;
    // Reads what the file holds into the record: whatever is missing or cannot be read keeps
    // its value, except the schedule, which becomes what was read (possibly nothing). A
    // number outside what the program can use is brought to the nearest value it can use;
    // one too large for its field is not taken. A file that exists but is no settings
    // document is moved aside (its name + ".bad") so that the next save cannot replace it.
    void load(const std::u16string& path);

    // "%app_path%" joined with the language name and ".lng" (macros not expanded).
    std::u16string get_language_path() const;

    RecordSettings record;
    PlaySettings play;
    std::u16string language = u"English";
    std::u16string skin;  // default: the default skin's path, macros not expanded
    FileExplorerSettings file_explorer;
    ButtonSettings buttons;
    EqualizerBand equalizer1{200.0, 0.0, 0.0, false};
    EqualizerBand equalizer2{400.0, 0.0, 0.0, false};
    EqualizerBand equalizer3{800.0, 0.0, 0.0, false};
    Schedule schedule;
    // Not stored in the file.
    bool input_on = true;

private:
    void keep_within_limits();
};
