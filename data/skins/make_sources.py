#!/usr/bin/env python3
"""Writes the sources of the program's own skins and art from one description.

    data/skins/make_sources.py            rewrite the sources in data/
    data/skins/make_sources.py --check    exit 1 when a source differs from what it writes

Writes data/art/*.svg (the art, rendered to PNG by the build), the skin sources
data/skins/*/*.xml (compiled by the build) and the skin texts block of data/English.lng.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import art as drawing  # noqa: E402
from skin_model import *  # noqa: E402,F401
from style import *  # noqa: E402

DATA = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

UI = ui_atlas()
LCD_OFFSETS = drawing.lcd_offsets()
MAIN_ART = Art("ui", "icons", "lcd", UI, LCD_OFFSETS)
TODAY_ICON = 24


# --- kinds: controls that composite controls build by kind name ------------------------------

def add_kinds(skin, art):
    for kind in ["Auto.Button", "Auto.Frame", "Auto.Picture", "Auto.Panel"]:
        node = skin.kind(kind)
        if kind == "Auto.Button":
            button_looks(node, art)
        if kind == "Auto.Frame":
            node.font("Normal", FONT_NORMAL).color("Normal", TEXT)
    for name, arrow in [("Up", "arrow_up"), ("Down", "arrow_down"), ("Left", "arrow_left"), ("Right", "arrow_right")]:
        node = skin.kind("ScrollBar." + name)
        node.picture("Normal", art.ui, art.part(arrow), stretch=False)
        node.picture("Pressed", art.ui, art.part("button_pressed"))
        node.integer("WantFocus", 0)
    skin.kind("ScrollBar.Space").picture("Normal", art.ui, art.part("scroll_track")).integer("WantFocus", 0)
    skin.kind("ScrollBar.Thumb").picture("Normal", art.ui, art.part("scroll_thumb")).integer("WantFocus", 0)
    for name, vertical, low, high in [("Vertical", 1, "Up", "Down"), ("Horizontal", 0, "Left", "Right")]:
        node = skin.kind("ScrollBar." + name)
        node.integer("Vertical", vertical).integer("MinButtonSize", 12).integer("MaxButtonSize", 12)
        node.string("KindMin", "ScrollBar." + low).string("KindMax", "ScrollBar." + high)
        node.string("KindSpace", "ScrollBar.Space").string("KindTrack", "ScrollBar.Thumb")
    edit_looks(skin.kind("Edit.InList"), art)
    node = skin.kind("Combo.Button")
    node.picture("Normal", art.ui, art.part("drop"))
    node.picture("Pressed", art.ui, art.part("button_pressed"))
    node.integer("WantFocus", 0)
    node = skin.kind("Combo.Field")
    node.font("Normal", FONT_NORMAL).color("Normal", TEXT).point("BorderMin", 6, 0)
    node.string("HAlignment", "LEFT").integer("Ellipsis", 1)
    grid_looks(skin.kind("Combo.List"), art).integer("Indent", 6)
    node = grid_looks(skin.kind("Combo.Tree"), art)
    tree_pictures(node, art)
    node = skin.kind("Tab.Header")
    node.look("ItemNormal", art.ui, art.part("tab"), FONT_SMALL, TEXT_DIM)
    node.look("ItemSelection", art.ui, art.part("tab_selected"), FONT_BOLD, TEXT)
    node.look("ItemHighlight", art.ui, art.part("button_highlighted"), FONT_SMALL, TEXT)
    node.look("ItemSelectionHighlight", art.ui, art.part("tab_selected"), FONT_BOLD, TEXT)
    node.integer("ItemHeight", 22)
    for name, arrow in [("Tab.Left", "tab_left"), ("Tab.Right", "tab_right")]:
        node = skin.kind(name)
        node.picture("Normal", art.ui, art.part(arrow), stretch=False)
        node.picture("Pressed", art.ui, art.part(arrow + "_pressed"), stretch=False)


def tree_pictures(node, art):
    for key in ["Cross", "Branch", "Line", "Space", "Opened", "Closed"]:
        node.picture(key, art.ui, art.part("tree_" + key.lower()), stretch=False)
    node.integer("BranchWidth", 16)
    node.picture("IconFolder", art.ui, art.part("icon_folder"), stretch=False)
    node.picture("IconRoot", art.ui, art.part("icon_root"), stretch=False)
    node.picture("IconCard", art.ui, art.part("icon_card"), stretch=False)
    node.integer("IconFolderWidth", 20)
    node.string("EditKind", "Edit.InList")
    return node


def drop_down_forms(skin, art):
    for name, height in [("DropList", 104), ("DropTree", 150)]:
        form = skin.form(name, 232, height)
        form.picture("Background", art.ui, art.part("dropdown"))


# --- the main skin ------------------------------------------------------------------------------

def main_form(skin, art, name, height, variant_of=None):
    grow = height - 268
    form = skin.form(name, 240, height, variant_of)
    window_background(form, art)
    form.add(frame_control("frmTitle", EDGE, 4, 232, 18, FONT_TITLE, TEXT))
    form.add(frame_control("frmInfo", EDGE, 24, 120, 14, FONT_SMALL, TEXT_DIM))
    lamps = [("checkRec", "led_record"), ("checkPlay", "led_play"), ("checkStereo", "led_accent"), ("checkVAS", "led_amber")]
    blinking = ("checkRec", "checkPlay")
    for index, (lamp, lit) in enumerate(lamps):
        make = flash_lamp if lamp in blinking else indicator
        form.add(make(art, lamp, 128 + index * 14, 25, lit))
    speed = form.add(control("frmSpeed", 186, 24, 50, 14))
    speed.font("Normal", FONT_SMALL).color("Normal", TEXT_DIM).color("Highlighted", AMBER)
    form.add(panel("Clock", "ClockPanel", EDGE, 40, 120, 32))
    form.add(icon_button(art, "btnClockMode", "clock", 126, 40))
    form.add(progress(art, "pbOutput", 162, 48, 74, 16, editable=True))
    position = form.add(progress(art, "pbPosition", EDGE, 76, 232, 16, editable=True))
    position.picture("Bookmark", art.ui, art.part("bookmark"), stretch=False)
    for panel_name, template in [("PanelFileExplorer", "ExplorerPanel"), ("PanelLevels", "LevelsPanel"),
                                 ("PanelEqualizer", "EqualizerPanel"), ("PanelMoreControls", "MorePanel")]:
        form.add(stretch_down(panel(panel_name, template, 0, 96, 240, 132 + grow)))
    transport = [("btnMode", ["mode_explorer", "mode_levels", "mode_equalizer", "mode_more"]),
                 ("btnNewMark", "newmark"), ("btnRewind", "rewind"), ("btnPlay", ["play", "pause"]),
                 ("btnStop", "stop"), ("btnRecord", ["record", "recording"]), ("btnForward", "forward")]
    for index, (button, faces) in enumerate(transport):
        x, y = 2 + index * 34, 232 + grow
        node = multistate(art, button, faces, x, y) if isinstance(faces, list) else icon_button(art, button, faces, x, y)
        form.add(stick_bottom(node))
    form.add(control("MainMenu", 0, 0, 0, 0))
    form.add(control("File", 0, 0, 0, 0).integer("ZOrder", 1).string("Text", skin.text(form.text_name, "File", "File")))
    form.add(control("Mode", 0, 0, 0, 0).integer("ZOrder", 2))
    return form


def clock_panel(skin, art):
    form = skin.form("ClockPanel", 120, 32)
    form.add(indicator(art, "chkMode", 2, 10, "led_amber"))
    form.add(lcd(art, "lcdClock", 18, 5, 66))
    for name, english, y in [("chkHours", "h:m", 2), ("chkMinutes", "m:s", 17)]:
        node = form.add(control(name, 86, y, 34, 13))
        for look in LOOKS:
            node.font(look, FONT_SMALL).color(look, TEXT_OFF)
            node.font("Checked" + look, FONT_SMALL).color("Checked" + look, ACCENT)
        node.string("Text", skin.text("ClockPanel", name, english)).string("HAlignment", "LEFT")


def explorer_panel(skin, art):
    form = skin.form("ExplorerPanel", 240, 132)
    form.add(stretch_across(combo(art, "cmbFolder", EDGE, 4, 196, folders=True)))
    form.add(icon_button(art, "btnFolderUp", "folder_up", 204, 0).string("AnchorX", "MAX_SIDE"))
    for name, english, x, w in [("btnSortName", "Name", 4, 116), ("btnSortDate", "Date", 120, 60),
                                ("btnSortSize", "Size", 180, 56)]:
        node = form.add(control(name, x, 34, w, 20))
        for state, key in enumerate(["sort", "sort_up", "sort_down"]):
            for look in ["", f"State{state}"]:
                node.look(look + "Normal", art.ui, art.part(key), FONT_SMALL, TEXT_DIM)
                node.look(look + "Pressed", art.ui, art.part("button_pressed"), FONT_SMALL, TEXT)
                node.look(look + "Disabled", art.ui, art.part(key), FONT_SMALL, TEXT_OFF)
        node.string("Text", skin.text("ExplorerPanel", name, english)).string("HAlignment", "LEFT")
        node.point("BorderMin", 6, 0)
    for name in ["lstFilelist", "lstPlaylist"]:
        # The date column lies under "btnSortDate", the size column under "btnSortSize".
        form.add(stretch_down(file_list(art, name, EDGE, 56, 232, 74))).integer("DateWidth", 60)
    commands = ["ShowFolder", "RecordOperation", "Overwrite", "Append", "Insert", "Cut", "Copy", "Paste",
                "Delete", "MoveUp", "MoveDown"]
    for index, command in enumerate(commands):
        form.add(control(command, 0, 0, 0, 0).integer("ZOrder", 3 + index))


def levels_panel(skin, art):
    form = skin.form("LevelsPanel", 240, 132)
    rows = [("VAS", "VAS", "led_amber", "fill_amber"), ("Input", "Input", "led_record", "fill"),
            ("Output", "Output", "led_play", "fill")]
    for index, (key, english, lit, fill) in enumerate(rows):
        y = 4 + index * 42
        form.add(check_box(skin, art, "LevelsPanel", "chk" + key, english, EDGE, y, 64))
        form.add(indicator(art, f"chk{key}Ind", 72, y + 4, lit))
        form.add(stretch_across(progress(art, "pb" + key, 88, y + 2, 148, 16, fill, editable=True)))
        for side, offset in [("Left", 22), ("Right", 31)]:
            meter = form.add(stretch_across(progress(art, f"pb{key}{side}", 88, y + offset, 148, 7, "fill_level")))
            if key == "VAS":
                meter.picture("Progress2", art.ui, art.part("fill_amber"))


def more_panel(skin, art):
    form = skin.form("MorePanel", 240, 132)
    form.add(label(skin, form, "MorePanel", "lblSpeed", "Speed", EDGE, 4, 60))
    form.add(stretch_across(progress(art, "pbPlaybackSpeed", 68, 6, 168, 16, editable=True)))
    form.add(check_box(skin, art, "MorePanel", "chkTone", "Keep the pitch", EDGE, 28, 232))
    for index, (key, english) in enumerate([("Noise", "Noise gate"), ("Limiter", "Limiter"), ("Booster", "Booster")]):
        y = 54 + index * 26
        form.add(label(skin, form, "MorePanel", "lbl" + key, english, EDGE, y, 76, 24))
        form.add(stretch_across(combo(art, "cmb" + key, 84, y, 152)))


def equalizer_panel(skin, art):
    form = skin.form("EqualizerPanel", 240, 132)
    equalizer = form.add(stretch_down(control("Equalizer", EDGE, 4, 232, 100)))
    equalizer.picture("Normal", art.ui, art.part("panel")).font("Normal", FONT_SMALL).color("Normal", TEXT_DIM)
    equalizer.color("Line", ACCENT_LIGHT).color("Grid", LINE)
    equalizer.integer("CellWidth", 22).integer("FirstCellWidth", 12).integer("FrequencyBase", 60)
    for band, colour in [("Eq1", ACCENT), ("Eq2", AMBER), ("Eq3", RECORD)]:
        key = band.lower()
        equalizer.picture(band + "Icon", art.ui, art.part(key), stretch=False)
        equalizer.picture(band + "Handle", art.ui, art.part(key), stretch=False)
        equalizer.color(band + "Color", colour)
    for index, english in enumerate(["Low", "Middle", "High"]):
        form.add(stick_bottom(check_box(skin, art, "EqualizerPanel", f"chkEq{index + 1}", english, EDGE + index * 78, 108, 74)))


def bookmarks_form(skin, art, name, height, variant_of=None):
    grow = height - 268
    form = skin.form(name, 240, height, variant_of)
    form.integer("StartPosition", 3)  # fills the work area, below the task bar
    window_background(form, art)
    form.add(frame_control("frmName", EDGE, 4, 232, 18, FONT_SMALL, TEXT_DIM))
    ranges = form.add(stretch_down(grid(art, "grdBookmarks", EDGE, 24, 232, 170 + grow)))
    ranges.string("EditKind", "Edit.InList")
    ranges.picture("CheckEnabled", art.ui, art.part("box_checked"), stretch=False)
    ranges.picture("CheckDisabled", art.ui, art.part("box"), stretch=False)
    ranges.integer("CheckBoxWidth", 20).integer("StartWidth", 54).integer("DurationWidth", 54)
    strip = form.add(stick_bottom(control("Range", EDGE, 198 + grow, 232, 12)))
    strip.picture("Background", art.ui, art.part("track")).picture("Range", art.ui, art.part("range"))
    for index, (button, face) in enumerate([("btnUp", "move_up"), ("btnDown", "move_down"), ("btnDelete", "delete"),
                                            ("btnEdit", "edit"), ("btnGo", "go")]):
        form.add(stick_bottom(icon_button(art, button, face, EDGE + index * 34, 214 + grow)))
    form.add(stick_bottom(text_button(skin, art, form.text_name, "btnOk", "Done", 176, 218 + grow, 60)))


def main_skin():
    skin = Skin("Sonbrix_500", ["ui", "icons", "lcd"], "The main skin: the main form, its panels and the bookmarks.")
    art = MAIN_ART
    main_form(skin, art, "Main", 268)
    main_form(skin, art, "MainTall", 348, "Main")
    clock_panel(skin, art)
    explorer_panel(skin, art)
    levels_panel(skin, art)
    more_panel(skin, art)
    equalizer_panel(skin, art)
    bookmarks_form(skin, art, "Bookmarks", 268)
    bookmarks_form(skin, art, "BookmarksTall", 348, "Bookmarks")
    drop_down_forms(skin, art)
    add_kinds(skin, art)
    return skin


# --- the settings and dialog skins ----------------------------------------------------------------

def dialog(skin, art, name, width, height, caption=None):
    form = skin.form(name, width, height)
    form.integer("StartPosition", 1)  # a box in the middle of the work area, below the task bar
    dialog_background(form, art)
    if caption is None:
        form.add(frame_control("frmCaption", 8, 6, width - 16, 20, FONT_TITLE, ACCENT_LIGHT))
    else:
        form.add(label(skin, form, name, "frmCaption", caption, 8, 6, width - 16, 20, FONT_TITLE, ACCENT_LIGHT))
    return form


def message(form, width, height):
    node = form.add(frame_control("frmMessage", 8, 28, width - 16, height, FONT_NORMAL, TEXT))
    node.integer("Wrap", 1).integer("Ellipsis", 0).string("VAlignment", "TOP")


def auto_button(skin, art, form, name, english, x, y, w, action=None):
    form.auto(name, "Auto.Button")
    node = form.add(text_button(skin, art, form.text_name, name, english, x, y, w))
    if action:
        node.string("Action", action)
    return node


def error_form(skin, art):
    form = dialog(skin, art, "Error", 224, 140)
    message(form, 224, 76)
    auto_button(skin, art, form, "btnOk", "OK", 144, 110, 72, "BUTTON_OK")


def confirm_forms(skin, art, five_way=True):
    form = dialog(skin, art, "ConfirmYesNo", 224, 140)
    message(form, 224, 76)
    auto_button(skin, art, form, "btnYes", "Yes", 8, 110, 100)
    auto_button(skin, art, form, "btnNo", "No", 116, 110, 100)
    if not five_way:
        return
    form = dialog(skin, art, "Confirm5Way", 232, 196)
    message(form, 232, 70)
    auto_button(skin, art, form, "btnYes", "Yes", 8, 104, 106)
    auto_button(skin, art, form, "btnNo", "No", 118, 104, 106)
    auto_button(skin, art, form, "btnYesAll", "Yes to all", 8, 132, 106)
    auto_button(skin, art, form, "btnNoAll", "No to all", 118, 132, 106)
    auto_button(skin, art, form, "btnCancel", "Cancel", 8, 164, 216)


def save_form(skin, art):
    form = dialog(skin, art, "SaveActiveBuffer", 224, 72, "Saving the recording")
    form.add(progress(art, "pbProgress", 8, 40, 208, 12))


def file_progress_form(skin, art):
    form = dialog(skin, art, "FileProgress", 232, 166)
    message(form, 232, 34)
    form.add(frame_control("frmFileName", 8, 64, 216, 18, FONT_SMALL, TEXT_DIM))
    form.add(progress(art, "pbProgressFile", 8, 86, 216, 10))
    form.add(progress(art, "pbProgressTotal", 8, 102, 216, 10))
    form.add(text_button(skin, art, "FileProgress", "btnCancel", "Cancel", 76, 130, 80))


def convert_form(skin, art):
    form = dialog(skin, art, "Convert", 232, 72, "Converting to MP3")
    form.add(frame_control("frmFileName", 8, 28, 216, 18, FONT_SMALL, TEXT_DIM))
    form.add(progress(art, "pbProgress", 8, 50, 216, 12))


def beam_form(skin, art):
    form = dialog(skin, art, "Beam", 232, 208, "Send by infrared")
    form.add(frame_control("frmFileName", 8, 28, 216, 18, FONT_SMALL, TEXT_DIM))
    form.add(grid(art, "lstDevices", 8, 50, 216, 96).integer("Indent", 6))
    form.add(progress(art, "pbProgress", 8, 152, 216, 10))
    form.add(text_button(skin, art, "Beam", "btnBeam", "Send", 8, 172, 68))
    form.add(text_button(skin, art, "Beam", "btnRefresh", "Search", 80, 172, 68))
    auto_button(skin, art, form, "btnOk", "Close", 152, 172, 72)


def id3_form(skin, art):
    form = skin.form("Id3Tags", 240, 268)
    form.integer("StartPosition", 3)  # fills the work area, below the task bar
    window_background(form, art)
    rows = [("Title", 4), ("Artist", 30), ("Album", 56), ("Genre", 82), ("Year", 110), ("Comment", 136)]
    for key, y in rows:
        form.add(label(skin, form, "Id3Tags", "lbl" + key, key, EDGE, y, 60, 22))
        if key == "Genre":
            form.add(combo(art, "cbGenre", 66, y, 170))
        elif key == "Year":
            form.add(edit(art, "txtYear", 66, y, 56))
            form.add(label(skin, form, "Id3Tags", "lblTrack", "Track", 128, y, 48, 22))
            form.add(edit(art, "txtTrack", 176, y, 60))
        else:
            form.add(edit(art, "txt" + key, 66, y, 170))
    auto_button(skin, art, form, "btnOk", "Save", 156, 240, 80)
    form.add(control("MenuMain", 0, 0, 0, 0))


def properties_form(skin, art):
    form = dialog(skin, art, "Properties", 232, 228, "File properties")
    fields = [("FileName", "Name"), ("Format", "Format"), ("Duration", "Duration"), ("Channels", "Channels"),
              ("SampleRate", "Sample rate"), ("BitRate", "Bit rate"), ("Bits", "Bits"), ("Size", "Size")]
    for index, (key, english) in enumerate(fields):
        y = 30 + index * 20
        form.add(label(skin, form, "Properties", "lbl" + key, english, 8, y, 80))
        node = form.add(frame_control("frm" + key, 90, y, 134, ROW, FONT_NORMAL, TEXT))
        node.string("Text", skin.text("Properties", "frm" + key, "-"))
    form.add(text_button(skin, art, "Properties", "btnOk", "OK", 144, 196, 80))


def select_files_form(skin, art, name, height, variant_of=None):
    grow = height - 268
    form = skin.form(name, 240, height, variant_of)
    form.integer("StartPosition", 3)  # fills the work area, below the task bar
    window_background(form, art)
    form.add(stretch_across(combo(art, "cbTree", EDGE, 4, 196, folders=True)))
    form.auto("btnUp", "Auto.Button")
    form.add(icon_button(art, "btnUp", "folder_up", 204, 0).string("AnchorX", "MAX_SIDE"))
    files = form.add(stretch_down(file_list(art, "lstFiles", EDGE, 36, 232, 176 + grow)))
    files.integer("DateWidth", 60)
    form.add(stick_bottom(combo(art, "cbTypes", EDGE, 216 + grow, 232)))
    for button in [auto_button(skin, art, form, "btnOk", "Add", 104, 244 + grow, 64),
                   auto_button(skin, art, form, "btnCancel", "Cancel", 172, 244 + grow, 64)]:
        stick_bottom(button)


def select_folder_form(skin, art, name, height, variant_of=None):
    grow = height - 268
    form = skin.form(name, 240, height, variant_of)
    form.integer("StartPosition", 3)  # fills the work area, below the task bar
    window_background(form, art)
    form.add(frame_control("frmName", EDGE, 4, 232, 20, FONT_SMALL, TEXT_DIM, background="edit", art=art))
    tree = form.add(stretch_down(grid(art, "treeFolders", EDGE, 28, 232, 208 + grow)))
    tree_pictures(tree, art)
    for button in [auto_button(skin, art, form, "btnOk", "Choose", 104, 242 + grow, 64),
                   auto_button(skin, art, form, "btnCancel", "Cancel", 172, 242 + grow, 64)]:
        stick_bottom(button)


PAGES = [("tabRecording", "PageRecording", "Record"), ("tabPlayback", "PagePlayback", "Play"),
         ("tabButtons", "PageButtons", "Buttons"), ("tabSchedule", "PageSchedule", "Schedule"),
         ("tabAssociate", "PageAssociate", "Files"), ("tabLanguage", "PageLanguage", "Language"),
         ("tabSkin", "PageSkin", "Skins")]


def settings_form(skin, art, name, height, variant_of=None):
    grow = height - 268
    form = skin.form(name, 240, height, variant_of)
    window_background(form, art)
    tabs = form.add(stretch_down(panel("tabSettings", "TabPages", 0, 0, 240, 236 + grow)))
    tabs.string("KindGrid", "Tab.Header").string("KindMin", "Tab.Left").string("KindMax", "Tab.Right")
    tabs.integer("HeaderHeight", 22).integer("ButtonWidth", 16).integer("TextBorder", 6)
    stick_bottom(auto_button(skin, art, form, "btnOk", "Done", 156, 240 + grow, 80))
    form.add(control("menuMain", 0, 0, 0, 0))


def settings_pages(skin, art):
    pages = skin.form("TabPages", 240, 236)
    for control_name, template, english in PAGES:
        page = pages.add(stretch_down(panel(control_name, template, 0, 22, 240, 214)))
        page.string("Text", skin.text("TabPages", control_name, english))
    recording_page(skin, art)
    playback_page(skin, art)
    buttons_page(skin, art)
    schedule_page(skin, art)
    associate_page(skin, art)
    language_page(skin, art)
    skin_page(skin, art)


def page(skin, name):
    return skin.form(name, 240, 214)


def recording_page(skin, art):
    form = page(skin, "PageRecording")
    form.add(label(skin, form, form.name, "lblFormat", "Format", EDGE, 2, 232, 18))
    form.add(combo(art, "cbFormats", EDGE, 20, 232))
    form.add(check_box(skin, art, form.name, "chkDefaultDir", "Record into the default folder", EDGE, 48, 232))
    form.add(combo(art, "cbDirectory", EDGE, 70, 232, folders=True))
    form.add(check_box(skin, art, form.name, "chkCreateDateFolder", "A new folder for each day", EDGE, 98, 232))
    form.add(label(skin, form, form.name, "lblPrefix", "Name begins", EDGE, 122, 76, 22))
    form.add(edit(art, "editPrefix", 82, 122, 154))
    form.add(check_box(skin, art, form.name, "chkIncludeDate", "Add the date and time", EDGE, 148, 232))
    form.add(label(skin, form, form.name, "lblTurnOff", "Screen off after", EDGE, 172, 118, 24))
    form.add(combo(art, "cbTurnOff", 124, 172, 112))


def playback_page(skin, art):
    form = page(skin, "PagePlayback")
    form.add(label(skin, form, form.name, "lblMode", "Play mode", EDGE, 2, 232, 18))
    form.add(combo(art, "cbMode", EDGE, 20, 232))
    form.add(label(skin, form, form.name, "lblTurnOff", "Screen off after", EDGE, 52, 118, 24))
    form.add(combo(art, "cbTurnOff", 124, 52, 112))


def buttons_page(skin, art):
    form = page(skin, "PageButtons")
    # The button's name, then the command it runs in the rest of the row.
    buttons = form.add(stretch_down(grid(art, "lstButtons", EDGE, 4, 232, 130).integer("Indent", 6)))
    buttons.integer("NameWidth", 110)
    form.add(stick_bottom(label(skin, form, form.name, "lblAssign", "Command", EDGE, 140, 78, 24)))
    form.add(stick_bottom(combo(art, "cbAssign", 84, 140, 152)))
    form.add(stick_bottom(check_box(skin, art, form.name, "chkUnmap", "Free the buttons in the background", EDGE, 170, 232)))


def schedule_page(skin, art):
    form = page(skin, "PageSchedule")
    schedule = form.add(stretch_down(grid(art, "grdSchedule", EDGE, 4, 232, 70)))
    schedule.integer("Indent", 6)
    schedule.integer("BeginWidth", 114)  # the end takes the rest of the row
    for row, (key, english) in enumerate([("Begin", "Start"), ("End", "End")]):
        y = 78 + row * 26
        form.add(stick_bottom(label(skin, form, form.name, "lbl" + key, english, EDGE, y, 34, 22)))
        # The time with its seconds and "AM" needs the wider field at 240 x 320.
        for name, x, w, appearance in [("calDate" + key, 40, 96, "DatePicker"), ("calTime" + key, 140, 96, "TimePicker")]:
            node = form.add(stick_bottom(control(name, x, y, w, 22)))
            node.string("Appearance", appearance)
            node.color("Background", SURFACE).color("TitleBackground", RAISED).color("Text", TEXT).color("TitleText", ACCENT_LIGHT)
    for index, (name, english) in enumerate([("btnAdd", "Add"), ("btnChange", "Change"), ("btnDelete", "Delete"),
                                             ("btnDeleteAll", "Clear")]):
        form.add(stick_bottom(text_button(skin, art, form.name, name, english, EDGE + index * 58, 134, 56)))


def associate_page(skin, art):
    form = page(skin, "PageAssociate")
    intro = form.add(label(skin, form, form.name, "lblAssociate", "Open these files with Sonbrix:", EDGE, 4, 232, 20))
    intro.integer("Wrap", 1)
    kinds = [("chkWAV", "WAV recordings"), ("chkMP3", "MP3 files"), ("chkOGG", "Ogg Vorbis files"),
             ("chkWMA", "Windows Media files"), ("chkM3U", "M3U playlists")]
    for index, (name, english) in enumerate(kinds):
        form.add(check_box(skin, art, form.name, name, english, EDGE, 28 + index * 24, 232))


def language_page(skin, art):
    form = page(skin, "PageLanguage")
    form.add(label(skin, form, form.name, "lblLanguage", "Language of the program", EDGE, 2, 232, 18))
    form.add(combo(art, "cbLanguage", EDGE, 20, 232))


def skin_page(skin, art):
    form = page(skin, "PageSkin")
    form.add(label(skin, form, form.name, "lblMain", "Program skin", EDGE, 2, 232, 18))
    form.add(combo(art, "cmbMain", EDGE, 20, 232))
    form.add(control("frmMainPreview", EDGE, 50, 60, 80).picture("Normal", art.ui, art.part("panel")))
    form.add(label(skin, form, form.name, "lblToday", "Start screen skin", 72, 50, 164, 18))
    form.add(combo(art, "cmbToday", 72, 68, 164))
    form.add(control("frmTodayPreview", 72, 96, 164, 34).picture("Normal", art.ui, art.part("panel")))


def settings_skin():
    skin = Skin("Sonbrix_500", ["ui", "icons"], "The settings and dialog forms.")
    art = MAIN_ART
    settings_form(skin, art, "Settings", 268)
    settings_form(skin, art, "SettingsTall", 348, "Settings")
    settings_pages(skin, art)
    error_form(skin, art)
    confirm_forms(skin, art)
    save_form(skin, art)
    file_progress_form(skin, art)
    convert_form(skin, art)
    beam_form(skin, art)
    id3_form(skin, art)
    properties_form(skin, art)
    select_files_form(skin, art, "SelectFiles", 268)
    select_files_form(skin, art, "SelectFilesTall", 348, "SelectFiles")
    select_folder_form(skin, art, "SelectFolder", 268)
    select_folder_form(skin, art, "SelectFolderTall", 348, "SelectFolder")
    drop_down_forms(skin, art)
    add_kinds(skin, art)
    return skin


def dialogs_skin():
    skin = Skin("Sonbrix_500", ["ui", "icons"], "The forms the document shows on its own: saving a recording.")
    art = MAIN_ART
    save_form(skin, art)
    error_form(skin, art)
    confirm_forms(skin, art, five_way=False)
    add_kinds(skin, art)
    return skin


# --- the start-screen skin ------------------------------------------------------------------------

def today_skin():
    skin = Skin("SonbrixToday_500", ["sonbrix_today_ui", "sonbrix_today_icons", "sonbrix_today_lcd"],
                "The start-screen item.")
    art = Art("sonbrix_today_ui", "sonbrix_today_icons", "sonbrix_today_lcd", UI, LCD_OFFSETS)
    art.icon_size = TODAY_ICON
    form = skin.form("Main", 240, 52)
    # The painter draws the start screen's own wallpaper; the item's texts take its text colour.
    form.add(stretch_across(control("TodayPainter", 0, 0, 240, 52)))
    form.add(today_button(art, "btnActivate", "activate", 8, 14, TODAY_ICON))
    form.add(stretch_across(frame_control("frmFilename", 40, 4, 196, 18, FONT_BOLD, TEXT)))
    form.add(lcd(art, "frmElapsedTime", 40, 27, 56))
    buttons = [("btnPrev", "rewind"), ("btnPlay", ["play", "pause"]), ("btnStop", "stop"),
               ("btnRec", ["record", "recording"]), ("btnNext", "forward")]
    for index, (name, faces) in enumerate(buttons):
        x = 108 + index * 26
        if isinstance(faces, list):
            node = today_button(art, name, faces[0], x, 26, TODAY_ICON)
            for state, face in enumerate(faces):
                for look in LOOKS:
                    node.picture(f"State{state}{look}", art.icons, today_icon_part(face, look))
        else:
            node = today_button(art, name, faces, x, 26, TODAY_ICON)
        form.add(node.string("AnchorX", "MAX_SIDE"))
    add_kinds(skin, art)
    return skin


def today_icon_part(face, look):
    return (LOOKS.index(look) * TODAY_ICON, ICON_FACES.index(face) * TODAY_ICON, TODAY_ICON, TODAY_ICON, (0, 0, 0, 0))


def today_button(art, name, face, x, y, size):
    node = focus_ring(control(name, x, y, size, size), art)
    for look in LOOKS:
        node.picture(look, art.icons, today_icon_part(face, look))
    return node


# --- writing --------------------------------------------------------------------------------------

def english_block(skins):
    texts = {}
    for skin in skins:
        texts.update(skin.texts)
    lines = [f"{key} {text}" for key, text in sorted(texts.items())]
    return "\n".join(lines) + "\n"


BEGIN = "// --- Skin texts: written by data/skins/make_sources.py from the skins. ---\n"
END = "// --- End of the skin texts. ---\n"


def outputs():
    skins = {"skins/Default/Default.xml": main_skin(), "skins/settings/settings.xml": settings_skin(),
             "skins/settings/dialogs.xml": dialogs_skin(), "skins/today/Today Default.xml": today_skin()}
    files = {path: skin.xml() for path, skin in skins.items()}
    files["art/ui.svg"] = drawing.ui_svg(UI)
    files["art/icons.svg"] = drawing.icons_svg(ICON_SIZE)
    files["art/sonbrix_today_icons.svg"] = drawing.icons_svg(TODAY_ICON)
    files["art/lcd.svg"] = drawing.lcd_svg()
    files["art/toolbar_16.svg"] = drawing.toolbar_svg(16)
    files["art/toolbar_32.svg"] = drawing.toolbar_svg(32)
    files["art/sonbrix.svg"] = drawing.program_icon_svg()
    files["art/Default_preview.svg"] = drawing.preview_main_svg()
    files["art/Today Default_preview.svg"] = drawing.preview_today_svg()
    language_path = os.path.join(DATA, "English.lng")
    with open(language_path, encoding="utf-8") as f:
        language = f.read()
    head, rest = language.split(BEGIN, 1)
    _, tail = rest.split(END, 1)
    files["English.lng"] = head + BEGIN + english_block(skins.values()) + END + tail
    return files


def main():
    check = "--check" in sys.argv[1:]
    differing = []
    for relative, text in outputs().items():
        path = os.path.join(DATA, relative)
        old = open(path, encoding="utf-8").read() if os.path.exists(path) else None
        if old == text:
            continue
        differing.append(relative)
        if not check:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8", newline="\n") as f:
                f.write(text)
    if check and differing:
        print("out of date (run data/skins/make_sources.py):", ", ".join(differing))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
