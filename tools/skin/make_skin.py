#!/usr/bin/env python3
"""Writes the skin's SVG sources and their manifest.

Every picture the viewer loads from resource/skin/ is drawn here once, by
hand, as SVG at its exact pixel size; the build renders each SVG to the PNG
of the same name. Run it from anywhere; it rewrites resource/skin-src/ and
resource/skin-src/manifest.txt, which are committed:

    python3 tools/skin/make_skin.py

Conventions the program relies on:
- pictures kept in off-screen surfaces or atlases (frame, panels, digits,
  list pieces, icons, slider parts, check box) are fully opaque and carry
  the colour of the panel they sit on, because they are copied, not blended;
- button state images are blended over the exact piece of background they
  cover, so they use real transparency;
- the combo drop button's outside is pure magenta (255, 0, 255) with hard
  edges: its window region is built from the non-magenta pixels;
- the magnifier marker's see-through part is pure blue (0, 0, 255), hard
  edged, because its layered window keys on that colour.
"""

import math
import os
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
SRC = os.path.join(ROOT, "resource", "skin-src")

# ---------------------------------------------------------------- palette
BG = "#111111"          # dark background of lists and the G-sensor canvas
PANEL = "#1b1d21"       # panels, toolbar, dialogs
PANEL_HI = "#24272d"    # raised bands: headers, selected tabs
CAPTION = "#141518"     # caption band and window edges
LINE = "#30343b"        # separators and borders
WELL = "#0c0d0f"        # digit display well
ICON = "#c3c8cf"        # icon in its normal state
ICON_DIM = "#5d626b"    # icon switched off
WHITE = "#ffffff"
ACCENT = "#269fda"      # RGB 38, 159, 218: the selection colour of the lists
ACCENT_HI = "#5bbcec"
ACCENT_DK = "#1b76a3"
SELECT_ROW = "#163443"  # accent laid over the dark background
HOVER_ROW = "#202328"
KIND_NORMAL = "#3fb950"
KIND_EVENT = "#f0524a"
KIND_PARKING = "#e3a72f"
RED = "#ff3b30"
LOADING_BG = "#363533"  # RGB 54, 53, 51: the progress dialog's fill
MAGENTA = "#ff00ff"
KEY_BLUE = "#0000ff"
LIGHT_FACE = "#e3e6ea"  # light push buttons carry black captions
LIGHT_EDGE = "#9aa1aa"
COMBO_EDGE = "#acacac"  # RGB 172, 172, 172: the combo box border

STROKE = 2              # icon stroke at button sizes

manifest = []           # (relative path, width, height, kind, key point)


def svg(w, h, body, crisp=False):
    rendering = ' shape-rendering="crispEdges"' if crisp else ""
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}"{rendering}>\n{body}\n</svg>\n')


def write(rel, w, h, body, kind="alpha", crisp=False, key=None):
    """kind: opaque, alpha, magenta or blue; key: a pixel that must be the key colour."""
    path = os.path.join(SRC, rel + ".svg")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as out:
        out.write(svg(w, h, body, crisp))
    manifest.append((rel + ".png", w, h, kind, key))


def fill(w, h, colour):
    return f'<rect width="{w}" height="{h}" fill="{colour}"/>'


def at(x, y, body, scale=1.0):
    if scale == 1.0:
        return f'<g transform="translate({x} {y})">{body}</g>'
    return f'<g transform="translate({x} {y}) scale({scale})">{body}</g>'


def stroke_attrs(colour, width=STROKE):
    return (f'fill="none" stroke="{colour}" stroke-width="{width}" '
            f'stroke-linecap="round" stroke-linejoin="round"')


# ---------------------------------------------------------------- glyphs
# Each glyph draws into a 20 x 20 box in one colour.

def g_play(c):
    return f'<path d="M6 3.5 L16.5 10 L6 16.5 Z" fill="{c}" stroke="{c}" stroke-width="1.5" stroke-linejoin="round"/>'


def g_pause(c):
    return f'<rect x="5" y="4" width="3.5" height="12" rx="1" fill="{c}"/><rect x="11.5" y="4" width="3.5" height="12" rx="1" fill="{c}"/>'


def g_stop(c):
    return f'<rect x="5" y="5" width="10" height="10" rx="1.5" fill="{c}"/>'


def tri_left(x_tip, x_base, c):
    return f'<path d="M{x_base} 4.5 L{x_tip} 10 L{x_base} 15.5 Z" fill="{c}" stroke="{c}" stroke-width="1" stroke-linejoin="round"/>'


def g_prev_file(c):
    return f'<rect x="2" y="4.5" width="2.5" height="11" rx="0.8" fill="{c}"/>' + tri_left(5.5, 11.5, c) + tri_left(11.5, 17.5, c)


def g_prev_frame(c):
    return f'<rect x="4" y="4.5" width="2.5" height="11" rx="0.8" fill="{c}"/>' + tri_left(8, 16, c)


def mirror_h(body):
    return f'<g transform="matrix(-1 0 0 1 20 0)">{body}</g>'


def g_next_file(c):
    return mirror_h(g_prev_file(c))


def g_next_frame(c):
    return mirror_h(g_prev_frame(c))


def speaker(c):
    return f'<path d="M2.5 7.5 H6 L10.5 3.5 V16.5 L6 12.5 H2.5 Z" fill="{c}" stroke="{c}" stroke-width="1" stroke-linejoin="round"/>'


def g_volume_on(c):
    return speaker(c) + (f'<path d="M13.5 7.2 A4 4 0 0 1 13.5 12.8" {stroke_attrs(c, 1.8)}/>'
                         f'<path d="M15.8 4.8 A7.5 7.5 0 0 1 15.8 15.2" {stroke_attrs(c, 1.8)}/>')


def g_volume_off(c):
    return speaker(c) + f'<path d="M13.5 7.5 L18.5 12.5 M18.5 7.5 L13.5 12.5" {stroke_attrs(c, 2)}/>'


