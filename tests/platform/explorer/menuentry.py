#!/usr/bin/env python3
"""Starts menu entries the way their file managers do, with GLib doing the unescaping and the
splitting, and reports what the started program received.

    menuentry.py FILE KIND:ENTRY...

KIND is "service" (a KDE service menu), "action" (a FileManager-Actions entry) or "nemo". The
program an entry names must record its arguments, NUL-separated, in $ZINTRA_ARGV_OUT (including
$0). Prints one JSON object per entry, in a list: {"name": menu text, "argv": [...], "shownIf":
what shows it: the program that must exist (TryExec as KConfig reads a path, Nemo's Dependencies)
or the FileManager-Actions selection count}.
"""
import json
import os
import subprocess
import sys
import tempfile

import gi

gi.require_version("GLib", "2.0")
from gi.repository import GLib  # noqa: E402

GROUPS = {  # kind: (group of Name, group of Exec)
    "service": ("Desktop Action run", "Desktop Action run"),
    "action": ("Desktop Entry", "X-Action-Profile run"),
    "nemo": ("Nemo Action", "Nemo Action"),
}
SHOWN_IF = {
    "service": lambda k: k.get_string("Desktop Entry", "TryExec").replace("$$", "$"),
    "action": lambda k: k.get_string("X-Action-Profile run", "SelectionCount"),
    "nemo": lambda k: k.get_string_list("Nemo Action", "Dependencies"),
}


def raw_value(path, group, key):
    """The value as written in the file, escapes and all."""
    current = None
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            if line.startswith("["):
                current = line[1:-1]
            elif current == group and line.startswith(key + "="):
                return line[len(key) + 1:]
    raise SystemExit(f"{path}: no {key} in [{group}]")


def recorded(run):
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "argv")
        os.environ["ZINTRA_ARGV_OUT"] = out
        run()
        with open(out, "rb") as f:
            return [os.fsdecode(a) for a in f.read().split(b"\0")[:-1]]


def expand(exec_line, codes):
    """Field codes expanded as launchers expand them, on the unescaped value: "%%" is a percent
    sign, "%" and a code its text."""
    command, i = "", 0
    while i < len(exec_line):
        if exec_line[i] == "%" and i + 1 < len(exec_line):
            code = exec_line[i + 1]
            command += "%" if code == "%" else codes.get(code, "%" + code)
            i += 2
        else:
            command += exec_line[i]
            i += 1
    return command


def desktop_entry(entry, key_file, group, target):
    """Checks the Exec against the Desktop Entry rules (desktop-file-validate), then runs it as
    GIO launches an application for a file: %f becomes the path quoted by g_shell_quote, and
    g_shell_parse_argv splits the result. (GIO's own loader cannot be used: it looks the program
    up before undoing "%%", so it refuses any program with a percent sign in its path.)"""
    app = GLib.KeyFile()
    app.set_string("Desktop Entry", "Type", "Application")
    app.set_string("Desktop Entry", "Name", "Check")
    app.set_value("Desktop Entry", "Exec", raw_value(entry, group, "Exec"))
    with tempfile.TemporaryDirectory() as folder:
        checked = os.path.join(folder, "check.desktop")
        app.save_to_file(checked)
        result = subprocess.run(["desktop-file-validate", checked], capture_output=True, text=True)
        if result.returncode != 0 or result.stdout.strip():
            raise SystemExit(f"{entry}: Exec is not valid: {result.stdout}{result.stderr}")
    command = expand(key_file.get_string(group, "Exec"), {"f": GLib.shell_quote(target)})
    return recorded(lambda: GLib.spawn_command_line_sync(command))


def nemo(entry, key_file, target):
    """Nemo's tokens, as its documentation gives them: %% is a percent sign and %F the selected
    paths, each in the quotes that Quote names (inside which Nemo escapes what they would
    expand); the result is run as g_spawn_command_line runs it, split by g_shell_parse_argv."""
    quote = key_file.get_string("Nemo Action", "Quote")
    if quote != "double":
        raise SystemExit(f"{entry}: expected Quote=double, found {quote}")
    escaped = "".join("\\" + c if c in '"\\$`' else c for c in target)
    command = expand(key_file.get_string("Nemo Action", "Exec"), {"F": f'"{escaped}"'})
    return recorded(lambda: GLib.spawn_command_line_sync(command))


def main():
    target, entries = sys.argv[1], sys.argv[2:]
    results = []
    for kind_entry in entries:
        kind, entry = kind_entry.split(":", 1)
        key_file = GLib.KeyFile()
        key_file.load_from_file(entry, GLib.KeyFileFlags.NONE)
        name_group, exec_group = GROUPS[kind]
        name = key_file.get_string(name_group, "Name")
        if kind == "nemo":
            argv = nemo(entry, key_file, target)
            name = name.replace("%%", "%")
        else:
            argv = desktop_entry(entry, key_file, exec_group, target)
        results.append({"name": name, "argv": argv, "shownIf": SHOWN_IF[kind](key_file)})
    print(json.dumps(results))


if __name__ == "__main__":
    main()
