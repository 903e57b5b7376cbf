#!/usr/bin/python3
"""Writes the DXF drawings of this folder (see README.md for what each holds).

Uses ezdxf (Debian: python3-ezdxf, 0.18). The output is the library's normal
output with all its HEADER/TABLES/BLOCKS/OBJECTS content, so the reader meets
what CAD programs write; only the things that change from run to run (dates,
timers, GUIDs) are pinned, so running this again gives the same bytes.
"""

import io
import os
import sys

# ezdxf fills the CLASSES section from a set of type names, so its order
# follows the string hash seed: pin the seed for the same bytes every run.
if os.environ.get("PYTHONHASHSEED") != "0":
    os.environ["PYTHONHASHSEED"] = "0"
    os.execv(sys.executable, [sys.executable] + sys.argv)

import ezdxf  # noqa: E402

# Must be set before the first document is made: the "created by" marker is
# written at creation time.
ezdxf.options.write_fixed_meta_data_for_testing = True

OUT = os.path.dirname(os.path.abspath(__file__))

PINNED_HEADER = {
    "$TDCREATE": 2451545.0,
    "$TDUCREATE": 2451545.0,
    "$TDUPDATE": 2451545.0,
    "$TDUUPDATE": 2451545.0,
    "$TDINDWG": 0.0,
    "$TDUSRTIMER": 0.0,
    "$FINGERPRINTGUID": "{00000000-0000-0000-0000-000000000000}",
    "$VERSIONGUID": "{00000000-0000-0000-0000-000000000000}",
}


def new(version="R2000"):
    return ezdxf.new(version)


def dxf_text(doc):
    for name, value in PINNED_HEADER.items():
        if name in doc.header:
            doc.header[name] = value
    buf = io.StringIO()
    doc.write(buf)
    return buf.getvalue()