def g_one_channel(c):
    return (f'<rect x="2" y="4" width="16" height="12" rx="1.5" {stroke_attrs(c)}/>'
            f'<path d="M8.5 7.5 L13 10 L8.5 12.5 Z" fill="{c}"/>')


def g_two_channels(c):
    return (f'<rect x="1" y="5" width="8" height="10" rx="1.2" {stroke_attrs(c)}/>'
            f'<rect x="11" y="5" width="8" height="10" rx="1.2" {stroke_attrs(c)}/>')


def gear(cx, cy, r_out, r_in, teeth, c, hole_r):
    """A filled cog with `teeth` square teeth and a see-through centre."""
    points = []
    step = 2 * math.pi / teeth
    for i in range(teeth):
        a = i * step - math.pi / 2
        for da, r in ((-0.30, r_in), (-0.17, r_out), (0.17, r_out), (0.30, r_in)):
            points.append((cx + r * math.cos(a + da * step * 1.6), cy + r * math.sin(a + da * step * 1.6)))
    d = "M" + " L".join(f"{x:.2f} {y:.2f}" for x, y in points) + " Z"
    d += (f" M{cx + hole_r:.2f} {cy} A{hole_r} {hole_r} 0 1 0 {cx - hole_r:.2f} {cy}"
          f" A{hole_r} {hole_r} 0 1 0 {cx + hole_r:.2f} {cy} Z")
    return f'<path d="{d}" fill="{c}" fill-rule="evenodd" stroke="{c}" stroke-width="0.6" stroke-linejoin="round"/>'


def g_viewer_setting(c):
    # Three sliders: the viewer's own preferences (display, picture, sound).
    body = ""
    for y, knob in ((4, 13), (10, 6), (16, 11)):
        body += f'<path d="M2 {y} H18" {stroke_attrs(c, 1.8)}/>'
        body += f'<circle cx="{knob}" cy="{y}" r="2.6" fill="{c}"/>'
    return body


def g_card_setup(c):
    # An SD card with a cog: the camera's settings file on the card.
    return (f'<path d="M4 1.5 H12.5 L16.5 5.5 V18.5 H4 Z" {stroke_attrs(c, 1.6)}/>'
            f'<path d="M7 2.5 V5 M9.5 2.5 V5 M12 3 V5" {stroke_attrs(c, 1.3)}/>'
            + gear(10.25, 12, 4.6, 3.2, 7, c, 1.5))


def g_print(c):
    return (f'<path d="M6 7 V2.5 H14 V7" {stroke_attrs(c, 1.8)}/>'
            f'<rect x="2" y="7" width="16" height="7.5" rx="1.5" {stroke_attrs(c, 1.8)}/>'
            f'<rect x="6" y="12" width="8" height="6" fill="none" stroke="{c}" stroke-width="1.8" stroke-linejoin="round"/>'
            f'<circle cx="15" cy="9.8" r="0.9" fill="{c}"/>')


def g_capture(c):
    return (f'<path d="M2 6.5 H6 L7.5 4 H12.5 L14 6.5 H18 V16 H2 Z" {stroke_attrs(c, 1.8)}/>'
            f'<circle cx="10" cy="11" r="3.2" {stroke_attrs(c, 1.8)}/>')


def g_zoom(c):
    return (f'<circle cx="8.5" cy="8.5" r="5.5" {stroke_attrs(c)}/>'
            f'<path d="M12.6 12.6 L17.5 17.5" {stroke_attrs(c, 2.8)}/>'
            f'<path d="M6 8.5 H11 M8.5 6 V11" {stroke_attrs(c, 1.6)}/>')


def g_split(c):
    # One stream forking into two files.
    return (f'<path d="M2 10 H7 C9.5 10 10 5 13 5 H15.5 M7 10 C9.5 10 10 15 13 15 H15.5" {stroke_attrs(c, 1.8)}/>'
            f'<path d="M14.5 2.5 L17.5 5 L14.5 7.5 M14.5 12.5 L17.5 15 L14.5 17.5" {stroke_attrs(c, 1.8)}/>')


def g_full_screen(c):
    return f'<path d="M2.5 7 V2.5 H7 M13 2.5 H17.5 V7 M17.5 13 V17.5 H13 M7 17.5 H2.5 V13" {stroke_attrs(c)}/>'


def g_mirror_h(c):
    return (f'<path d="M7.5 4.5 L1.5 10 L7.5 15.5 Z" fill="{c}" stroke="{c}" stroke-width="1.2" stroke-linejoin="round"/>'
            f'<path d="M12.5 4.5 L18.5 10 L12.5 15.5 Z" {stroke_attrs(c, 1.4)}/>'
            f'<path d="M10 1.5 V18.5" fill="none" stroke="{c}" stroke-width="1.4" stroke-dasharray="2.2 1.6"/>')


def g_mirror_v(c):
    return f'<g transform="rotate(90 10 10)">{g_mirror_h(c)}</g>'


def g_reset(c):
    return (f'<path d="M15.5 6.2 A6.5 6.5 0 1 0 16.5 11" {stroke_attrs(c, 1.8)}/>'
            f'<path d="M16.5 2.5 V6.8 H12.2" {stroke_attrs(c, 1.8)}/>')


def g_list(c):
    rows = "".join(f'<circle cx="3.5" cy="{y}" r="1.3" fill="{c}"/><path d="M7 {y} H17" {stroke_attrs(c, 1.8)}/>'
                   for y in (5, 10, 15))
    return rows


def g_map(c):
    return (f'<path d="M10 18 C6 13 4 10.5 4 7.5 A6 6 0 0 1 16 7.5 C16 10.5 14 13 10 18 Z" {stroke_attrs(c, 1.8)}/>'
            f'<circle cx="10" cy="7.5" r="2.2" fill="{c}"/>')


def g_folder(c):
    return f'<path d="M2 5 H8 L9.8 7 H18 V16 H2 Z" {stroke_attrs(c, 1.8)}/>'


def g_close(c):
    return f'<path d="M5 5 L15 15 M15 5 L5 15" {stroke_attrs(c, 1.6)}/>'


def g_maximize(c):
    return f'<rect x="4.5" y="4.5" width="11" height="11" rx="0.5" fill="none" stroke="{c}" stroke-width="1.6"/>'


