#!/usr/bin/env python3
"""Writes the archives the unzip component is tested against.

Well-formed archives come from two independent writers, Info-ZIP `zip` and
Python's zipfile, over one source tree (kept as tree/ for comparison). Hostile
and damaged archives are written or patched here byte by byte.

Usage: make_unzip_fixtures.py OUTDIR
"""
import io
import os
import random
import shutil
import struct
import subprocess
import sys
import zipfile

out = os.path.abspath(sys.argv[1])
shutil.rmtree(out, ignore_errors=True)
os.makedirs(out)
tree = os.path.join(out, "tree")
outside = os.path.join(out, "outside")


def write(rel, data, mode=0o644):
    path = os.path.join(tree, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    os.chmod(path, mode)


rng = random.Random(1234)
write("Read me.txt", b"Read me first.\r\n" * 40)
write("empty.txt", b"")
write("Doc/name with spaces.txt", b"spaces in the name\n")
write("Doc/deep/er/notes.txt", b"".join(b"line %d\n" % i for i in range(5000)))
write("bin/tool.sh", b"#!/bin/sh\necho tool\n", 0o755)
write("bin/random.bin", bytes(rng.getrandbits(8) for _ in range(70000)))  # stored by zip -n .bin
write("%top.so", b"percent file at the top\n")
write("lib/%inner.so", b"percent file below the top\n")
os.makedirs(os.path.join(tree, "emptydir"))
os.symlink("Doc/name with spaces.txt", os.path.join(tree, "link-inside"))

expected_names = []


def infozip(name, *options):
    path = os.path.join(out, name)
    subprocess.run(["zip", "-q", "-r", "-y", "-n", ".bin", *options, path, "."],
                   cwd=tree, check=True)
    return path


infozip("infozip.zip")
infozip("infozip64.zip", "-fz")


def python_zip(name, force_zip64=False, stream=False):
    """The tree through zipfile: directories, stored and deflated entries."""
    buffer = io.BytesIO()

    class Unseekable(io.RawIOBase):
        def writable(self):
            return True

        def write(self, b):
            return buffer.write(b)

    target = Unseekable() if stream else buffer
    with zipfile.ZipFile(target, "w") as z:
        for root, dirs, files in sorted(os.walk(tree)):
            dirs.sort()
            rel_root = os.path.relpath(root, tree)
            for d in dirs:
                rel = os.path.normpath(os.path.join(rel_root, d))
                if not os.path.islink(os.path.join(root, d)):
                    z.writestr(zipfile.ZipInfo(rel + "/"), b"")
            for f in sorted(files):
                full = os.path.join(root, f)
                rel = os.path.normpath(os.path.join(rel_root, f))
                if os.path.islink(full):
                    info = zipfile.ZipInfo(rel)
                    info.create_system = 3
                    info.external_attr = 0o120777 << 16
                    z.writestr(info, os.readlink(full))
                    continue
                method = zipfile.ZIP_STORED if f.endswith(".bin") or f.endswith(".txt") and "deep" not in rel else zipfile.ZIP_DEFLATED
                info = zipfile.ZipInfo.from_file(full, rel)
                info.compress_type = method
                with open(full, "rb") as src, z.open(info, "w", force_zip64=force_zip64) as dst:
                    shutil.copyfileobj(src, dst)
    with open(os.path.join(out, name), "wb") as f:
        f.write(buffer.getvalue())


python_zip("python.zip")
python_zip("python64.zip", force_zip64=True)
python_zip("pystream.zip", stream=True)
with zipfile.ZipFile(os.path.join(out, "empty.zip"), "w"):
    pass


def hostile(name, entries):
    """entries: (name, data) or (name, data, link=True)."""
    with zipfile.ZipFile(os.path.join(out, name), "w", zipfile.ZIP_DEFLATED) as z:
        for entry in entries:
            info = zipfile.ZipInfo(entry[0])
            if len(entry) > 2 and entry[2]:
                info.create_system = 3
                info.external_attr = 0o120777 << 16
            else:
                info.external_attr = 0o644 << 16
            z.writestr(info, entry[1])


hostile("slip_dotdot.zip", [("good.txt", b"good"), ("../evil.txt", b"evil")])
hostile("slip_nested.zip", [("good.txt", b"good"), ("a/b/../../../outside/evil.txt", b"evil")])
hostile("slip_backslash.zip", [("good.txt", b"good"), ("..\\outside\\evil.txt", b"evil")])
hostile("slip_absolute.zip", [("good.txt", b"good"), (outside + "/evil.txt", b"evil")])
hostile("link_out.zip", [("good.txt", b"good"), ("link", b"../outside", True),
                         ("link/evil.txt", b"evil")])
hostile("link_absolute.zip", [("good.txt", b"good"), ("link", outside.encode(), True),
                              ("link/evil.txt", b"evil")])
# "x" names the destination itself, so "x/.." is its parent although it reads as ".".
hostile("link_updown.zip", [("x", b".", True), ("z", b"x/..", True), ("z/outside/evil.txt", b"evil")])
# A safe link followed by an entry that would be written through it.
hostile("link_through.zip", [("sub/keep.txt", b"keep"), ("link", b"sub", True),
                             ("link/evil.txt", b"evil")])
hostile("link_inside.zip", [("lib/libx.so.1", b"library"), ("lib/libx.so", b"libx.so.1", True),
                            ("include/x.h", b"header"), ("lib/up", b"../include/x.h", True)])

# Names the installer's "%" convention would move out of the system directory.
hostile("percent_dotdot.zip", [("good.txt", b"good"), ("%..", b"evil")])
hostile("percent_bare.zip", [("good.txt", b"good"), ("%", b"evil")])
hostile("percent_dot.zip", [("good.txt", b"good"), ("%.", b"evil")])
hostile("percent_folder.zip", [("good.txt", b"good"), ("%lib/evil.txt", b"evil")])
# Control characters: an escape sequence, and a newline that would forge a listing line.
hostile("control_escape.zip", [("good.txt", b"good"), ("a\x1b[31mred.txt", b"evil")])
hostile("control_newline.zip", [("good.txt", b"good"), ("line\n2 entries", b"evil")])

# Damaged archives, derived from the Info-ZIP one.
good = open(os.path.join(out, "infozip.zip"), "rb").read()
for label, data in {"truncated_half.zip": good[: len(good) // 2],
                    "truncated_tail1.zip": good[:-1],
                    "truncated_no_end.zip": good[:-22],
                    "truncated_head.zip": good[:100]}.items():
    open(os.path.join(out, label), "wb").write(data)


def one_file(name, method, payload, comment=b""):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as z:
        z.writestr("first.txt", b"first entry is fine\n", compress_type=zipfile.ZIP_STORED)
        info = zipfile.ZipInfo("victim.txt")
        info.compress_type = method
        z.writestr(info, payload)
        z.comment = comment
    return bytearray(buffer.getvalue())


def local_data_offset(data, name):
    pos = data.find(b"PK\x03\x04" + b"\x00" * 0, 0)
    while pos >= 0:
        name_len, extra_len = struct.unpack_from("<HH", data, pos + 26)
        if data[pos + 30: pos + 30 + name_len] == name:
            return pos, pos + 30 + name_len + extra_len
        pos = data.find(b"PK\x03\x04", pos + 4)
    raise ValueError(name)


payload = b"".join(b"payload line %d\n" % i for i in range(3000))
data = one_file("s", zipfile.ZIP_STORED, payload)
_, start = local_data_offset(data, b"victim.txt")
data[start + 100] ^= 0x55
open(os.path.join(out, "corrupt_crc_stored.zip"), "wb").write(data)

data = one_file("d", zipfile.ZIP_DEFLATED, payload)
_, start = local_data_offset(data, b"victim.txt")
data[start + 40] ^= 0x01
open(os.path.join(out, "corrupt_deflate.zip"), "wb").write(data)

# The declared size (in both headers) exceeds what the deflate stream holds.
data = one_file("d", zipfile.ZIP_DEFLATED, payload)
local, _ = local_data_offset(data, b"victim.txt")
struct.pack_into("<I", data, local + 22, len(payload) + 10)
central = data.find(b"PK\x01\x02")
while central >= 0:
    name_len = struct.unpack_from("<H", data, central + 28)[0]
    if data[central + 46: central + 46 + name_len] == b"victim.txt":
        struct.pack_into("<I", data, central + 24, len(payload) + 10)
        break
    central = data.find(b"PK\x01\x02", central + 4)
open(os.path.join(out, "short_data.zip"), "wb").write(data)

# The compressed size (in both headers) claims data far past the end of the file.
data = one_file("d", zipfile.ZIP_DEFLATED, payload)
local, _ = local_data_offset(data, b"victim.txt")
struct.pack_into("<I", data, local + 18, 0x7FFF0000)
central = data.find(b"PK\x01\x02")
while central >= 0:
    name_len = struct.unpack_from("<H", data, central + 28)[0]
    if data[central + 46: central + 46 + name_len] == b"victim.txt":
        struct.pack_into("<I", data, central + 20, 0x7FFF0000)
        break
    central = data.find(b"PK\x01\x02", central + 4)
open(os.path.join(out, "past_the_end.zip"), "wb").write(data)

# End records that lie: more entries than the directory holds, a directory
# beyond the end of the file, a comment cut short.
data = bytearray(good)
end = data.rfind(b"PK\x05\x06")
count = struct.unpack_from("<H", data, end + 10)[0]
struct.pack_into("<HH", data, end + 8, count + 3, count + 3)
open(os.path.join(out, "eocd_count.zip"), "wb").write(data)
data = bytearray(good)
struct.pack_into("<I", data, end + 16, len(good) + 1000)
open(os.path.join(out, "eocd_offset.zip"), "wb").write(data)
data = one_file("c", zipfile.ZIP_DEFLATED, payload, comment=b"a comment of some length" * 4)
open(os.path.join(out, "comment_cut.zip"), "wb").write(data[:-20])

with open(os.path.join(out, "not_a_zip.zip"), "wb") as f:
    f.write(b"just some text, no archive at all\n" * 10)

subprocess.run(["zip", "-q", "-P", "secret", os.path.join(out, "encrypted.zip"), "Read me.txt"],
               cwd=tree, check=True)

os.makedirs(outside)

# Enough files and data to be written side by side: 120 files in nested
# folders, half text and half random bytes, about 6 MB (kept as many/ for
# comparison); once by Info-ZIP, once with the last file's data damaged.
many = os.path.join(out, "many")
rng = random.Random(99)
for i in range(120):
    rel = "part%d/sub%d/file%03d.dat" % (i % 6, i % 3, i)
    path = os.path.join(many, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if i % 2:
        data = bytes(rng.getrandbits(8) for _ in range(50000 + i * 97))
    else:
        data = b"".join(b"line %d of file %d\n" % (n, i) for n in range(2500 + i))
    with open(path, "wb") as f:
        f.write(data)
subprocess.run(["zip", "-q", "-r", os.path.join(out, "many.zip"), "."], cwd=many, check=True)
data = bytearray(open(os.path.join(out, "many.zip"), "rb").read())
last, start = local_data_offset(data, b"part5/sub2/file119.dat")
data[start + 1000] ^= 0x55
open(os.path.join(out, "many_damaged.zip"), "wb").write(data)
