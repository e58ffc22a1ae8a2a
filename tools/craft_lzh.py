#!/usr/bin/env python3
"""Crafts small LHA archives byte by byte, for the archiver's tests.

Real archives come from jlha; this tool makes the ones no archiver would write:
names that climb out of the destination, link entries, wrong checksums, cut
archives, unknown methods, absurd sizes and headers that point backwards. Every
header is laid out exactly as the LHA header levels 0 to 3 define it, with the
level 0/1 header sum and the level 2/3 header CRC computed, so that a reader
refuses an archive only for the fault the test put in.

    craft_lzh.py OUT.lzh SPEC.json      (SPEC.json may be "-" for standard input)

SPEC is {"entries": [ENTRY, ...], "end_mark": true, "truncate": null,
"flip": [{"entry": i, "offset": n}], "append_hex": ""}. An ENTRY is an object:

  path        name, "\\" or "/" separated, UTF-8 (written as CP932)
  path_hex    the name's raw bytes instead, in hex
  raw_name    true: the whole path goes into the file-name field, unsplit
  level       header level 0-3 (default 2)
  method      "-lh0-" (files) or "-lhd-" (folders) by default; any 5 characters
  dir         true for a folder entry
  data        the stored bytes as UTF-8 text, or data_hex, or
  fill        {"byte": n, "size": n} for larger stored data
  mtime       Unix time (default 2020-01-02 03:04:06 UTC)
  crc         data CRC-16 to write instead of the right one
  orig_size   uncompressed size to declare instead of the data's length
  comp_size   compressed size to declare instead of the data's length
  skip_size   level 1: the size field (data and extended headers) to declare
  large_size  [comp, orig]: 64-bit sizes in an extended header (levels 1-3)
  symlink     target: a Unix symbolic link entry ("name|target", mode 0120777)
  header_sum  level 0/1 header sum to write instead of the right one
  header_size level 3: the 32-bit header size to declare instead of the right one

"truncate": keep only the first n bytes (negative: drop n bytes from the end).
"flip": invert one byte of an entry's stored data (offset from its start).
"""
import json
import struct
import sys

CRC_TABLE = []
for i in range(256):
    v = i
    for _ in range(8):
        v = (v >> 1) ^ 0xA001 if v & 1 else v >> 1
    CRC_TABLE.append(v)


def crc16(data, crc=0):
    for b in data:
        crc = CRC_TABLE[(crc ^ b) & 0xFF] ^ (crc >> 8)
    return crc


