#!/usr/bin/env python3
"""Composes a still of the 1035 x 720 main window from the rendered skin.

Only a check that the pictures fit together at the sizes and places the
layout below uses; the program lays its windows out itself.

    python3 tools/skin/make_mock.py BUILD/bin/resource/skin OUT.png
"""

import os
import shutil
import subprocess
import sys
import tempfile

W, H = 1035, 720
CAPTION, SIDE, BOTTOM = 40, 8, 17
FILE_BG_W, GSENSOR_H = 300, 110
DOCK_LEFT, DOCK_BOTTOM = W - FILE_BG_W - 16, H - GSENSOR_H - BOTTOM   # 719, 593
TOOLBAR_H, TIMEBAR_H, CONTROLBAR_H = 36, 26, 44
VIDEO_TOP = CAPTION + TOOLBAR_H                                        # 76
CONTROL_TOP = DOCK_BOTTOM - TIMEBAR_H - CONTROLBAR_H                   # 523

parts = []


def img(name, x, y, w=None, h=None):
    size = f' width="{w}" height="{h}" preserveAspectRatio="none"' if w else ""
    parts.append(f'<image href="skin/{name}" x="{x}" y="{y}"{size}/>')


def text(x, y, s, colour="#ffffff", size=12, anchor="start", weight="normal"):
    parts.append(f'<text x="{x}" y="{y}" fill="{colour}" font-family="Liberation Sans, sans-serif" '
                 f'font-size="{size}" font-weight="{weight}" text-anchor="{anchor}">{s}</text>')


