# The house style of the program's own skins: palette, fonts and the places of every picture
# part in the art atlases. make_sources.py draws the atlases (SVG) and writes the skin sources
# (XML) from these tables, so that a picture part and the skin that uses it never disagree.

# Palette: a dark slate ground, one teal accent, red for recording, amber for warnings.
GROUND = "#1B1F24"      # window background
SURFACE = "#252A31"     # panels, lists
RAISED = "#2F353E"      # buttons at rest, dialogs
LINE = "#434B57"        # borders and separators
HOVER = "#3A4350"       # highlighted (stylus over, focus moving)
PRESSED = "#1F5C56"     # pressed buttons
SELECT = "#24514C"      # selected rows
TEXT = "#E8ECF1"
TEXT_DIM = "#9BA5B2"
TEXT_OFF = "#5E6773"    # disabled text
ACCENT = "#3CB4A9"
ACCENT_LIGHT = "#7FD8CF"
RECORD = "#E0544C"
AMBER = "#E3A336"
PLAYING = "#6CCB5F"

# Fonts: the platform maps Tahoma to DejaVu Sans Condensed. Sizes are points at 96 dpi, read
# at 240 x 320 and doubled with the pictures on VGA screens.
FONT_SMALL = "8 0 0 0 Tahoma"
FONT_NORMAL = "9 0 0 0 Tahoma"
FONT_BOLD = "9 1 0 0 Tahoma"
FONT_TITLE = "10 1 0 0 Tahoma"
FONTS = [FONT_SMALL, FONT_NORMAL, FONT_BOLD, FONT_TITLE]

# Spacing: 4 pixels between controls and at the form's edges, 2 inside tight groups.
EDGE = 4
GAP = 4
ROW = 20          # one line of text controls
BUTTON = 32       # icon buttons
TEXT_BUTTON = 24  # height of text buttons


class Atlas:
    """Picture parts packed in rows; each part is (x, y, w, h) at 1x and its frame border."""

    def __init__(self, name, width):
        self.name = name
        self.width = width
        self.parts = {}
        self.x = 0
        self.y = 0
        self.row_height = 0

    def add(self, key, w, h, border=(0, 0, 0, 0), new_row=False):
        if new_row or self.x + w > self.width:
            self.x = 0
            self.y += self.row_height
            self.row_height = 0
        self.parts[key] = (self.x, self.y, w, h, border)
        self.x += w
        self.row_height = max(self.row_height, h)
        return self.parts[key]

    @property
    def height(self):
        return self.y + self.row_height


def ui_atlas():
    atlas = Atlas("ui", 256)
    frames = ["button", "button_pressed", "button_highlighted", "button_disabled", "focus", "panel",
              "edit", "edit_disabled", "item", "item_selected", "item_highlighted", "item_header",
              "tab", "tab_selected", "dialog", "window", "title"]
    for key in frames:
        atlas.add(key, 24, 24, (6, 6, 6, 6))
    for key in ["sort", "sort_up", "sort_down"]:
        atlas.add(key, 32, 20, (4, 4, 16, 4), new_row=key == "sort")
    for key in ["track", "fill", "fill_level", "fill_record", "fill_amber"]:
        atlas.add(key, 24, 10, (4, 4, 4, 4))
    for key in ["check", "check_pressed", "checked", "checked_pressed", "check_disabled", "checked_disabled"]:
        atlas.add(key, 40, 20, (20, 0, 1, 0), new_row=key == "check")
    for key in ["box", "box_checked"]:
        atlas.add(key, 16, 16)
    for key in ["led", "led_record", "led_play", "led_amber", "led_accent"]:
        atlas.add(key, 12, 12, new_row=key == "led")
    for key in ["handle", "handle_disabled"]:
        atlas.add(key, 12, 16)
    atlas.add("bookmark", 6, 16)
    atlas.add("range", 8, 12, (2, 2, 2, 2))
    for key in ["scroll_track", "scroll_thumb"]:
        atlas.add(key, 10, 24, (2, 5, 2, 5))
    for key in ["arrow_up", "arrow_down", "arrow_left", "arrow_right"]:
        atlas.add(key, 16, 16, new_row=key == "arrow_up")
    atlas.add("drop", 20, 24, (4, 6, 4, 6))
    # The tree's connectors fill rows taller than they are: their one stretching row lies
    # below the arm, where only the line down to the next sibling runs.
    for key in ["tree_cross", "tree_branch", "tree_line", "tree_space", "tree_opened", "tree_closed"]:
        atlas.add(key, 16, 16, (0, 14, 0, 1))
    for key in ["icon_folder", "icon_root", "icon_wav", "icon_mp3", "icon_ogg", "icon_wma", "icon_m3u"]:
        atlas.add(key, 16, 16, new_row=key == "icon_folder")
    for key in ["eq1", "eq2", "eq3"]:
        atlas.add(key, 12, 12)
    atlas.add("icon_card", 16, 16)
    # Added below the rest, so that no part before them moves. A drop-down's ground is
    # square: its window has no see-through corners.
    atlas.add("dropdown", 24, 24, (6, 6, 6, 6), new_row=True)
    # The tab control's scroll buttons, as tall as its header.
    for key in ["tab_left", "tab_right", "tab_left_pressed", "tab_right_pressed"]:
        atlas.add(key, 16, 22)
    return atlas


# Icon buttons: one row per face, one column per look (normal, pressed, highlighted, disabled).
ICON_FACES = ["newmark", "rewind", "forward", "play", "pause", "record", "recording", "stop",
              "mode_explorer", "mode_levels", "mode_equalizer", "mode_more", "clock", "folder_up",
              "move_up", "move_down", "delete", "edit", "go", "activate"]
LOOKS = ["Normal", "Pressed", "Highlighted", "Disabled"]

# The toolbar strips of the menu bar, in image-index order.
TOOLBAR = ["mode_single_once", "mode_single_repeat", "mode_all_once", "mode_all_repeat", "mode_shuffle",
           "record_operation", "overwrite", "insert", "append", "show_folders", "hide_folders",
           "cut", "copy", "paste", "move_up", "move_down", "delete"]

# LCD glyphs: key suffix and width at 1x (all 22 high).
LCD_GLYPHS = [(str(d), 12) for d in range(10)] + [("Colon", 6), ("Dot", 6), ("Comma", 6), ("Dash", 12),
                                                   ("Space", 12)]
LCD_HEIGHT = 22