def g_minimize(c):
    return f'<path d="M4.5 15 H15.5" {stroke_attrs(c, 1.6)}/>'


def g_sun(c):
    rays = "".join(
        f'<path d="M{10 + 6.2 * math.cos(a):.2f} {10 + 6.2 * math.sin(a):.2f} L{10 + 8.3 * math.cos(a):.2f} {10 + 8.3 * math.sin(a):.2f}" {stroke_attrs(c, 1.6)}/>'
        for a in (i * math.pi / 4 for i in range(8)))
    return f'<circle cx="10" cy="10" r="3.6" fill="{c}"/>' + rays


def g_contrast(c):
    return (f'<circle cx="10" cy="10" r="7" {stroke_attrs(c, 1.6)}/>'
            f'<path d="M10 3 A7 7 0 0 1 10 17 Z" fill="{c}"/>')


def g_chroma(c):
    return f'<path d="M10 2.5 C13 7 15.5 9.5 15.5 12.5 A5.5 5.5 0 0 1 4.5 12.5 C4.5 9.5 7 7 10 2.5 Z" {stroke_attrs(c, 1.6)}/><path d="M7.5 12.5 A2.5 2.5 0 0 0 10 15" {stroke_attrs(c, 1.4)}/>'


def g_satellite(c):
    return (f'<g transform="rotate(-45 10 10)">'
            f'<rect x="7.5" y="7" width="5" height="6" rx="0.8" fill="{c}"/>'
            f'<rect x="1" y="8" width="5" height="4" fill="{c}"/><rect x="14" y="8" width="5" height="4" fill="{c}"/>'
            f'<path d="M6 10 H7.5 M12.5 10 H14" stroke="{c}" stroke-width="1.2"/></g>')


# Kind badges (continuous, event, parking): a coloured tile with a dark sign.
def kind_sign(kind, c):
    if kind == "n":   # continuous (loop) recording: an endless loop
        return (f'<path d="M10 10 C12 7 13.2 6.5 14.5 6.5 A3.5 3.5 0 0 1 14.5 13.5 C13.2 13.5 12 13 10 10 '
                f'C8 7 6.8 6.5 5.5 6.5 A3.5 3.5 0 0 0 5.5 13.5 C6.8 13.5 8 13 10 10 Z" {stroke_attrs(c, 2)}/>')
    if kind == "e":   # event: an exclamation mark
        return f'<path d="M10 4.5 V11.5" {stroke_attrs(c, 2.6)}/><circle cx="10" cy="15" r="1.5" fill="{c}"/>'
    # parking: the road sign's P
    return f'<path d="M7.2 16 V4.5 H11 A3.3 3.3 0 0 1 11 11.1 H7.2" {stroke_attrs(c, 2.4)}/>'


KIND_COLOUR = {"n": KIND_NORMAL, "e": KIND_EVENT, "p": KIND_PARKING}


# ---------------------------------------------------------------- window frame
def frame_images():
    # Caption band 40 high: logo at the left, centre stretched, right end under
    # the minimise/maximise/close buttons.
    band = (f'{fill(8, 40, CAPTION)}'
            f'<rect y="39" width="8" height="1" fill="{LINE}"/>')
    write("top_frame_center", 8, 40, band, kind="opaque", crisp=True)
    write("top_frame_right", 110, 40, fill(110, 40, CAPTION) + f'<rect y="39" width="110" height="1" fill="{LINE}"/>',
          kind="opaque", crisp=True)
    # The mark: a lens ring around a play sign, the accent colour's only large use.
    logo = (fill(64, 40, CAPTION) + f'<rect y="39" width="64" height="1" fill="{LINE}"/>'
            f'<circle cx="26" cy="20" r="11" fill="none" stroke="{ACCENT}" stroke-width="3"/>'
            f'<circle cx="26" cy="20" r="6.5" fill="{PANEL_HI}"/>'
            f'<path d="M24 16.5 L29.5 20 L24 23.5 Z" fill="{WHITE}"/>')
    write("top_frame_logo", 64, 40, logo, kind="opaque")
    edge = fill(8, 8, CAPTION)
    write("left_frame", 8, 8, edge + f'<rect x="7" width="1" height="8" fill="{LINE}"/>', kind="opaque", crisp=True)
    write("right_frame", 8, 8, edge + f'<rect width="1" height="8" fill="{LINE}"/>', kind="opaque", crisp=True)
    write("bottom", 8, 17, fill(8, 17, CAPTION) + f'<rect width="8" height="1" fill="{LINE}"/>', kind="opaque", crisp=True)


def caption_buttons():
    # One image for all four states: a light glyph on transparency, 34 x 40.
    for name, glyph in (("top_close", g_close), ("top_maximize", g_maximize), ("top_minimize", g_minimize)):
        write(f"controls/{name}", 34, 40, at(7, 10, glyph(ICON)))


# ---------------------------------------------------------------- panels
def panel_band(w, h, top_line=True):
    body = fill(w, h, PANEL)
    if top_line:
        body += f'<rect width="{w}" height="1" fill="{LINE}"/>'
    return body


