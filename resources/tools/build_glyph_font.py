#!/usr/bin/python3
"""Builds the glyph font "RW2Dings" from the outlines the resource generator
exported (glyphs.json): one pictogram per character, quadratic TrueType
contours converted from the generator's cubic paths.

Usage: build_glyph_font.py <glyphs.json> <RW2Dings.ttf>
Development-time only (python3-fonttools); the .ttf is committed.
"""
import json
import re
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.cu2quPen import Cu2QuPen
from fontTools.pens.ttGlyphPen import TTGlyphPen

FAMILY = "RW2Dings"
UNITS_PER_EM = 1000
ASCENT, DESCENT = 800, 200
FIXED_TIME = 3_800_000_000  # seconds since 1904, the font epoch


def draw(path, pen):
    tokens = re.findall(r"[MLCZ]|-?\d+(?:\.\d+)?", path)
    i = 0
    open_contour = False
    while i < len(tokens):
        op = tokens[i]
        i += 1
        if op == "M":
            if open_contour:
                pen.closePath()
            pen.moveTo((float(tokens[i]), float(tokens[i + 1])))
            i += 2
            open_contour = True
        elif op == "L":
            pen.lineTo((float(tokens[i]), float(tokens[i + 1])))
            i += 2
        elif op == "C":
            pts = [(float(tokens[i + k]), float(tokens[i + k + 1])) for k in (0, 2, 4)]
            pen.curveTo(*pts)
            i += 6
        elif op == "Z":
            pen.closePath()
            open_contour = False
    if open_contour:
        pen.closePath()


def glyph_from_path(path):
    tt = TTGlyphPen(None)
    # The generator's solid parts run counter-clockwise in font coordinates;
    # TrueType wants outer contours clockwise, so the converter reverses them.
    pen = Cu2QuPen(tt, max_err=1.0, reverse_direction=True)
    draw(path, pen)
    return tt.glyph()


def main(source, target):
    with open(source) as f:
        glyphs = json.load(f)
    order = [".notdef", "space"]
    cmap = {32: "space"}
    outlines = {".notdef": TTGlyphPen(None).glyph(), "space": TTGlyphPen(None).glyph()}
    metrics = {".notdef": (500, 0), "space": (500, 0)}
    for g in glyphs:
        code = g["char"]
        name = "uni%04X" % code
        order.append(name)
        cmap[code] = name
        outlines[name] = glyph_from_path(g["path"])
        metrics[name] = (int(round(g["advance"])), 0)
    fb = FontBuilder(UNITS_PER_EM, isTTF=True)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(outlines)
    glyf = fb.font["glyf"]
    for name in order:
        glyf[name].recalcBounds(glyf)
        width = metrics[name][0]
        metrics[name] = (width, getattr(glyf[name], "xMin", 0))
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT)
    fb.setupNameTable({
        "familyName": FAMILY,
        "styleName": "Regular",
        "uniqueFontIdentifier": FAMILY + " Regular 1.0",
        "fullName": FAMILY,
        "psName": FAMILY + "-Regular",
        "version": "Version 1.000",
        "copyright": "Pictograms drawn for Reelwise II",
    })
    fb.setupOS2(sTypoAscender=ASCENT, sTypoDescender=-DESCENT, sTypoLineGap=0,
                usWinAscent=ASCENT + 60, usWinDescent=DESCENT + 60, fsType=0,
                achVendID="RWII", usWeightClass=400)
    fb.setupPost()
    # Fixed timestamps keep the committed file the same from one build to the next.
    fb.setupHead(unitsPerEm=UNITS_PER_EM, fontRevision=1.0, created=FIXED_TIME, modified=FIXED_TIME)
    fb.font.recalcTimestamp = False
    fb.save(target)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
