#!/usr/bin/env python3
"""check_release.py TOOLPREFIX SYMBOLS VERSION BINARY=MAXKB[=versioninfo]...

Checks the release binaries of dist/: each is stripped (no debug sections, no symbol
table) and within its size goal; its .gnu_debuglink names SYMBOLS/<file>.debug with
the CRC of that file, and that file turns the binary's function addresses (a DLL's
exports, a program's WinMain or main) into source lines; those marked
"versioninfo" carry a VERSIONINFO with the suite's product name and VERSION
(e.g. 0.56). TOOLPREFIX is the binutils prefix, e.g. /usr/bin/i686-w64-mingw32-."""
import os
import re
import subprocess
import sys
import tempfile
import zlib

PRODUCT = "VA Extensions for Vexlo Aero V++"


def tool(prefix, name, *args):
    done = subprocess.run([prefix + name, *args], capture_output=True, text=True)
    return done.stdout + done.stderr


def debuglink(prefix, binary):
    with tempfile.TemporaryDirectory() as work:
        dumped = os.path.join(work, "link")
        tool(prefix, "objcopy", "--dump-section", ".gnu_debuglink=" + dumped, binary, os.path.join(work, "copy"))
        if not os.path.exists(dumped):
            return None, None
        data = open(dumped, "rb").read()
    name = data[: data.index(b"\0")].decode()
    return name, int.from_bytes(data[-4:], "little")


def functions_to_resolve(prefix, binary, debug):
    exports = tool(prefix, "objdump", "-p", binary)
    table = re.search(r"\[Ordinal/Name Pointer\] Table\n(.*?)\n\n", exports, re.S)
    wanted = re.findall(r"\]\s+(\S+)", table.group(1)) if table else ["WinMain", "main"]
    found = {}
    for line in tool(prefix, "nm", debug).splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[1] in "Tt":
            plain = re.sub(r"@\d+$", "", parts[2].lstrip("_"))
            if plain in wanted:
                found[plain] = "0x" + parts[0]
    return [(name, found.get(name)) for name in wanted if name in found or table]


def check(prefix, symbols, version, entry):
    problems = []
    binary, limit, *flags = entry.split("=")
    name = os.path.basename(binary)
    size = os.path.getsize(binary)
    if size > int(limit) * 1024:
        problems.append(f"{size} bytes, over its goal of {limit} KB")
    sections = re.findall(r"^\s*\d+\s+(\S+)", tool(prefix, "objdump", "-h", binary), re.M)
    debug_sections = [s for s in sections if re.match(r"\.(z?debug|stab)", s)]
    if debug_sections:
        problems.append("carries debug sections " + " ".join(debug_sections))
    if "no symbols" not in tool(prefix, "nm", binary):
        problems.append("keeps its symbol table")
    link, crc = debuglink(prefix, binary)
    debug = os.path.join(symbols, name + ".debug")
    if link != name + ".debug":
        problems.append(f"its .gnu_debuglink names {link!r}, not {name}.debug")
    elif not os.path.exists(debug):
        problems.append(f"{debug} is missing")
    elif zlib.crc32(open(debug, "rb").read()) != crc:
        problems.append(f"{debug} is not the debug file of this build (CRC differs)")
    else:
        resolved = functions_to_resolve(prefix, binary, debug)
        if not resolved:
            problems.append("no function to resolve")
        for function, address in resolved:
            where = tool(prefix, "addr2line", "-e", debug, address).strip() if address else "no symbol"
            if not re.search(r"\.(cpp|c|h):\d+", where):
                problems.append(f"{function} does not resolve to a source line ({where})")
    if "versioninfo" in flags:
        rc = tool(prefix, "windres", "-i", binary, "-O", "rc")
        major, minor = version.split(".")[:2]
        if not re.search(rf"FILEVERSION {int(major)}, {int(minor)}, ", rc) or f'"ProductName", "{PRODUCT}"' not in rc:
            problems.append(f"no VERSIONINFO of {PRODUCT} {version}")
    for problem in problems:
        print(f"{name}: {problem}")
    if not problems:
        print(f"{name}: {size} bytes (goal {limit} KB), stripped, debug file {name}.debug resolves it")
    return not problems


def main():
    prefix, symbols, version, *entries = sys.argv[1:]
    results = [check(prefix, symbols, version, entry) for entry in entries]
    return 0 if entries and all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