def panels():
    # Stretched over the video area and the list panel: one flat colour, so
    # stretching never shows.
    write("toolbar_bg", 16, 16, fill(16, 16, PANEL), kind="opaque", crisp=True)
    # Position slider band and playback button band (main window and the
    # 777-wide full-screen bar); flat along x so they stretch or clip alike.
    write("play_timebar_bg", 777, 26, panel_band(777, 26), kind="opaque", crisp=True)
    write("play_controlbar_bg", 777, 44, fill(777, 44, PANEL), kind="opaque", crisp=True)

    # Header of the recording list panel: the selected tab runs into it.
    header = (f'<defs><linearGradient id="h" x1="0" y1="0" x2="0" y2="1">'
              f'<stop offset="0" stop-color="{PANEL_HI}"/><stop offset="1" stop-color="{PANEL}"/></linearGradient></defs>'
              f'<rect width="300" height="34" fill="url(#h)"/>'
              + at(8, 8, f'<path d="M1 0 H7 L10 3 V14 H1 Z" fill="none" stroke="{ICON_DIM}" stroke-width="1.5" stroke-linejoin="round"/>'
                   f'<path d="M3.5 0.5 V3 M5.5 0.5 V3 M7.5 1 V3" stroke="{ICON_DIM}" stroke-width="1"/>')
              + f'<rect x="26" y="16" width="262" height="1" fill="{LINE}"/>')
    write("file_bg", 300, 34, header, kind="opaque")

    # Path box of the list panel; the right 19 pixels carry the browse sign.
    box = (fill(200, 24, PANEL) +
           f'<rect x="0.5" y="0.5" width="199" height="23" rx="3" fill="{BG}" stroke="{LINE}"/>'
           + at(181, 4, g_folder(ICON_DIM), 0.8))
    write("controls/location_box", 200, 24, box, kind="opaque")

    # Picture adjustment panel: brightness, contrast, colour rows, reset at the right.
    adjust = panel_band(200, 110)
    for i, glyph in enumerate((g_sun, g_contrast, g_chroma)):
        adjust += at(10, 17 + i * 26, glyph(ICON_DIM), 0.7)
    adjust += f'<rect x="166" y="14" width="1" height="82" fill="{LINE}"/>'
    write("brightness_bg", 200, 110, adjust, kind="opaque")

    # G-sensor frame: legend dots for x, y, z and the dark graph well.
    graph = panel_band(299, 110)
    for i, colour in enumerate(("#ff3333", "#33cc00", "#3399ff")):
        graph += f'<rect x="{10 + i * 22}" y="8" width="14" height="3" rx="1.5" fill="{colour}"/>'
    graph += f'<rect x="6.5" y="18.5" width="286" height="86" fill="{BG}" stroke="{LINE}"/>'
    graph += f'<path d="M7 62.5 H292" stroke="#22252a" stroke-width="1" stroke-dasharray="3 3"/>'
    write("gsensor", 299, 110, graph, kind="opaque")

    gps_images()


def gps_images():
    # Read-out, 520 x 110: icon at (31, 35), three digits at x 127/160/193,
    # y 29, unit button beside them, latitude and longitude right-aligned in
    # boxes from x 323, rows y 31 and y 53.
    body = panel_band(520, 110)
    body += f'<rect x="119.5" y="21.5" width="110" height="61" rx="5" fill="{WELL}" stroke="{LINE}"/>'
    body += f'<rect x="290" y="22" width="1" height="60" fill="{LINE}"/>'
    # small latitude / longitude signs left of the rows
    lat = (f'<circle cx="7" cy="7" r="6" fill="none" stroke="{ICON_DIM}" stroke-width="1.3"/>'
           f'<path d="M1.5 5 H12.5 M1.5 9 H12.5" stroke="{ICON_DIM}" stroke-width="1.1"/>')
    lon = (f'<circle cx="7" cy="7" r="6" fill="none" stroke="{ICON_DIM}" stroke-width="1.3"/>'
           f'<ellipse cx="7" cy="7" rx="2.5" ry="6" fill="none" stroke="{ICON_DIM}" stroke-width="1.1"/>')
    body += at(302, 33, lat) + at(302, 55, lon)
    # degree, minute and second marks just after the right-aligned boxes
    for row in (33, 55):
        body += f'<circle cx="{323 + 53}" cy="{row + 2}" r="1.6" fill="none" stroke="{ICON}" stroke-width="1"/>'
        body += f'<path d="M{323 + 91} {row} l-1 3.5" stroke="{ICON}" stroke-width="1.2" stroke-linecap="round"/>'
        body += (f'<path d="M{323 + 172} {row} l-1 3.5 M{323 + 174.5} {row} l-1 3.5" stroke="{ICON}" '
                 f'stroke-width="1.2" stroke-linecap="round"/>')
    write("gps_bg", 520, 110, body, kind="opaque")

    # Status icons, 80 x 40, drawn opaquely on the read-out's colour.
    for name, colour, with_fix in (("gps_on", KIND_NORMAL, True), ("gps_off", ICON_DIM, False)):
        icon = fill(80, 40, PANEL) + at(8, 6, g_satellite(colour), 1.4)
        if with_fix:
            for i, r in enumerate((6, 11, 16)):
                icon += (f'<path d="M{44 - r * 0.7:.1f} {26 - r * 0.7:.1f} A{r} {r} 0 0 1 {44 + r * 0.7:.1f} {26 - r * 0.7:.1f}" '
                         f'{stroke_attrs(colour, 2)} transform="rotate(45 44 26)"/>')
            icon += f'<circle cx="44" cy="26" r="2.2" fill="{colour}"/>'
        else:
            icon += f'<path d="M40 14 L56 30 M56 14 L40 30" {stroke_attrs(KIND_EVENT, 2.2)}/>'
        write(name, 80, 40, icon, kind="opaque")

    # Speed unit labels; also the unit toggle buttons' images.
    for name, text in (("km_h", "km/h"), ("mi_h", "mi/h")):
        unit = (fill(44, 20, PANEL) +
                f'<rect x="0.5" y="0.5" width="43" height="19" rx="4" fill="{PANEL_HI}" stroke="{LINE}"/>'
                f'<text x="22" y="14.5" text-anchor="middle" font-family="Liberation Sans, DejaVu Sans, sans-serif" '
                f'font-size="12" font-weight="bold" fill="{ICON}">{text}</text>')
        write(f"controls/{name}", 44, 20, unit, kind="opaque")


# ---------------------------------------------------------------- digits
SEGMENTS = {  # a b c d e f g
    0: "abcdef", 1: "bc", 2: "abdeg", 3: "abcdg", 4: "bcfg",
    5: "acdfg", 6: "acdefg", 7: "abc", 8: "abcdefg", 9: "abcdfg", "-": "g",
}


