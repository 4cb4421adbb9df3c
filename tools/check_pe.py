#!/usr/bin/env python3
"""Checks a Windows build's program folder without running it.

Where 32-bit code cannot run, this is all that stands between the i686 build
and a user: the exe and both libraries are for the machine the zip names,
the exe needs nothing but Windows' own DLLs (the C++ runtime is linked in
and the audio and socket libraries are loaded at start-up, not imported),
the libraries need nothing but Windows either, and each exports exactly the
undecorated names of its .def file (a caller looks them up by those names).

    tools/check_pe.py BUILD_DIR [BUILD_DIR...]

Prints one line a check and a closing "N passed, N failed"; exits 1 on any
failure.
"""
import glob
import os
import re
import subprocess
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The DLLs every Windows from XP on has in its system folder.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
    "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll", "version.dll", "winmm.dll", "msacm32.dll", "ws2_32.dll",
    "uxtheme.dll", "imm32.dll",
}

EDITIONS = {  # objdump's format name, the zip's suffix
    "i686": ("pei-i386", "i686"),
    "x86_64": ("pei-x86-64", "x64"),
}

DEF_FILES = {"VBMP3.dll": "vbmp3/dll/vbmp3.def", "VBSOCK.dll": "vbsock/dll/vbsock.def"}
PROGRAM_FILES = ["velnoir.exe", "VBMP3.dll", "VBSOCK.dll"]


def objdump(edition, path, flag):
    tool = f"{edition}-w64-mingw32-objdump"
    # objdump's headings follow the locale; the checks read the English ones.
    env = dict(os.environ, LC_ALL="C", LANGUAGE="C")
    return subprocess.run([tool, flag, path], check=True, capture_output=True, text=True,
                          env=env).stdout


def imports(edition, path):
    return [m.lower() for m in re.findall(r"DLL Name: (\S+)", objdump(edition, path, "-p"))]


def exports(edition, path):
    text = objdump(edition, path, "-p")
    table = text.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) < 2:
        return []
    names = []
    for line in table[1].splitlines()[1:]:
        m = re.match(r"\s*\[\s*\d+\]\s+(\S+)", line)
        if not m:
            break
        names.append(m.group(1))
    return names


def def_names(relative):
    names = []
    with open(os.path.join(ROOT, relative), encoding="utf-8") as f:
        in_exports = False
        for line in f:
            word = line.split(";", 1)[0].strip()
            if not word:
                continue
            if word.upper() == "EXPORTS":
                in_exports = True
            elif in_exports:
                names.append(word.split()[0])
    return names


def edition_of(build):
    # The zip is named after the processor the toolchain file set.
    for path in glob.glob(os.path.join(build, "CMakeFiles", "*", "CMakeSystem.cmake")):
        with open(path, encoding="utf-8") as f:
            m = re.search(r'set\(CMAKE_SYSTEM_PROCESSOR "([^"]+)"\)', f.read())
        if m and m.group(1) in EDITIONS:
            return m.group(1)
    raise SystemExit(f"{build}: not a Windows build of this project")


def check_build(build, report):
    edition = edition_of(build)
    pe_format, suffix = EDITIONS[edition]
    folder = os.path.join(build, "dist", "velnoir")
    for name in PROGRAM_FILES:
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            report(False, f"{edition}: {name} is in the program folder")
            continue
        header = objdump(edition, path, "-f")
        report(f"file format {pe_format}" in header, f"{edition}: {name} is {pe_format}")
        foreign = sorted(set(imports(edition, path)) - SYSTEM_DLLS)
        report(not foreign, f"{edition}: {name} imports only system DLLs" +
               (f" (also {', '.join(foreign)})" if foreign else ""))
        if name in DEF_FILES:
            want, have = sorted(def_names(DEF_FILES[name])), sorted(exports(edition, path))
            report(want == have, f"{edition}: {name} exports exactly {DEF_FILES[name]}" +
                   ("" if want == have else f" (missing {sorted(set(want) - set(have))},"
                    f" extra {sorted(set(have) - set(want))})"))
    zips = [f for f in os.listdir(build) if re.fullmatch(rf"velnoir-[\d.]+-{suffix}\.zip", f)]
    if len(zips) != 1:
        report(False, f"{edition}: one zip velnoir-<version>-{suffix}.zip (found {zips})")
        return
    with zipfile.ZipFile(os.path.join(build, zips[0])) as z:
        listed = sorted(n for n in z.namelist() if not n.endswith("/"))
    report(listed == sorted(f"velnoir/{n}" for n in PROGRAM_FILES),
           f"{edition}: {zips[0]} holds the program folder and nothing else")


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip().splitlines()[-3].strip(), file=sys.stderr)
        return 2
    counts = [0, 0]

    def report(ok, what):
        counts[0 if ok else 1] += 1
        print(("ok   " if ok else "FAIL ") + what)

    for build in argv[1:]:
        check_build(build, report)
    print(f"{counts[0]} passed, {counts[1]} failed")
    return 0 if counts[1] == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
