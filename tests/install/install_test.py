#!/usr/bin/python3
"""The installed program, as a user gets it from `cmake --install build --prefix DIR`.

It installs into a fresh prefix, then moves the whole tree elsewhere, so that nothing
can be found through the build folder or the path it was installed to: the program must
reach its libraries and its module relative to itself. From the moved tree it runs the
README's sample job on the installed sample with the installed script. Then the files
that make it a desktop application: the entry passes desktop-file-validate, the type of
the host's drawings passes xmllint and goes into a MIME database, where GLib (as file
managers use it) tells the host's drawings from binary drawings of the same name; and the
entry, the type and the icon name each other consistently.

Usage: install_test.py CMAKE BUILD_DIR WORKDIR LIBDIR (the install's library folder, "lib")
"""
import configparser
import os
import shutil
import subprocess
import sys

MIME_NS = "{http://www.freedesktop.org/standards/shared-mime-info}"
HOST_TYPE = "application/x-marvolt-drawing"
FILES = [
    "bin/marvolt-host",
    "LIB/marvolt/libhostcore.so", "LIB/marvolt/libhostui.so", "LIB/marvolt/marvolt.so",
    "share/marvolt/samples/annotations.dwg", "share/marvolt/samples/library.dwg",
    "share/marvolt/samples/to-current-layer.scr",
    "share/applications/marvolt-host.desktop",
    "share/mime/packages/marvolt-host.xml",
    "share/icons/hicolor/scalable/apps/marvolt-host.svg",
]
ELF_FILES = FILES[:4]


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, **kwargs)


def install(cmake, build, prefix):
    shutil.rmtree(prefix, ignore_errors=True)
    done = run([cmake, "--install", build, "--prefix", prefix])
    if done.returncode != 0:
        return [f"cmake --install failed: {done.stderr.strip()}"]
    return [f"not installed: {f}" for f in FILES if not os.path.isfile(os.path.join(prefix, f))]


def runpaths(prefix):
    """Every search path an installed program or library carries is relative to itself."""
    failures = []
    for name in ELF_FILES:
        dynamic = run(["readelf", "-d", os.path.join(prefix, name)]).stdout
        for line in dynamic.splitlines():
            if "(RUNPATH)" in line or "(RPATH)" in line:
                paths = line.split("[", 1)[1].rstrip("]").split(":")
                failures += [f"{name}: search path {p} is not relative to the file" for p in paths
                             if not p.startswith("$ORIGIN")]
    return failures


def sample_job(prefix, work):
    """The README's job, run in the installed samples' folder as its relative paths expect."""
    saved = os.path.join(work, "sample.dwg")
    env = {k: v for k, v in os.environ.items() if k != "LD_LIBRARY_PATH"}
    env.update(TMPDIR=work + "/", XDG_CONFIG_HOME=os.path.join(work, "config"), QT_QPA_PLATFORM="offscreen")
    job = run([os.path.join(prefix, "bin", "marvolt-host"), "--open", "samples/annotations.dwg",
               "--script", "samples/to-current-layer.scr", "--save", saved],
              cwd=os.path.join(prefix, "share", "marvolt"), env=env)
    if job.returncode != 0:
        return [f"the sample job ended with {job.returncode}: {job.stderr.strip()}"]
    failures = [f"the sample job's transcript lacks {s}" for s in
                ("Done Caching samples/library.dwg", '@ view text "P-100"', '@ view text "Harbour Office"')
                if s not in job.stdout]
    if not os.path.exists(saved):
        failures.append("the sample job saved nothing")
    return failures


def tool(name, package):
    path = shutil.which(name)
    if not path:
        print(f"{name} is missing: install {package} (scripts/install-deps.sh)")
    return path