def segment_path(seg):
    # Cell 30 x 46; digit box x 6..24, y 5..41; segment thickness 4.
    l, r, t, m, b, th = 6, 24, 5, 23, 41, 4
    h = th / 2
    horizontal = lambda y: f"M{l + h + 1} {y} L{l + th + 0.5} {y - h} L{r - th - 0.5} {y - h} L{r - h - 1} {y} L{r - th - 0.5} {y + h} L{l + th + 0.5} {y + h} Z"
    vertical = lambda x, y0, y1: f"M{x} {y0 + h + 1} L{x + h} {y0 + th + 0.5} L{x + h} {y1 - th - 0.5} L{x} {y1 - h - 1} L{x - h} {y1 - th - 0.5} L{x - h} {y0 + th + 0.5} Z"
    return {
        "a": horizontal(t + h), "g": horizontal(m), "d": horizontal(b - h),
        "f": vertical(l + h, t, m), "b": vertical(r - h, t, m),
        "e": vertical(l + h, m, b), "c": vertical(r - h, m, b),
    }[seg]


def digits():
    for value in list(range(10)) + ["-"]:
        lit = SEGMENTS[value]
        body = fill(30, 46, WELL)
        for seg in "abcdefg":
            colour = "#eaf6fd" if seg in lit else "#1a1d22"
            body += f'<path d="{segment_path(seg)}" fill="{colour}" transform="skewX(-6) translate(2.5 0)"/>'
        name = "number_hyphen" if value == "-" else f"number_{value}"
        write(name, 30, 46, body, kind="opaque")


# ---------------------------------------------------------------- list pieces
def list_images():
    hdr = lambda w: fill(w, 22, PANEL_HI) + f'<rect y="21" width="{w}" height="1" fill="{LINE}"/>'
    write("controls/list_top_left", 4, 22, hdr(4) + f'<rect width="1" height="22" fill="{LINE}"/>', kind="opaque", crisp=True)
    write("controls/list_top_space", 4, 22, hdr(4), kind="opaque", crisp=True)
    write("controls/list_top_right", 4, 22, hdr(4) + f'<rect x="3" width="1" height="22" fill="{LINE}"/>', kind="opaque", crisp=True)
    # Column header: the kind column's three colours, then the time column's clock.
    top = hdr(120)
    for i, colour in enumerate((KIND_NORMAL, KIND_EVENT, KIND_PARKING)):
        top += f'<rect x="{8 + i * 7}" y="8" width="5" height="5" rx="1" fill="{colour}"/>'
    top += (f'<circle cx="112" cy="10.5" r="5" fill="none" stroke="{ICON_DIM}" stroke-width="1.3"/>'
            f'<path d="M112 7.5 V10.5 H114.5" fill="none" stroke="{ICON_DIM}" stroke-width="1.3" stroke-linecap="round"/>')
    write("controls/list_top_filename", 120, 22, top, kind="opaque")

    # Rows 21 high: caps and a stretched middle.
    def row(w, colour, bar=None, edge=None):
        body = fill(w, 21, colour)
        if bar:
            body += f'<rect width="2" height="21" fill="{bar}"/>'
        if edge:
            body += f'<rect x="{w - 1}" width="1" height="21" fill="{edge}"/>'
        return body
    write("controls/list_selecteditem_left", 3, 21, row(3, SELECT_ROW, bar=ACCENT), kind="opaque", crisp=True)
    write("controls/list_selecteditem_middle", 4, 21, row(4, SELECT_ROW), kind="opaque", crisp=True)
    write("controls/list_selecteditem_right", 3, 21, row(3, SELECT_ROW, edge="#1d4a60"), kind="opaque", crisp=True)
    write("controls/list_hovereditem_left", 3, 21, row(3, HOVER_ROW, bar=LINE), kind="opaque", crisp=True)
    write("controls/list_hovereditem_middle", 4, 21, row(4, HOVER_ROW), kind="opaque", crisp=True)
    write("controls/list_hovereditem_right", 3, 21, row(3, HOVER_ROW), kind="opaque", crisp=True)

    # Kind icons in the list, 15 x 18, copied opaquely onto the dark rows.
    for kind in "nep":
        badge = (fill(15, 18, BG) +
                 f'<rect x="0.5" y="2" width="14" height="14" rx="3" fill="{KIND_COLOUR[kind]}"/>'
                 + at(0.5, 2, kind_sign(kind, BG), 0.7))
        write(f"controls/{kind}_img", 15, 18, badge, kind="opaque")


# ---------------------------------------------------------------- buttons
def plate(w, h, state):
    """Background plate of a transparent button: none, hover (lighter), on (accent)."""
    if state == "on":
        return (f'<rect x="1" y="1" width="{w - 2}" height="{h - 2}" rx="6" fill="{ACCENT}" fill-opacity="0.22" '
                f'stroke="{ACCENT}" stroke-opacity="0.75" stroke-width="1"/>')
    if state == "hover":
        return f'<rect x="1" y="1" width="{w - 2}" height="{h - 2}" rx="6" fill="#ffffff" fill-opacity="0.09"/>'
    return ""


def toolbar_buttons():
    # 32 x 32, glyph in the middle 20 x 20. "_off" is the resting look (and the
    # disabled one), "_on" the lit look shown for hover and press, and for
    # the active side of a switch.
    glyphs = {
        "1ch": g_one_channel, "2ch": g_two_channels, "viewer": g_viewer_setting,
        "setup": g_card_setup, "print": g_print, "capture": g_capture, "zoom": g_zoom,
        "file_split": g_split, "hor_btn": g_mirror_h, "ver_btn": g_mirror_v,
    }
    for name, glyph in glyphs.items():
        write(f"controls/{name}_off", 32, 32, at(6, 6, glyph(ICON)))
        write(f"controls/{name}_on", 32, 32, plate(32, 32, "on") + at(6, 6, glyph(WHITE)))
    write("controls/full_btn_off", 32, 32, plate(32, 32, "hover") + at(6, 6, g_full_screen(ICON)))
    write("controls/reset_off", 24, 24, at(4, 4, g_reset(ICON_DIM), 0.8))
    write("controls/reset_on", 24, 24, plate(24, 24, "on") + at(4, 4, g_reset(WHITE), 0.8))