def save(name, doc, edit=None):
    text = dxf_text(doc)
    if edit is not None:
        text = edit(text)
    # As ezdxf's own saving does: a character the code page lacks is written
    # as a \U+ escape.
    data = text.encode(doc.output_encoding, errors="dxfreplace")
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def save_bytes(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


# --- editing the written text ------------------------------------------------
# ezdxf always writes every coordinate; drawings from other writers leave out
# the optional ones. These helpers cut pairs out of one entity, found by its
# handle, so the rest of the file stays as written.


def pairs_of(text):
    lines = text.split("\n")
    assert lines[-1] == ""
    lines = lines[:-1]
    assert len(lines) % 2 == 0
    return [(lines[i], lines[i + 1]) for i in range(0, len(lines), 2)]


def text_of(pairs):
    return "".join(f"{c}\n{v}\n" for c, v in pairs)


def entity_span(pairs, handle):
    """Index range of the entity whose group 5 is `handle`."""
    for i, (code, value) in enumerate(pairs):
        if code.strip() == "5" and value == handle:
            start = i
            while pairs[start][0].strip() != "0":
                start -= 1
            end = i + 1
            while pairs[end][0].strip() != "0":
                end += 1
            return start, end
    raise KeyError(handle)


def drop_codes(handle, codes):
    def edit(text):
        pairs = pairs_of(text)
        start, end = entity_span(pairs, handle)
        kept = [p for p in pairs[start:end] if int(p[0]) not in codes]
        assert len(kept) < end - start, "nothing dropped"
        return text_of(pairs[:start] + kept + pairs[end:])

    return edit


def chain(*edits):
    def edit(text):
        for e in edits:
            text = e(text)
        return text

    return edit


# --- the drawings ------------------------------------------------------------


def hatch_line_pattern():
    doc = new()
    msp = doc.modelspace()
    hatch = msp.add_hatch(dxfattribs={"layer": "0"})
    hatch.paths.add_polyline_path([(0, 0), (10, 0), (10, 10), (0, 10)], is_closed=True)
    hatch.set_pattern_fill("LINE", scale=1.0)
    msp.add_point((5, 6, 7))
    save("hatch-line-pattern.dxf", doc)


def layers_named_like_types():
    doc = new()
    for name in ("POINT", "LINE", "TEXT"):
        doc.layers.add(name)
    msp = doc.modelspace()
    msp.add_circle((1, 2, 3), radius=1.5, dxfattribs={"layer": "POINT"})
    msp.add_arc((10, 0, 1), radius=2, start_angle=0, end_angle=90, dxfattribs={"layer": "LINE"})
    msp.add_ellipse((20, 0, 0), major_axis=(3, 0, 0), ratio=0.5, dxfattribs={"layer": "TEXT"})
    msp.add_point((30, 4, 0))
    save("layers-named-like-types.dxf", doc)


def attribute_tagged_point():
    doc = new()
    block = doc.blocks.new("SURVEY")
    block.add_circle((0, 0), radius=0.5)
    block.add_attdef("POINT", (0.7, 0), dxfattribs={"height": 0.25})
    msp = doc.modelspace()
    for where, value in (((100, 100, 0), "LINE"), ((200, 150, 5), "P2")):
        ref = msp.add_blockref("SURVEY", where)
        ref.add_auto_attribs({"POINT": value})
    msp.add_point((1, 2, 3))
    save("attribute-tagged-point.dxf", doc)


def attribs_on_text_layer():
    doc = new()
    doc.layers.add("TEXT")
    block = doc.blocks.new("MARK")
    block.add_line((-0.5, 0), (0.5, 0))
    block.add_attdef("NAME", (0.7, 0), dxfattribs={"height": 0.25, "layer": "TEXT"})
    msp = doc.modelspace()
    for where, value in (((10, 20, 0), "A1"), ((30, 40, 0), "A2")):
        ref = msp.add_blockref("MARK", where)
        attrib = ref.add_attrib("NAME", value, (where[0] + 0.7, where[1]))
        attrib.dxf.layer = "TEXT"
    msp.add_point((50, 60, 0))
    save("attribs-on-text-layer.dxf", doc)


def group_named_text():
    doc = new()
    msp = doc.modelspace()
    line = msp.add_line((0, 0, 0), (4, 0, 0))
    group = doc.groups.new("TEXT")
    group.extend([line])
    msp.add_text("LABEL", dxfattribs={"insert": (3, 4, 0), "height": 0.5})
    msp.add_point((7, 8, 0))
    save("group-named-text.dxf", doc)


def mtext_columns():
    doc = new("R2018")
    msp = doc.modelspace()
    msp.add_mtext_static_columns(
        ["First column", "Second column"],
        width=10,
        gutter_width=1,
        height=5,
        dxfattribs={"insert": (100, 200, 0), "char_height": 0.5},
    )
    msp.add_point((300, 400, 0))
    save("mtext-columns.dxf", doc)


LONG_MTEXT_HEAD = (
    "Survey note: the control points of this sheet were set out from the "
    "station marks along the northern boundary; heights refer to the local "
    "datum and were checked twice before the drawing was issued, with "
    "differences below two millimetres at each "
)
LONG_MTEXT_TAIL = (
    "mark except the last one, which was re-measured on the following day "
    "and then agreed with the first reading."
)


def long_mtext():
    # A chunk of 250 characters ends with a space: readers that trim values
    # would glue "word" to the next chunk's first word.
    text = LONG_MTEXT_HEAD + "word " + LONG_MTEXT_TAIL
    assert text[245:250] == "word " and len(text) > 250
    return text


def mtext_long():
    doc = new()
    msp = doc.modelspace()
    msp.add_mtext(long_mtext(), dxfattribs={"insert": (5, 10, 0), "char_height": 0.5, "width": 40})
    msp.add_point((15, 20, 0))
    save("mtext-long.dxf", doc)


def paper_space():
    doc = new()
    msp = doc.modelspace()
    msp.add_point((1, 1, 0))
    msp.add_point((2, 2, 0))
    msp.add_line((0, 0, 0), (10, 0, 0))
    psp = doc.layout("Layout1")
    psp.add_line((10, 10), (410, 10))
    psp.add_text("TITLE", dxfattribs={"insert": (20, 15), "height": 5})
    psp.add_point((400, 280))
    msp.add_point((3, 3, 0))
    save("paper-space.dxf", doc, paper_space_first)


def paper_space_first(text):
    """Moves the paper-space entities (group 67 = 1) to the top of ENTITIES.

    ezdxf writes them last; CAD programs often write them first, and then
    model-space entities, which have no group 67, follow them.
    """
    pairs = pairs_of(text)
    top = pairs.index(("  2", "ENTITIES")) + 1
    end = pairs.index(("  0", "ENDSEC"), top)
    entities, start = [], top
    for i in range(top + 1, end + 1):
        if pairs[i][0] == "  0":
            entities.append(pairs[start:i])
            start = i
    in_paper = [any(c.strip() == "67" and v.strip() == "1" for c, v in e) for e in entities]
    paper = [e for e, p in zip(entities, in_paper) if p]
    model = [e for e, p in zip(entities, in_paper) if not p]
    assert paper and model
    body = [p for e in paper + model for p in e]
    return text_of(pairs[:top] + body + pairs[end:])


def missing_optional_z():
    doc = new()
    msp = doc.modelspace()
    face = msp.add_3dface([(0, 0, 4), (10, 0, 5), (10, 10, 6), (0, 10, 7)])
    spline = msp.add_open_spline([(0, 0, 1), (5, 5, 2), (10, 0, 3), (15, 5, 4)], degree=3)
    poly = msp.add_polyline3d([(0, 0, 0), (1, 0, 5), (2, 0, 9), (3, 0, 2)])
    vertex = poly.vertices[2]
    msp.add_point((40, 50, 60))
    edit = chain(
        drop_codes(face.dxf.handle, {31, 32, 33}),
        drop_codes(spline.dxf.handle, {30}),
        drop_codes(vertex.dxf.handle, {30}),
    )
    save("missing-optional-z.dxf", doc, edit)


# (x, y, vertex flags, tangent in degrees or None): the points given by the
# user carry flag 2 and a tangent, the ones made by the curve fit flag 1.
CURVE_FIT_VERTICES = [
    (0, 0, 2, 45),
    (2, 1.5, 1, None),
    (4, 2, 1, None),
    (6, 2, 2, 0),
    (8, 1.5, 1, None),
    (10, 0, 2, 315),
]


def curve_fit_polyline():
    doc = new()
    msp = doc.modelspace()
    poly = msp.add_polyline2d([], dxfattribs={"flags": ezdxf.const.POLYLINE_CURVE_FIT_VERTICES_ADDED})
    for x, y, flags, tangent in CURVE_FIT_VERTICES:
        attribs = {"flags": flags}
        if tangent is not None:
            attribs["tangent"] = tangent
        poly.append_vertex((x, y), dxfattribs=attribs)
    msp.add_point((20, 30, 0))
    save("curve-fit-polyline.dxf", doc)


def extrusion_not_unit():
    doc = new()
    msp = doc.modelspace()
    a = msp.add_circle((1, 2, 3), radius=1)
    a.dxf.extrusion = (0, 0, -2)
    b = msp.add_circle((4, 5, 6), radius=1)
    b.dxf.extrusion = (0, 3, 4)
    msp.add_point((7, 8, 9))
    save("extrusion-not-unit.dxf", doc)


def ctrl_z_inside():
    doc = new("R12")
    msp = doc.modelspace()
    first = msp.add_point((1, 1, 1))
    second = msp.add_point((2, 2, 2))
    msp.add_point((3, 3, 3))
    data = dxf_text(doc).encode(doc.output_encoding)
    # A DOS end-of-file byte on its own line in the middle of the entities:
    # the drawing goes on after it.
    marker = f"  5\n{second.dxf.handle}\n".encode()
    at = data.index(marker)
    at = data.rindex(b"  0\nPOINT\n", 0, at)
    assert first.dxf.handle.encode() in data[:at]
    save_bytes("ctrl-z-inside.dxf", data[:at] + b"\x1a\n" + data[at:])


def survey_blocks():
    doc = new()
    block = doc.blocks.new("SURVEY")
    block.add_point((0, 0))
    for i, tag in enumerate(("PT", "ELEV", "DESC")):
        block.add_attdef(tag, (0.7, -0.4 * i), dxfattribs={"height": 0.25})
    msp = doc.modelspace()
    first = msp.add_blockref("SURVEY", (10, 20, 0))
    first.add_auto_attribs({"PT": "101", "ELEV": "50.25", "DESC": "TREE"})
    # Attributes in another order than the block's ATTDEFs: a field by tag
    # finds each, the list of all keeps the drawing's order.
    second = msp.add_blockref("SURVEY", (30, 40, 1.5))
    for tag, value in (("DESC", "FENCE, POST"), ("PT", "102"), ("ELEV", "51.10")):
        second.add_attrib(tag, value, (30.7, 40))
    msp.add_blockref("SURVEY", (50, 60, 0))
    msp.add_point((70, 80, 0))
    save("survey-blocks.dxf", doc)


def code_page_1252():
    doc = new("R12")
    doc.encoding = "cp1252"
    msp = doc.modelspace()
    msp.add_text("Höhe ° ±", dxfattribs={"insert": (1, 2, 0), "height": 0.5})
    msp.add_text("%%c50 %%p0.5 45%%d 100%%% %%uA%%u", dxfattribs={"insert": (3, 4, 0)})
    msp.add_point((5, 6, 0))
    save("code-page-1252.dxf", doc)


def code_page_1251():
    doc = new("R12")
    doc.encoding = "cp1251"
    doc.layers.add("Границы")
    block = doc.blocks.new("ЗНАК")
    block.add_attdef("NAME", (0.7, 0), dxfattribs={"height": 0.25})
    msp = doc.modelspace()
    msp.add_text("Высота 120 м", dxfattribs={"insert": (1, 2, 0), "layer": "Границы"})
    ref = msp.add_blockref("ЗНАК", (3, 4, 0), dxfattribs={"layer": "Границы"})
    ref.add_attrib("NAME", "Пункт 7", (3.7, 4))
    msp.add_point((5, 6, 0))
    save("code-page-1251.dxf", doc)


def unicode_escapes():
    # An R2000 drawing is written in its code page (Windows-1252 here); what
    # that lacks goes out as \U+ escapes, past U+FFFF with eight digits.
    doc = new()
    doc.layers.add("Слой")
    msp = doc.modelspace()
    msp.add_text("Дата 温度 é 𝛼", dxfattribs={"insert": (1, 2, 0), "layer": "Слой"})
    msp.add_mtext("Ελλάδα\\Pκείμενο", dxfattribs={"insert": (3, 4, 0), "layer": "Слой"})
    msp.add_point((5, 6, 0))
    save("unicode-escapes.dxf", doc)


def utf8_r2018():
    doc = new("R2018")
    doc.layers.add("Höhenlinien")
    msp = doc.modelspace()
    msp.add_text("Straße 東京 😀", dxfattribs={"insert": (1, 2, 0), "layer": "Höhenlinien"})
    msp.add_mtext("Ηλίου\\Pπόλη ±", dxfattribs={"insert": (3, 4, 0), "layer": "Höhenlinien"})
    msp.add_point((5, 6, 0))
    save("utf8-r2018.dxf", doc)


# One MTEXT per entry, at (0, i): what each formatting code leaves as plain text.
MTEXT_CODES = [
    "{\\fArial|b1|i0|c0|p34;Bold} text",
    "Line one\\PLine two",
    "Pipe \\S1/2; inch",
    "A\\~B",
    "C:\\\\temp",
    "\\{braces\\}",
    "{\\H2.5x;\\C1;Red} and \\Lunderlined\\l",
    "\\pxqc;Centred",
    "\\S+0.1^-0.2;",
    # ezdxf cuts the content into 250-character chunks: here between the
    # backslash and the P of a paragraph break.
    "x" * 249 + "\\Pend",
]


def mtext_codes():
    doc = new()
    msp = doc.modelspace()
    for i, text in enumerate(MTEXT_CODES):
        msp.add_mtext(text, dxfattribs={"insert": (0, i, 0), "char_height": 0.5})
    msp.add_point((5, 6, 0))
    save("mtext-codes.dxf", doc)


def quoting():
    doc = new()
    # ezdxf refuses a double quote in a layer name (AutoCAD does too); other
    # writers let one through, so the name is put in after writing.
    doc.layers.add("FENCE_NORTH")
    msp = doc.modelspace()
    attribs = {"layer": "FENCE_NORTH"}
    msp.add_text('He said "stop"', dxfattribs={"insert": (1, 2, 0), **attribs})
    msp.add_text("a;b", dxfattribs={"insert": (3, 4, 0)})
    msp.add_point((5, 6, 0), dxfattribs=attribs)
    save("quoting.dxf", doc, lambda text: text.replace("FENCE_NORTH", 'Fence, "north"'))


DRAWINGS = [
    hatch_line_pattern,
    layers_named_like_types,
    attribute_tagged_point,
    attribs_on_text_layer,
    group_named_text,
    mtext_columns,
    mtext_long,
    paper_space,
    missing_optional_z,
    curve_fit_polyline,
    extrusion_not_unit,
    ctrl_z_inside,
    survey_blocks,
    code_page_1252,
    code_page_1251,
    unicode_escapes,
    utf8_r2018,
    mtext_codes,
    quoting,
]


def main():
    if ezdxf.__version__.split(".")[:2] != ["0", "18"]:
        print(f"warning: made with ezdxf 0.18, this is {ezdxf.__version__}", file=sys.stderr)
    for make in DRAWINGS:
        make()


if __name__ == "__main__":
    main()
