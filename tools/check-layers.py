#!/usr/bin/env python3
"""Checks that the engine's modules include only what their layer may see.

Every source file under code/ belongs to one module; each module lists the
modules whose headers it may include. The check fails (status 1, one line per
fault) on an include the table does not allow and on any cycle among the
modules, so that the tile-graphics library never reaches up into the engine
or the script host, and the script host and the save store stay leaves.

Usage: tools/check-layers.py [code folder]
"""
import os
import re
import sys

# Module of a file: the first rule whose pattern matches its path below code/.
MODULES = [
    ("lua40", r"^lua40/"),
    ("saveload", r"^saveload/"),
    ("args", r"^vondArgs\."),
    ("event", r"^event/"),
    ("stateMachine", r"^stateMachine/"),
    ("diagnostics", r"^vondLog\."),
    ("stores", r"^vondStores\."),
    ("blit", r"^vondBlit\."),
    ("imageload", r"^vondImageGuard\."),
    ("tiles", r"^KAV_"),
    ("windows", r"^(vondWindow2|vondTextWin|vondRadioBWin|vondClickHandler)\."),
    ("scripthost", r"^vondScriptHost\."),
    ("engine", r"^vondEngine2"),
    ("globals", r"^vondGlobals\."),
    ("glue", r"^vondScriptFuncs"),
    ("shell", r"^vondShell\."),
    ("entry", r"^main\."),
]

# What each module may include besides itself. Order is bottom to top.
ALLOWED = {
    "lua40": set(),
    "args": {"lua40"},
    "diagnostics": set(),
    "saveload": {"diagnostics"},
    "event": {"saveload", "diagnostics"},
    "stateMachine": {"event", "saveload", "diagnostics", "lua40", "args"},
    "stores": set(),
    "blit": set(),
    "imageload": set(),
    "tiles": {"stores", "blit", "imageload", "diagnostics"},
    "scripthost": {"lua40"},
    "windows": {"imageload", "tiles", "stores", "blit", "diagnostics", "scripthost"},
    "engine": {"windows", "tiles", "stores", "blit", "diagnostics", "scripthost"},
    "globals": {"engine", "tiles", "stores"},
    "shell": {"globals", "engine", "windows", "tiles", "stores", "diagnostics", "scripthost",
              "lua40"},
    "glue": {"imageload", "globals", "engine", "windows", "tiles", "stores", "diagnostics", "scripthost",
             "lua40", "args", "shell"},
    "entry": {"globals", "engine", "windows", "tiles", "stores", "diagnostics", "scripthost",
              "lua40", "args", "glue", "shell", "stateMachine"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def module_of(path):
    for name, pattern in MODULES:
        if re.search(pattern, path):
            return name
    return None


def resolve(code, including, target):
    """The path below code/ of an include, looked up as the compiler would."""
    for base in (os.path.dirname(including), ""):
        candidate = os.path.normpath(os.path.join(base, target))
        if os.path.exists(os.path.join(code, candidate)):
            return candidate
    return None


def main():
    code = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "code")
    faults = []
    edges = {}
    for folder, _, files in os.walk(code):
        for f in sorted(files):
            if not f.endswith((".h", ".cpp")):
                continue
            path = os.path.relpath(os.path.join(folder, f), code)
            source = module_of(path)
            if source is None:
                faults.append(f"{path}: belongs to no module; add it to tools/check-layers.py")
                continue
            with open(os.path.join(code, path), encoding="utf-8") as text:
                for number, line in enumerate(text, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    target = resolve(code, path, m.group(1))
                    if target is None:
                        continue  # a generated or system header
                    dest = module_of(target)
                    if dest is None or dest == source:
                        continue
                    edges.setdefault(source, set()).add(dest)
                    if dest not in ALLOWED[source]:
                        faults.append(f"{path}:{number}: module {source} may not include {target} "
                                      f"(module {dest})")
    # A cycle among modules, found by depth-first search.
    state = {}

    def visit(node, trail):
        state[node] = "open"
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == "open":
                faults.append("module cycle: " + " -> ".join(trail[trail.index(nxt):] + [nxt]))
            elif nxt not in state:
                visit(nxt, trail + [nxt])
        state[node] = "done"

    for node in sorted(edges):
        if node not in state:
            visit(node, [node])
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
