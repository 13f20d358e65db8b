#!/usr/bin/python3
"""Checks the Windows program as a file: a GUI image of its kind (PE32 for i386, the shipped
program; PE32+ for x86-64) that needs only system DLLs, with the version block, the clock icon
and the manifest Windows 10 and 11 expect, hardened as mingw-w64 allows. Arguments: the .exe,
its kind (i386 or amd64), the nm for its objects, the window layer's library (whose code must
carry stack canaries)."""
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

import pefile

# advapi32 for the stack canary's random start value (mingw-w64's libssp).
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "gdiplus.dll",
               "shlwapi.dll", "msvcrt.dll", "ole32.dll", "advapi32.dll"}
EXPECTED_STRINGS = {
    "FileVersion": "1.00.0007",
    "ProductVersion": "1.00.0007",
    "ProductName": "Tempulix",
    "InternalName": "Tempulix",
    "OriginalFilename": "Tempulix.exe",
}
failures = []
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
# Each kind of image: the optional header's magic, the machine, and the processor the manifest
# names.
KINDS = {
    "i386": (0x10B, "IMAGE_FILE_MACHINE_I386", "x86"),
    "amd64": (0x20B, "IMAGE_FILE_MACHINE_AMD64", "amd64"),
}
# The supportedOS ids Microsoft gives, oldest first.
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "10 and 11",
}


def check(condition, what):
    print(("ok: " if condition else "FAIL: ") + what)
    if not condition:
        failures.append(what)


def check_manifest(path, processor):
    data = subprocess.run(["wrestool", "-x", "--raw", "--type=24", "--name=1", path], check=True,
                          capture_output=True).stdout
    manifest = ElementTree.fromstring(data)
    check(manifest.tag == ASM_V1 + "assembly", "manifest (RT_MANIFEST 1) is an assembly")
    own = manifest.find(ASM_V1 + "assemblyIdentity")
    check(own is not None and own.get("processorArchitecture") == processor,
          f"the manifest names the processor {processor}: "
          f"{None if own is None else own.get('processorArchitecture')}")
    controls = [identity.get("version") for identity in manifest.iter(ASM_V1 + "assemblyIdentity")
                if identity.get("name") == "Microsoft.Windows.Common-Controls"]
    check(controls == ["6.0.0.0"], f"common controls 6: {controls}")
    levels = [(e.get("level"), e.get("uiAccess"))
              for e in manifest.iter(ASM_V3 + "requestedExecutionLevel")]
    check(levels == [("asInvoker", "false")], f"requestedExecutionLevel asInvoker: {levels}")
    systems = [e.get("Id") for e in manifest.iter(COMPATIBILITY + "supportedOS")]
    check(systems == list(SUPPORTED_OS),
          "supportedOS Vista to 10/11: " + ", ".join(SUPPORTED_OS.get(i, i) for i in systems))
    aware = [e.text.strip() for e in manifest.iter(SETTINGS_2005 + "dpiAware")]
    awareness = [e.text.strip() for e in manifest.iter(SETTINGS_2016 + "dpiAwareness")]
    check(aware == ["true/pm"], f"dpiAware true/pm (per monitor on 8.1, system before): {aware}")
    check(awareness == ["PerMonitorV2, PerMonitor"],
          f"dpiAwareness per monitor, version 2 first: {awareness}")


def check_hardening(pe, kind, nm, library):
    flags = pe.OPTIONAL_HEADER.DllCharacteristics
    names = ["DYNAMIC_BASE", "NX_COMPAT", "TERMINAL_SERVER_AWARE"]
    if kind == "amd64":
        names.append("HIGH_ENTROPY_VA")  # randomised over the whole 64-bit address space
    for name in names:
        check(flags & pefile.DLL_CHARACTERISTICS["IMAGE_DLLCHARACTERISTICS_" + name],
              f"PE header: {name}")
    check(pe.OPTIONAL_HEADER.DATA_DIRECTORY[5].Size > 0, "relocations kept, for DYNAMIC_BASE")
    symbols = subprocess.run([nm, "-u", library], check=True, capture_output=True,
                             text=True).stdout
    check("__stack_chk_fail" in symbols and "__stack_chk_guard" in symbols,
          "the window code carries stack canaries (-fstack-protector-strong)")


def main(path, kind, nm, library):
    magic, machine, processor = KINDS[kind]
    pe = pefile.PE(path)
    check(pe.OPTIONAL_HEADER.Magic == magic, f"{'PE32+' if magic == 0x20B else 'PE32'} "
          f"(optional header magic {pe.OPTIONAL_HEADER.Magic:#x})")
    check(pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE[machine],
          f"machine {kind} ({pe.FILE_HEADER.Machine:#x})")
    check(pe.OPTIONAL_HEADER.Subsystem == pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"],
          "GUI subsystem")
    imports = sorted(entry.dll.decode().lower() for entry in pe.DIRECTORY_ENTRY_IMPORT)
    check(set(imports) <= SYSTEM_DLLS, "imports only system DLLs: " + ", ".join(imports))
    # Windows 10's functions are looked up when the program runs: imported, they would keep it
    # from starting on Vista, 7 and 8.
    functions = {imported.name.decode() for entry in pe.DIRECTORY_ENTRY_IMPORT
                 for imported in entry.imports if imported.name}
    newer = functions & {"GetDpiForWindow", "AdjustWindowRectExForDpi", "GetDpiForSystem",
                         "SetProcessDpiAwarenessContext", "SystemParametersInfoForDpi"}
    check(not newer, f"imports nothing of Windows 10: {sorted(newer)}")

    fixed = pe.VS_FIXEDFILEINFO[0]
    check((fixed.FileVersionMS, fixed.FileVersionLS) == (0x00010000, 0x00000007), "file version 1.0.0.7")
    check((fixed.ProductVersionMS, fixed.ProductVersionLS) == (0x00010000, 0x00000007),
          "product version 1.0.0.7")
    check(fixed.FileType == 1, "file type application")
    # VOS__WINDOWS32: the Win32 interface, which 64-bit programs use too.
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

    check_manifest(path, processor)
    check_hardening(pe, kind, nm, library)

    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
