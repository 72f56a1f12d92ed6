#!/usr/bin/python3
"""Draws every picture OrvKey ships: keyboard background, icons, tip skin.

Run with Debian's python3 and python3-pil from anywhere:
    /usr/bin/python3 resources/draw_artwork.py
Outputs land next to this script. Nothing is random, so a re-run gives
byte-identical files (given the same fonts).
"""
import os
import struct

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 4  # supersampling factor for anti-aliased shapes

MAGENTA = (255, 0, 255)  # tip icon background, cut away by the program
ORANGE = (255, 128, 0)

ART_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
# The program draws captions in Tahoma bold; Wine's own Tahoma is the closest
# match for the previews, DejaVu is the fallback.
CAPTION_FONTS = ["/usr/share/wine/fonts/tahomabd.ttf", ART_FONT]
TEXT_FONTS = ["/usr/share/wine/fonts/tahoma.ttf",
              "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"]


# ---------------------------------------------------------------- helpers

def out(name):
    return os.path.join(HERE, name)


def font(paths, size):
    for path in paths:
        if os.path.exists(path):
            return ImageFont.truetype(path, size)
    return ImageFont.load_default()


def save_bmp(img, name):
    # Pillow writes RGB images as 24-bit BI_RGB bottom-up DIBs.
    img.convert("RGB").save(out(name), format="BMP")


def save_ico(images, name):
    """Classic ICO: one 32-bit BGRA DIB plus AND mask per size, no PNG."""
    blobs = []
    for im in images:
        w, h = im.size
        px = im.convert("RGBA").load()
        xor = bytearray()
        mask = bytearray()
        mask_stride = ((w + 31) // 32) * 4
        for y in range(h - 1, -1, -1):  # DIB rows run bottom-up
            bits = bytearray(mask_stride)
            for x in range(w):
                r, g, b, a = px[x, y]
                xor += bytes((b, g, r, a))
                if a < 128:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0,
                             len(xor) + len(mask), 0, 0, 0, 0)
        blobs.append((w, h, header + bytes(xor) + bytes(mask)))
    data = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for w, h, blob in blobs:
        data += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32,
                            len(blob), offset)
        offset += len(blob)
    with open(out(name), "wb") as f:
        f.write(data + b"".join(blob for _, _, blob in blobs))


def mix(c1, c2, t):
    return tuple(round(a + (b - a) * t) for a, b in zip(c1, c2))


def vgradient(size, top, bottom):
    """Image of `size` going from colour `top` to `bottom` downwards."""
    w, h = size
    col = Image.new("RGB", (1, h))
    for y in range(h):
        col.putpixel((0, y), mix(top, bottom, y / max(1, h - 1)))
    return col.resize((w, h), Image.NEAREST)


def shift(mask, dx, dy):
    moved = Image.new(mask.mode, mask.size, 0)
    moved.paste(mask, (dx, dy))
    return moved


def erode(mask, px):
    """Shrink a supersampled mask by `px` output pixels."""
    return mask.filter(ImageFilter.MinFilter(2 * SS * px + 1))


def scaled(mask, factor):
    return mask.point(lambda v: round(v * factor))


def to_magenta_keyed(rgba):
    """Flatten onto magenta with hard edges: a pixel is either fully the
    shape's own colour or pure background, so the colour key cuts cleanly."""
    img = Image.new("RGB", rgba.size, MAGENTA)
    src = rgba.load()
    dst = img.load()
    for y in range(rgba.size[1]):
        for x in range(rgba.size[0]):
            r, g, b, a = src[x, y]
            if a >= 128:
                # Pillow's downsampling keeps straight (not premultiplied)
                # colour, so the edge pixel is simply made opaque.
                if (r, g, b) == MAGENTA:
                    b -= 1
                dst[x, y] = (r, g, b)
    return img


def downsample(img, size):
    return img.resize(size, Image.BOX)


# ------------------------------------------------------- keyboard geometry

def char_key_labels():
    """Label rectangles (left, top, width, height) of the 47 character keys."""
    rows = [(56, 56, 12), (96, 72, 12), (136, 88, 12), (176, 72, 11)]
    return [(left0 + 40 * i, top, 41, 25)
            for top, left0, count in rows for i in range(count)]


LAST_ROW3_KEY = (88 + 40 * 11, 136)