def round_plate(size, fill_colour, opacity):
    r = size / 2 - 1
    return f'<circle cx="{size / 2}" cy="{size / 2}" r="{r}" fill="{fill_colour}" fill-opacity="{opacity}"/>'


def playback_buttons():
    # 32 x 32 transport buttons on a faint round plate; play and pause 40 x 40
    # on the accent colour. One image serves all four states of each.
    for name, glyph in (("play_btn_01", g_prev_file), ("play_btn_02", g_prev_frame), ("play_btn_03", g_stop),
                        ("play_btn_04", g_next_frame), ("play_btn_05", g_next_file)):
        write(f"controls/{name}", 32, 32, round_plate(32, WHITE, 0.07) + at(6, 6, glyph(ICON)))
    write("controls/play_btn_on", 40, 40, round_plate(40, ACCENT, 1) + at(9, 8, g_play(WHITE), 1.2))
    write("controls/play_btn_off", 40, 40, round_plate(40, ACCENT, 1) + at(8, 8, g_pause(WHITE), 1.2))
    write("controls/volume_on", 28, 28, at(4, 4, g_volume_on(ICON)))
    write("controls/volume_off", 28, 28, at(4, 4, g_volume_off(ICON_DIM)))


def kind_filter_buttons():
    # 24 x 24: a lit kind tile when the kind is shown, a grey outline when not.
    for kind in "nep":
        colour = KIND_COLOUR[kind]
        on = (f'<rect x="2" y="2" width="20" height="20" rx="5" fill="{colour}"/>'
              + at(2, 2, kind_sign(kind, BG)))
        off = (f'<rect x="2.75" y="2.75" width="18.5" height="18.5" rx="4.5" fill="none" stroke="{ICON_DIM}" stroke-width="1.5"/>'
               + at(2, 2, kind_sign(kind, ICON_DIM)))
        write(f"controls/type_{kind}_on", 24, 24, on)
        write(f"controls/type_{kind}_off", 24, 24, off)


def tab_buttons():
    # 76 x 22 tabs of the side window (map pair at x = 87 = 8 + 76 + 3).
    def tab(glyph, selected):
        shape = "M0.5 22 V4.5 A4 4 0 0 1 4.5 0.5 H71.5 A4 4 0 0 1 75.5 4.5 V22 Z"
        if selected:
            return (f'<path d="{shape}" fill="{PANEL_HI}" stroke="{LINE}"/>'
                    f'<rect x="5" y="0" width="66" height="2" rx="1" fill="{ACCENT}"/>'
                    + at(28, 2, glyph(WHITE), 0.9))
        return (f'<path d="{shape}" fill="{CAPTION}" stroke="{LINE}"/>'
                + at(28, 2, glyph(ICON_DIM), 0.9))
    for name, glyph in (("file", g_list), ("map", g_map)):
        write(f"controls/{name}_on", 76, 22, tab(glyph, True))
        write(f"controls/{name}_off", 76, 22, tab(glyph, False))


def push_buttons():
    # 93 x 25 captioned buttons: light faces, because their captions are
    # drawn in the system's button text colour (black).
    def face(top, bottom, edge):
        return (f'<defs><linearGradient id="f" x1="0" y1="0" x2="0" y2="1">'
                f'<stop offset="0" stop-color="{top}"/><stop offset="1" stop-color="{bottom}"/></linearGradient></defs>'
                f'<rect x="0.5" y="0.5" width="92" height="24" rx="4" fill="url(#f)" stroke="{edge}"/>')
    write("controls/default_btn_n", 93, 25, face("#eef0f3", "#d6dade", LIGHT_EDGE))
    write("controls/default_btn_o", 93, 25, face("#f4fbff", "#cfe9f8", ACCENT) +
          f'<rect x="1.5" y="1.5" width="90" height="22" rx="3" fill="none" stroke="#ffffff" stroke-opacity="0.7"/>')
    # Folder picker of the viewer settings, 28 x 22.
    write("controls/btn_fileselect_n", 28, 22,
          f'<rect x="0.5" y="0.5" width="27" height="21" rx="4" fill="{PANEL_HI}" stroke="{LINE}"/>' + at(5, 2, g_folder(ICON), 0.9))
    write("controls/btn_fileselect_o", 28, 22,
          f'<rect x="0.5" y="0.5" width="27" height="21" rx="4" fill="{ACCENT}" fill-opacity="0.25" stroke="{ACCENT}"/>'
          + at(5, 2, g_folder(WHITE), 0.9))


# ---------------------------------------------------------------- atlases
def slider_parts():
    # Tracks are stretched along the slider: every column is the same. The
    # thumb is copied opaquely over the track, so its corners carry the panel.
    def track(w, h, y, th, colour, bg):
        return fill(w, h, bg) + f'<rect y="{y}" width="{w}" height="{th}" fill="{colour}"/>'

    def thumb(w, h, bg, face, ring):
        r = h / 2
        return (fill(w, h, bg) +
                f'<rect x="0.5" y="0.5" width="{w - 1}" height="{h - 1}" rx="{r - 0.5}" fill="{face}" stroke="{ring}"/>'
                f'<rect x="{w / 2 - 1}" y="{h / 2 - 2}" width="2" height="4" rx="1" fill="{ring}"/>')

    off = "#3a3f47"
    write("controls/slider_bar_on", 9, 10, track(9, 10, 3, 4, ACCENT, PANEL), kind="opaque", crisp=True)
    write("controls/slider_bar_off", 9, 10, track(9, 10, 3, 4, off, PANEL), kind="opaque", crisp=True)
    write("controls/slider_thumb", 23, 10, thumb(23, 10, PANEL, "#eef1f4", ACCENT_DK), kind="opaque")
    write("controls/slider_bar_on_small", 9, 8, track(9, 8, 3, 2, ACCENT, PANEL), kind="opaque", crisp=True)
    write("controls/slider_bar_off_small", 9, 8, track(9, 8, 3, 2, off, PANEL), kind="opaque", crisp=True)
    write("controls/slider_thumb_small", 13, 8, thumb(13, 8, PANEL, "#eef1f4", ACCENT_DK), kind="opaque")
    for dialog in ("viewer_setup", "blackbox_setup"):
        write(f"dialogs/slider_bar_on_small_{dialog}", 9, 10, track(9, 10, 4, 2, ACCENT, PANEL), kind="opaque", crisp=True)
        write(f"dialogs/slider_bar_off_small_{dialog}", 9, 10, track(9, 10, 4, 2, off, PANEL), kind="opaque", crisp=True)
        write(f"dialogs/slider_thumb_small_{dialog}", 16, 10, thumb(16, 10, PANEL, "#eef1f4", ACCENT_DK), kind="opaque")