def desktop_files(prefix, work):
    failures = []
    entry_path = os.path.join(prefix, "share/applications/marvolt-host.desktop")
    mime_path = os.path.join(prefix, "share/mime/packages/marvolt-host.xml")
    icon_path = os.path.join(prefix, "share/icons/hicolor/scalable/apps/marvolt-host.svg")
    validate, xmllint = tool("desktop-file-validate", "desktop-file-utils"), tool("xmllint", "libxml2-utils")
    if not validate or not xmllint:
        return ["a checking tool is missing"]
    checked = run([validate, entry_path])
    if checked.returncode != 0 or checked.stdout or checked.stderr:
        failures.append(f"desktop-file-validate: {(checked.stdout + checked.stderr).strip()}")
    for path in (mime_path, icon_path):
        checked = run([xmllint, "--noout", path])
        if checked.returncode != 0:
            failures.append(f"xmllint {os.path.basename(path)}: {checked.stderr.strip()}")
    failures += mime_database(mime_path, work)

    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(entry_path, encoding="utf-8")
    section = entry["Desktop Entry"] if entry.has_section("Desktop Entry") else {}
    categories = section.get("Categories", "").split(";")
    types = section.get("MimeType", "").split(";")
    wanted = [
        ("categories Graphics and Engineering", {"Graphics", "Engineering"} <= set(categories)),
        ("files passed as %F", section.get("Exec", "").split()[-1:] == ["%F"]),
        ("the program it runs is the installed one", section.get("Exec", "").split()[:1] == ["marvolt-host"]),
        ("the MIME types of DXF and of the host's drawings", {"image/vnd.dxf", HOST_TYPE} <= set(types)),
        ("the icon it names is the installed one", section.get("Icon") == "marvolt-host"),
        ("a name and a comment", bool(section.get("Name")) and bool(section.get("Comment"))),
    ]
    failures += [f"the desktop entry lacks {what}" for what, holds in wanted if not holds]
    return failures


def mime_database(mime_path, work):
    """The type goes into a MIME database of its own, as the system's would take it."""
    update = shutil.which("update-mime-database")
    if not update:
        return []
    database = os.path.join(work, "mime")
    shutil.rmtree(database, ignore_errors=True)
    os.makedirs(os.path.join(database, "packages"))
    shutil.copy(mime_path, os.path.join(database, "packages"))
    # It warns about a database outside the data folders: this one's folder is one.
    done = run([update, database], env=dict(os.environ, XDG_DATA_HOME=work))
    failures = []
    if done.returncode != 0 or done.stderr:
        failures.append(f"update-mime-database: {done.stderr.strip()}")
    if not os.path.exists(os.path.join(database, HOST_TYPE + ".xml")):
        failures.append(f"the MIME database holds no {HOST_TYPE}")
    return failures + content_types(work)


# file name, bytes, the type a desktop gives it with the drawing type installed
TYPED_FILES = [
    ("drawing.dwg", "SAMPLE", HOST_TYPE),
    ("binary.dwg", b"AC1032\0\0\0\x01\x02 a binary drawing", "image/vnd.dwg"),
    ("drawing.dxf", "SAMPLE", "image/vnd.dxf"),
]


def content_types(work):
    """What a file manager (through GLib) makes of files, with the database just made."""
    gio = shutil.which("gio")
    if not gio:
        return []
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "samples", "annotations.dwg"),
              "rb") as f:
        sample = f.read()
    env = dict(os.environ, XDG_DATA_HOME=work, XDG_DATA_DIRS="/usr/share")
    failures = []
    for name, data, wanted in TYPED_FILES:
        path = os.path.join(work, name)
        with open(path, "wb") as f:
            f.write(sample if data == "SAMPLE" else data)
        info = run([gio, "info", "-a", "standard::content-type", path], env=env).stdout
        found = info.split("standard::content-type:")[-1].strip() if "content-type" in info else info.strip()
        if found != wanted:
            failures.append(f"{name} is taken for {found!r}, not {wanted}")
    return failures


def main(cmake, build, work, libdir):
    FILES[:] = [f.replace("LIB", libdir, 1) for f in FILES]
    ELF_FILES[:] = FILES[:4]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    installed, moved = os.path.join(work, "prefix"), os.path.join(work, "moved")
    failures = install(cmake, build, installed)
    if not failures:
        os.rename(installed, moved)
        failures += runpaths(moved)
        failures += sample_job(moved, work)
        failures += desktop_files(moved, work)
    for f in failures:
        print(f)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
