#!/usr/bin/env python3
"""Builds a wizard metadata trailer from a readable JSON description and appends it
to a wizard program file, replacing a trailer the file already carries:

    python3 tools/make_trailer.py DESCRIPTION.json INPUT.exe OUTPUT.exe

Layout (integers are unsigned 32-bit little-endian, texts end with one NUL):
six texts, the profile count, the profiles (name, 16 values), the registry script,
padding up to the block size, the block size, and the 6-byte signature "Zyndo\\0".

Description keys:
  texts        six texts (shared folder, application, skins folder, start page,
               default user name, default network name)
  profiles     [{"name": ..., "values": [16 numbers or "unset"]}]
  script       records: {"key": PATH, "root": "HKCU"|"HKLM"|number} or
               {"value": NAME, "type": "REG_SZ"|"REG_DWORD"|number,
                "data": text or number, "hex": raw bytes in hex}; the end record
               (root 0) is added unless "script_end" is false
  block_size   pads the trailer with zero bytes to this size (default: no padding)
Test variants may also give: "omit": true (the program without any trailer), "signature" (default "Zyndo"), "block_size_field"
(the stored size, whatever the real one), "profile_count" (the stored count),
"raw" (hex bytes used as the whole trailer content, before size and signature)."""
import json
import struct
import sys

UNSET = 0xEFFFFFFF
ROOTS = {"HKCR": 0x80000000, "HKCU": 0x80000001, "HKLM": 0x80000002, "HKU": 0x80000003}
TYPES = {"REG_SZ": 1, "REG_EXPAND_SZ": 2, "REG_BINARY": 3, "REG_DWORD": 4}
SIGNATURE = b"Zyndo\0"


def text(value):
    data = value.encode("cp1252")
    if b"\0" in data:
        raise ValueError("texts cannot contain NUL: %r" % value)
    return data + b"\0"


def u32(value):
    if value == "unset":
        value = UNSET
    return struct.pack("<I", int(value) & 0xFFFFFFFF)


def script_record(record):
    if "key" in record:
        root = record.get("root", "HKCU")
        return b"\0" + u32(ROOTS.get(root, root)) + text(record["key"])
    kind = record.get("type", "REG_SZ")
    kind = TYPES.get(kind, kind)
    if "hex" in record:
        data = bytes.fromhex(record["hex"])
    elif kind == TYPES["REG_DWORD"]:
        data = u32(record["data"])
    else:
        data = text(str(record["data"]))
    if not record["value"]:
        raise ValueError("a script value needs a name")
    return text(record["value"]) + u32(kind) + u32(len(data)) + data


def build_trailer(description):
    if "raw" in description:
        body = bytes.fromhex(description["raw"])
    else:
        texts = description["texts"]
        if len(texts) != 6:
            raise ValueError("a trailer has exactly six texts")
        body = b"".join(text(t) for t in texts)
        profiles = description.get("profiles", [])
        body += u32(description.get("profile_count", len(profiles)))
        for profile in profiles:
            values = profile["values"]
            if len(values) != 16:
                raise ValueError("profile %r needs 16 values" % profile["name"])
            body += text(profile["name"]) + b"".join(u32(v) for v in values)
        body += b"".join(script_record(r) for r in description.get("script", []))
        if description.get("script_end", True):
            body += b"\0" + u32(0)
    signature = description.get("signature", "Zyndo").encode("cp1252")[:5].ljust(6, b"\0")
    size = len(body) + 10
    wanted = description.get("block_size")
    if wanted is not None:
        if wanted < size:
            raise ValueError("content needs %d bytes, more than the block size %d" % (size, wanted))
        body += bytes(wanted - size)
        size = wanted
    return body + u32(description.get("block_size_field", size)) + signature


def without_trailer(data):
    """The program without a trailer it already carries (a well-formed one only)."""
    if len(data) >= 10 and data[-6:] == SIGNATURE:
        size = struct.unpack("<I", data[-10:-6])[0]
        if 10 <= size <= len(data):
            return data[: len(data) - size]
    return data


def main(argv):
    if len(argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        description = json.load(f)
    with open(argv[2], "rb") as f:
        program = without_trailer(f.read())
    trailer = b"" if description.get("omit") else build_trailer(description)
    with open(argv[3], "wb") as f:
        f.write(program + trailer)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
