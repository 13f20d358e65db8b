#!/usr/bin/python3
"""Checks the 32-bit Windows program as a file: a GUI PE32 for i386 that needs only system DLLs,
with the version block and the clock icon. Argument: the .exe."""
import os
import subprocess
import sys
import tempfile

import pefile

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "gdiplus.dll",
               "shlwapi.dll", "msvcrt.dll", "ole32.dll"}
EXPECTED_STRINGS = {
    "FileVersion": "1.00.0007",
    "ProductVersion": "1.00.0007",
    "ProductName": "Tempulix",
    "InternalName": "Tempulix",
    "OriginalFilename": "Tempulix.exe",
}
failures = []


def check(condition, what):
    print(("ok: " if condition else "FAIL: ") + what)
    if not condition:
        failures.append(what)


def main(path):
    pe = pefile.PE(path)
    check(pe.OPTIONAL_HEADER.Magic == 0x10B, "PE32 (not PE32+)")
    check(pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"], "machine i386")
    check(pe.OPTIONAL_HEADER.Subsystem == pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"],
          "GUI subsystem")
    imports = sorted(entry.dll.decode().lower() for entry in pe.DIRECTORY_ENTRY_IMPORT)
    check(set(imports) <= SYSTEM_DLLS, "imports only system DLLs: " + ", ".join(imports))

    fixed = pe.VS_FIXEDFILEINFO[0]
    check((fixed.FileVersionMS, fixed.FileVersionLS) == (0x00010000, 0x00000007), "file version 1.0.0.7")
    check((fixed.ProductVersionMS, fixed.ProductVersionLS) == (0x00010000, 0x00000007),
          "product version 1.0.0.7")
    check(fixed.FileType == 1, "file type application")
    check(fixed.FileOS == 4, "file system 32-bit Windows")
    tables = {}
    translations = []
    for info in pe.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                tables[table.LangID.decode()] = {k.decode(): v.decode() for k, v in table.entries.items()}
        elif info.Key == b"VarFileInfo":
            for var in info.Var:
                translations += [[int(word, 16) for word in value.split()]
                                 for value in var.entry.values()]
    check(list(tables) == ["040704B0"], "one string table 040704B0: " + ", ".join(tables))
    strings = tables.get("040704B0", {})
    for key, value in EXPECTED_STRINGS.items():
        check(strings.get(key) == value, f'"{key}" = "{strings.get(key)}"')
    check(translations == [[0x0407, 0x04B0]], f"translation 0x0407 0x04B0: {translations}")
    languages = {entry.data.lang for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries
                 for name in kind.directory.entries for entry in name.directory.entries}
    check(languages == {0x07}, "every resource is German (Germany)")

    with tempfile.TemporaryDirectory() as work:
        icon = os.path.join(work, "icon.ico")
        subprocess.run(["wrestool", "-x", "--type=group_icon", "--name=1", "-o", icon, path],
                       check=True)
        listing = subprocess.run(["icotool", "-l", icon], check=True, capture_output=True,
                                 text=True).stdout.split("\n")
        listing = [line for line in listing if line]
        check(len(listing) == 1 and "--width=32 --height=32 --bit-depth=24" in listing[0],
              "first icon is the one 32x32 24-bit image: " + " | ".join(listing))
    for name in ("201", "202", "203", "204"):
        data = subprocess.run(["wrestool", "-x", "--raw", "--type=10", f"--name={name}", path],
                              check=True, capture_output=True).stdout
        check(data[:6] == b"GIF89a", f"picture {name} embedded as GIF89a ({len(data)} bytes)")

    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
