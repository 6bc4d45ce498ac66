// The shipped skins, read through the real skin reader at every screen size with the reports
// caught: every form, control, kind and picture that the screens ask for is there.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <regex>
#include <set>

#include "skin/png_decoder.h"
#include "skin/properties.h"
#include "skin/skin_resources.h"
#include "tests/data/shipped_data.h"

namespace data_test {
namespace {

// What a screen does with a control beyond reading its own keys.
enum class Role {
    plain,
    panel,         // a panel: its children lie in the form its "FormTemplate" names
    tab,           // a tab control: a panel whose pages lie in its template, with header kinds
    combo,         // a read-only combo box with a drop-down list
    folder_combo,  // a combo box with a drop-down folder tree
    grid,          // a list or grid (scroll-bar kinds)
    file_list,     // a file list: a grid with an in-place edit and type icons
    range_grid,    // the bookmarks' grid: a grid with an in-place edit and check pictures
    tree,          // a folder tree with an in-place edit
    equalizer,     // the equalizer curve: "FrequencyBase" has no default
    lcd,           // digits and separators as pictures
    two_states,    // multi-state buttons
    three_states,
    four_states,
};

struct Expected {
    const char16_t* name;
    Role role = Role::plain;
};

using Inventory = std::vector<Expected>;

// The controls each screen builds by name, as the screens' descriptions list them.
const std::map<std::u16string, Inventory>& forms_of_main_skin() {
    static const std::map<std::u16string, Inventory> forms{
        {u"Main",
         {{u"PanelFileExplorer", Role::panel}, {u"PanelLevels", Role::panel}, {u"PanelEqualizer", Role::panel},
          {u"PanelMoreControls", Role::panel}, {u"btnNewMark"}, {u"btnRewind"}, {u"btnForward"},
          {u"btnPlay", Role::two_states}, {u"btnRecord", Role::two_states}, {u"btnStop"}, {u"pbOutput"},
          {u"pbPosition"}, {u"btnMode", Role::four_states}, {u"checkRec"}, {u"checkPlay"}, {u"checkStereo"},
          {u"frmSpeed"}, {u"checkVAS"}, {u"frmInfo"}, {u"frmTitle"}, {u"Clock", Role::panel}, {u"btnClockMode"},
          {u"MainMenu"}, {u"File"}, {u"Mode"}}},
        {u"Bookmarks",
         {{u"grdBookmarks", Role::range_grid}, {u"btnOk"}, {u"btnUp"}, {u"btnDown"}, {u"btnDelete"}, {u"btnEdit"},
          {u"btnGo"}, {u"frmName"}, {u"Range"}}},
    };
    return forms;
}

const std::map<std::u16string, Inventory>& forms_of_settings_skin() {
    static const std::map<std::u16string, Inventory> forms{
        {u"Settings", {{u"tabSettings", Role::tab}, {u"menuMain"}}},
        {u"Error", {{u"frmMessage"}, {u"frmCaption"}}},
        {u"FileProgress",
         {{u"frmFileName"}, {u"frmCaption"}, {u"frmMessage"}, {u"pbProgressFile"}, {u"pbProgressTotal"},
          {u"btnCancel"}}},
        {u"Confirm5Way", {{u"frmMessage"}, {u"frmCaption"}}},
        {u"ConfirmYesNo", {{u"frmMessage"}, {u"frmCaption"}}},
        {u"SaveActiveBuffer", {{u"pbProgress"}}},
        {u"Convert", {{u"frmFileName"}, {u"pbProgress"}}},
        {u"Beam",
         {{u"frmFileName"}, {u"lstDevices", Role::grid}, {u"btnBeam"}, {u"pbProgress"}, {u"btnRefresh"}}},
        {u"Id3Tags",
         {{u"txtTitle"}, {u"txtArtist"}, {u"txtAlbum"}, {u"cbGenre", Role::combo}, {u"txtYear"}, {u"txtTrack"},
          {u"txtComment"}, {u"MenuMain"}}},
        {u"Properties",
         {{u"frmFileName"}, {u"frmFormat"}, {u"frmDuration"}, {u"frmChannels"}, {u"frmSampleRate"},
          {u"frmBitRate"}, {u"frmBits"}, {u"frmSize"}, {u"btnOk"}}},
        {u"SelectFiles",
         {{u"cbTree", Role::folder_combo}, {u"cbTypes", Role::combo}, {u"lstFiles", Role::file_list}}},
        {u"SelectFolder", {{u"frmName"}, {u"treeFolders", Role::tree}}},
    };
    return forms;
}

const std::map<std::u16string, Inventory>& forms_of_dialogs_skin() {
    static const std::map<std::u16string, Inventory> forms{
        {u"SaveActiveBuffer", {{u"pbProgress"}}},
        {u"Error", {{u"frmMessage"}, {u"frmCaption"}}},
        {u"ConfirmYesNo", {{u"frmMessage"}, {u"frmCaption"}}},
    };
    return forms;
}

const std::map<std::u16string, Inventory>& forms_of_today_skin() {
    static const std::map<std::u16string, Inventory> forms{
        {u"Main",
         {{u"TodayPainter"}, {u"btnActivate"}, {u"btnPlay", Role::two_states}, {u"btnStop"},
          {u"btnRec", Role::two_states}, {u"btnNext"}, {u"btnPrev"}, {u"frmFilename"},
          {u"frmElapsedTime", Role::lcd}}},
    };
    return forms;
}

// The children of panels and tab controls, by the panel's name.
const std::map<std::u16string, Inventory>& panel_children() {
    static const std::map<std::u16string, Inventory> children{
        {u"PanelFileExplorer",
         {{u"cmbFolder", Role::folder_combo}, {u"lstFilelist", Role::file_list}, {u"lstPlaylist", Role::file_list},
          {u"btnSortName", Role::three_states}, {u"btnSortDate", Role::three_states},
          {u"btnSortSize", Role::three_states}, {u"ShowFolder"}, {u"RecordOperation"}, {u"Overwrite"},
          {u"Append"}, {u"Insert"}, {u"Cut"}, {u"Copy"}, {u"Paste"}, {u"Delete"}, {u"MoveUp"}, {u"MoveDown"}}},
        {u"PanelLevels",
         {{u"pbVAS"}, {u"pbInput"}, {u"pbOutput"}, {u"pbVASLeft"}, {u"pbVASRight"}, {u"pbInputLeft"},
          {u"pbInputRight"}, {u"pbOutputLeft"}, {u"pbOutputRight"}, {u"chkVAS"}, {u"chkInput"}, {u"chkOutput"},
          {u"chkVASInd"}, {u"chkInputInd"}, {u"chkOutputInd"}}},
        {u"PanelMoreControls",
         {{u"pbPlaybackSpeed"}, {u"cmbNoise", Role::combo}, {u"cmbLimiter", Role::combo},
          {u"cmbBooster", Role::combo}, {u"chkTone"}}},
        {u"PanelEqualizer", {{u"Equalizer", Role::equalizer}, {u"chkEq1"}, {u"chkEq2"}, {u"chkEq3"}}},
        {u"Clock", {{u"lcdClock", Role::lcd}, {u"chkMode"}, {u"chkHours"}, {u"chkMinutes"}}},
        {u"tabSettings",
         {{u"tabRecording", Role::panel}, {u"tabPlayback", Role::panel}, {u"tabButtons", Role::panel},
          {u"tabSchedule", Role::panel}, {u"tabAssociate", Role::panel}, {u"tabLanguage", Role::panel},
          {u"tabSkin", Role::panel}}},
        {u"tabRecording",
         {{u"cbFormats", Role::combo}, {u"chkDefaultDir"}, {u"cbDirectory", Role::folder_combo},
          {u"chkCreateDateFolder"}, {u"editPrefix"}, {u"chkIncludeDate"}, {u"cbTurnOff", Role::combo}}},
        {u"tabPlayback", {{u"cbMode", Role::combo}, {u"cbTurnOff", Role::combo}}},
        {u"tabButtons", {{u"lstButtons", Role::grid}, {u"cbAssign", Role::combo}, {u"chkUnmap"}}},
        {u"tabSchedule",
         {{u"btnAdd"}, {u"btnDelete"}, {u"btnChange"}, {u"btnDeleteAll"}, {u"grdSchedule", Role::grid},
          {u"calDateBegin"}, {u"calDateEnd"}, {u"calTimeBegin"}, {u"calTimeEnd"}}},
        {u"tabAssociate", {{u"chkWAV"}, {u"chkMP3"}, {u"chkOGG"}, {u"chkWMA"}, {u"chkM3U"}}},
        {u"tabLanguage", {{u"cbLanguage", Role::combo}}},
        {u"tabSkin",
         {{u"cmbMain", Role::combo}, {u"cmbToday", Role::combo}, {u"frmMainPreview"}, {u"frmTodayPreview"}}},
    };
    return children;
}

// The buttons that forms do not build but expect from their skin's automatic controls.
const std::map<std::u16string, std::vector<std::u16string>>& automatic_buttons() {
    static const std::map<std::u16string, std::vector<std::u16string>> buttons{
        {u"Settings", {u"btnOk"}},
        {u"Error", {u"btnOk"}},
        {u"Confirm5Way", {u"btnYes", u"btnNo", u"btnYesAll", u"btnNoAll", u"btnCancel"}},
        {u"ConfirmYesNo", {u"btnYes", u"btnNo"}},
        {u"Beam", {u"btnOk"}},
        {u"Id3Tags", {u"btnOk"}},
        {u"SelectFiles", {u"btnOk", u"btnCancel", u"btnUp"}},
        {u"SelectFolder", {u"btnOk", u"btnCancel"}},
    };
    return buttons;
}

// Forms of the program (not of the start-screen item) that take the whole work area.
const std::set<std::u16string> whole_area_forms{u"Main", u"Bookmarks", u"Settings", u"SelectFiles", u"SelectFolder"};

// Keys through which composite controls build children by kind.
const std::vector<std::u16string> kind_keys{u"KindGrid", u"KindMin",  u"KindMax",  u"KindSpace",
                                            u"KindTrack", u"KindScroll", u"KindHScroll", u"TreeKind",
                                            u"EditKind", u"EditInListKind", u"ButtonKind", u"ListKind"};

const std::map<Role, std::vector<std::u16string>> required_keys{
    {Role::tab, {u"FormTemplate", u"KindGrid", u"KindMin", u"KindMax"}},
    {Role::panel, {u"FormTemplate"}},
    {Role::combo, {u"ButtonKind", u"EditKind", u"DropdownForm", u"ListKind"}},
    {Role::folder_combo, {u"ButtonKind", u"EditKind", u"DropdownForm", u"TreeKind"}},
    {Role::grid, {u"KindScroll"}},
    {Role::file_list, {u"KindScroll", u"EditInListKind"}},
    {Role::range_grid, {u"KindScroll", u"EditKind"}},
    {Role::tree, {u"KindScroll", u"EditKind"}},
};

// Walks what one skin offers for the screens, failing the test at the first gap.
class SkinWalk {
public:
    SkinWalk(skinner::Properties& properties, std::string where) : properties_(properties), where_(std::move(where)) {}

