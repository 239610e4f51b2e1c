#!/usr/bin/python3
"""End to end: marvolt-host's command line as a desktop program's. --help and --version
answer without a display, drawings given as arguments open in order with the last one
current (as a file manager's "Open with" passes them), and a wrong option ends with
status 1 and the usage.

Usage: command_line_test.py HOST VERSION DRAWING_A DRAWING_B WORKDIR
"""
import os
import re
import subprocess
import sys

OPTIONS = ["--help", "--version", "--open", "--script", "--save", "--module", "--show"]


def lines_with(text, pattern):
    return [line for line in text.splitlines() if re.search(pattern, line)]


def check_help(run, _names):
    failures = []
    if not run.stdout.startswith("Usage: marvolt-host "):
        failures.append(f"the help does not begin with the usage: {run.stdout[:60]!r}")
    for option in OPTIONS:
        # One line each: the option, then its explanation on the same line.
        found = lines_with(run.stdout, rf"^\s+(-\w, )?{option}\b.*\s\w+")
        if len(found) != 1:
            failures.append(f"{option}: {len(found)} lines of help with an explanation, expected 1")
    # An explanation that wraps leaves a line that names no option.
    section = run.stdout.split("Options:\n", 1)[-1].split("\n\n", 1)[0]
    failures += [f"a line of help without its option: {line!r}" for line in section.splitlines()
                 if not line.lstrip().startswith("-")]
    return failures


def check_documents(expected):
    def check(run, names):
        shown = [line for line in run.stdout.splitlines() if line.startswith("@ document ")]
        want = [line.format(**names) for line in expected]
        return [] if shown == want else [f"documents shown {shown}, expected {want}"]
    return check


def check_usage_after(first):
    def check(run, names):
        lines = run.stderr.splitlines()
        failures = []
        if not lines or lines[0] != first.format(**names):
            failures.append(f"standard error begins {lines[:1]}, expected {first.format(**names)!r}")
        if "Usage: marvolt-host " not in run.stderr:
            failures.append("the usage is not on standard error")
        if run.stdout:
            failures.append(f"standard output {run.stdout!r}, expected none")
        return failures
    return check


SHOW_MAIN = "@ui show main\n"

# name, arguments, script (None: no script), exit status, check;
# {a} and {b} are the two drawings, {missing} a path that is not there
CASES = [
    ("help", ["--help"], None, 0, check_help),
    ("short help", ["-h"], None, 0, check_help),
    ("version", ["--version"], None, 0,
     lambda run, n: [] if run.stdout == f"marvolt-host {n['version']}\n" else [f"version {run.stdout!r}"]),
    ("two drawings as arguments, the last current", ["{a}", "{b}"], SHOW_MAIN, 0,
     check_documents(['@ document "{a_name}" modified=0', '@ document "{b_name}" modified=0 current'])),
    ("--open first, then the arguments", ["{b}", "--open", "{a}"], SHOW_MAIN, 0,
     check_documents(['@ document "{a_name}" modified=0', '@ document "{b_name}" modified=0 current'])),
    ("no drawing: a new one", [], SHOW_MAIN, 0, check_documents(['@ document "Drawing1" modified=0 current'])),
    ("a drawing argument that is not there", ["{a}", "{missing}.dwg"], SHOW_MAIN, 4,
     lambda run, n: [] if run.stderr.startswith(f"marvolt-host: cannot open {n['missing']}.dwg")
     else [f"standard error {run.stderr!r}"]),
    ("unknown option", ["--frobnicate", "{a}"], None, 1, check_usage_after("marvolt-host: Unknown option 'frobnicate'.")),
    ("option without its value", ["{a}", "--script"], None, 1,
     check_usage_after("marvolt-host: Missing value after '--script'.")),
]


def main(host, version, a, b, work):
    os.makedirs(work, exist_ok=True)
    names = {"a": a, "b": b, "a_name": os.path.basename(a), "b_name": os.path.basename(b),
             "missing": os.path.join(work, "missing"), "version": version}
    # Help and errors must not need a display: none is offered unless a script runs.
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(TMPDIR=work + "/", XDG_CONFIG_HOME=os.path.join(work, "config"))
    failures = []
    for name, arguments, script, status, check in CASES:
        command = [host] + [a.format(**names) for a in arguments]
        if script is not None:
            command += ["--module", "none", "--script", "-"]
        run = subprocess.run(command, input=script or "", capture_output=True, text=True, env=env)
        if run.returncode != status:
            failures.append(f"{name}: exit status {run.returncode}, expected {status}: {run.stderr.strip()}")
        failures += [f"{name}: {f}" for f in check(run, names)]
    for f in failures:
        print(f)
    print(f"{len(CASES)} cases, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:6]))
