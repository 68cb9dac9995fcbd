#!/usr/bin/env python3
# Reads the menu entries of the verbs "0", "1", ... below ROOT as their file managers do, with
# GLib undoing the escapes and splitting the command, and fails unless each entry of verb N
# shows TEXT, starts exactly PROGRAM N with FILE, and is shown where that program exists (TryExec
# as KConfig reads a path, Nemo's Dependencies) or, for FileManager-Actions, for one file.
#
#   menuentry.py ROOT FILE TEXT PROGRAM...
import re
import subprocess
import sys

import gi

gi.require_version("GLib", "2.0")
from gi.repository import GLib  # noqa: E402


# Field codes as launchers expand them, in the unescaped value: "%%" is a percent sign.
def expand(value, codes):
    return re.sub("%(.)", lambda m: {"%": "%", **codes}.get(m[1], m[0]), value)


# The entry, and what its Name and its Exec (expanded, then split by g_shell_parse_argv) give.
# GIO's own launcher is not used: it looks the program up before undoing "%%".
def read(entry, name_group, exec_group, codes):
    keys = GLib.KeyFile()
    keys.load_from_file(entry, GLib.KeyFileFlags.NONE)
    command = expand(keys.get_string(exec_group, "Exec"), codes)
    return keys, keys.get_string(name_group, "Name"), GLib.shell_parse_argv(command)[1]


# The Exec line as written, checked against the Desktop Entry rules by desktop-file-validate.
def check_exec(entry):
    line = re.search("^Exec=.*$", open(entry, encoding="utf-8").read(), re.M)[0]
    with open(f"{root}/check.desktop", "w", encoding="utf-8") as app:
        app.write(f"[Desktop Entry]\nType=Application\nName=Check\n{line}\n")
    out = subprocess.run(["desktop-file-validate", app.name], capture_output=True, text=True)
    if out.returncode or out.stdout.strip():
        sys.exit(f"{entry}: Exec is not valid: {out.stdout}{out.stderr}")


root, target, text, *programs = sys.argv[1:]
# For %f, GIO puts the path in g_shell_quote's quotes. With Quote=double, Nemo puts %F's path in
# double quotes and escapes what they would expand; it expands its codes in Name too.
f = {"f": GLib.shell_quote(target)}
F = {"F": '"' + re.sub(r'(["\\$`])', r"\\\1", target) + '"'}
for i, program in enumerate(programs):
    entry = f"{root}/usr/local/share/{{}}/zintra-{i}.{{}}".format
    service, action = entry("kio/servicemenus", "desktop"), entry("file-manager/actions", "desktop")
    check_exec(service)
    check_exec(action)
    keys, name, argv = read(service, "Desktop Action run", "Desktop Action run", f)
    got = [(name, argv, keys.get_string("Desktop Entry", "TryExec").replace("$$", "$"))]
    keys, name, argv = read(action, "Desktop Entry", "X-Action-Profile run", f)
    got += [(name, argv, keys.get_string("X-Action-Profile run", "SelectionCount"))]
    keys, name, argv = read(entry("nemo/actions", "nemo_action"), "Nemo Action", "Nemo Action", F)
    got += [(expand(name, {}), argv, keys.get_string_list("Nemo Action", "Dependencies"),
             keys.get_string("Nemo Action", "Quote"))]
    want = [(text, [program, target], program), (text, [program, target], "=1"),
            (text, [program, target], [program], "double")]
    if got != want:
        sys.exit(f"got      {got}\nexpected {want}")