    void check_form(const std::u16string& form, const Inventory& controls) {
        SCOPED_TRACE(narrow(form));
        visited_.insert(form);
        ASSERT_NE(properties_.find_form(form), 0u);
        check_automatic_controls(form, controls);
        for (const Expected& expected : controls) check_control(form, expected);
    }

private:
    void check_control(const std::u16string& form, const Expected& expected) {
        SCOPED_TRACE(narrow(expected.name));
        ASSERT_NE(properties_.find_node(form, expected.name), 0u);
        auto required = required_keys.find(expected.role);
        if (required != required_keys.end()) {
            for (const auto& key : required->second)
                EXPECT_NE(properties_.get_string(form, expected.name, key, u""), u"") << narrow(key);
        }
        check_kinds(form, expected.name, 0);
        std::u16string const drop_down = properties_.get_string(form, expected.name, u"DropdownForm", u"");
        if (!drop_down.empty()) {
            visited_.insert(drop_down);
            EXPECT_NE(properties_.find_form(drop_down), 0u);
        }
        check_role(form, expected);
    }

    void check_role(const std::u16string& form, const Expected& expected) {
        switch (expected.role) {
        case Role::panel:
        case Role::tab: {
            std::u16string const model = properties_.get_string(form, expected.name, u"FormTemplate", u"");
            auto children = panel_children().find(expected.name);
            ASSERT_NE(children, panel_children().end());
            check_form(model, children->second);
            break;
        }
        case Role::equalizer:
            EXPECT_GT(properties_.get_integer(form, expected.name, u"FrequencyBase", INT_MIN), 0);
            break;
        case Role::lcd:
            for (const char16_t* key : {u"Symbol0", u"Symbol5", u"Symbol9", u"SymbolColon", u"SymbolSpace"})
                EXPECT_GE(properties_.get_picture_part(form, expected.name, key, {}).picture, 0) << narrow(key);
            break;
        case Role::two_states:
        case Role::three_states:
        case Role::four_states: {
            int const last = expected.role == Role::two_states ? 1 : expected.role == Role::three_states ? 2 : 3;
            std::u16string const key = u"State" + widen(std::to_string(last)) + u"Normal";
            EXPECT_GE(properties_.get_picture_part(form, expected.name, key, {}).picture, 0) << narrow(key);
            break;
        }
        default:
            break;
        }
    }