def check_box():
    # Four 13 x 13 cells: tick box off, on; round choice off, on.
    cells = fill(52, 13, PANEL)
    cells += f'<rect x="1.5" y="1.5" width="10" height="10" rx="2" fill="{BG}" stroke="#8a9099"/>'
    cells += (f'<rect x="14.5" y="1.5" width="10" height="10" rx="2" fill="{ACCENT}" stroke="{ACCENT_HI}"/>'
              f'<path d="M16.8 6.8 L18.9 8.9 L22.4 4.6" fill="none" stroke="{WHITE}" stroke-width="1.7" '
              f'stroke-linecap="round" stroke-linejoin="round"/>')
    cells += f'<circle cx="32.5" cy="6.5" r="5" fill="{BG}" stroke="#8a9099"/>'
    cells += (f'<circle cx="45.5" cy="6.5" r="5" fill="{BG}" stroke="{ACCENT_HI}"/>'
              f'<circle cx="45.5" cy="6.5" r="2.6" fill="{ACCENT}"/>')
    write("controls/checkbox", 52, 13, cells, kind="opaque")


def combo_buttons():
    # 20 x 22 drop buttons at the right end of a white combo field. Pure
    # magenta outside a notched rectangle: the button's window region.
    notch = ("M2 0 H18 V1 H19 V2 H20 V20 H19 V21 H18 V22 H2 V21 H1 V20 H0 V2 H1 V1 H2 Z")
    inner = ("M2 1 H18 V2 H19 V20 H18 V21 H2 V20 H1 V2 H2 Z")
    for suffix, face, edge, arrow, dy in (("N", "#e9ecef", COMBO_EDGE, "#4a4f57", 0),
                                          ("C", "#c9ced5", "#8c939c", "#2b2f35", 1),
                                          ("O", "#d7ecf9", ACCENT, ACCENT_DK, 0)):
        body = (fill(20, 22, MAGENTA) +
                f'<path d="{notch}" fill="{edge}" shape-rendering="crispEdges"/>'
                f'<path d="{inner}" fill="{face}" shape-rendering="crispEdges"/>'
                f'<path d="M6 {9 + dy} L10 {13 + dy} L14 {9 + dy}" fill="none" stroke="{arrow}" stroke-width="2" '
                f'stroke-linecap="round" stroke-linejoin="round"/>')
        write(f"controls/IDB_COMBOBTN_{suffix}", 20, 22, body, kind="magenta", key=(0, 0))


# ---------------------------------------------------------------- video area
def video_images():
    def logo(rear):
        body = fill(160, 90, "#0e0f11")
        # a dash camera seen from the side, lens towards the direction it films
        cam = (f'<rect x="52" y="28" width="44" height="30" rx="6" fill="none" stroke="#3a3f47" stroke-width="3"/>'
               f'<circle cx="74" cy="43" r="8" fill="none" stroke="#3a3f47" stroke-width="3"/>'
               f'<circle cx="74" cy="43" r="3" fill="{ACCENT_DK}"/>'
               f'<path d="M104 43 H120 M113 36 L120 43 L113 50" fill="none" stroke="{ACCENT_DK}" stroke-width="3" '
               f'stroke-linecap="round" stroke-linejoin="round"/>')
        if rear:
            cam = f'<g transform="matrix(-1 0 0 1 166 0)">{cam}</g>'
        return body + cam
    write("channel1_logo", 160, 90, logo(False), kind="opaque")
    write("channel2_logo", 160, 90, logo(True), kind="opaque")
    write("red_point", 8, 8, fill(8, 8, PANEL) + f'<circle cx="4" cy="4" r="3.5" fill="{RED}"/>', kind="opaque")

    # Magnifier marker, 50 x 50: blue is see-through, so only the frame and
    # the cross show; every edge is hard so no pixel blends into the key.
    marker = (fill(50, 50, KEY_BLUE) +
              f'<path d="M0 0 H50 V50 H0 Z M2 2 V48 H48 V2 Z" fill="{WHITE}" fill-rule="evenodd"/>'
              f'<path d="M2 2 H12 V4 H4 V12 H2 Z M48 2 V12 H46 V4 H38 V2 Z M48 48 H38 V46 H46 V38 H48 Z M2 48 V38 H4 V46 H12 V48 Z" fill="{ACCENT}"/>'
              f'<rect x="24" y="17" width="2" height="16" fill="{WHITE}"/><rect x="17" y="24" width="16" height="2" fill="{WHITE}"/>')
    write("scalemarker", 50, 50, marker, kind="blue", crisp=True, key=(10, 10))


def loading_frames():
    # Three frames of a spinner on the progress dialog's fill: the bright
    # dot walks round a ring of eight.
    for frame in range(3):
        body = fill(40, 40, LOADING_BG)
        for i in range(8):
            a = i * math.pi / 4 - math.pi / 2
            x, y = 20 + 13 * math.cos(a), 20 + 13 * math.sin(a)
            lead = (i - frame * 3) % 8
            colour = {0: ACCENT_HI, 7: ACCENT, 6: ACCENT_DK}.get(lead, "#55534f")
            radius = {0: 4, 7: 3.5, 6: 3.2}.get(lead, 2.8)
            body += f'<circle cx="{x:.2f}" cy="{y:.2f}" r="{radius}" fill="{colour}"/>'
        write(f"loading_0{frame + 1}", 40, 40, body, kind="opaque")


