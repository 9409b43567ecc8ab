#!/usr/bin/env python3
"""Writes the documents behind the RTF files of this folder and has LibreOffice save
each as RTF: python3 make_samples.py [output folder] (default: this folder).

Each document holds one tiny picture (4 x 3 pixels, four colours) placed as a
LibreOffice user places it; the RTF that LibreOffice writes for it is what the
reader must show. Needs soffice (Debian: libreoffice-writer, libreoffice-math).
"""
import base64
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

W, H = 4, 3
COLORS = [(255, 0, 0), (0, 128, 0), (0, 0, 255), (255, 255, 0)]


def pixel(x, y):
    return (x + y) % 4


def png():
    raw = b''.join(b'\0' + b''.join(bytes(COLORS[pixel(x, y)]) for x in range(W)) for y in range(H))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', W, H, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))


def bmp():
    stride = (W * 3 + 3) & ~3
    rows = [b''.join(bytes(reversed(COLORS[pixel(x, y)])) for x in range(W)) for y in reversed(range(H))]
    data = b''.join(row + b'\0' * (stride - W * 3) for row in rows)
    info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + 40 + len(data), 0, 0, 54) + info + data


def gif():
    # LZW with a clear code before every second pixel keeps every code 3 bits wide.
    head = b'GIF89a' + struct.pack('<HHBBB', W, H, 0x81, 0, 0) + b''.join(bytes(c) for c in COLORS)
    codes = []
    for i, p in enumerate(pixel(x, y) for y in range(H) for x in range(W)):
        if i % 2 == 0:
            codes.append(4)
        codes.append(p)
    codes.append(5)
    bits = count = 0
    out = bytearray()
    for code in codes:
        bits |= code << count
        count += 3
        while count >= 8:
            out.append(bits & 255)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 255)
    return head + b',' + struct.pack('<HHHHB', 0, 0, W, H, 0) + bytes([2, len(out)]) + bytes(out) + b'\0;'


IMAGES = {'png': png, 'bmp': bmp, 'gif': gif}
NS = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
      'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
      'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
      'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
      'xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" '
      'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" '
      'xmlns:xlink="http://www.w3.org/1999/xlink" '
      'xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" office:version="1.3"')
# "Graphics" as parent makes a frame Writer's own picture; without it the frame is a
# picture of the drawing layer.
STYLES = '''<office:styles><draw:fill-image draw:name="pic"><office:binary-data>{png}</office:binary-data></draw:fill-image></office:styles>
<office:automatic-styles>
 <style:style style:name="picture" style:family="graphic" style:parent-style-name="Graphics"><style:graphic-properties style:wrap="parallel"/></style:style>
 <style:style style:name="drawing" style:family="graphic"><style:graphic-properties draw:stroke="solid" svg:stroke-width="0.05cm" svg:stroke-color="#000000" style:wrap="parallel"/></style:style>
 <style:style style:name="filled" style:family="graphic"><style:graphic-properties draw:stroke="none" draw:fill="bitmap" draw:fill-image-name="pic" style:repeat="stretch" style:wrap="parallel"/></style:style>
</office:automatic-styles>'''


def frame(kind, anchor, style='picture', inner=None):
    """A 1.2 cm x 0.9 cm frame; anchored other than as a character, 1 cm right of and
    0.5 cm below its anchor."""
    position = '' if anchor == 'as-char' else ' svg:x="1cm" svg:y="0.5cm"'
    if inner is None:
        inner = ('<draw:image draw:mime-type="image/png"><office:binary-data>%s</office:binary-data></draw:image>'
                 % base64.b64encode(IMAGES[kind]()).decode())
    return ('<draw:frame draw:style-name="%s" draw:name="Picture" text:anchor-type="%s"%s svg:width="1.2cm" '
            'svg:height="0.9cm" draw:z-index="0">%s</draw:frame>' % (style, anchor, position, inner))


def flat(body):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<office:document %s office:mimetype="application/'
            'vnd.oasis.opendocument.text">%s<office:body><office:text>%s</office:text></office:body></office:document>\n'
            % (NS, STYLES.format(png=base64.b64encode(png()).decode()), body))


TABLE = ('<table:table table:name="Table"><table:table-column table:number-columns-repeated="2"/><table:table-row>'
         '<table:table-cell><text:p>%s cell one</text:p></table:table-cell>'
         '<table:table-cell><text:p>cell two</text:p></table:table-cell></table:table-row></table:table><text:p>end</text:p>')

