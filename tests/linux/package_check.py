#!/usr/bin/env python3
"""Writes the release zip into a scratch folder and reads it back on its own
terms: the files a release must hold and nothing else, each byte for byte
from the build or the checkout, the right machine in each folder, the
checksums, the readme naming every file, and the zip's version against the
version text of the DLL's resource (the packer reads the numeric one).

    package_check.py ROOT I686_BIN X86_64_BIN SCRATCH
"""
import glob
import hashlib
import os
import re
import struct
import subprocess
import sys
import zipfile

root, i686, x86_64, scratch = sys.argv[1:5]
failures = []


def fail(text):
    failures.append(text)


for folder, target in ((i686, "i686"), (x86_64, "x86_64")):
    if not os.path.isfile(os.path.join(folder, "ZEVRNTPS.dll")):
        sys.exit("package_check: no %s build in %s (scripts/build.sh %s)" % (target, folder, target))

run = subprocess.run([sys.executable, os.path.join(root, "scripts", "package.py"), "pack",
                      "--root", root, "--i686", i686, "--x86_64", x86_64, "--out", scratch],
                     capture_output=True, text=True)
if run.returncode != 0:
    sys.exit("package_check: package.py pack failed:\n" + run.stdout + run.stderr)
path = run.stdout.strip()
archive = zipfile.ZipFile(path)
names = archive.namelist()
data = {name: archive.read(name) for name in names}

# Where each file must come from.
sources = {
    "ZEVRNTPS.dll": os.path.join(i686, "ZEVRNTPS.dll"),
    "zevrcfg.exe": os.path.join(i686, "zevrcfg.exe"),
    "x64/ZEVRNTPS.dll": os.path.join(x86_64, "ZEVRNTPS.dll"),
    "x64/zevrcfg.exe": os.path.join(x86_64, "zevrcfg.exe"),
    "docs/registry.md": os.path.join(root, "docs", "registry.md"),
}
for source in glob.glob(os.path.join(root, "docs", "screenshots", "*")) + glob.glob(
        os.path.join(root, "docs", "policy", "**", "*"), recursive=True):
    if os.path.isfile(source):
        sources[os.path.relpath(source, root).replace(os.sep, "/")] = source
if not any(name.startswith("docs/screenshots/") for name in sources):
    fail("the checkout has no screenshots to ship")

expected = set(sources) | {"README.txt", "SHA256SUMS"}
if len(names) != len(set(names)):
    fail("entries twice: %s" % sorted({n for n in names if names.count(n) > 1}))
for name in sorted(expected - set(names)):
    fail("missing from the zip: " + name)
for name in sorted(set(names) - expected):
    fail("not meant for the zip: " + name)
for name, source in sorted(sources.items()):
    with open(source, "rb") as f:
        if name in data and data[name] != f.read():
            fail("%s differs from %s" % (name, source))

# i386 at the top, x86-64 in its folder.
for name, machine in (("ZEVRNTPS.dll", 0x14C), ("zevrcfg.exe", 0x14C),
                      ("x64/ZEVRNTPS.dll", 0x8664), ("x64/zevrcfg.exe", 0x8664)):
    image = data.get(name, b"")
    if len(image) < 0x40:
        continue
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    found = struct.unpack_from("<H", image, pe + 4)[0]
    if found != machine:
        fail("%s is built for machine 0x%X, not 0x%X" % (name, found, machine))

# Every other file listed once, with its own digest, in sha256sum's form.
listed = {}
for line in data.get("SHA256SUMS", b"").decode("ascii").splitlines():
    match = re.fullmatch(r"([0-9a-f]{64})  (\S.*)", line)
    if not match:
        fail("SHA256SUMS line not in sha256sum's form: %r" % line)
        continue
    if match.group(2) in listed:
        fail("SHA256SUMS lists %s twice" % match.group(2))
    listed[match.group(2)] = match.group(1)
others = set(names) - {"SHA256SUMS"}
for name in sorted(others - set(listed)):
    fail("SHA256SUMS leaves out " + name)
for name in sorted(set(listed) - others):
    fail("SHA256SUMS lists %s, which the zip does not hold" % name)
for name, digest in listed.items():
    if name in data and hashlib.sha256(data[name]).hexdigest() != digest:
        fail("SHA256SUMS: wrong digest for " + name)

# The version text of the resource, "FileVersion" in UTF-16 then its value.
key = "FileVersion\0".encode("utf-16-le")
dll = data.get("ZEVRNTPS.dll", b"")
at = dll.find(key)
version = None
if at != -1:
    value = at + len(key)
    value += (4 - value % 4) % 4
    end = dll.find(b"\0\0", value)
    while end != -1 and (end - value) % 2:
        end = dll.find(b"\0\0", end + 1)
    version = dll[value:end].decode("utf-16-le")
if version is None:
    fail("ZEVRNTPS.dll carries no FileVersion text")
elif os.path.basename(path) != "ZEVRNTPS-%s.zip" % version:
    fail("the zip is named %s, the DLL says version %s" % (os.path.basename(path), version))

readme = data.get("README.txt", b"").decode("utf-8", "replace")
if version and version not in readme:
    fail("README.txt does not give the version")
if "\n" in readme.replace("\r\n", ""):
    fail("README.txt has a line not ended by CR LF")
named = {name.split("/")[0] if name.startswith("x64/") else name for name in names}
named = {re.sub(r"^(docs/[^/]+)/.*", r"\1", name) for name in named}
for name in sorted(named):
    if name.replace("/", "\\") not in readme:
        fail("README.txt does not say what %s is" % name)

for text in failures:
    print("package_check: " + text)
print("package_check: %s, %d files, %s" % (os.path.basename(path), len(names),
                                          "FAILED" if failures else "ok"))
sys.exit(1 if failures else 0)
