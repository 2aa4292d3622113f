#!/usr/bin/env python3
"""Writes the seed inputs of the translation fuzz target into corpus/.

An input is laid out as the target reads it: 108 key assignments (12 bytes each), the
608-byte working table, the 4-byte macro count, 8 cache bytes (bit 0: entry used; bit 7
of the last one: channel closed), the first 4 bytes of each of the 100 combination
records, then the macro records."""
import pathlib
import re
import struct

here = pathlib.Path(__file__).resolve().parent
layout = (here / '../../../src/res/ButtonPos.xml').read_text(encoding='utf-8')
vks = [int(v, 16) for v in re.findall(r'vkcode="0x([0-9A-Fa-f]+)"', layout)][:108]


def assignments(kinds):
    """kinds(i, vk) -> (type, parameter) for each of the 108 keys."""
    return b''.join(struct.pack('<B3xii', vk, *kinds(i, vk)) for i, vk in enumerate(vks))


def combos(n):
    return b''.join(bytes([0x11, 0x41 + i % 26, 0, 0]) for i in range(n)) + bytes(4 * (100 - n))


def macro(events):
    body = struct.pack('<8sIH2x', bytes(8), 1, len(events))
    body += b''.join(struct.pack('<BB2xI', vk, down, delay) for vk, down, delay in events)
    return body + bytes(1304 - len(body))


def write(name, keys, table=bytes(608), count=0, cache=bytes(8), comb=combos(0), macros=b''):
    (here / 'corpus' / name).write_bytes(keys + table + struct.pack('<i', count) + cache + comb + macros)


(here / 'corpus').mkdir(exist_ok=True)
write('defaults', assignments(lambda i, vk: (1, 0)))
write('every-type', assignments(lambda i, vk: (1 + i % 9, i % 20)), count=3,
      comb=combos(12), macros=macro([(0x41, 1, 10), (0x41, 0, 7000)]) * 2)
write('nine-combinations', assignments(lambda i, vk: (8, i) if i < 12 else (1, 0)), comb=combos(12))
write('full-cache', assignments(lambda i, vk: (2, 1 + i % 5)), cache=bytes([1] * 8))
write('macro-references', assignments(lambda i, vk: (4, i - 2)), count=11,
      macros=macro([(0x10 + e % 40, e % 2, e * 13) for e in range(161)]) * 3)
write('channel-closed', assignments(lambda i, vk: (3, i % 18)), cache=bytes(7) + b'\x80')