FLAT = {
    # Writer's picture in the text: \*\shppict with a \nonshppict metafile.
    'lo_as_char_png': '<text:p>before %s after</text:p>' % frame('png', 'as-char'),
    # Writer's pictures anchored elsewhere: \shp with the picture in its pib property.
    'lo_char_png': '<text:p>before %s after</text:p>' % frame('png', 'char'),
    'lo_paragraph_bmp': '<text:p>%s paragraph text</text:p>' % frame('bmp', 'paragraph'),
    'lo_page_gif': '<text:p>%s page text</text:p>' % frame('gif', 'page'),
    'lo_table_png': TABLE % frame('png', 'paragraph'),
    # A bordered picture of the drawing layer: \shp in a SHAPE field, pib and fillBlip.
    'lo_bordered_drawing_png': '<text:p>before %s after</text:p>' % frame('png', 'as-char', 'drawing'),
    # A rectangle filled with a picture: \shp whose only picture is fillBlip.
    'lo_filled_rectangle_png': ('<text:p>before <draw:rect draw:style-name="filled" text:anchor-type="char" svg:x="1cm" '
                                'svg:y="0.5cm" svg:width="1.2cm" svg:height="0.9cm" draw:z-index="0"/> after</text:p>'),
}

MATH = ('<?xml version="1.0" encoding="UTF-8"?>\n<math xmlns="http://www.w3.org/1998/Math/MathML" display="block">'
        '<semantics><mrow><msup><mi>x</mi><mn>2</mn></msup></mrow><annotation encoding="StarMath 5.0">x^2</annotation>'
        '</semantics></math>')
MANIFEST = '''<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.3">
 <manifest:file-entry manifest:full-path="/" manifest:version="1.3" manifest:media-type="application/vnd.oasis.opendocument.text"/>
 <manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>
 <manifest:file-entry manifest:full-path="Object 1/content.xml" manifest:media-type="text/xml"/>
 <manifest:file-entry manifest:full-path="Object 1/" manifest:version="1.3" manifest:media-type="application/vnd.oasis.opendocument.formula"/>
 <manifest:file-entry manifest:full-path="ObjectReplacements/Object 1" manifest:media-type="image/png"/>
</manifest:manifest>'''


def formula_odt(path):
    """A formula with a picture of it; a flat document cannot embed one, a package can."""
    link = 'xlink:type="simple" xlink:show="embed" xlink:actuate="onLoad"'
    inner = ('<draw:object xlink:href="./Object 1" %s/><draw:image xlink:href="./ObjectReplacements/Object 1" %s/>'
             % (link, link))
    content = ('<?xml version="1.0" encoding="UTF-8"?>\n<office:document-content %s>%s<office:body><office:text>'
               '<text:p>formula %s end</text:p></office:text></office:body></office:document-content>'
               % (NS, STYLES.format(png=''), frame('png', 'as-char', inner=inner)))
    with zipfile.ZipFile(path, 'w') as z:
        z.writestr(zipfile.ZipInfo('mimetype'), 'application/vnd.oasis.opendocument.text')
        z.writestr('META-INF/manifest.xml', MANIFEST, zipfile.ZIP_DEFLATED)
        z.writestr('content.xml', content, zipfile.ZIP_DEFLATED)
        z.writestr('Object 1/content.xml', MATH, zipfile.ZIP_DEFLATED)
        z.writestr('ObjectReplacements/Object 1', png())


def main():
    target = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__)))
    with tempfile.TemporaryDirectory() as work:
        sources = []
        for name, body in FLAT.items():
            sources.append(os.path.join(work, name + '.fodt'))
            with open(sources[-1], 'w') as f:
                f.write(flat(body))
        sources.append(os.path.join(work, 'lo_formula.odt'))
        formula_odt(sources[-1])
        profile = 'file://' + os.path.join(work, 'profile')
        subprocess.run(['soffice', '-env:UserInstallation=' + profile, '--headless', '--convert-to', 'rtf',
                        '--outdir', work] + sources, check=True, stdout=subprocess.DEVNULL)
        for source in sources:
            name = os.path.splitext(os.path.basename(source))[0] + '.rtf'
            shutil.copy(os.path.join(work, name), os.path.join(target, name))
            print(name)


if __name__ == '__main__':
    main()