# ---------------------------------------------------------------- dialogs
def dialog_images():
    # File split dialog: title band 420 x 32 (stretched to the dialog width)
    # with its close button 32 x 32.
    title = (fill(420, 32, CAPTION) + f'<rect y="31" width="420" height="1" fill="{LINE}"/>'
             f'<rect x="0" y="0" width="4" height="31" fill="{ACCENT}"/>')
    write("dialogs/title_bar", 420, 32, title, kind="opaque", crisp=True)
    write("dialogs/x", 32, 32, at(6, 6, g_close(ICON)))

    def dialog_back(w, h, title_h=40):
        return (fill(w, h, PANEL) +
                f'<rect width="{w}" height="{title_h}" fill="{CAPTION}"/>'
                f'<rect y="{title_h - 1}" width="{w}" height="1" fill="{LINE}"/>'
                f'<rect width="4" height="{title_h - 1}" fill="{ACCENT}"/>'
                f'<rect x="0.5" y="0.5" width="{w - 1}" height="{h - 1}" fill="none" stroke="{LINE}"/>')

    # Camera settings dialog 560 x 540: title 40, tabs at y 48 (30 high), the
    # panel from y 78, buttons in the bottom 52.
    setup = dialog_back(560, 540) + f'<rect x="12" y="77" width="536" height="1" fill="{LINE}"/>'
    setup += f'<rect x="12" y="487" width="536" height="1" fill="{LINE}"/>'
    write("dialogs/s_setup", 560, 540, setup, kind="opaque", crisp=True)
    # Viewer settings dialog 480 x 560: title 40, panel from y 48, buttons in the bottom 52.
    viewer = dialog_back(480, 560) + f'<rect x="12" y="507" width="456" height="1" fill="{LINE}"/>'
    write("dialogs/s_viewer", 480, 560, viewer, kind="opaque", crisp=True)
    # Panel fills: one colour; its top-left pixel is the static text background.
    write("dialogs/s_setup_bg", 16, 16, fill(16, 16, PANEL), kind="opaque", crisp=True)
    write("dialogs/s_viewer_bg", 16, 16, fill(16, 16, PANEL), kind="opaque", crisp=True)
    # Tabs of the camera settings dialog, 130 x 30, captions drawn on them.
    write("dialogs/s_setup_tap_on", 130, 30,
          fill(130, 30, PANEL) + f'<path d="M0.5 30 V4.5 A4 4 0 0 1 4.5 0.5 H125.5 A4 4 0 0 1 129.5 4.5 V30" fill="{PANEL_HI}" stroke="{LINE}"/>'
          f'<rect x="6" y="0" width="118" height="2" rx="1" fill="{ACCENT}"/>', kind="opaque")
    write("dialogs/s_setup_tap_off", 130, 30,
          fill(130, 30, PANEL) + f'<path d="M0.5 30 V4.5 A4 4 0 0 1 4.5 0.5 H125.5 A4 4 0 0 1 129.5 4.5 V30" fill="{CAPTION}" stroke="{LINE}"/>',
          kind="opaque")
    # Section bullet, 16 x 16, and the section rule, 400 x 6 (fades to the right).
    write("dialogs/s_setup_icon", 16, 16,
          fill(16, 16, PANEL) + f'<rect x="3" y="3" width="10" height="10" rx="2" fill="{ACCENT}"/>'
          f'<rect x="6" y="6" width="4" height="4" rx="1" fill="{PANEL}"/>', kind="opaque")
    write("dialogs/s_viewer_right_top_border", 400, 6,
          f'<defs><linearGradient id="r" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="{ACCENT}"/>'
          f'<stop offset="0.35" stop-color="{LINE}"/><stop offset="1" stop-color="{PANEL}"/></linearGradient></defs>'
          + fill(400, 6, PANEL) + '<rect y="2" width="400" height="2" fill="url(#r)"/>', kind="opaque")
    # Memory share bar, 400 x 36: 20-pixel steps from x 6, ticks under the track.
    bar = fill(400, 36, PANEL) + f'<rect x="6" y="14" width="388" height="8" rx="4" fill="{BG}" stroke="{LINE}"/>'
    for i in range(20):
        x = 6 + i * 20 + 10
        tall = i % 2 == 0
        bar += f'<rect x="{x}" y="{26}" width="1" height="{6 if tall else 3}" fill="{ICON_DIM if tall else LINE}"/>'
    write("dialogs/SD_Slider_bg", 400, 36, bar, kind="opaque", crisp=True)
    # Memory bar handle, 13 x 24, drawn over the bar.
    write("dialogs/icon_sd_thumb", 13, 24,
          fill(13, 24, PANEL) + f'<path d="M1.5 1.5 H11.5 V17 L6.5 22.5 L1.5 17 Z" fill="#eef1f4" stroke="{ACCENT_DK}" '
          f'stroke-linejoin="round"/><path d="M4.5 6 H8.5 M4.5 9 H8.5 M4.5 12 H8.5" stroke="{ACCENT_DK}" stroke-width="1"/>',
          kind="opaque")


def main():
    frame_images()
    caption_buttons()
    panels()
    digits()
    list_images()
    toolbar_buttons()
    playback_buttons()
    kind_filter_buttons()
    tab_buttons()
    push_buttons()
    slider_parts()
    check_box()
    combo_buttons()
    video_images()
    loading_frames()
    dialog_images()

    names = [m[0] for m in manifest]
    if len(names) != len(set(names)):
        sys.exit("make_skin: a picture is written twice")
    with open(os.path.join(SRC, "manifest.txt"), "w") as out:
        out.write("# Every skin picture: PNG path below resource/skin/, width, height, colour use\n"
                  "# (opaque | alpha | magenta x,y | blue x,y: that pixel is the key colour).\n"
                  "# Written by tools/skin/make_skin.py together with the SVG sources.\n")
        for rel, w, h, kind, key in sorted(manifest):
            line = f"{rel} {w} {h} {kind}"
            if key:
                line += f" {key[0]},{key[1]}"
            out.write(line + "\n")
    print(f"make_skin: {len(manifest)} pictures")


if __name__ == "__main__":
    main()
