#!/usr/bin/env python3
"""`cmake --install` of a build into a scratch DESTDIR, then what a desktop
needs of it: the programs, the launcher entry and the AppStream data (checked
by the desktop's own validators), the icons at their sizes, and the editor's
tips and help pages.

usage: install_test.py BUILD_DIR SOURCE_DIR
"""
import configparser
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
APP_ID = "org.example.tarlo"
failures = []


def check(ok, what):
    print(("ok      " if ok else "FAILED  ") + what)
    if not ok:
        failures.append(what)


def run(args, **kw):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def main():
    build, source = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as dest:
        prefix = "/opt/tarlo-test"
        r = run(["cmake", "--install", build, "--prefix", prefix],
                env=dict(os.environ, DESTDIR=dest))
        check(r.returncode == 0, "cmake --install succeeds\n" + r.stdout[-2000:])
        root = dest + prefix
        share = root + "/share"

        for program in ("tarlo", "tarlo-cli"):
            path = f"{root}/bin/{program}"
            check(os.path.isfile(path) and os.access(path, os.X_OK), f"bin/{program} is a program")
        version = run([f"{root}/bin/tarlo", "--version"])
        check(version.returncode == 0 and version.stdout.strip() != "",
              "the installed tarlo answers --version")

        desktop = f"{share}/applications/{APP_ID}.desktop"
        check(os.path.isfile(desktop), "the launcher entry is in share/applications")
        r = run(["desktop-file-validate", desktop])
        check(r.returncode == 0 and r.stdout.strip() == "",
              "desktop-file-validate accepts it without a word\n" + r.stdout)
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(desktop)
        e = entry["Desktop Entry"] if entry.has_section("Desktop Entry") else {}
        for key, value in (("Name", "Tarlo"), ("Exec", "tarlo %f"), ("Icon", "tarlo"),
                           ("Type", "Application"),
                           ("Categories", "Development;WebDevelopment;"),
                           ("MimeType", "text/html;application/xhtml+xml;")):
            check(e.get(key) == value, f"the launcher's {key} is {value!r} (is {e.get(key)!r})")

        metainfo = f"{share}/metainfo/{APP_ID}.metainfo.xml"
        check(os.path.isfile(metainfo), "the AppStream data is in share/metainfo")
        r = run(["appstream-util", "validate-relax", "--nonet", metainfo])
        check(r.returncode == 0, "appstream-util validate-relax accepts it\n" + r.stdout)
        component = ET.parse(metainfo).getroot()
        check(component.findtext("id") == APP_ID, "its id is the launcher's name")
        check(component.findtext("launchable") == os.path.basename(desktop),
              "it launches the installed entry")
        for field in ("name", "summary", "description", "metadata_license", "content_rating"):
            check(component.find(field) is not None, f"it has a {field}")
        release = component.find("releases/release")
        check(release is not None and release.get("version", "") != ""
              and release.get("version") in version.stdout,
              "its release is the version the program gives")

        svg = f"{share}/icons/hicolor/scalable/apps/tarlo.svg"
        check(os.path.isfile(svg) and ET.parse(svg).getroot().tag.endswith("svg"),
              "the scalable icon is an SVG picture")
        for s in SIZES:
            png = f"{share}/icons/hicolor/{s}x{s}/apps/tarlo.png"
            got = png_size(png) if os.path.isfile(png) else None
            check(got == (s, s), f"the {s}x{s} icon is a PNG of that size (is {got})")

        def same(installed, original):
            with open(installed, "rb") as a, open(original, "rb") as b:
                return a.read() == b.read()

        tips = f"{share}/tarlo/tips.txt"
        check(os.path.isfile(tips) and same(tips, f"{source}/resources/tips.txt"),
              "the tips are in share/tarlo")
        check(os.path.isfile(f"{share}/tarlo/code.gif"), "the progress picture is in share/tarlo")
        pages = sorted(os.listdir(f"{source}/resources/help"))
        for page in pages:
            installed = f"{share}/tarlo/help/{page}"
            check(os.path.isfile(installed) and same(installed, f"{source}/resources/help/{page}"),
                  f"help page {page} is in share/tarlo/help")

    print(f"{len(failures)} failed" if failures else "all install checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
