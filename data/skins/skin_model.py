# A small model of a skin source (forms, controls, kinds, typed properties) and its XML
# writer, with builders for the house controls. Texts are language keys
# "form.<Form>.<Control>.Text"; their English texts are collected for English.lng.
from xml.sax.saxutils import quoteattr

from style import *

ICON_SIZE = 32


class Node:
    def __init__(self, tag, name, **attributes):
        self.tag = tag
        self.name = name
        self.attributes = attributes
        self.properties = []
        self.autos = []
        self.controls = []

    def _set(self, kind, name, values):
        """Adds a property; a second one of the same type and name replaces the first."""
        self.properties = [p for p in self.properties if (p[0], p[1]) != (kind, name)]
        self.properties.append((kind, name, values))

    # typed properties
    def integer(self, name, value):
        self._set("integer", name, {"value": str(value)})
        return self

    def point(self, name, x, y):
        self._set("point", name, {"x": str(x), "y": str(y)})
        return self

    def string(self, name, value):
        self._set("string", name, {"value": value})
        return self

    def color(self, name, value):
        self._set("color", name, {"value": value})
        return self

    def font(self, name, description):
        self._set("font", name, {"description": description})
        return self

    def picture(self, name, image, part=None, stretch=True):
        attributes = {"image": image}
        if part is not None:
            x, y, w, h, (left, top, right, bottom) = part
            attributes["outer"] = f"{x} {y} {x + w} {y + h}"
            if (left, top, right, bottom) != (0, 0, 0, 0):
                attributes["inner"] = f"{x + left} {y + top} {x + w - right} {y + h - bottom}"
        if stretch:
            attributes["stretch"] = "1"
        self._set("picture", name, attributes)
        return self

    def look(self, name, image, part, font=FONT_NORMAL, colour=TEXT):
        """A state look: picture, font and colour under one key."""
        if part is not None:
            self.picture(name, image, part)
        return self.font(name, font).color(name, colour)

    def rect(self, x, y, w, h):
        return self.point("Position", x, y).point("Size", w, h)

    def auto(self, name, kind):
        self.autos.append((name, kind))

    def add(self, control):
        self.controls.append(control)
        return control

    def find(self, name):
        return next(c for c in self.controls if c.name == name)

    def fonts_used(self):
        used = [p[2]["description"] for p in self.properties if p[0] == "font"]
        for control in self.controls:
            used += control.fonts_used()
        return used

    def xml(self, indent):
        pad = " " * indent
        attributes = "".join(f" {k}={quoteattr(v)}" for k, v in [("name", self.name)] + list(self.attributes.items()))
        lines = [f"{pad}<{self.tag}{attributes}>"]
        for kind, name, values in self.properties:
            text = "".join(f" {k}={quoteattr(v)}" for k, v in values.items())
            lines.append(f"{pad}  <{kind} name={quoteattr(name)}{text}/>")
        for name, kind in self.autos:
            lines.append(f"{pad}  <auto name={quoteattr(name)} kind={quoteattr(kind)}/>")
        for control in self.controls:
            lines.append(control.xml(indent + 2))
        lines.append(f"{pad}</{self.tag}>")
        return "\n".join(lines)


class Skin:
    def __init__(self, compatibility, pictures, comment):
        self.compatibility = compatibility
        self.pictures = pictures
        self.comment = comment
        self.forms = []
        self.kinds = []
        self.texts = {}  # language key -> English text

    def form(self, name, width, height, variant_of=None):
        attributes = {"variant-of": variant_of} if variant_of else {}
        node = Node("form", name, **attributes)
        node.text_name = variant_of or name  # a size variant shares its base form's texts
        node.point("Size", width, height)
        self.forms.append(node)
        return node

    def kind(self, name):
        node = Node("kind", name)
        self.kinds.append(node)
        return node

    def text(self, form, control, english):
        key = f"form.{form}.{control}.Text"
        self.texts[key] = english
        return key

    def xml(self):
        fonts = sorted(set(sum((node.fonts_used() for node in self.forms + self.kinds), [])), key=FONTS.index)
        out = ['<?xml version="1.0" encoding="utf-8"?>',
               "<!-- Written by data/skins/make_sources.py; edit that script, not this file. -->",
               f"<!-- {self.comment} -->",
               f'<skin compatibility="{self.compatibility}" devices="P">',
               "  <screens>",
               '    <screen width="240" height="320"/>',
               '    <screen width="240" height="400"/>',
               "  </screens>",
               "  <pictures>"]
        out += [f"    <picture name={quoteattr(p)}/>" for p in self.pictures]
        out += ["  </pictures>", "  <fonts>"]
        out += [f'    <font description="{f}"/>' for f in fonts]
        out += ["  </fonts>"]
        for node in self.forms + self.kinds:
            out.append("")
            out.append(node.xml(2))
        out.append("</skin>")
        return "\n".join(out) + "\n"


