#!/usr/bin/env python3
"""Writes the sources of the document tree with a fixed seed.

make_documents.py OUT COUNT: COUNT documents of Russian text, each as flat OpenDocument text (.fodt, with a
header, footnotes and a table), spreadsheet (.fods, a paragraph per cell) and presentation (.fodp, a few
paragraphs per slide) under OUT/source, for an office suite to convert. One document in twelve holds PHRASE:
in the body split by a bold run, in a footnote, in a table cell or in the header, in turn; their names go to
OUT/planted, one a line."""
import os
import random
import sys
from xml.sax.saxutils import escape

SEED = 20261210
PHRASE = "Договор аренды помещения"
SYLLABLES = ["ра", "то", "ко", "ни", "ли", "ве", "ст", "про", "на", "по", "ре", "де", "ми", "за", "ос", "ен",
             "ти", "ло", "ва", "ры", "же", "ча", "шу", "ёл", "бы", "мо", "ска", "тель", "ение", "ость"]
NAMESPACES = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
              'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
              'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
              'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
              'xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" '
              'xmlns:presentation="urn:oasis:names:tc:opendocument:xmlns:presentation:1.0" '
              'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" '
              'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" office:version="1.3"')


def words(rng, count):
    out = []
    for _ in range(count):
        word = "".join(rng.choice(SYLLABLES) for _ in range(rng.randint(1, 4)))
        out.append(word.capitalize() if rng.random() < 0.07 else word)
    return " ".join(out)


def document(kind, body, styles=""):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<office:document %s office:mimetype='
            '"application/vnd.oasis.opendocument.%s">%s<office:body>%s</office:body></office:document>\n'
            % (NAMESPACES, kind, styles, body))


def cell(text):
    return ('<table:table-cell office:value-type="string"><text:p>%s</text:p></table:table-cell>' % text)


def text_document(paragraphs, header, footnotes, table):
    styles = ('<office:automatic-styles><style:style style:name="B" style:family="text"><style:text-properties '
              'fo:font-weight="bold"/></style:style><style:page-layout style:name="pm1"><style:header-style/>'
              '</style:page-layout></office:automatic-styles><office:master-styles><style:master-page '
              'style:name="Standard" style:page-layout-name="pm1"><style:header><text:p>%s</text:p></style:header>'
              '</style:master-page></office:master-styles>' % header)
    body = []
    for i, paragraph in enumerate(paragraphs):
        note = ""
        if i in footnotes:
            note = ('<text:note text:note-class="footnote"><text:note-citation>%d</text:note-citation>'
                    '<text:note-body><text:p>%s</text:p></text:note-body></text:note>' % (i + 1, footnotes[i]))
        body.append("<text:p>%s%s</text:p>" % (paragraph, note))
        if i == len(paragraphs) // 2:
            rows = "".join("<table:table-row>%s</table:table-row>" % "".join(cell(c) for c in row) for row in table)
            body.append('<table:table table:name="Т1"><table:table-column table:number-columns-repeated="%d"/>%s'
                        '</table:table>' % (len(table[0]), rows))
    return document("text", "<office:text>%s</office:text>" % "".join(body), styles)


def spreadsheet(paragraphs):
    rows = "".join("<table:table-row>%s</table:table-row>" % cell(p) for p in paragraphs)
    return document("spreadsheet", '<office:spreadsheet><table:table table:name="Лист1">%s</table:table>'
                    '</office:spreadsheet>' % rows)


def presentation(paragraphs):
    pages = []
    for start in range(0, len(paragraphs), 4):
        text = "".join("<text:p>%s</text:p>" % p for p in paragraphs[start:start + 4])
        pages.append('<draw:page draw:name="page%d" draw:master-page-name="Default"><draw:frame svg:x="1cm" '
                     'svg:y="1cm" svg:width="26cm" svg:height="17cm"><draw:text-box>%s</draw:text-box>'
                     '</draw:frame></draw:page>' % (start // 4 + 1, text))
    styles = ('<office:automatic-styles><style:page-layout style:name="PM1"/></office:automatic-styles>'
              '<office:master-styles><style:master-page style:name="Default" style:page-layout-name="PM1"/>'
              '</office:master-styles>')
    return document("presentation", "<office:presentation>%s</office:presentation>" % "".join(pages), styles)


def main(out, count):
    rng = random.Random(SEED)
    source = os.path.join(out, "source")
    os.makedirs(source, exist_ok=True)
    planted = []
    for n in range(count):
        paragraphs = [escape(words(rng, rng.randint(8, 60))) for _ in range(rng.randint(5, 120))]
        header = escape(words(rng, 4))
        footnotes = {i: escape(words(rng, 8)) for i in rng.sample(range(len(paragraphs)), min(3, len(paragraphs)))}
        table = [[escape(words(rng, 3)) for _ in range(3)] for _ in range(3)]
        flat = list(paragraphs) + [header] + list(footnotes.values()) + [c for row in table for c in row]
        name = "doc%04d" % n
        if n % 12 == 5:
            planted.append(name)
            where = (n // 12) % 4
            if where == 0:
                at = rng.randrange(len(paragraphs))
                paragraphs[at] += ' Дого<text:span text:style-name="B">вор</text:span> аренды помещения'
                flat[at] += " " + PHRASE
            elif where == 1:
                at = next(iter(footnotes))
                footnotes[at] += " " + PHRASE
                flat.append(PHRASE)
            elif where == 2:
                table[1][1] = PHRASE
                flat.append(PHRASE)
            else:
                header = PHRASE + " № 17"
                flat.append(header)
        with open(os.path.join(source, name + ".fodt"), "w", encoding="utf-8") as f:
            f.write(text_document(paragraphs, header, footnotes, table))
        with open(os.path.join(source, name + ".fods"), "w", encoding="utf-8") as f:
            f.write(spreadsheet(flat))
        with open(os.path.join(source, name + ".fodp"), "w", encoding="utf-8") as f:
            f.write(presentation(flat))
    with open(os.path.join(out, "planted"), "w", encoding="utf-8") as f:
        f.write("".join(name + "\n" for name in planted))


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