def dos_time(unix_time):
    import time
    t = time.localtime(unix_time)
    tm = (t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec // 2)
    dt = ((t.tm_year - 1980) << 9) | (t.tm_mon << 5) | t.tm_mday
    return struct.pack("<HH", tm, dt)


def name_bytes(entry):
    if "path_hex" in entry:
        return bytes.fromhex(entry["path_hex"])
    return entry.get("path", "").encode("cp932")


def split_name(raw):
    """Splits raw CP932 bytes at separators that are characters of their own."""
    parts, cur, i = [], bytearray(), 0
    while i < len(raw):
        b = raw[i]
        if (0x81 <= b <= 0x9F or 0xE0 <= b <= 0xFC) and i + 1 < len(raw):
            cur += raw[i:i + 2]
            i += 2
            continue
        if b in (0x5C, 0x2F):
            parts.append(bytes(cur))
            cur = bytearray()
        else:
            cur.append(b)
        i += 1
    parts.append(bytes(cur))
    return parts


def entry_data(entry):
    if "data_hex" in entry:
        return bytes.fromhex(entry["data_hex"])
    if "fill" in entry:
        return bytes([entry["fill"]["byte"]]) * entry["fill"]["size"]
    return entry.get("data", "").encode("utf-8")


def ext(type_id, payload, size_len):
    """One extended header as the reader frames it: size, type, data."""
    size = size_len + 1 + len(payload)
    return (struct.pack("<H", size) if size_len == 2 else struct.pack("<I", size)) + \
        bytes([type_id]) + payload


def header_parts(entry, is_dir):
    raw = name_bytes(entry)
    if entry.get("symlink") is not None:
        raw += b"|" + entry["symlink"].encode("cp932")
    if entry.get("raw_name") or entry.get("level", 2) == 0:
        return b"", raw
    parts = split_name(raw)
    if is_dir:
        folders, leaf = [p for p in parts if p], b""
    else:
        folders, leaf = [p for p in parts[:-1] if p], parts[-1]
    dirname = b"".join(p + b"\xff" for p in folders)
    return dirname, leaf


def build_entry(entry):
    is_dir = bool(entry.get("dir"))
    level = entry.get("level", 2)
    method = entry.get("method", "-lhd-" if is_dir or entry.get("symlink") is not None else "-lh0-")
    method = method.encode("latin-1")
    assert len(method) == 5, "a method is five characters"
    data = b"" if is_dir else entry_data(entry)
    crc = entry.get("crc", crc16(data))
    orig = entry.get("orig_size", len(data))
    comp = entry.get("comp_size", len(data))
    mtime = entry.get("mtime", 1577934246)
    dirname, leaf = header_parts(entry, is_dir)

    exts = []
    if level >= 1:
        size_len = 4 if level == 3 else 2
        if level >= 2 and leaf:
            exts.append(ext(0x01, leaf, size_len))
        elif level >= 2:
            exts.append(ext(0x01, b"", size_len))
        if dirname:
            exts.append(ext(0x02, dirname, size_len))
        if entry.get("symlink") is not None:
            exts.append(ext(0x50, struct.pack("<H", 0o120777), size_len))
        if "large_size" in entry:
            exts.append(ext(0x42, struct.pack("<QQ", *entry["large_size"]), size_len))
        if level == 1:
            exts.append(ext(0x54, struct.pack("<I", mtime), size_len))

    if level == 0:
        name = leaf
        body = method + struct.pack("<II", comp, orig) + dos_time(mtime) + bytes([0x20, 0]) + \
            bytes([len(name)]) + name + struct.pack("<H", crc)
        total = 2 + len(body)
        assert total - 2 < 256, "a level 0 header is at most 257 bytes"
        header = bytes([total - 2, 0]) + body
        header_sum = entry.get("header_sum", sum(header[2:]) & 0xFF)
        header = bytes([total - 2, header_sum]) + body
        return header, data

    if level == 1:
        name = leaf
        ext_bytes = b"".join(exts)
        skip = entry.get("skip_size", comp + len(ext_bytes))
        base = method + struct.pack("<II", skip, orig) + dos_time(mtime) + bytes([0x20, 1]) + \
            bytes([len(name)]) + name + struct.pack("<H", crc) + b"U"
        # The base header ends with the size of the first extended header, which the
        # extended headers as laid out here already start with; the last one ends
        # with a zero size.
        first_size = ext_bytes[:2] if ext_bytes else b"\x00\x00"
        header_len = 2 + len(base) + 2
        base_full = base + first_size
        header_sum = entry.get("header_sum", sum(base_full) & 0xFF)
        header = bytes([header_len - 2, header_sum]) + base_full + ext_bytes[2:] + \
            (b"\x00\x00" if ext_bytes else b"")
        return header, data

    # Levels 2 and 3 carry a header CRC in an extended header of their own.
    size_len = 4 if level == 3 else 2
    crc_ext = ext(0x00, b"\x00\x00", size_len)
    exts.insert(0, crc_ext)
    ext_bytes = b"".join(exts) + (b"\x00\x00" if size_len == 2 else b"\x00\x00\x00\x00")
    if level == 2:
        total = 24 + len(ext_bytes)
        fixed = struct.pack("<H", total) + method + struct.pack("<IIi", comp, orig, mtime) + \
            bytes([0x20, 2]) + struct.pack("<H", crc) + b"U"
    else:
        total = 28 + len(ext_bytes)
        fixed = struct.pack("<H", 4) + method + struct.pack("<IIi", comp, orig, mtime) + \
            bytes([0x20, 3]) + struct.pack("<H", crc) + b"U" + \
            struct.pack("<I", entry.get("header_size", total))
    header = bytearray(fixed + ext_bytes)
    crc_at = len(fixed) + size_len + 1
    header_crc = crc16(bytes(header))
    header[crc_at:crc_at + 2] = struct.pack("<H", header_crc)
    return bytes(header), data


def build(spec):
    out = bytearray()
    data_starts = []
    for entry in spec["entries"]:
        header, data = build_entry(entry)
        out += header
        data_starts.append(len(out))
        out += data
    if spec.get("end_mark", True):
        out += b"\x00"
    out += bytes.fromhex(spec.get("append_hex", ""))
    for flip in spec.get("flip", []):
        at = data_starts[flip["entry"]] + flip["offset"]
        out[at] ^= 0xFF
    cut = spec.get("truncate")
    if cut is not None:
        out = out[:cut] if cut >= 0 else out[:len(out) + cut]
    return bytes(out)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    text = sys.stdin.read() if argv[2] == "-" else open(argv[2], encoding="utf-8").read()
    with open(argv[1], "wb") as f:
        f.write(build(json.loads(text)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