def char_key_shape(label):
    # Labels are 41 wide but 40 apart, so the key body is inset 2 px on each
    # side (3 px gap between neighbours) and grows 4 px above and below.
    left, top, w, h = label
    right = left + w - 3
    if (left, top) == LAST_ROW3_KEY:
        # "Enter" in Tahoma 15 pt bold is 54 px wide and, centred in its
        # label, starts at x=566; this key gives way so the word sits on the
        # Enter key instead of straddling the gap.
        right -= 5
    return [(left + 2, top - 4, right, top + h + 3)]


# caption, label rectangle, key body (inclusive boxes, union = outline), tint
FUNCTION_KEYS = [
    ("Clr", (8, 56, 49, 25), [(10, 52, 54, 84)], "fn"),
    ("Tab", (8, 96, 65, 25), [(10, 92, 70, 124)], "fn"),
    ("^", (8, 136, 81, 25), [(10, 132, 86, 164)], "fn"),
    ("Lang", (8, 176, 65, 25), [(10, 172, 70, 204)], "fn"),
    ("Space", (512, 176, 113, 25), [(514, 172, 622, 204)], "fn"),
    ("<--", (536, 56, 89, 25), [(538, 52, 622, 84)], "fn"),
    # Enter is L-shaped: it fills the hole right of row 2 and narrows in
    # row 3, where the last character key ends at x=561.
    ("Enter", (565, 96, 57, 73), [(554, 92, 622, 124), (565, 92, 622, 164)],
     "fn"),
    ("X", (584, 16, 41, 25), [(586, 12, 622, 44)], "close"),
    ("...", (544, 16, 41, 25), [(546, 12, 582, 44)], "fn"),
]

CHAR_CAPTIONS = ["1234567890-=", "йцукенгшщзхъ", "фывапролджэ\\",
                 "ячсмитьбю.,"]

EDIT_WELL = (54, 8, 536, 48)  # around the combo box at 56,10 479x37

KEY_PALETTES = {
    # border top/bottom, face top/bottom, top highlight
    "char": ((96, 100, 110), (58, 60, 68), (52, 54, 60), (30, 31, 36),
             (128, 132, 142)),
    "fn": ((92, 104, 126), (52, 58, 74), (48, 54, 68), (27, 31, 41),
           (124, 138, 166)),
    "close": ((132, 70, 70), (78, 40, 42), (66, 32, 34), (38, 19, 21),
              (170, 100, 100)),
}


def key_tile(boxes, margin):
    x0 = min(b[0] for b in boxes) - margin
    y0 = min(b[1] for b in boxes) - margin
    x1 = max(b[2] for b in boxes) + margin
    y1 = max(b[3] for b in boxes) + margin
    mask = Image.new("L", ((x1 - x0 + 1) * SS, (y1 - y0 + 1) * SS), 0)
    d = ImageDraw.Draw(mask)
    for a, b, c, e in boxes:
        d.rounded_rectangle(((a - x0) * SS, (b - y0) * SS,
                             (c - x0 + 1) * SS - 1, (e - y0 + 1) * SS - 1),
                            radius=5 * SS, fill=255)
    return (x0, y0), mask