# --- builders -----------------------------------------------------------------------------

class Art:
    """Picture names of one skin's atlases (a start-screen skin prefixes its own)."""

    def __init__(self, ui, icons, lcd, ui_atlas, lcd_offsets):
        self.ui = ui
        self.icons = icons
        self.lcd = lcd
        self.parts = ui_atlas.parts
        self.lcd_offsets = lcd_offsets

    def part(self, key):
        return self.parts[key]

    def icon_part(self, face, look):
        row = ICON_FACES.index(face)
        column = LOOKS.index(look)
        return (column * ICON_SIZE, row * ICON_SIZE, ICON_SIZE, ICON_SIZE, (0, 0, 0, 0))


def control(name, x, y, w, h):
    return Node("control", name).rect(x, y, w, h)


def text_button(skin, art, form, name, english, x, y, w, h=TEXT_BUTTON):
    node = control(name, x, y, w, h)
    button_looks(node, art)
    node.string("Text", skin.text(form, name, english))
    return node


def focus_ring(node, art):
    """The ring drawn over a control while it has the focus."""
    return node.picture("Focus", art.ui, art.part("focus"))


def button_looks(node, art, prefix=""):
    focus_ring(node, art)
    node.look(prefix + "Normal", art.ui, art.part("button"), FONT_BOLD, TEXT)
    node.look(prefix + "Pressed", art.ui, art.part("button_pressed"), FONT_BOLD, TEXT)
    node.look(prefix + "Highlighted", art.ui, art.part("button_highlighted"), FONT_BOLD, TEXT)
    node.look(prefix + "Disabled", art.ui, art.part("button_disabled"), FONT_BOLD, TEXT_OFF)
    return node


def icon_looks(node, art, face, prefix=""):
    focus_ring(node, art)
    for look in LOOKS:
        node.picture(prefix + look, art.icons, art.icon_part(face, look))
    return node


def icon_button(art, name, face, x, y, size=ICON_SIZE):
    return icon_looks(control(name, x, y, size, size), art, face)


def multistate(art, name, faces, x, y, size=ICON_SIZE):
    node = control(name, x, y, size, size)
    icon_looks(node, art, faces[0])
    for state, face in enumerate(faces):
        icon_looks(node, art, face, f"State{state}")
    return node


def check_box(skin, art, form, name, english, x, y, w, h=ROW):
    node = focus_ring(control(name, x, y, w, h), art)
    looks = [("Normal", "check", TEXT), ("Pressed", "check_pressed", TEXT),
             ("Highlighted", "check_pressed", TEXT), ("Disabled", "check_disabled", TEXT_OFF)]
    for look, key, colour in looks:
        node.look(look, art.ui, art.part(key), FONT_NORMAL, colour)
    checked = [("Normal", "checked", TEXT), ("Pressed", "checked_pressed", TEXT),
               ("Highlighted", "checked_pressed", TEXT), ("Disabled", "checked_disabled", TEXT_OFF)]
    for look, key, colour in checked:
        node.look("Checked" + look, art.ui, art.part(key), FONT_NORMAL, colour)
    node.point("BorderMin", 24, 0).point("BorderMax", 0, 0).string("HAlignment", "LEFT")
    if english is not None:
        node.string("Text", skin.text(form, name, english))
    return node


def indicator(art, name, x, y, lit="led_accent", size=12):
    """A check box shown as a lamp: dark when clear, lit when checked, in every state."""
    node = control(name, x, y, size, size)
    for look in LOOKS:
        node.picture(look, art.ui, art.part("led"))
        node.picture("Checked" + look, art.ui, art.part(lit))
    return node


def flash_lamp(art, name, x, y, lit, size=12):
    """A lamp that blinks: "On" lit, "Off" dark."""
    node = control(name, x, y, size, size)
    node.picture("On", art.ui, art.part(lit))
    node.picture("Off", art.ui, art.part("led"))
    return node


def frame_control(name, x, y, w, h, font=FONT_NORMAL, colour=TEXT, align="LEFT", background=None, art=None):
    node = control(name, x, y, w, h)
    if background is not None:
        node.picture("Normal", art.ui, art.part(background))
        node.point("BorderMin", 4, 0)
    node.font("Normal", font).color("Normal", colour).string("HAlignment", align).integer("Ellipsis", 1)
    return node


