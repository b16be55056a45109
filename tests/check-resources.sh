#!/usr/bin/env bash
# kovelar.exe must carry its resources: the window icon at 16, 32 and 48 pixels, the manifest
# (common controls 6 and per-monitor DPI awareness), the 64 x 64 x 32 picture KLAAR, the photo
# FOTO as a baseline JPEG, and the version record 3.0.0.6 of the product Kovelar. Reads the PE
# resource directory itself, prints what it found and fails on anything missing or wrong.
set -euo pipefail
exe=$1
[ -f "$exe" ] || { echo "no such file: $exe"; exit 1; }
exec python3 - "$exe" <<'EOF'
import struct
import sys

RT_ICON, RT_BITMAP, RT_RCDATA, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 2, 10, 14, 16, 24
failures = []


def check(ok, what):
    print(('ok       ' if ok else 'NOT OK   ') + what)
    if not ok:
        failures.append(what)
    return ok


def read_resources(data):
    """{type: {name: bytes}} of the first language of every resource; names are ints or
    upper-case strings."""
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    if data[pe:pe + 4] != b'PE\0\0':
        raise ValueError('not a PE file')
    sections, optional_size = struct.unpack_from('<H12xH', data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from('<H', data, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    rsrc_rva, rsrc_size = struct.unpack_from('<II', data, directories + 2 * 8)
    if rsrc_rva == 0:
        return {}
    table = []
    for k in range(sections):
        s = optional + optional_size + 40 * k
        vsize, va, raw_size, raw = struct.unpack_from('<IIII', data, s + 8)
        table.append((va, max(vsize, raw_size), raw))

    def offset(rva):
        for va, size, raw in table:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError('RVA %#x outside every section' % rva)

    base = offset(rsrc_rva)

    def entries(directory):
        named, ids = struct.unpack_from('<HH', data, base + directory + 12)
        for k in range(named + ids):
            name, target = struct.unpack_from('<II', data, base + directory + 16 + 8 * k)
            if name & 0x80000000:
                at = base + (name & 0x7FFFFFFF)
                length = struct.unpack_from('<H', data, at)[0]
                name = data[at + 2:at + 2 + 2 * length].decode('utf-16-le').upper()
            yield name, target

    resources = {}
    for kind, kind_target in entries(0):
        if not kind_target & 0x80000000:
            continue
        for name, name_target in entries(kind_target & 0x7FFFFFFF):
            target = name_target
            while target & 0x80000000:  # the language level: take the first
                target = next(entries(target & 0x7FFFFFFF))[1]
            rva, size = struct.unpack_from('<II', data, base + target)
            at = offset(rva)
            resources.setdefault(kind, {})[name] = data[at:at + size]
    return resources


def check_icon(res):
    groups = res.get(RT_GROUP_ICON, {})
    group = groups.get('MAINICON')
    if not check(group is not None, 'icon group MAINICON'):
        return
    count = struct.unpack_from('<H', group, 4)[0]
    sizes = set()
    for k in range(count):
        width, height, _, _, _, bits, _, icon_id = struct.unpack_from('<BBBBHHIH', group,
                                                                      6 + 14 * k)
        icon = res.get(RT_ICON, {}).get(icon_id)
        if icon is None:
            check(False, 'icon image %d of the group' % icon_id)
            continue
        sizes.add(width or 256)
        check(bits == 32 and icon[:4] == struct.pack('<I', 40),
              'icon %dx%d is a 32-bit DIB' % (width, height))
    check({16, 32, 48} <= sizes, 'icon sizes 16, 32 and 48 (found %s)' % sorted(sizes))


def check_manifest(res):
    manifest = res.get(RT_MANIFEST, {}).get(1)
    if not check(manifest is not None, 'manifest 1'):
        return
    text = manifest.decode('utf-8', 'replace')
    for needle in ('Microsoft.Windows.Common-Controls', 'version="6.0.0.0"',
                   '6595b64144ccf1df', 'PerMonitorV2', 'true/pm', 'asInvoker'):
        check(needle in text, 'manifest holds %s' % needle)


def check_klaar(res):
    bitmap = res.get(RT_BITMAP, {}).get('KLAAR')
    if not check(bitmap is not None, 'bitmap KLAAR'):
        return
    size, width, height, _, bits, compression = struct.unpack_from('<IiiHHI', bitmap, 0)
    check(size >= 40 and width == 64 and abs(height) == 64 and bits == 32
          and compression in (0, 3),
          'KLAAR is 64 x 64 x 32 (found %d x %d x %d, compression %d)'
          % (width, height, bits, compression))
    pixels = bitmap[size + (12 if compression == 3 and size == 40 else 0):]
    alphas = pixels[3::4]
    check(len(alphas) == 64 * 64 and 0 in alphas and 255 in alphas, 'KLAAR has an alpha channel')


def check_photo(res):
    photo = res.get(RT_RCDATA, {}).get('FOTO')
    if not check(photo is not None, 'photo FOTO'):
        return
    if not check(photo[:2] == b'\xff\xd8', 'FOTO is a JPEG'):
        return
    i = 2
    while i + 4 <= len(photo) and photo[i] == 0xFF:
        marker = photo[i + 1]
        if marker in (0xC0, 0xC1, 0xC2):
            height, width = struct.unpack_from('>HH', photo, i + 5)
            check(marker != 0xC2 and photo[i + 9] == 3,
                  'FOTO is baseline with 3 components, %d x %d' % (width, height))
            return
        i += 2 + struct.unpack_from('>H', photo, i + 2)[0]
    check(False, 'FOTO has a frame header')


def check_version(res):
    record = res.get(RT_VERSION, {}).get(1)
    if not check(record is not None, 'version record'):
        return
    fixed = record.find(struct.pack('<I', 0xFEEF04BD))
    if check(fixed >= 0, 'version record has its fixed part'):
        ms, ls = struct.unpack_from('<II', record, fixed + 8)
        version = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        check(version == (3, 0, 0, 6), 'file version 3.0.0.6 (found %d.%d.%d.%d)' % version)
    check('ProductName\0\0Kovelar\0'.encode('utf-16-le') in record
          or 'ProductName\0Kovelar\0'.encode('utf-16-le') in record,
          'product name Kovelar')


with open(sys.argv[1], 'rb') as f:
    exe = f.read()
try:
    resources = read_resources(exe)
except (ValueError, struct.error, StopIteration) as e:
    print('cannot read the resources of %s: %s' % (sys.argv[1], e))
    sys.exit(1)
check_icon(resources)
check_manifest(resources)
check_klaar(resources)
check_photo(resources)
check_version(resources)
sys.exit(1 if failures else 0)
EOF
