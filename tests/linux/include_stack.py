#!/usr/bin/env python3
"""Fails when an include reaches up or sideways in the library's stack.

Every compilation of the build (compile_commands.json) is followed through
its includes, each name resolved as the compiler resolves it: a quoted name
beside the including file first, then the -iquote, -I and -isystem folders
of that compilation, in order. A file that no compilation reaches (the
resource scripts, say) is read with the folders of its own folder's
compilations. Whatever resolves into the source tree must lie in the
including file's folder or in one that the folder sees below.

    include_stack.py <source root> <compile_commands.json>
"""
import json
import os
import re
import shlex
import sys

# What each top-level folder may include besides its own files. A folder not
# named here (tests/, build output) is no floor and is not checked.
LOWER = ["framework", "resources"]
SHEETS = ["nfsclient", "sharing", "nameservice"]
SEES = {
    "resources": [],
    "framework": ["resources"],
    "nfsclient": LOWER,
    "sharing": LOWER,
    "nameservice": LOWER,
    "dll": SHEETS + LOWER,
    "cli": ["dll"] + SHEETS + LOWER,
    # The benchmarks drive comctl32 through the tests' import replacement.
    "tools": ["dll"] + SHEETS + LOWER + ["tests"],
}
# Folders whose code must show up among the compilations: an empty or stale
# list of them would let the check pass on nothing.
COMPILED = ["framework", "nfsclient", "sharing", "nameservice", "dll", "cli", "tools"]
SCANNED = (".c", ".cpp", ".h", ".rc")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]', re.M)


def arguments(entry):
    """The compiler's arguments, with response files (@file) read in."""
    args = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    out = []
    for arg in args:
        if arg.startswith("@"):
            path = os.path.join(entry["directory"], arg[1:])
            with open(path, encoding="utf-8") as f:
                out.extend(shlex.split(f.read()))
        else:
            out.append(arg)
    return out


def search_folders(entry):
    """(quote-only folders, folders for both forms), as the compiler orders them."""
    quote, both, system, after = [], [], [], []
    flags = {"-iquote": quote, "-I": both, "-isystem": system, "-idirafter": after}
    args = arguments(entry)
    i = 0
    while i < len(args):
        arg = args[i]
        for flag, folders in flags.items():
            if arg == flag and i + 1 < len(args):
                folders.append(args[i + 1])
                i += 1
                break
            if arg.startswith(flag) and len(arg) > len(flag):
                folders.append(arg[len(flag):])
                break
        i += 1
    resolve = lambda d: os.path.normpath(os.path.join(entry["directory"], d))
    return [resolve(d) for d in quote], [resolve(d) for d in both + system + after]


def floor_of(root, path):
    rel = os.path.relpath(path, root)
    if rel.startswith(".."):
        return None, rel
    return rel.split(os.sep)[0], rel


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    root = os.path.realpath(sys.argv[1])
    with open(sys.argv[2], encoding="utf-8") as f:
        entries = json.load(f)

    texts = {}

    def includes(path):
        if path not in texts:
            with open(path, encoding="utf-8", errors="replace") as f:
                text = f.read()
            texts[path] = [(m.group(1), m.group(2), text.count("\n", 0, m.start()) + 1)
                           for m in INCLUDE.finditer(text)]
        return texts[path]

    def resolve(path, form, name, quote, both):
        folders = ([os.path.dirname(path)] + quote if form == '"' else []) + both
        for folder in folders:
            candidate = os.path.realpath(os.path.join(folder, name))
            if os.path.isfile(candidate):
                return candidate
        return None

    crossings = set()
    checked = set()

    def visit(path, quote, both, seen):
        if path in seen:
            return
        seen.add(path)
        floor, rel = floor_of(root, path)
        for form, name, line in includes(path):
            target = resolve(path, form, name, quote, both)
            if target is None:
                continue  # the system's, or guarded out of this build
            to_floor, to_rel = floor_of(root, target)
            if to_floor is None:
                continue
            if floor in SEES:
                checked.add((rel, line))
                if to_floor != floor and to_floor not in SEES[floor]:
                    crossings.add((rel, line, form + name + (">" if form == "<" else '"'),
                                   to_rel, floor))
            visit(target, quote, both, seen)

    compiled = {}
    reached = set()
    for entry in entries:
        path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
        floor, _ = floor_of(root, path)
        if floor is None:
            continue
        quote, both = search_folders(entry)
        folders = compiled.setdefault(floor, [])
        for folder in both:
            if folder not in folders:
                folders.append(folder)
        seen = set()
        visit(path, quote, both, seen)
        reached |= seen

    missing = [floor for floor in COMPILED if floor not in compiled]
    if missing:
        sys.exit("include_stack: no compilation of %s in %s" % (", ".join(missing), sys.argv[2]))

    for floor in SEES:
        for folder, _, files in os.walk(os.path.join(root, floor)):
            for name in sorted(files):
                path = os.path.realpath(os.path.join(folder, name))
                if name.endswith(SCANNED) and path not in reached:
                    visit(path, [], compiled.get(floor, []), set())

    for rel, line, written, to_rel, floor in sorted(crossings):
        sees = ", ".join(f + "/" for f in [floor] + SEES[floor])
        print("%s:%d: #include %s reaches %s; %s/ sees only %s"
              % (rel, line, written, to_rel, floor, sees))
    if crossings:
        sys.exit("include_stack: %d include(s) cross the stack" % len(crossings))
    print("include_stack: %d includes of the library, zevrcfg and the tools keep to the stack"
          % len(checked))


if __name__ == "__main__":
    main()