def label(skin, form_node, form, name, english, x, y, w, h=ROW, font=FONT_NORMAL, colour=TEXT_DIM, align="LEFT"):
    """A text of the skin alone: an automatic frame."""
    form_node.auto(name, "Auto.Frame")
    node = frame_control(name, x, y, w, h, font, colour, align)
    node.string("Text", skin.text(form, name, english))
    return node


def progress(art, name, x, y, w, h, fill="fill", editable=False):
    node = control(name, x, y, w, h)
    node.picture("Background", art.ui, art.part("track"))
    node.picture("Progress", art.ui, art.part(fill))
    node.integer("Orientation", 3)
    if editable:
        node.picture("Track", art.ui, art.part("handle"), stretch=False)
        node.picture("TrackDisabled", art.ui, art.part("handle_disabled"), stretch=False)
        node.integer("TrackSize", 12)
    return node


def grid_looks(node, art):
    focus_ring(node, art)
    node.picture("Normal", art.ui, art.part("panel"))
    node.picture("Disabled", art.ui, art.part("edit_disabled"))
    node.look("ItemNormal", art.ui, art.part("item"), FONT_NORMAL, TEXT)
    node.look("ItemSelection", art.ui, art.part("item_selected"), FONT_NORMAL, TEXT)
    node.look("ItemHighlight", art.ui, art.part("item_highlighted"), FONT_NORMAL, TEXT)
    node.look("ItemSelectionHighlight", art.ui, art.part("item_selected"), FONT_BOLD, TEXT)
    node.look("HeaderNormal", art.ui, art.part("item_header"), FONT_SMALL, TEXT_DIM)
    node.integer("ItemHeight", ROW)
    node.string("KindScroll", "ScrollBar.Vertical").string("KindHScroll", "ScrollBar.Horizontal")
    node.integer("ScrollWidth", 10)
    node.point("BorderMin", 2, 2)
    return node


def grid(art, name, x, y, w, h):
    return grid_looks(control(name, x, y, w, h), art)


def file_list(art, name, x, y, w, h):
    node = grid(art, name, x, y, w, h)
    node.font("ItemCurrent", FONT_BOLD)
    node.integer("IconWidth", 20).integer("NameWidth", -1).integer("DateWidth", 0).integer("SizeWidth", 44)
    node.integer("IndentWidth", 2)
    for kind in ["Folder", "wav", "mp3", "ogg", "wma", "m3u"]:
        node.picture("Icon" + kind, art.ui, art.part("icon_" + ("folder" if kind == "Folder" else kind)), stretch=False)
    node.string("EditInListKind", "Edit.InList")
    return node


def combo(art, name, x, y, w, h=ROW + 4, folders=False):
    node = control(name, x, y, w, h)
    node.picture("Background", art.ui, art.part("edit"))
    node.string("ButtonKind", "Combo.Button").integer("ButtonWidth", 20)
    node.string("EditKind", "Combo.Field")
    if folders:
        node.string("DropdownForm", "DropTree").string("TreeKind", "Combo.Tree").point("DropdownSize", 0, 150)
    else:
        node.string("DropdownForm", "DropList").string("ListKind", "Combo.List").point("DropdownSize", 0, 104)
    return node


def edit(art, name, x, y, w, h=ROW + 2):
    return edit_looks(control(name, x, y, w, h), art)


def edit_looks(node, art):
    node.picture("Normal", art.ui, art.part("edit"))
    node.picture("Highlighted", art.ui, art.part("focus"))
    node.picture("Disabled", art.ui, art.part("edit_disabled"))
    node.picture("Selection", art.ui, art.part("item_selected"))
    node.font("Normal", FONT_NORMAL).color("Normal", TEXT)
    node.font("Disabled", FONT_NORMAL).color("Disabled", TEXT_OFF)
    node.point("BorderMin", 4, 3)
    return node


def lcd(art, name, x, y, w, h=LCD_HEIGHT, align="LEFT"):
    node = control(name, x, y, w, h).string("HAlignment", align)
    for key, (offset, width) in art.lcd_offsets.items():
        node.picture("Symbol" + key, art.lcd, (offset, 0, width, LCD_HEIGHT, (0, 0, 0, 0)), stretch=False)
    return node


def panel(name, template, x, y, w, h):
    return control(name, x, y, w, h).string("FormTemplate", template)


def stretch_down(node):
    return node.string("AnchorY", "BOTH_SIDE")


def stick_bottom(node):
    return node.string("AnchorY", "MAX_SIDE")


def stretch_across(node):
    return node.string("AnchorX", "BOTH_SIDE")


def dialog_background(form, art):
    form.picture("Background", art.ui, art.part("dialog"))


def window_background(form, art):
    form.picture("Background", art.ui, art.part("window"))