def slider(x, y, w, h, value, big):
    on, off, thumb, tw = (("controls/slider_bar_on.png", "controls/slider_bar_off.png", "controls/slider_thumb.png", 23)
                          if big else
                          ("controls/slider_bar_on_small.png", "controls/slider_bar_off_small.png",
                           "controls/slider_thumb_small.png", 13))
    xc = tw // 2 + int((w - tw) * value)
    img(on, x, y, xc, h)
    img(off, x + xc, y, w - xc, h)
    img(thumb, x + xc - tw // 2, y)


def frame():
    img("top_frame_logo.png", 0, 0)
    img("top_frame_center.png", 64, 0, W - 64 - 110, 40)
    img("top_frame_right.png", W - 110, 0)
    img("controls/top_close.png", W - 34, 0)
    img("controls/top_maximize.png", W - 68, 0)
    img("controls/top_minimize.png", W - 102, 0)
    img("left_frame.png", 0, CAPTION, SIDE, H - CAPTION - BOTTOM)
    img("right_frame.png", W - SIDE, CAPTION, SIDE, H - CAPTION - BOTTOM)
    img("bottom.png", 0, H - BOTTOM, W, BOTTOM)


def toolbar():
    img("toolbar_bg.png", SIDE, CAPTION, DOCK_LEFT - SIDE, TOOLBAR_H)
    x = 14
    for name in ("1ch_off", "2ch_on", None, "viewer_off", "setup_on", None, "capture_off", "print_off",
                 "file_split_off", "zoom_off", None, "hor_btn_off", "ver_btn_on", "full_btn_off"):
        if name is None:
            x += 12
            continue
        img(f"controls/{name}.png", x, CAPTION + 2)
        x += 36


def video_area():
    top, bottom = VIDEO_TOP, CONTROL_TOP
    width = DOCK_LEFT - SIDE
    img("toolbar_bg.png", SIDE, top, width, bottom - top)
    halves = ((SIDE, width // 2 - 1), (SIDE + width // 2 + 1, width - width // 2 - 1))
    for index, (left, w) in enumerate(halves):
        usable_top, usable_h = top + 20, bottom - top - 28
        scale = min(w / 1920, usable_h / 1080)
        vw, vh = int(scale * 1920 + 0.5), int(scale * 1080 + 0.5)
        vx, vy = left + (w - vw) // 2, usable_top + (usable_h - vh) // 2
        parts.append(f'<rect x="{vx}" y="{vy}" width="{vw}" height="{vh}" fill="#0e0f11" stroke="#111214"/>')
        img(f"channel{index + 1}_logo.png", vx + (vw - 160) // 2, vy + (vh - 90) // 2)
        if index == 0:
            img("red_point.png", vx + 2, vy - 14)
        text(vx + 14, vy - 6, ("Front Camera", "Rear Camera")[index], "#c3c8cf", 12)
        if index == 0:
            img("scalemarker.png", vx + 60, vy + 60)


def controls():
    width = DOCK_LEFT - SIDE
    img("play_timebar_bg.png", SIDE, CONTROL_TOP, width, TIMEBAR_H)
    text(SIDE + 10, CONTROL_TOP + 17, "01 : 12", size=12)
    text(DOCK_LEFT - 10, CONTROL_TOP + 17, "03 : 00", size=12, anchor="end", colour="#808080")
    slider(SIDE + 64, CONTROL_TOP + 8, width - 128, 10, 0.4, True)
    y = CONTROL_TOP + TIMEBAR_H
    img("play_controlbar_bg.png", SIDE, y, width, CONTROLBAR_H)
    x = 206
    for name in ("play_btn_01", "play_btn_02", "play_btn_off", "play_btn_03", "play_btn_04", "play_btn_05"):
        big = name == "play_btn_off"
        img(f"controls/{name}.png", x, y + (2 if big else 6))
        x += 44 if big else 36
    img("controls/volume_on.png", 586, y + 8)
    slider(618, y + 18, 90, 8, 0.7, False)


def bottom_strip():
    y = DOCK_BOTTOM
    img("gps_bg.png", SIDE, y)
    img("gps_on.png", SIDE + 31, y + 35)
    for i, d in enumerate((0, 5, 9)):
        img(f"number_{d}.png", SIDE + 127 + 33 * i, y + 29)
    img("controls/km_h.png", SIDE + 236, y + 57)
    X = SIDE + 323
    for row, (deg, mins, secs, hemi) in ((y + 31, ("37", "33", "27.1842", "N")), (y + 53, ("126", "58", "40.5521", "E"))):
        text(X + 50, row + 13, deg, anchor="end")
        text(X + 89, row + 13, mins, anchor="end")
        text(X + 170, row + 13, secs, anchor="end")
        text(X + 192, row + 13, hemi, anchor="end")
    gx = SIDE + 520
    img("gsensor.png", gx, y)
    import math
    for colour, amp, phase in (("#ff3333", 0.3, 0), ("#33cc00", 0.15, 1), ("#3399ff", 0.5, 2)):
        pts = " ".join(f"{gx + 7 + i},{y + 19 + 50 - 30 * (amp * math.sin(i / 9 + phase) + (0.6 if colour == '#3399ff' else 0)) - 10:.1f}"
                       for i in range(0, 285, 3))
        parts.append(f'<polyline points="{pts}" fill="none" stroke="{colour}" stroke-width="1"/>')
    parts.append(f'<rect x="{gx + 7 + 110}" y="{y + 19 + 20}" width="3" height="{84 - 20}" fill="#ff0000"/>')
    bx = gx + 299
    img("brightness_bg.png", bx, y)
    for i, value in enumerate((0.5, 0.65, 0.4)):
        slider(bx + 34, y + 20 + 26 * i, 126, 8, value, False)
    img("controls/reset_off.png", bx + 171, y + 43)


def side_window():
    x0, y0 = DOCK_LEFT, CAPTION
    img("toolbar_bg.png", x0, y0, W - SIDE - x0, DOCK_BOTTOM - y0)
    img("controls/file_on.png", x0 + 8, y0 + 2)
    img("controls/map_off.png", x0 + 87, y0 + 2)
    px, py = x0 + 8, y0 + 24
    pw, ph = (W - SIDE - x0) - 3 - 8, (DOCK_BOTTOM - y0) - 8 - 24
    img("toolbar_bg.png", px, py, pw, ph)
    parts.append(f'<svg x="{px}" y="{py}" width="{pw}" height="{ph}">')
    img("file_bg.png", 3, 0)
    img("controls/location_box.png", 4, 36)
    text(7, 52, "/media/card/DCIM", "#c3c8cf", 11)
    for i, kind in enumerate("nep"):
        img(f"controls/type_{kind}_{'off' if kind == 'p' else 'on'}.png", 200 + 8 + i * 28, 36)
    top = 24 + 43
    img("controls/list_top_left.png", 0, top)
    img("controls/list_top_space.png", 4, top, pw - 8, 22)
    img("controls/list_top_filename.png", 4, top)
    img("controls/list_top_right.png", pw - 4, top)
    parts.append(f'<rect x="0" y="{top + 22}" width="{pw}" height="{ph - top - 22}" fill="#111111"/>')
    rows = [("n", "Normal", "2024-05-11 08:12:00"), ("n", "Normal", "2024-05-11 08:13:00"),
            ("e", "Event", "2024-05-11 08:13:41"), ("n", "Normal", "2024-05-11 08:14:00"),
            ("p", "Parking", "2024-05-11 12:40:17"), ("n", "Normal", "2024-05-11 17:02:00")]
    for r, (kind, label, when) in enumerate(rows):
        ry = top + 22 + r * 21
        state = {1: "selecteditem", 3: "hovereditem"}.get(r)
        if state:
            img(f"controls/list_{state}_left.png", 0, ry)
            img(f"controls/list_{state}_middle.png", 3, ry, pw - 6 - 16, 21)
            img(f"controls/list_{state}_right.png", pw - 3 - 16, ry)
        img(f"controls/{kind}_img.png", 4, ry + 1)
        colour = "#ffffff" if r == 1 else "#808080"
        text(24, ry + 15, label, colour, 12)
        text(int(pw * 0.45) + (pw - 16 - int(pw * 0.45)) // 2, ry + 15, when, colour, 12, anchor="middle")
    parts.append("</svg>")


def main():
    skin, out = sys.argv[1], sys.argv[2]
    frame()
    toolbar()
    video_area()
    controls()
    bottom_strip()
    side_window()
    work = tempfile.mkdtemp()
    shutil.copytree(skin, os.path.join(work, "skin"))
    with open(os.path.join(work, "mock.svg"), "w") as f:
        f.write(f'<svg xmlns="http://www.w3.org/2000/svg" width="{W}" height="{H}">\n' + "\n".join(parts) + "\n</svg>\n")
    subprocess.run(["rsvg-convert", "-o", out, os.path.join(work, "mock.svg")], check=True)
    shutil.rmtree(work)


if __name__ == "__main__":
    main()
