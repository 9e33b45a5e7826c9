#!/usr/bin/env python3
"""The release zip: what goes into it, and writing it.

    package.py list --root SRC --i686 BIN --x86_64 BIN
    package.py pack --root SRC --i686 BIN --x86_64 BIN --out DIR

`list` prints each file of the package with its size and where it comes
from; `pack` writes DIR/ZEVRNTPS-<version>.zip and prints its path. The
version is read from the version resource of the i686 DLL, so it is stated
in one place only (resources/zevrntps.rc). Standard library only, so that
it runs on a fresh machine.
"""
import argparse
import hashlib
import os
import struct
import subprocess
import sys
import time
import zipfile

PRODUCT = "ZEVRNTPS"
SUMS = "SHA256SUMS"
README = "README.txt"
X64_FOLDER = "x64"


def fixed_file_version(image):
    """FILEVERSION of a PE image's version resource, as "a.b.c.d"."""
    # VS_VERSIONINFO: three WORDs, the key in UTF-16 with its terminator,
    # padding to a 32-bit boundary, then VS_FIXEDFILEINFO.
    key = "VS_VERSION_INFO\0".encode("utf-16-le")
    at = image.find(key)
    while at != -1:
        fixed = at + len(key)
        fixed += (4 - fixed % 4) % 4
        signature, _, ms, ls = struct.unpack_from("<4I", image, fixed)
        if signature == 0xFEEF04BD:
            return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        at = image.find(key, at + 2)
    return None


def manifest(root, i686, x86_64):
    """(name in the zip, source file) of every file but the checksums and
    the readme, in the zip's order: the product first."""
    files = [
        ("ZEVRNTPS.dll", os.path.join(i686, "ZEVRNTPS.dll")),
        ("zevrcfg.exe", os.path.join(i686, "zevrcfg.exe")),
        (X64_FOLDER + "/ZEVRNTPS.dll", os.path.join(x86_64, "ZEVRNTPS.dll")),
        (X64_FOLDER + "/zevrcfg.exe", os.path.join(x86_64, "zevrcfg.exe")),
        ("docs/registry.md", os.path.join(root, "docs", "registry.md")),
    ]
    # Every file below these folders, whatever they come to hold.
    for folder in ("docs/policy", "docs/screenshots"):
        base = os.path.join(root, folder)
        found = []
        for parent, dirs, names in os.walk(base):
            dirs.sort()
            for name in names:
                path = os.path.join(parent, name)
                found.append((folder + "/" + os.path.relpath(path, base).replace(os.sep, "/"), path))
        files.extend(sorted(found))
    return files


def readme_text(root, version):
    with open(os.path.join(root, "docs", "administrators.txt"), encoding="utf-8") as f:
        text = f.read().replace("@VERSION@", version)
    # Read on Windows, where Notepad of the product's era wants CR LF.
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def contents(root, i686, x86_64):
    """The package as (name, bytes) in the zip's order, checksums last,
    and its version."""
    files = manifest(root, i686, x86_64)
    missing = [source for _, source in files if not os.path.isfile(source)]
    if missing:
        sys.exit("package: missing " + ", ".join(missing) + " (build both targets first)")
    entries = []
    for name, source in files:
        with open(source, "rb") as f:
            entries.append((name, f.read()))
    version = fixed_file_version(entries[0][1])
    if version is None:
        sys.exit("package: %s has no version resource" % files[0][1])
    # The readme right after the product's two files, where it is seen first.
    entries.insert(2, (README, readme_text(root, version)))
    sums = "".join("%s  %s\n" % (hashlib.sha256(data).hexdigest(), name) for name, data in entries)
    entries.append((SUMS, sums.encode("ascii")))
    return entries, version


def stamp(root):
    """The time every entry carries: SOURCE_DATE_EPOCH, else the commit's,
    so that the same sources give the same zip."""
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not epoch:
        try:
            epoch = subprocess.run(["git", "-C", root, "log", "-1", "--format=%ct"],
                                   capture_output=True, text=True, check=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError):
            epoch = ""
    seconds = int(epoch) if epoch.isdigit() else int(time.time())
    return max(time.gmtime(seconds)[:6], (1980, 1, 1, 0, 0, 0))


def pack(root, entries, version, out):
    os.makedirs(out, exist_ok=True)
    path = os.path.join(out, "%s-%s.zip" % (PRODUCT, version))
    partial = path + ".part"
    when = stamp(root)
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, when)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            archive.writestr(info, data)
    os.replace(partial, path)
    return path


def main():
    parser = argparse.ArgumentParser(description="the release zip")
    parser.add_argument("command", choices=("list", "pack"))
    parser.add_argument("--root", required=True, help="the checkout")
    parser.add_argument("--i686", required=True, help="the i686 build's bin folder")
    parser.add_argument("--x86_64", required=True, help="the x86_64 build's bin folder")
    parser.add_argument("--out", help="folder of the zip (pack)")
    args = parser.parse_args()
    entries, version = contents(args.root, args.i686, args.x86_64)
    if args.command == "list":
        print("%s-%s.zip" % (PRODUCT, version))
        for name, data in entries:
            print("%10d  %s" % (len(data), name))
        return 0
    if not args.out:
        parser.error("pack needs --out")
    print(pack(args.root, entries, version, args.out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