    // Every kind a node names resolves, and so do the kinds those kinds name.
    void check_kinds(const std::u16string& form, const std::u16string& node, int depth) {
        ASSERT_LT(depth, 8) << "kinds name each other in a circle";
        for (const auto& key : kind_keys) {
            std::u16string const kind = properties_.get_string(form, node, key, u"");
            if (kind.empty()) continue;
            SCOPED_TRACE(narrow(key) + " " + narrow(kind));
            ASSERT_NE(properties_.find_node(u"", kind), 0u);
            check_kinds(u"", kind, depth + 1);
        }
    }

    void check_automatic_controls(const std::u16string& form, const Inventory& controls) {
        std::set<std::u16string> made;
        for (std::uint32_t i = 0; i < properties_.get_auto_control_count(form); ++i) {
            auto [name, kind] = properties_.get_auto_control(form, i);
            made.insert(name);
            EXPECT_NE(properties_.find_node(form, name), 0u);
            EXPECT_NE(properties_.find_node(u"", kind), 0u);
            for (const Expected& built : controls)
                EXPECT_NE(name, built.name) << "the screen builds it too: two controls of one name";
        }
        auto expected = automatic_buttons().find(form);
        if (expected == automatic_buttons().end()) return;
        for (const auto& name : expected->second) EXPECT_TRUE(made.count(name)) << narrow(name);
    }

public:
    // The forms the walk reached: asked for by a screen, a panel's or a drop-down's.
    const std::set<std::u16string>& visited() const { return visited_; }

private:
    skinner::Properties& properties_;
    std::string where_;
    std::set<std::u16string> visited_;
};

const std::map<std::u16string, Inventory>& inventory_of(const ShippedSkin& skin) {
    if (skin.source == "Default/Default.xml") return forms_of_main_skin();
    if (skin.source == "settings/settings.xml") return forms_of_settings_skin();
    if (skin.source == "settings/dialogs.xml") return forms_of_dialogs_skin();
    return forms_of_today_skin();
}

std::string describe(const ShippedSkin& skin, skinner::Size screen) {
    return skin.source + " at " + std::to_string(screen.width) + "x" + std::to_string(screen.height);
}

class ShippedSkinTest : public StagedDeviceTest {
protected:
    CaughtReports reports;
    DeviceWorkArea work_area;
};

TEST_F(ShippedSkinTest, EveryScreenFindsItsFormsControlsKindsAndPicturesAtEverySize) {
    for (const ShippedSkin& skin : shipped_skins()) {
        for (skinner::Size screen : screens()) {
            SCOPED_TRACE(describe(skin, screen));
            skinner::Properties properties(skin.device_path, screen);
            ASSERT_TRUE(properties.is_loaded()) << "a picture did not load";
            EXPECT_TRUE(properties.is_suitable(skin.compatibility, screen));
            SkinWalk walk(properties, describe(skin, screen));
            try {
                for (const auto& [form, controls] : inventory_of(skin)) walk.check_form(form, controls);
            } catch (const Report& report) {
                ADD_FAILURE() << narrow(report.id) << ": " << narrow(report.message);
            }
            // A form that nothing reaches is one a screen's name misses, or one left behind.
            for (const auto& form : read_source(skin.source).forms) {
                if (form.variant_of.empty()) {
                    EXPECT_TRUE(walk.visited().count(form.name)) << narrow(form.name);
                }
            }
        }
    }
}

TEST_F(ShippedSkinTest, FullScreenFormsFillTheWorkAreaAndDialogsFitIt) {
    for (const ShippedSkin& skin : shipped_skins()) {
        for (skinner::Size screen : screens()) {
            SCOPED_TRACE(describe(skin, screen));
            skinner::Properties properties(skin.device_path, screen);
            skinner::Size const area = work_area_of(screen);
            for (const auto& [form, controls] : inventory_of(skin)) {
                SCOPED_TRACE(narrow(form));
                skinner::Point const size = properties.get_form_point(form, u"Size", {-1, -1});
                if (whole_area_forms.count(form) && skin.compatibility == u"Sonbrix_500") {
                    EXPECT_EQ(size.x, area.width);
                    EXPECT_EQ(size.y, area.height);
                } else {
                    EXPECT_GT(size.x, 0);
                    EXPECT_LE(size.x, area.width);
                    EXPECT_LE(size.y, area.height);
                }
            }
        }
    }
}

// A form asked for by a name that begins another form's name chooses among both, so every such
// pair must be a form and its size variant.
TEST(ShippedSkinSourceTest, NoFormNameBeginsAnotherUnlessItIsItsSizeVariant) {
    for (const ShippedSkin& skin : shipped_skins()) {
        skin_compiler::SkinSource source = read_source(skin.source);
        for (const auto& form : source.forms) {
            for (const auto& other : source.forms) {
                if (&form == &other || other.name.compare(0, form.name.size(), form.name) != 0) continue;
                EXPECT_EQ(other.variant_of, form.name) << skin.source << ": " << narrow(other.name);
            }
        }
    }
}

// Each picture of each skin ships at 1x and 2x, each with its alpha companion, all readable
// by the skin's own PNG decoder and of matching sizes.
TEST(ShippedPictureTest, EveryPictureDecodesAtBothScalesWithItsAlphaCompanion) {
    for (const ShippedSkin& skin : shipped_skins()) {
        std::string const folder =
            stage_folder() + "/" +
            narrow(skin.device_path.substr(1, skin.device_path.rfind(u'\\') - 1));
        std::string host_folder = folder;
        for (char& c : host_folder)
            if (c == '\\') c = '/';
        for (const auto& picture : read_source(skin.source).pictures) {
            std::string const name = narrow(picture.text);
            SCOPED_TRACE(skin.source + ": " + name);
            std::uint32_t base_width = 0;
            std::uint32_t base_height = 0;
            for (const char* scale : {"", "_x2"}) {
                for (const char* companion : {"", "_8"}) {
                    std::string const path = host_folder + "/" + name + scale + companion + ".png";
                    std::string const bytes = read_file(path);
                    ASSERT_FALSE(bytes.empty()) << path;
                    ZqRawPngDecoder decoder;
                    ASSERT_EQ(decoder.decode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 1)
                        << path;
                    std::uint32_t const factor = *scale ? 2 : 1;
                    if (base_width == 0) {
                        base_width = decoder.get_image_width();
                        base_height = decoder.get_image_height();
                    }
                    EXPECT_EQ(decoder.get_image_width(), base_width * factor) << path;
                    EXPECT_EQ(decoder.get_image_height(), base_height * factor) << path;
                }
            }
        }
    }
}

// The package puts every staged file on the device, and names no staged file that the build
// does not make.
TEST(ShippedPackageTest, ThePackageInstallsExactlyTheStagedFiles) {
    std::set<std::string> listed;
    std::string const manifest = read_file(source_folder() + "/package/sonbrix.xml");
    std::regex const file(R"re(<File Source="data/device/([^"]+)")re");
    for (auto match = std::sregex_iterator(manifest.begin(), manifest.end(), file); match != std::sregex_iterator();
         ++match)
        listed.insert((*match)[1]);
    std::set<std::string> staged;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(stage_folder())) {
        if (entry.is_regular_file()) staged.insert(std::filesystem::relative(entry.path(), stage_folder()).string());
    }
    EXPECT_EQ(listed, staged);
}

}  // namespace
}  // namespace data_test
