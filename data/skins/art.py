# Draws the art atlases as SVG: plain shapes in the house palette, no text, no borrowed art.
from style import *


def svg(width, height, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {width} {height}">\n{body}</svg>\n')


def rect(x, y, w, h, fill, r=0, stroke=None, sw=1, opacity=None):
    extra = f' stroke="{stroke}" stroke-width="{sw}"' if stroke else ""
    if opacity is not None:
        extra += f' fill-opacity="{opacity}"'
    return f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{r}" fill="{fill}"{extra}/>\n'


def frame(x, y, w, h, fill, stroke, r=4, sw=1):
    half = sw / 2
    return rect(x + half, y + half, w - sw, h - sw, fill, r, stroke, sw)


def circle(cx, cy, r, fill, stroke=None, sw=1):
    extra = f' stroke="{stroke}" stroke-width="{sw}"' if stroke else ""
    return f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{fill}"{extra}/>\n'


def path(d, fill="none", stroke=None, sw=1.5):
    extra = f' stroke="{stroke}" stroke-width="{sw}" stroke-linecap="round" stroke-linejoin="round"' if stroke else ""
    return f'<path d="{d}" fill="{fill}"{extra}/>\n'


def group(x, y, body, scale=1):
    return f'<g transform="translate({x} {y}) scale({scale})">\n{body}</g>\n'


# --- the control atlas --------------------------------------------------------------------

def draw_ui_part(key, w, h):
    frames = {
        "button": (RAISED, LINE), "button_pressed": (PRESSED, ACCENT), "button_highlighted": (HOVER, ACCENT_LIGHT),
        "button_disabled": (SURFACE, SURFACE), "panel": (SURFACE, LINE), "edit": (GROUND, LINE),
        "edit_disabled": (SURFACE, SURFACE), "item": (SURFACE, SURFACE), "item_selected": (SELECT, SELECT),
        "item_highlighted": (HOVER, HOVER), "item_header": (RAISED, RAISED), "tab": (SURFACE, LINE),
        "tab_selected": (RAISED, ACCENT), "dialog": (RAISED, LINE), "window": (GROUND, GROUND),
        "title": (RAISED, RAISED),
    }
    if key in frames:
        fill, stroke = frames[key]
        radius = 0 if key in ("window", "item", "item_header", "title") else 4
        body = frame(0, 0, w, h, fill, stroke, radius)
        if key == "item_selected":
            body += rect(0, 4, 2, h - 8, ACCENT)
        if key == "tab_selected":
            body += rect(4, h - 3, w - 8, 2, ACCENT)
        return body
    if key == "focus":
        return frame(0, 0, w, h, "none", ACCENT_LIGHT, 5, 2)
    if key.startswith("sort"):
        body = frame(0, 0, w, h, RAISED, RAISED, 0) + rect(0, h - 1, w, 1, LINE)
        if key == "sort_up":
            body += path(f"M{w - 12} {h - 7} L{w - 8} {7} L{w - 4} {h - 7} Z", ACCENT)
        if key == "sort_down":
            body += path(f"M{w - 12} 7 L{w - 8} {h - 7} L{w - 4} 7 Z", ACCENT)
        return body
    fills = {"track": GROUND, "fill": ACCENT, "fill_level": PLAYING, "fill_record": RECORD, "fill_amber": AMBER}
    if key in fills:
        stroke = LINE if key == "track" else fills[key]
        return frame(0, 0, w, h, fills[key], stroke, 4)
    if key.startswith("check"):
        on = key.startswith("checked")
        disabled = key.endswith("disabled")
        pressed = key.endswith("pressed")
        box_fill = ACCENT if on and not disabled else (SURFACE if disabled else GROUND)
        box_line = ACCENT_LIGHT if pressed else (TEXT_OFF if disabled else LINE if not on else ACCENT)
        body = frame(2, 2, 16, 16, box_fill, box_line, 3)
        if on:
            body += path("M6 10 L9 13 L14 7", stroke=TEXT_OFF if disabled else GROUND, sw=2)
        return body
    if key.startswith("box"):
        body = frame(1, 1, 14, 14, ACCENT if key == "box_checked" else GROUND, ACCENT if key == "box_checked" else LINE, 3)
        if key == "box_checked":
            body += path("M4.5 8 L7 10.5 L11.5 5.5", stroke=GROUND, sw=2)
        return body
    leds = {"led": (SURFACE, LINE), "led_record": (RECORD, RECORD), "led_play": (PLAYING, PLAYING),
            "led_amber": (AMBER, AMBER), "led_accent": (ACCENT, ACCENT)}
    if key in leds:
        fill, stroke = leds[key]
        return circle(6, 6, 4.5, fill, stroke)
    if key.startswith("handle"):
        colour = TEXT if key == "handle" else TEXT_OFF
        return frame(1, 0, 10, 16, colour, GROUND, 3)
    if key == "bookmark":
        return path("M0 0 H6 V10 L3 7 L0 10 Z", AMBER)
    if key == "range":
        return frame(0, 0, w, h, ACCENT, ACCENT, 2)
    if key == "scroll_track":
        return frame(2, 0, 6, h, GROUND, GROUND, 3)
    if key == "scroll_thumb":
        return frame(1, 0, 8, h, LINE, TEXT_DIM, 4)
    arrows = {"arrow_up": "M4 10 L8 5 L12 10", "arrow_down": "M4 6 L8 11 L12 6",
              "arrow_left": "M10 4 L5 8 L10 12", "arrow_right": "M6 4 L11 8 L6 12"}
    if key in arrows:
        return path(arrows[key], stroke=TEXT_DIM, sw=2)
    if key.startswith("tab_"):
        pressed = key.endswith("pressed")
        body = frame(0, 0, w, h, PRESSED if pressed else SURFACE, ACCENT if pressed else LINE, 3)
        arrow = arrows["arrow_" + key.split("_")[1]]
        return body + group(0, (h - 16) / 2, path(arrow, stroke=TEXT if pressed else TEXT_DIM, sw=2))
    if key == "dropdown":
        return frame(0, 0, w, h, SURFACE, LINE, 0)
    if key == "drop":
        return frame(0, 0, w, h, RAISED, LINE, 4) + path("M6 10 L10 14 L14 10", stroke=TEXT, sw=2)
    trees = {"tree_cross": "M8 0 V16 M8 8 H16", "tree_branch": "M8 0 V8 H16", "tree_line": "M8 0 V16"}
    if key in trees:
        return path(trees[key], stroke=LINE, sw=1)
    if key == "tree_space":
        return ""
    if key in ("tree_opened", "tree_closed"):
        body = frame(3, 3, 10, 10, SURFACE, TEXT_DIM, 2) + path("M5.5 8 H10.5", stroke=TEXT, sw=1.5)
        if key == "tree_closed":
            body += path("M8 5.5 V10.5", stroke=TEXT, sw=1.5)
        return body
    if key == "icon_folder":
        return path("M1 4 H6 L8 6 H15 V13 H1 Z", AMBER)
    if key == "icon_card":
        return path("M3 1.5 H10 L13 4.5 V14.5 H3 Z", RAISED, TEXT_DIM, 1) + path("M5.5 3 V6 M7.5 3 V6 M9.5 3 V6", stroke=AMBER, sw=1)
    if key == "icon_root":
        return frame(2, 2, 12, 12, RAISED, TEXT_DIM, 2) + rect(5, 11, 6, 1.5, TEXT_DIM)
    sound = {"icon_wav": ACCENT, "icon_mp3": PLAYING, "icon_ogg": AMBER, "icon_wma": ACCENT_LIGHT, "icon_m3u": TEXT_DIM}
    if key in sound:
        colour = sound[key]
        if key == "icon_m3u":
            return path("M2 4 H14 M2 8 H14 M2 12 H10", stroke=colour, sw=2)
        return path("M3 2 H10 L13 5 V14 H3 Z", SURFACE, colour, 1) + circle(7, 10, 2, colour) + path("M9 10 V5", stroke=colour, sw=1)
    eqs = {"eq1": ACCENT, "eq2": AMBER, "eq3": RECORD}
    if key in eqs:
        return circle(6, 6, 5, eqs[key], GROUND)
    raise KeyError(key)


def ui_svg(atlas):
    body = ""
    for key, (x, y, w, h, _) in atlas.parts.items():
        body += group(x, y, draw_ui_part(key, w, h))
    return svg(atlas.width, atlas.height, body)


# --- icon buttons -------------------------------------------------------------------------

def glyph(face, colour):
    """A 24 x 24 glyph."""
    c = colour
    glyphs = {
        "newmark": path("M6 3 H15 V20 L10.5 16 L6 20 Z", c) + path("M17 7 H23 M20 4 V10", stroke=c, sw=2),
        "rewind": rect(4, 5, 3, 14, c) + path("M20 5 L9 12 L20 19 Z", c),
        "forward": rect(17, 5, 3, 14, c) + path("M4 5 L15 12 L4 19 Z", c),
        "play": path("M7 4 L20 12 L7 20 Z", c),
        "pause": rect(6, 5, 4, 14, c, 1) + rect(14, 5, 4, 14, c, 1),
        "record": circle(12, 12, 7, RECORD),
        "recording": circle(12, 12, 8, "none", RECORD, 2) + circle(12, 12, 4.5, RECORD),
        "stop": rect(6, 6, 12, 12, c, 2),
        "mode_explorer": path("M3 6 H9 L11 8 H21 V19 H3 Z", "none", c, 2),
        "mode_levels": rect(4, 12, 3, 8, c) + rect(9, 6, 3, 14, c) + rect(14, 9, 3, 11, c) + rect(19, 4, 2, 16, c),
        "mode_equalizer": path("M3 16 C7 16 8 6 12 6 S17 14 21 10", stroke=c, sw=2) + path("M3 20 H21", stroke=c, sw=1),
        "mode_more": path("M5 4 V20 M12 4 V20 M19 4 V20", stroke=c, sw=1.5) + circle(5, 14, 2.5, c) + circle(12, 8, 2.5, c) + circle(19, 16, 2.5, c),
        "clock": circle(12, 12, 8, "none", c, 2) + path("M12 7 V12 L15 14", stroke=c, sw=2),
        "folder_up": path("M3 6 H9 L11 8 H21 V19 H3 Z", "none", c, 2) + path("M12 17 V11 M9 13 L12 10 L15 13", stroke=c, sw=2),
        "move_up": path("M6 14 L12 8 L18 14", stroke=c, sw=2.5),
        "move_down": path("M6 10 L12 16 L18 10", stroke=c, sw=2.5),
        "delete": path("M5 7 H19 M10 7 V4 H14 V7 M7 7 L8 20 H16 L17 7", stroke=c, sw=2),
        "edit": path("M5 19 L6 15 L16 5 L19 8 L9 18 Z", "none", c, 2),
        "go": path("M4 12 H16 M12 7 L17 12 L12 17", stroke=c, sw=2.5) + rect(19, 5, 2, 14, c),
        "activate": circle(12, 12, 9, ACCENT) + path("M8 9 V15 M12 6 V18 M16 9 V15", stroke=GROUND, sw=2),
    }
    return glyphs[face]


def icon_button(face, look, size):
    frames = {"Normal": (RAISED, LINE), "Pressed": (PRESSED, ACCENT), "Highlighted": (HOVER, ACCENT_LIGHT),
              "Disabled": (SURFACE, SURFACE)}
    fill, stroke = frames[look]
    colour = TEXT_OFF if look == "Disabled" else TEXT
    inset = (size - 24 * size / 32) / 2
    return frame(0, 0, size, size, fill, stroke, 5 * size / 32) + group(inset, inset, glyph(face, colour), size / 32)


def icons_svg(size):
    body = ""
    for row, face in enumerate(ICON_FACES):
        for column, look in enumerate(LOOKS):
            body += group(column * size, row * size, icon_button(face, look, size))
    return svg(size * len(LOOKS), size * len(ICON_FACES), body)


# --- LCD digits ---------------------------------------------------------------------------

SEGMENTS = {"a": "M3 1 H9", "b": "M10 2 V10", "c": "M10 12 V20", "d": "M3 21 H9", "e": "M2 12 V20",
            "f": "M2 2 V10", "g": "M3 11 H9"}
DIGITS = {"0": "abcdef", "1": "bc", "2": "abged", "3": "abgcd", "4": "fgbc", "5": "afgcd", "6": "afgedc",
          "7": "abc", "8": "abcdefg", "9": "abcdfg", "Dash": "g", "Space": ""}


def lcd_glyph(key, w):
    if key in DIGITS:
        lit = DIGITS[key]
        body = ""
        for segment, d in SEGMENTS.items():
            on = segment in lit
            body += path(d, stroke=ACCENT if on else SURFACE, sw=2.2)
        return body
    dots = {"Colon": [(3, 7), (3, 15)], "Dot": [(3, 20)], "Comma": [(3, 19)]}
    return "".join(circle(x, y, 1.6, ACCENT) for x, y in dots[key])


def lcd_svg():
    body = ""
    x = 0
    for key, w in LCD_GLYPHS:
        body += group(x, 0, rect(0, 0, w, LCD_HEIGHT, GROUND) + lcd_glyph(key, w))
        x += w
    return svg(x, LCD_HEIGHT, body)


def lcd_offsets():
    offsets = {}
    x = 0
    for key, w in LCD_GLYPHS:
        offsets[key] = (x, w)
        x += w
    return offsets


# --- toolbar strips, program icon, previews ----------------------------------------------

def toolbar_glyph(name, c):
    arrows = {"mode_single_once": "M5 12 H17 M13 8 L17 12 L13 16",
              "mode_all_once": "M3 8 H15 M3 16 H15 M11 4 L15 8 L11 12",
              "mode_shuffle": "M3 7 H8 L16 17 H21 M3 17 H8 L16 7 H21 M18 4 L21 7 L18 10 M18 14 L21 17 L18 20"}
    loops = {"mode_single_repeat": "M6 16 A6 6 0 1 1 18 16 M15 13 L18 16 L21 13",
             "mode_all_repeat": "M4 9 H18 L15 6 M20 15 H6 L9 18"}
    if name in arrows:
        return path(arrows[name], stroke=c, sw=2)
    if name in loops:
        return path(loops[name], stroke=c, sw=2)
    shapes = {
        "record_operation": circle(12, 12, 7, RECORD),
        "overwrite": circle(9, 12, 5, RECORD) + path("M15 8 L21 16 M21 8 L15 16", stroke=c, sw=2),
        "insert": circle(12, 12, 4, RECORD) + path("M3 5 V19 M21 5 V19", stroke=c, sw=2),
        "append": path("M3 12 H12", stroke=c, sw=2) + circle(17, 12, 4.5, RECORD),
        "show_folders": path("M3 6 H9 L11 8 H21 V19 H3 Z", AMBER),
        "hide_folders": path("M3 6 H9 L11 8 H21 V19 H3 Z", "none", AMBER, 2),
        "cut": circle(7, 17, 3, "none", c, 2) + circle(17, 17, 3, "none", c, 2) + path("M8 14 L17 3 M16 14 L7 3", stroke=c, sw=2),
        "copy": rect(4, 4, 11, 13, "none", 2, c, 2) + rect(9, 8, 11, 13, "none", 2, c, 2),
        "paste": rect(5, 4, 14, 17, "none", 2, c, 2) + rect(9, 2, 6, 4, c, 1),
        "move_up": path("M6 15 L12 8 L18 15", stroke=c, sw=2.5),
        "move_down": path("M6 9 L12 16 L18 9", stroke=c, sw=2.5),
        "delete": path("M5 7 H19 M10 7 V4 H14 V7 M7 7 L8 20 H16 L17 7", stroke=c, sw=2),
    }
    return shapes[name]


def toolbar_svg(size):
    body = ""
    for index, name in enumerate(TOOLBAR):
        # The accent reads on a light and on a dark menu bar alike.
        body += group(index * size, 0, toolbar_glyph(name, ACCENT), size / 24)
    return svg(size * len(TOOLBAR), size, body)


def program_icon_svg():
    body = (rect(1, 1, 30, 30, GROUND, 7, ACCENT, 2) + circle(16, 16, 9, "none", ACCENT, 2.5)
            + path("M12 12 V20 M16 9 V23 M20 12 V20", stroke=TEXT, sw=2))
    return svg(32, 32, body)


def preview_main_svg():
    """A small picture of the main form for the skin page."""
    body = rect(0, 0, 120, 160, GROUND)
    body += rect(4, 4, 112, 8, RAISED, 2) + rect(4, 16, 50, 12, SURFACE, 2)
    for i in range(4):
        body += rect(58 + i * 14, 18, 10, 8, ACCENT if i < 2 else LINE, 1)
    body += rect(4, 32, 112, 5, ACCENT, 2)
    body += rect(4, 42, 112, 88, SURFACE, 3, LINE, 1)
    for i in range(6):
        body += rect(8, 48 + i * 13, 104, 10, SELECT if i == 1 else RAISED, 2)
    for i in range(7):
        body += rect(3 + i * 16.5, 136, 15, 18, RAISED, 3, LINE, 1)
    body += circle(3 + 4 * 16.5 + 7.5, 145, 4, RECORD)
    return svg(120, 160, body)


def preview_today_svg():
    body = rect(0, 0, 120, 26, GROUND) + circle(12, 13, 8, ACCENT)
    body += rect(26, 4, 90, 7, RAISED, 2) + rect(26, 15, 24, 7, SURFACE, 2)
    for i in range(5):
        body += rect(56 + i * 12, 14, 10, 9, RAISED, 2)
    return svg(120, 26, body)
