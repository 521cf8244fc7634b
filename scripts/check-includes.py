#!/usr/bin/env python3
"""Checks the include rules of the source tree and prints every file that breaks one.

    scripts/check-includes.py [--all] [repository root]

The rules:
  layers   a core unit includes only its own files, the shared helpers, the platform
           interfaces, the window designs and the units it is built on (UNITS below); the
           shared helpers include no unit;
  cycle    no file reaches itself through its includes;
  reach    blocker/ and store/ reach mainwindow/ and windows/ only through the platform
           interfaces or the composition root;
  win32    no core file includes platform/win32/ or the composition root;
  standard no core file includes a header other than the standard library's, the compiler's
           vector intrinsics and the project's own (so no Win32 header outside
           platform/win32/).

Breaches listed in scripts/include-baseline.txt are known and are reported as such; the check
fails on any other breach, and on a baseline line that no longer occurs (delete it then).
--all prints the known breaches too.
"""

import os
import re
import sys

# Every core unit: its files (paths without extension) and the units it is built on.
UNITS = {
    "decision": (["blocker/PopupDecision", "blocker/PromptWindow", "blocker/modPlaySound"],
                 ["lists"]),
    "tracker": (["blocker/cIEWindows", "blocker/IE_Class"], ["decision"]),
    "prompt": (["blocker/Form3"], ["decision", "lists", "ontop"]),
    "allownext": (["blocker/AllowNext"], ["decision"]),
    "lists": (["store/Module1", "store/ListFileFormat"], ["decision"]),
    "settings": (["store/Settings"], ["decision", "lists"]),
    "startup": (["store/Startup"],
                ["decision", "tracker", "allownext", "lists", "settings", "mainwindow", "tray",
                 "runatstartup", "ontop", "skin", "help", "about"]),
    "mainwindow": (["mainwindow/Form1", "mainwindow/Form1Services", "mainwindow/ListCommands",
                    "mainwindow/SiteListTransfer", "mainwindow/RegistryPlacement"],
                   ["decision", "allownext", "lists", "settings", "ontop"]),
    "tray": (["mainwindow/Module2"], ["allownext", "settings", "mainwindow"]),
    "runatstartup": (["mainwindow/AddRemove"], ["mainwindow"]),
    "ontop": (["mainwindow/clsOnTop"], []),
    "toolsentry": (["mainwindow/modIETools", "mainwindow/CRegister"], ["mainwindow"]),
    "skin": (["windows/modSkin"], []),
    "splash": (["windows/frmSplash"], ["startup", "about"]),
    "help": (["windows/Form8"], ["settings", "mainwindow", "ontop"]),
    "about": (["windows/frmAbout", "windows/frmWebsite"], ["mainwindow"]),
    "blocked": (["windows/frmBlocked"], ["decision"]),
}

# The shared record and helpers every unit may use.
SHARED = ["blocker/BlockerState", "blocker/BlockedHistory", "blocker/ListText", "blocker/SiteKey", "blocker/TextCompare",
          "windows/modSiteLink", "mainwindow/PathTests"]

CORE_FOLDERS = ["blocker", "store", "mainwindow", "windows"]
ROOT = ["app/"]  # the composition root

STANDARD = set("""
algorithm any array atomic barrier bit bitset charconv chrono codecvt compare complex concepts
condition_variable coroutine deque exception execution expected filesystem format forward_list
fstream functional future initializer_list iomanip ios iosfwd iostream istream iterator latch
limits list locale map memory memory_resource mutex new numbers numeric optional ostream queue
random ranges ratio regex scoped_allocator semaphore set shared_mutex source_location span
sstream stack stdexcept stop_token streambuf string string_view syncstream system_error thread
tuple type_traits typeindex typeinfo unordered_map unordered_set utility valarray variant
vector version
cassert cctype cerrno cfenv cfloat cinttypes climits clocale cmath csetjmp csignal cstdarg
cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype
""".split())

