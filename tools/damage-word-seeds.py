#!/usr/bin/env python3
"""Writes the hand-damaged fuzz seeds from a sound Word 97 file.

Usage: tools/damage-word-seeds.py resources/template.dot tests/fuzz/seeds
Each seed breaks one thing the bookmark reader must survive; the compound file around it
stays sound so that the reader gets as far as the damage.
"""
import struct
import sys
from pathlib import Path


class Compound:
    """Just enough of an OLE compound file to patch bytes inside its streams in place."""

    def __init__(self, data):
        self.data = bytearray(data)
        self.sector = 1 << struct.unpack_from("<H", data, 0x1E)[0]
        self.mini = 1 << struct.unpack_from("<H", data, 0x20)[0]
        self.cutoff = struct.unpack_from("<I", data, 0x38)[0]
        fat_sectors = [s for s in struct.unpack_from("<109I", data, 0x4C) if s < 0xFFFFFFFA]
        self.fat = [v for s in fat_sectors for v in self._u32s(self._sector_offsets(s))]
        self.entries = {}
        directory = self._chain_offsets(struct.unpack_from("<I", data, 0x30)[0])
        for at in range(0, len(directory), 128):
            entry = bytes(self.data[o] for o in directory[at:at + 128])
            length = struct.unpack_from("<H", entry, 0x40)[0]
            name = entry[:max(length - 2, 0)].decode("utf-16-le")
            start, size = struct.unpack_from("<II", entry, 0x74)
            self.entries.setdefault(name, (start, size))
        self.mini_stream = self._chain_offsets(self.entries["Root Entry"][0])
        minifat = self._chain_offsets(struct.unpack_from("<I", data, 0x3C)[0])
        self.minifat = self._u32s(minifat)

    def _u32s(self, offsets):
        raw = bytes(self.data[o] for o in offsets)
        return list(struct.unpack("<%dI" % (len(raw) // 4), raw))

    def _sector_offsets(self, sector):
        start = (sector + 1) * self.sector
        return list(range(start, start + self.sector))

    def _chain_offsets(self, sector, fat=None, unit=None):
        fat, offsets = fat or self.fat, []
        while sector < 0xFFFFFFFA:
            if unit is None:
                offsets += self._sector_offsets(sector)
            else:
                offsets += self.mini_stream[sector * unit:(sector + 1) * unit]
            sector = fat[sector]
        return offsets

    def stream(self, name):
        """The file offset of every byte of a stream."""
        start, size = self.entries[name]
        if size < self.cutoff:
            return self._chain_offsets(start, self.minifat, self.mini)[:size]
        return self._chain_offsets(start)[:size]

    def read(self, name, at, length):
        offsets = self.stream(name)
        return bytes(self.data[o] for o in offsets[at:at + length])

    def write(self, name, at, value):
        offsets = self.stream(name)
        for i, byte in enumerate(value):
            self.data[offsets[at + i]] = byte


def pair_offset(doc, index):
    """Where fc/lcb pair `index` lies in the WordDocument stream."""
    at = 0x20
    at += 2 + 2 * struct.unpack("<H", doc.read("WordDocument", at, 2))[0]
    at += 2 + 4 * struct.unpack("<H", doc.read("WordDocument", at, 2))[0]
    return at + 2 + 8 * index


STTBF_BKMK, PLCF_BKF = 21, 22


def damaged(source, change):
    doc = Compound(source)
    table = "1Table" if struct.unpack("<H", doc.read("WordDocument", 0x0A, 2))[0] & 0x200 else "0Table"
    change(doc, table)
    return bytes(doc.data)


def set_pair(index, fc=None, lcb=None):
    def change(doc, table):
        at = pair_offset(doc, index)
        old_fc, old_lcb = struct.unpack("<II", doc.read("WordDocument", at, 8))
        new = (fc(doc, table, old_fc) if fc else old_fc, lcb(old_lcb) if lcb else old_lcb)
        doc.write("WordDocument", at, struct.pack("<II", *new))
    return change


def in_table(index, at_in_part, value):
    def change(doc, table):
        fc = struct.unpack("<I", doc.read("WordDocument", pair_offset(doc, index), 4))[0]
        doc.write(table, fc + at_in_part(doc, table, fc), value)
    return change


def main():
    source = Path(sys.argv[1]).read_bytes()
    folder = Path(sys.argv[2])
    seeds = {
        "truncated-half.dot": source[:len(source) // 2],
        "truncated-in-header.dot": source[:300],
        # The bookmark names start past the end of the table stream.
        "fib-past-end.dot": damaged(source, set_pair(
            STTBF_BKMK, fc=lambda doc, table, fc: doc.entries[table][1] + 16)),
        # fc + lcb wraps around 32 bits.
        "fib-wraps.dot": damaged(source, set_pair(
            PLCF_BKF, fc=lambda doc, table, fc: 0xFFFFFFF0, lcb=lambda lcb: 0x20)),
        # The name table claims far more names than it holds.
        "names-count-lies.dot": damaged(source, in_table(
            STTBF_BKMK, lambda doc, table, fc: 2, struct.pack("<H", 0x7FFF))),
        # The first start names an end far past the end table.
        "end-index-lies.dot": damaged(source, in_table(
            PLCF_BKF, lambda doc, table, fc: 4 * (1 + bookmark_count(doc, table)),
            struct.pack("<H", 0x7FFF))),
        # The start table is one entry shorter than the names.
        "starts-count-lies.dot": damaged(source, set_pair(PLCF_BKF, lcb=lambda lcb: lcb - 8)),
    }
    for name, data in seeds.items():
        (folder / name).write_bytes(data)


def bookmark_count(doc, table):
    fc = struct.unpack("<I", doc.read("WordDocument", pair_offset(doc, STTBF_BKMK), 4))[0]
    return struct.unpack("<H", doc.read(table, fc + 2, 2))[0]


if __name__ == "__main__":
    main()
