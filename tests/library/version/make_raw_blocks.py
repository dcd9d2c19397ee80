#!/usr/bin/env python3
"""Writes the hand-made version blocks that a resource compiler will not produce:
a translation value too short for one entry, and a value whose reported length
runs past a NUL. Run it here after a change; the .rc files are committed."""
import struct


def pad4(data):
    return data + b'\0' * (-len(data) % 4)


def node(key, value=b'', value_length=0, value_type=1, children=b''):
    # wLength, wValueLength, wType, the key in UTF-16 with its NUL, the value and
    # the children, each aligned to 32 bits.
    body = pad4(struct.pack('<HHH', 0, value_length, value_type) + (key + '\0').encode('utf-16-le'))
    if value:
        body = pad4(body + value)
    body += children
    return pad4(struct.pack('<H', len(body)) + body[2:])


def text(key, value):
    return node(key, value.encode('utf-16-le'), len(value), 1)


def block(strings, translation):
    fixed = struct.pack('<13I', 0xFEEF04BD, 0x00010000, 0x00010000, 0, 0x00010000, 0,
                        0x3F, 0, 4, 1, 0, 0, 0)
    table = node('041103A4', children=b''.join(text(k, v) for k, v in strings))
    var = node('Translation', translation, len(translation), 0)
    children = node('StringFileInfo', children=table) + node('VarFileInfo', children=var)
    return node('VS_VERSION_INFO', fixed, len(fixed), 0, children)


def write(name, comment, data):
    words = struct.unpack('<%dH' % (len(data) // 2), data)
    rows = [', '.join('0x%04X' % w for w in words[i:i + 8]) for i in range(0, len(words), 8)]
    with open(name, 'w') as f:
        f.write('// %s\n// Made by make_raw_blocks.py.\n1 16  // RT_VERSION\nBEGIN\n' % comment)
        f.write(',\n'.join('  ' + r for r in rows) + '\nEND\n')


write('RawShortTranslation.rc',
      'A translation value of two bytes: too short for one entry.',
      block([('FileVersion', '1.0.0.0\0')], struct.pack('<H', 0x0411)))
write('RawCountedNul.rc',
      'Comments reports six characters, "ab", NUL, "cd", NUL: the value ends at the first NUL.',
      block([('FileVersion', '1.0.0.0\0'), ('Comments', 'ab\0cd\0')], struct.pack('<HH', 0x0411, 932)))
