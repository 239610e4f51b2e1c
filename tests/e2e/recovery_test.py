#!/usr/bin/python3
"""End to end: damaged drawings open recovered, with a report, and are never saved over.

make_damaged_drawings writes one damaged copy of the sample drawing per kind of damage.
The host opens each: the transcript names the file and the repair, the drawing counts
as modified, "@save NEW" writes a drawing that ezdxf reads strictly, and the damaged
file keeps every byte. On one of them, "@save" without a name and the Save menu entry
are tried as well: neither writes over the damaged file; the menu asks for a new name.

Usage: recovery_test.py HOST SOUND_DRAWING MAKE_DAMAGED_DRAWINGS WORKDIR
"""
import os
import shutil
import subprocess
import sys

import ezdxf


def run_host(host, drawing, script, work):
    path = os.path.join(work, "script.scr")
    with open(path, "w", encoding="utf-8") as f:
        f.write(script)
    env = dict(os.environ, TMPDIR=work + "/", XDG_CONFIG_HOME=os.path.join(work, "config"))
    return subprocess.run([host, "--open", drawing, "--script", path, "--module", "none"], capture_output=True,
                          text=True, env=env, cwd=work, timeout=60)


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def check_kind(host, work, name, repair):
    failures = []
    damaged = os.path.join(work, name + ".dwg")
    before = read_bytes(damaged)
    saved = os.path.join(work, name + "-saved.dwg")
    run = run_host(host, damaged, f"@ui show main\n@save {saved}\n@ui show main\n", work)
    lines = run.stdout.splitlines()
    if run.returncode != 0:
        return [f"{name}: host failed ({run.returncode}): {run.stderr.strip()}"]
    header = f"Recovered {damaged}: 1 problem repaired:"
    if header not in lines:
        failures.append(f"{name}: no line {header!r} in\n{run.stdout}")
    else:
        following = lines[lines.index(header) + 1]
        if not following.startswith("  ") or repair not in following:
            failures.append(f"{name}: the repair line {following!r} does not say {repair!r}")
    documents = [line for line in lines if line.startswith("@ document ")]
    expected = [f'@ document "{name}.dwg" modified=1 current', f'@ document "{name}-saved.dwg" modified=0 current']
    if documents != expected:
        failures.append(f"{name}: the document before and after saving: {documents}, expected {expected}")
    try:
        ezdxf.readfile(saved)
    except Exception as e:  # noqa: BLE001 - any failure of the peer's read is the finding
        failures.append(f"{name}: ezdxf cannot read the saved drawing: {e}")
    if read_bytes(damaged) != before:
        failures.append(f"{name}: the damaged file was changed")
    return failures


def check_no_overwrite(host, work):
    """@save without a name is refused; File/Save asks for a new name, proposed beside it."""
    failures = []
    damaged = os.path.join(work, "missing_endsec.dwg")
    before = read_bytes(damaged)
    run = run_host(host, damaged, "@save\n", work)
    expected = f"{damaged} is the damaged file this drawing was recovered from: save it under a new name"
    if run.returncode == 0 or expected not in run.stderr:
        failures.append(f"@save: exit {run.returncode}, stderr {run.stderr.strip()!r}")
    chosen = os.path.join(work, "chosen.dwg")
    run = run_host(host, damaged, f'@ui menu "File/Save"\n@ui answer "{chosen}"\n@ui show main\n', work)
    if run.returncode != 0 or "[Save Drawing As] file dialog" not in run.stdout:
        failures.append(f"File/Save: exit {run.returncode}, no file dialog in\n{run.stdout}{run.stderr}")
    if '@ document "chosen.dwg" modified=0 current' not in run.stdout.splitlines():
        failures.append(f"File/Save: the drawing is not saved as chosen.dwg in\n{run.stdout}")
    if not os.path.exists(chosen):
        failures.append("File/Save: nothing was saved under the chosen name")
    if read_bytes(damaged) != before:
        failures.append("the damaged file was changed")
    return failures


def main(host, sound, make_damaged, work):
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    made = subprocess.run([make_damaged, sound, work], capture_output=True, text=True, check=True)
    kinds = [line.split("\t") for line in made.stdout.splitlines()]
    failures = []
    for name, repair in kinds:
        failures += check_kind(host, work, name, repair)
    failures += check_no_overwrite(host, work)
    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(kinds)} kinds of damage recovered, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