def draw_key_shadow(canvas, boxes):
    (x0, y0), mask = key_tile(boxes, 6)
    big = canvas.crop((x0, y0, x0 + mask.width // SS, y0 + mask.height // SS))
    big = big.resize(mask.size, Image.NEAREST)
    shadow = shift(mask, 0, 2 * SS).filter(ImageFilter.GaussianBlur(2 * SS))
    big = Image.composite(Image.new("RGB", big.size, (8, 8, 10)), big,
                          scaled(shadow, 0.6))
    canvas.paste(downsample(big, (mask.width // SS, mask.height // SS)),
                 (x0, y0))


def draw_key(canvas, boxes, tint):
    border_top, border_bottom, face_top, face_bottom, light = \
        KEY_PALETTES[tint]
    (x0, y0), mask = key_tile(boxes, 1)
    size = mask.size
    big = canvas.crop((x0, y0, x0 + size[0] // SS, y0 + size[1] // SS))
    big = big.resize(size, Image.NEAREST)
    face = erode(mask, 1)
    # Highlight: the first face row under every top edge, a bevel catching
    # light from above.
    rim = ImageChops.subtract(face, shift(face, 0, SS))
    big = Image.composite(vgradient(size, border_top, border_bottom), big,
                          mask)
    big = Image.composite(vgradient(size, face_top, face_bottom), big, face)
    big = Image.composite(Image.new("RGB", size, light), big,
                          scaled(rim, 0.7))
    canvas.paste(downsample(big, (size[0] // SS, size[1] // SS)), (x0, y0))


def draw_edit_well(canvas):
    """A recessed slot for the edit combo box: dark inside, shadowed top,
    lit bottom lip."""
    x0, y0, x1, y1 = EDIT_WELL
    (tx, ty), mask = key_tile([EDIT_WELL], 2)
    size = mask.size
    big = canvas.crop((tx, ty, tx + size[0] // SS, ty + size[1] // SS))
    big = big.resize(size, Image.NEAREST)
    m = Image.new("L", size, 0)
    ImageDraw.Draw(m).rounded_rectangle(
        (2 * SS, 2 * SS, (x1 - x0 + 3) * SS - 1, (y1 - y0 + 3) * SS - 1),
        radius=4 * SS, fill=255)
    lip = ImageChops.subtract(shift(m, 0, SS), m)
    big = Image.composite(Image.new("RGB", size, (78, 82, 92)), big, lip)
    big = Image.composite(Image.new("RGB", size, (8, 8, 10)), big, m)
    inner = erode(m, 1)
    big = Image.composite(vgradient(size, (12, 12, 15), (20, 21, 25)), big,
                          inner)
    canvas.paste(downsample(big, (size[0] // SS, size[1] // SS)), (tx, ty))


def all_keys():
    for label in char_key_labels():
        yield char_key_shape(label), "char"
    for _, _, boxes, tint in FUNCTION_KEYS:
        yield boxes, tint


def draw_keyboard():
    w, h = 632, 217
    img = vgradient((w, h), (40, 42, 48), (22, 23, 27))
    d = ImageDraw.Draw(img)
    # A faint bezel so the window edge reads in the dark.
    d.line((0, 0, w - 1, 0), fill=(70, 73, 80))
    d.line((0, 0, 0, h - 1), fill=(54, 56, 62))
    d.line((w - 1, 0, w - 1, h - 1), fill=(14, 14, 16))
    d.line((0, h - 1, w - 1, h - 1), fill=(10, 10, 12))
    draw_edit_well(img)
    keys = list(all_keys())
    # Shadows first, so no key's shadow falls over a neighbour drawn earlier.
    for boxes, _ in keys:
        draw_key_shadow(img, boxes)
    for boxes, tint in keys:
        draw_key(img, boxes, tint)
    logo = draw_keyboard_icon(32)
    faded = Image.new("RGBA", logo.size, (0, 0, 0, 0))
    faded = Image.blend(faded, logo, 0.55)
    img.paste(faded.convert("RGB"), (12, 10), faded)
    check_key_gaps(keys)
    return img


def check_key_gaps(keys):
    """Key bodies must stay inside the picture and apart from each other."""
    boxes = [b for shape, _ in keys for b in shape]
    owners = [i for i, (shape, _) in enumerate(keys) for _ in shape]
    for i, a in enumerate(boxes):
        assert 0 <= a[0] and a[2] <= 631 and 0 <= a[1] and a[3] <= 216, a
        for j in range(i + 1, len(boxes)):
            b = boxes[j]
            if owners[i] == owners[j]:
                continue
            apart = (a[2] + 2 < b[0] or b[2] + 2 < a[0] or
                     a[3] + 2 < b[1] or b[3] + 2 < a[1])
            assert apart, ("keys too close", a, b)


def keyboard_preview(img):
    img = img.copy()
    d = ImageDraw.Draw(img)
    f = font(CAPTION_FONTS, 20)  # Tahoma 15 pt at 96 dpi
    labels = char_key_labels()
    captions = "".join(CHAR_CAPTIONS)
    named = [(c, l) for c, l, _, _ in FUNCTION_KEYS]
    for caption, (left, top, w, h) in list(zip(captions, labels)) + named:
        d.text((left + w / 2, top + h / 2), caption, fill=(255, 0, 0),
               font=f, anchor="mm")
    d.rectangle((56, 10, 534, 46), fill=(255, 255, 255), outline=(0, 0, 0))
    d.text((62, 28), "Edit line", fill=(0, 0, 0), font=font(TEXT_FONTS, 18),
           anchor="lm")
    return img


# ------------------------------------------------------------ program icon

# per size: key size, gap, columns, key rows (the last row holds the orange
# space bar), margin inside the body, corner radius
ICON_GRIDS = {48: (5, 2, 6, 4, 3, 5), 32: (3, 2, 6, 4, 2, 4),
              24: (2, 1, 6, 4, 2, 3), 16: (2, 1, 4, 3, 1, 2)}


def draw_keyboard_icon(size):
    key, gap, cols, rows, margin, radius = ICON_GRIDS[size]
    bw = cols * key + (cols - 1) * gap + 2 * margin
    bh = rows * key + (rows - 1) * gap + 2 * margin
    bx = (size - bw) // 2
    by = (size - bh) // 2
    big = Image.new("RGBA", (size * SS, size * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)

    def box(x0, y0, x1, y1, **kw):  # inclusive output-pixel box
        d.rounded_rectangle((x0 * SS, y0 * SS, (x1 + 1) * SS - 1,
                             (y1 + 1) * SS - 1), **kw)

    box(bx, by, bx + bw - 1, by + bh - 1, radius=radius * SS,
        fill=(40, 42, 50, 255))
    if size >= 24:
        # a light rim on top makes the body read as a slab, not a hole
        box(bx, by, bx + bw - 1, by + bh - 1, radius=radius * SS,
            outline=(120, 126, 140, 255), width=SS)
    for r in range(rows):
        y = by + margin + r * (key + gap)
        if r == rows - 1:
            x_space = bx + margin + key + gap
            x_end = bx + margin + (cols - 1) * (key + gap) - gap - 1
            box(x_space, y, x_end, y + key - 1, radius=0,
                fill=(255, 140, 20, 255))
            cells = [0, cols - 1]
        else:
            cells = range(cols)
        for c in cells:
            x = bx + margin + c * (key + gap)
            box(x, y, x + key - 1, y + key - 1, radius=0,
                fill=(222, 226, 234, 255))
    return downsample(big, (size, size))


# ---------------------------------------------------------- tip window skin

PANEL = (92, 14, 18)
METAL = (64, 66, 72)
TOP_BAND = 23     # panel starts at y = 23
SIDE = 15         # panel starts at x = 15, ends 15 from the right
BOTTOM_BAND = 24  # and 24 from the bottom


def panel_colour(y):
    # A soft glow along the panel top, gone well before row 60 so that the
    # stretched fill (piece 5) meets the top pieces without a seam.
    t = y - TOP_BAND
    if t == 0:
        return (168, 60, 56)
    glow = max(0.0, 1 - t / 22) ** 2
    return mix(PANEL, (140, 34, 34), glow)


def render_tip_window(sw, sh):
    """The whole composed window, computed directly; the ten skin pieces are
    cut from this so that tiling them back is seamless by construction."""
    img = Image.new("RGB", (sw, sh))
    px = img.load()
    px_right = sw - SIDE          # first column of the right frame
    px_bottom = sh - BOTTOM_BAND  # first row of the bottom frame
    for y in range(sh):
        for x in range(sw):
            if y < TOP_BAND:
                c = mix((92, 95, 104), METAL, y / (TOP_BAND - 1))
            elif y >= px_bottom:
                c = mix(METAL, (44, 46, 51), (y - px_bottom) / BOTTOM_BAND)
            elif x < SIDE or x >= px_right:
                c = METAL
            else:
                c = panel_colour(y)
            px[x, y] = c
    d = ImageDraw.Draw(img)
    # Recess around the panel: shadow on top/left, light lip bottom/right.
    d.line((SIDE - 1, TOP_BAND - 1, px_right, TOP_BAND - 1), fill=(22, 22, 26))
    d.line((SIDE - 2, TOP_BAND - 2, px_right, TOP_BAND - 2), fill=(46, 47, 52))
    d.line((SIDE - 1, TOP_BAND - 1, SIDE - 1, px_bottom), fill=(22, 22, 26))
    d.line((px_right, TOP_BAND, px_right, px_bottom), fill=(104, 106, 114))
    d.line((SIDE, px_bottom, px_right, px_bottom), fill=(104, 106, 114))
    # Outer edge of the metal frame.
    d.line((1, 1, sw - 2, 1), fill=(138, 142, 152))
    d.line((1, 1, 1, sh - 2), fill=(96, 99, 108))
    d.line((sw - 2, 2, sw - 2, sh - 2), fill=(40, 41, 46))
    d.line((2, sh - 2, sw - 2, sh - 2), fill=(34, 35, 39))
    d.rectangle((0, 0, sw - 1, sh - 1), outline=(18, 18, 21))
    draw_notifier_tab(img)
    return img


def draw_notifier_tab(img):
    """A raised light plate at the top left carrying the word NOTIFIER."""
    x0, y0, x1, y1 = 14, 3, 100, 19
    w, h = x1 - x0 + 1, y1 - y0 + 1
    big = img.crop((x0 - 1, y0 - 1, x1 + 3, y1 + 3)).resize(
        ((w + 4) * SS, (h + 4) * SS), Image.NEAREST)
    plate = Image.new("L", big.size, 0)
    ImageDraw.Draw(plate).rounded_rectangle(
        (SS, SS, (w + 1) * SS - 1, (h + 1) * SS - 1), radius=4 * SS, fill=255)
    shadow = shift(plate, SS, SS).filter(ImageFilter.GaussianBlur(SS))
    big = Image.composite(Image.new("RGB", big.size, (16, 16, 18)), big,
                          scaled(shadow, 0.7))
    big = Image.composite(Image.new("RGB", big.size, (170, 174, 184)), big,
                          plate)
    face = erode(plate, 1)
    big = Image.composite(vgradient(big.size, (126, 130, 140),
                                    (84, 87, 96)), big, face)
    small = downsample(big, (w + 4, h + 4))
    d = ImageDraw.Draw(small)
    # orange indicator lamp
    d.ellipse((7, 7, 12, 12), fill=(120, 50, 0))
    d.ellipse((8, 8, 11, 11), fill=ORANGE)
    d.point((9, 8), fill=(255, 220, 160))
    f = font([ART_FONT], 10)
    cx, cy = 16, (h + 4) / 2
    d.text((cx + 1, cy + 1), "NOTIFIER", fill=(40, 41, 46), font=f,
           anchor="lm")
    d.text((cx, cy), "NOTIFIER", fill=(246, 246, 248), font=f, anchor="lm")
    img.paste(small, (x0 - 1, y0 - 1))


# The pieces are cut from a window drawn at this size, each from a spot where
# the picture is uniform along the axis the program stretches it.
TIP_REF = (400, 127)


def tip_pieces():
    sw, sh = TIP_REF
    ref = render_tip_window(sw, sh)
    cuts = [
        ((0, 0), (113, 66)),                          # 0 top-left + tab
        ((200, 0), (9, 67)),                          # 1 top edge
        ((sw - 113, 0), (113, 66)),                   # 2 top-right
        ((0, 70), (15, 9)),                           # 3 left edge
        ((sw - 15, 70), (15, 9)),                     # 4 right edge
        ((200, 56), (23, 45)),                        # 5 panel fill
        ((0, sh - 24), (52, 24)),                     # 6 bottom-left
        ((200, sh - 24), (57, 24)),                   # 7 bottom edge
        ((sw - 61, sh - 24), (61, 24)),               # 8 bottom-right
    ]
    pieces = [ref.crop((x, y, x + w, y + h)) for (x, y), (w, h) in cuts]
    pieces.append(draw_separator())
    return pieces


def draw_separator():
    sep = Image.new("RGB", (209, 2))
    for x in range(209):
        sep.putpixel((x, 0), (255, 160, 48))
        sep.putpixel((x, 1), (150, 64, 0))
    return sep


def compose_tip(pieces, sw, sh, show_separator=False):
    """Lay the pieces out exactly as the program does."""
    img = Image.new("RGB", (sw, sh), (255, 0, 255))

    def put(i, x, y, w=None, h=None):
        p = pieces[i]
        if w is not None or h is not None:
            p = p.resize((w or p.width, h or p.height), Image.NEAREST)
        img.paste(p, (x, y))

    layout = {
        5: lambda: put(5, 15, 23, sw - 15, sh - 23 - 24),
        0: lambda: put(0, 0, 0),
        1: lambda: put(1, 112, 0, sw - 113),
        6: lambda: put(6, 0, sh - 24),
        7: lambda: put(7, 48, sh - 24, sw - 61),
        8: lambda: put(8, sw - 61, sh - 24),
        2: lambda: put(2, sw - 113, 0),
        4: lambda: put(4, sw - 15, 66, None, sh - 66 - 24),
        9: lambda: put(9, 24, 96, sw - 48) if show_separator else None,
        3: lambda: put(3, 0, 66, None, sh - 66 - 24),
    }
    for i in (5, 0, 1, 6, 7, 8, 2, 4, 9, 3):
        layout[i]()
    return img


def tip_preview(pieces, icons):
    f = font(TEXT_FONTS, 20)
    shots = []
    for sw, sh in ((400, 127), (600, 127), (300, 180)):
        img = compose_tip(pieces, sw, sh)
        # The cut pieces must rebuild the window exactly at any size.
        assert list(img.getdata()) == list(
            render_tip_window(sw, sh).getdata()), ("tip skin seam", sw, sh)
        icon = icons[len(shots) % len(icons)]
        mask = Image.eval(ImageChops.difference(
            icon, Image.new("RGB", icon.size, MAGENTA)).convert("L"),
            lambda v: 255 if v else 0)
        img.paste(icon, (24, 37), mask)
        ImageDraw.Draw(img).text((80, 35), "Редактируем текст", fill=ORANGE,
                                 font=f)
        shots.append(img)
    with_sep = compose_tip(pieces, 400, 127, show_separator=True)
    shots.append(with_sep)
    sheet = Image.new("RGB", (620, sum(s.height + 10 for s in shots) + 10),
                      (64, 64, 64))
    y = 10
    for s in shots:
        sheet.paste(s, (10, y))
        y += s.height + 10
    return sheet


# ------------------------------------------------------------- tip icons

INK = (34, 30, 30, 255)


def icon_canvas():
    big = Image.new("RGBA", (48 * SS, 48 * SS), (0, 0, 0, 0))
    return big, ImageDraw.Draw(big)


def s(*coords):
    """Scale output-pixel coordinates to the supersampled canvas."""
    return [c * SS for c in coords]


def draw_tipicon_pencil():
    big, d = icon_canvas()
    # sheet of paper with a folded corner
    d.polygon(s(6, 4, 30, 4, 38, 12, 38, 44, 6, 44), fill=INK)
    d.polygon(s(7.5, 5.5, 29.5, 5.5, 36.5, 12.5, 36.5, 42.5, 7.5, 42.5),
              fill=(246, 246, 240, 255))
    d.polygon(s(29.5, 5.5, 29.5, 12.5, 36.5, 12.5), fill=(196, 196, 188, 255))
    d.line(s(29.5, 5, 29.5, 12.5, 37, 12.5), fill=INK, width=SS)
    for i, y in enumerate(range(16, 40, 5)):
        right = 32 if i < 3 else 22
        d.rectangle(s(11, y, right, y + 1.2), fill=(130, 140, 160, 255))
    # pencil, tip resting at the end of the last line
    tip = (23, 37)
    body = [(tip[0] + 5, tip[1] - 11), (tip[0] + 11, tip[1] - 5),
            (tip[0] + 25, tip[1] - 19), (tip[0] + 19, tip[1] - 25)]
    outline = [tip, body[1], (body[2][0] + 2.5, body[2][1] - 2.5),
               (body[3][0] + 2.5, body[3][1] - 2.5), body[0]]
    d.polygon(s(*sum(outline, ())), fill=INK)
    d.polygon(s(*sum([(tip[0] + 5.8, tip[1] - 9.6), (tip[0] + 9.6, tip[1] - 5.8),
                       (tip[0] + 23, tip[1] - 19.2),
                       (tip[0] + 19.2, tip[1] - 23)], ())),
              fill=(250, 190, 40, 255))
    d.line(s(tip[0] + 7.7, tip[1] - 7.7, tip[0] + 21, tip[1] - 21),
           fill=(210, 130, 10, 255), width=SS)
    # wooden cone and graphite point
    d.polygon(s(tip[0] + 1, tip[1] - 1, tip[0] + 5.8, tip[1] - 9.6,
                tip[0] + 9.6, tip[1] - 5.8), fill=(236, 200, 150, 255))
    d.polygon(s(tip[0] + 0.5, tip[1] - 0.5, tip[0] + 2.6, tip[1] - 4.5,
                tip[0] + 4.5, tip[1] - 2.6), fill=(40, 40, 44, 255))
    # eraser end
    d.polygon(s(tip[0] + 21.5, tip[1] - 25, tip[0] + 25, tip[1] - 21.5,
                tip[0] + 26.5, tip[1] - 23, tip[0] + 23, tip[1] - 26.5),
              fill=(230, 110, 120, 255))
    return to_magenta_keyed(downsample(big, (48, 48)))


def draw_tipicon_keyboard():
    big, d = icon_canvas()
    d.rounded_rectangle(s(1, 10, 47, 39), radius=4 * SS, fill=INK)
    d.rounded_rectangle(s(2, 11, 46, 38), radius=3 * SS,
                        fill=(112, 116, 124, 255))
    d.rounded_rectangle(s(2, 11, 46, 36), radius=3 * SS,
                        fill=(152, 156, 164, 255))
    d.line(s(5, 11.5, 43, 11.5), fill=(200, 204, 212, 255), width=SS)

    def cap(x0, y0, x1, y1):
        d.rectangle(s(x0, y0, x1, y1), fill=(70, 74, 84, 255))
        d.rectangle(s(x0, y0, x1, y1 - 1), fill=(232, 234, 238, 255))

    # three staggered rows of keys and a space bar
    for row, x0 in enumerate((4, 6, 8)):
        y = 14 + row * 5
        for i in range(8 if row < 2 else 7):
            cap(x0 + i * 5, y, x0 + i * 5 + 4, y + 4)
    cap(4, 29, 8, 33)
    cap(10, 29, 38, 33)
    cap(40, 29, 44, 33)
    return to_magenta_keyed(downsample(big, (48, 48)))


def draw_tipicon_folder():
    big, d = icon_canvas()
    # back of the folder with its tab
    d.polygon(s(2, 10, 16, 10, 19, 14, 42, 14, 42, 40, 2, 40), fill=INK)
    d.polygon(s(3.5, 11.5, 15.3, 11.5, 18.3, 15.5, 40.5, 15.5, 40.5, 38.5,
                3.5, 38.5), fill=(214, 150, 30, 255))
    # front flap
    d.polygon(s(2, 19, 44, 19, 42, 40, 2, 40), fill=INK)
    d.polygon(s(3.5, 20.5, 42.3, 20.5, 40.6, 38.5, 3.5, 38.5),
              fill=(250, 196, 60, 255))
    d.line(s(4, 21.5, 41.5, 21.5), fill=(255, 230, 140, 255), width=SS)
    # magnifying glass over the lower right
    d.line(s(37, 37, 44.5, 44.5), fill=INK, width=6 * SS)
    d.line(s(37.5, 37.5, 44, 44), fill=(120, 70, 40, 255), width=3 * SS)
    d.ellipse(s(20, 20, 40, 40), fill=INK)
    d.ellipse(s(22.5, 22.5, 37.5, 37.5), fill=(170, 174, 184, 255))
    d.ellipse(s(24, 24, 36, 36), fill=(170, 214, 240, 255))
    d.arc(s(25.5, 25.5, 34.5, 34.5), 190, 260, fill=(250, 252, 255, 255),
          width=int(1.5 * SS))
    return to_magenta_keyed(downsample(big, (48, 48)))


def draw_tipicon_checklist():
    big, d = icon_canvas()
    d.rectangle(s(7, 3, 41, 46), fill=INK)
    d.rectangle(s(8.5, 4.5, 39.5, 44.5), fill=(248, 248, 244, 255))
    for i in range(4):
        y = 9 + i * 9
        d.rectangle(s(11, y, 18, y + 7), fill=(90, 96, 110, 255))
        d.rectangle(s(12.2, y + 1.2, 16.8, y + 5.8), fill=(255, 255, 255, 255))
        d.rectangle(s(21, y + 3, 36 if i % 2 else 33, y + 4.6),
                    fill=(120, 130, 150, 255))
        if i < 3:  # three done, the last still open
            d.line(s(11.5, y + 3, 14.5, y + 6.5, 20, y - 1.5),
                   fill=(20, 110, 30, 255), width=int(3.4 * SS),
                   joint="curve")
            d.line(s(12, y + 3.3, 14.5, y + 6, 19.5, y - 1),
                   fill=(60, 190, 60, 255), width=int(1.6 * SS))
    return to_magenta_keyed(downsample(big, (48, 48)))


def draw_tipicon_cross():
    big, d = icon_canvas()
    a, b = 8, 40
    d.line(s(a, a, b, b), fill=INK, width=13 * SS)
    d.line(s(a, b, b, a), fill=INK, width=13 * SS)
    d.line(s(a, a, b, b), fill=(216, 28, 28, 255), width=10 * SS)
    d.line(s(a, b, b, a), fill=(216, 28, 28, 255), width=10 * SS)
    # a lighter stripe along the upper side of each bar for some depth
    d.line(s(a + 1, a - 1.5, b + 1, b - 1.5), fill=(250, 90, 80, 255),
           width=2 * SS)
    d.line(s(a - 1, b - 1.5, b - 1, a - 1.5), fill=(250, 90, 80, 255),
           width=2 * SS)
    # cut the bar ends square to the icon edge
    inside = Image.new("L", big.size, 0)
    ImageDraw.Draw(inside).rectangle(s(2, 2, 46, 46), fill=255)
    big.putalpha(ImageChops.multiply(big.getchannel("A"), inside))
    return to_magenta_keyed(downsample(big, (48, 48)))


TIP_ICONS = [draw_tipicon_pencil, draw_tipicon_keyboard, draw_tipicon_folder,
             draw_tipicon_checklist, draw_tipicon_cross]


# -------------------------------------------------------------- tip icon

def draw_tip_icon(size):
    """A dark-red speech balloon with an orange rim and three dots."""
    big = Image.new("RGBA", (size * SS, size * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    u = size / 16  # design grid: 16 units across
    stroke = max(1, round(u)) * SS
    body = [round(v * u) * SS for v in (0.5, 1.5, 15.5, 11.5)]
    tail = [round(v * u) * SS for v in (3, 10, 3.5, 15, 8, 10)]
    d.polygon(tail, fill=ORANGE)
    d.rounded_rectangle(body, radius=round(3 * u) * SS, fill=ORANGE)
    inner_tail = [tail[0] + stroke, tail[1] - stroke, tail[2] + stroke,
                  tail[3] - 2 * stroke, tail[4] - 2 * stroke, tail[5] - stroke]
    d.polygon(inner_tail, fill=(128, 20, 22))
    d.rounded_rectangle([body[0] + stroke, body[1] + stroke,
                         body[2] - stroke, body[3] - stroke],
                        radius=max(SS, round(3 * u) * SS - stroke),
                        fill=(128, 20, 22))
    dot = max(2, round(2 * u))
    cy = round(6.5 * u)
    for cx in (4.5, 8, 11.5):
        x = round(cx * u - dot / 2)
        d.rectangle(s(x, cy - dot // 2, x + dot - 1, cy - dot // 2 + dot - 1),
                    fill=(255, 176, 64))
    return downsample(big, (size, size))


# ------------------------------------------------------------------ main

def sheet_of(images, scale, bg=(64, 64, 64)):
    ws = [im.width * scale for im in images]
    h = max(im.height for im in images) * scale
    sheet = Image.new("RGB", (sum(ws) + 10 * (len(images) + 1), h + 20), bg)
    x = 10
    for im in images:
        big = im.resize((im.width * scale, im.height * scale), Image.NEAREST)
        sheet.paste(big, (x, 10), big if big.mode == "RGBA" else None)
        x += big.width + 10
    return sheet


def main():
    keyboard = draw_keyboard()
    save_bmp(keyboard, "keyboard.bmp")
    keyboard_preview(keyboard).save(out("keyboard_preview.png"))

    sizes = (48, 32, 24, 16)
    app_icons = [draw_keyboard_icon(n) for n in sizes]
    save_ico(app_icons, "orvkey.ico")
    tip_icons_ico = [draw_tip_icon(n) for n in sizes]
    save_ico(tip_icons_ico, "tip.ico")

    pieces = tip_pieces()
    for i, piece in enumerate(pieces):
        save_bmp(piece, "tipskin%d.bmp" % i)

    icons = [draw() for draw in TIP_ICONS]
    for i, icon in enumerate(icons, 1):
        save_bmp(icon, "tipicon%d.bmp" % i)

    tip_preview(pieces, icons).save(out("tip_preview.png"))
    icon_rows = [sheet_of(app_icons, 4), sheet_of(tip_icons_ico, 4),
                 sheet_of(icons, 4)]
    w = max(r.width for r in icon_rows)
    sheet = Image.new("RGB", (w, sum(r.height for r in icon_rows)),
                      (64, 64, 64))
    y = 0
    for r in icon_rows:
        sheet.paste(r, (0, y))
        y += r.height
    sheet.save(out("icons_preview.png"))


if __name__ == "__main__":
    main()