INTRINSICS = {"emmintrin.h", "immintrin.h", "xmmintrin.h", "pmmintrin.h", "tmmintrin.h",
              "smmintrin.h", "nmmintrin.h", "x86intrin.h", "arm_neon.h"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def source_files(root):
    for folder, _, names in os.walk(root):
        relative = os.path.relpath(folder, root)
        top = relative.split(os.sep)[0]
        if top in ("build", "tests", ".git") or top.startswith("."):
            continue
        for name in names:
            if name.endswith((".h", ".cpp")):
                yield os.path.normpath(os.path.join(relative, name)).replace(os.sep, "/")


def includes(root, path):
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
        text = source.read()
    for kind, name in INCLUDE.findall(text):
        if kind == "<":
            yield "<", name
            continue
        for candidate in (name, os.path.join(os.path.dirname(path), name)):
            if os.path.isfile(os.path.join(root, candidate)):
                yield '"', os.path.normpath(candidate).replace(os.sep, "/")
                break
        else:
            yield '"?', name


def stem(path):
    return os.path.splitext(path)[0]


def is_core(path):
    top = path.split("/")[0]
    return top in CORE_FOLDERS or (top in ("platform", "resources") and path.count("/") == 1)


def unit_of(path):
    for unit, (files, _) in UNITS.items():
        if stem(path) in files:
            return unit
    return None


def breaches(root):
    files = sorted(source_files(root))
    graph = {path: [] for path in files}
    found = []
    for path in files:
        unit = unit_of(path)
        core = is_core(path)
        if core and path.split("/")[0] in CORE_FOLDERS and unit is None and stem(path) not in SHARED:
            found.append(f"layers: {path} belongs to no unit")
        for kind, target in includes(root, path):
            if kind == '"':
                graph[path].append(target)
            if not core:
                continue
            if kind == "<" and target not in STANDARD and target not in INTRINSICS:
                found.append(f"standard: {path} includes <{target}>")
            if kind == '"?':
                found.append(f"standard: {path} includes \"{target}\", no file of the project")
            if kind != '"':
                continue
            if target.startswith("platform/win32/") or any(target.startswith(r) for r in ROOT):
                found.append(f"win32: {path} includes {target}")
                continue
            if path.split("/")[0] in ("blocker", "store") and target.split("/")[0] in (
                    "mainwindow", "windows"):
                found.append(f"reach: {path} includes {target}")
            other = unit_of(target)
            if stem(path) in SHARED and other is not None:
                found.append(f"layers: {path} (shared) includes {target} ({other})")
            if unit is None or other is None or other == unit:
                continue
            if other not in UNITS[unit][1]:
                found.append(f"layers: {path} ({unit}) includes {target} ({other})")
    found += [f"cycle: {', '.join(cycle)} include each other" for cycle in cycles(graph)]
    return found


def cycles(graph):
    """One include cycle per strongly connected set of files (Tarjan)."""
    index, low, stack, on_stack, result = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for target in graph.get(node, []):
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            members = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                members.append(member)
                if member == node:
                    break
            if len(members) > 1 or node in graph.get(node, []):
                result.append(sorted(members))

    sys.setrecursionlimit(10000)
    for node in sorted(graph):
        if node not in index:
            visit(node)
    return result


def main(argv):
    show_all = "--all" in argv
    args = [a for a in argv[1:] if a != "--all"]
    root = os.path.abspath(args[0] if args else os.path.join(os.path.dirname(__file__), ".."))
    baseline_path = os.path.join(root, "scripts", "include-baseline.txt")
    baseline = set()
    if os.path.isfile(baseline_path):
        with open(baseline_path, encoding="utf-8") as lines:
            baseline = {l.strip() for l in lines if l.strip() and not l.startswith("#")}
    found = breaches(root)
    new = [b for b in found if b not in baseline]
    gone = sorted(baseline - set(found))
    for breach in found:
        if breach in baseline and show_all:
            print(f"known    {breach}")
    for breach in new:
        print(f"BREACH   {breach}")
    for line in gone:
        print(f"MENDED   {line}  (delete it from scripts/include-baseline.txt)")
    print(f"{len(found)} breaches, {len(found) - len(new)} of them known; "
          f"{len(gone)} baseline lines no longer occur")
    return 1 if new or gone else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
