"""The run of one end-to-end case: marvolt-host on a drawing with a script, saving the
result, with the transcript compared whole with the golden file beside the script."""
import os
import shutil
import subprocess


def run_script(host, drawing, script, saved, work, config=None, locale=None, cwd=None):
    """Runs the script (NAME.scr); answers whether the run ended well (so that the saved
    drawing can be read) and what failed: a non-zero exit status, or a transcript other
    than NAME.expected, written to WORK/NAME.actual for a diff. With a locale (LC_ALL),
    the host runs under it and must answer exactly as it does without one. With cwd, the
    host runs in that folder, so that relative paths in the script are found there."""
    name = os.path.splitext(os.path.basename(script))[0]
    # The host keeps window places under XDG_CONFIG_HOME: each case starts from its own.
    config = config or os.path.join(work, name + ".config")
    env = dict(os.environ, TMPDIR=work, XDG_CONFIG_HOME=config)
    if locale:
        env["LC_ALL"] = locale
        name += "." + locale
    run = subprocess.run([host, "--open", drawing, "--script", script, "--save", saved],
                         capture_output=True, text=True, env=env, cwd=cwd)
    if run.returncode != 0:
        return False, [f"exit status {run.returncode}: {run.stderr.strip()}"]
    with open(os.path.splitext(script)[0] + ".expected", encoding="utf-8") as f:
        expected = f.read()
    if run.stdout == expected:
        return True, []
    actual = os.path.join(work, name + ".actual")
    with open(actual, "w", encoding="utf-8") as f:
        f.write(run.stdout)
    return True, [f"transcript differs; diff {actual} against the golden file"]


def run_in_folder(host, script, folder):
    """Runs a copy of the script, beside a copy of its golden file, in folder on the
    folder's drawing.dwg, saving final.dwg there, with settings of the folder's own."""
    name = os.path.splitext(os.path.basename(script))[0]
    local = os.path.join(folder, name + ".scr")
    shutil.copyfile(script, local)
    shutil.copyfile(os.path.splitext(script)[0] + ".expected", os.path.join(folder, name + ".expected"))
    return run_script(host, "drawing.dwg", local, "final.dwg", folder, os.path.join(folder, "config"), cwd=folder)


def report(cases, failures):
    """Prints the failures and a summary; answers the exit status."""
    for message in failures:
        print(message)
    print(f"{cases} cases, {len(failures)} failures")
    return 1 if failures else 0


def sessions(scripts):
    """Groups scripts named NAME_a, NAME_b, NAME_c into one sequence, in that order, as
    sessions of one user; other scripts stand alone. Answers {NAME: [scripts]}."""
    groups = {}
    for script in sorted(scripts):
        name = os.path.splitext(os.path.basename(script))[0]
        key = name[:-2] if name[-2:] in ("_a", "_b", "_c") else name
        groups.setdefault(key, []).append(script)
    return groups
