#!/usr/bin/env python3
"""Copy throughput of ZINTRA against cp and dd bs=4M, paired, in one run.

Usage: bench/copy-throughput.py [--sizes 256,1024] [--runs 11] [--dir DIR] [--display :N]
                                [--bin FOLDER]

Build first with the benchmark on:
  cmake --preset default -DZINTRA_BUILD_BENCH=ON && cmake --build --preset default

ZINTRA is timed the way a user meets it: the real program on an X display (its own Xvfb unless
--display names one; no window manager), the paths typed with xdotool, then a real pointer
click on "Start Copying", timed from the press until the outcome box is mapped
(build/bin/clicktobox). A second column times the same copy inside the program, offscreen, around
"Start Copying" (build/bin/copybench); a third is the real program again with Qt's accessibility
bridge on (an accessibility bus running, no client asking anything).

Each round copies the same page-cached random file with every tool in turn, each round starting
with the next tool, into a new destination (the same delete step on every side), and separately
over an existing destination; the first round is a warm-up. cp and dd are timed around their processes; a second cp column is
the noise floor. Prints medians with min-max, and paired median ratios (reference time / ZINTRA
time: above 1.0 means ZINTRA is faster), then the real program's peak memory for 64 MiB and for
the largest size.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BIN = os.path.join(ROOT, "build", "bin")
ZINTRA = COPYBENCH = CLICKTOBOX = ""
AT_SPI_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
MAIN_TITLE = "ZINTRA Free Version"
BOX_TITLE = "ZINTRA"
# "Start Copying", in the main window's client area (418 x 160 below the menu bar).
BUTTON_X, BUTTON_Y_FROM_CLIENT_TOP, CLIENT_HEIGHT = 220, 116, 160


def timed(cmd):
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def xdotool(env, *args):
    return subprocess.run(["xdotool", *args], env=env, check=True, capture_output=True,
                          text=True).stdout


def peak_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmHWM:"))


def real_program(src, dst_dir, env, peak=None):
    """Seconds from the click on "Start Copying" to the outcome box being mapped."""
    program = subprocess.Popen([ZINTRA], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        window = xdotool(env, "search", "--sync", "--onlyvisible", "--name",
                         f"^{MAIN_TITLE}$").split()[0]
        xdotool(env, "windowfocus", "--sync", window)
        xdotool(env, "type", "--delay", "2", src)
        xdotool(env, "key", "Tab")
        xdotool(env, "type", "--delay", "2", dst_dir + "/")
        geometry = dict(line.split("=") for line in
                        xdotool(env, "getwindowgeometry", "--shell", window).split())
        y = int(geometry["HEIGHT"]) - CLIENT_HEIGHT + BUTTON_Y_FROM_CLIENT_TOP
        out = subprocess.run([CLICKTOBOX, window, str(BUTTON_X), str(y), BOX_TITLE], env=env,
                             check=True, capture_output=True, text=True).stdout
        if peak is not None:
            peak.append(peak_kib(program.pid))
    finally:
        program.terminate()
        program.wait()
    dst = os.path.join(dst_dir, os.path.basename(src))
    if os.path.getsize(dst) != os.path.getsize(src):
        sys.exit(f"the program did not copy {src} to {dst_dir}")
    return float(out)


def in_process(src, dst_dir, env):
    out = subprocess.run([COPYBENCH, src, dst_dir + "/"], check=True, env=env,
                         capture_output=True, text=True).stdout
    return float(out.strip())


def make_source(path, mib):
    with open(path, "wb") as f:
        for _ in range(mib):
            f.write(os.urandom(1 << 20))
    subprocess.run(["cat", path], check=True, stdout=subprocess.DEVNULL)


def summary(values):
    return f"{statistics.median(values):7.3f} s  ({min(values):.3f}-{max(values):.3f})"


def bench(src, work, runs, overwrite, envs):
    name = os.path.basename(src)
    tools = {
        "zintra": lambda d: real_program(src, d, envs["display"]),
        "offscreen": lambda d: in_process(src, d, envs["offscreen"]),
        "access": lambda d: real_program(src, d, envs["access"]),
        "cp": lambda d: timed(["cp", src, d + "/"]),
        "dd bs=4M": lambda d: timed(["dd", f"if={src}", f"of={d}/{name}", "bs=4M"]),
        "cp (noise)": lambda d: timed(["cp", src, d + "/"]),
    }
    times = {t: [] for t in tools}
    order = list(tools)
    for round_ in range(runs + 1):  # the first round is the warm-up
        # Each round starts with another tool, so none always follows the same writer.
        for tool in order[round_ % len(order):] + order[:round_ % len(order)]:
            run = tools[tool]
            d = os.path.join(work, tool.split()[0])
            os.makedirs(d, exist_ok=True)
            dst = os.path.join(d, name)
            if not overwrite and os.path.exists(dst):
                os.remove(dst)
            t = run(d)
            if round_:
                times[tool].append(t)
            if not overwrite:
                os.remove(dst)
    return times


def report(label, times, size):
    print(f"\n{label}")
    for tool, values in times.items():
        rate = size / statistics.median(values) / 1e9
        print(f"  {tool:11s} {summary(values)}  {rate:5.2f} GB/s")
    print("  paired median ratios, reference time / ZINTRA time (min-max):")
    for column in ("zintra", "offscreen", "access"):
        z = times[column]
        cells = []
        for ref in ("cp", "dd bs=4M"):
            ratios = [r / zt for r, zt in zip(times[ref], z)]
            cells.append(f"{ref} {statistics.median(ratios):.2f} "
                         f"({min(ratios):.2f}-{max(ratios):.2f})")
        print(f"    {column:10s} " + ",  ".join(cells))
    noise = [a / b for a, b in zip(times["cp (noise)"], times["cp"])]
    print(f"  noise floor cp/cp {statistics.median(noise):.2f} "
          f"({min(noise):.2f}-{max(noise):.2f})")


def start_display(args):
    """The display to use, and the processes started for it."""
    if args.display:
        return args.display, []
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp"], pass_fds=[write],
                            stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as f:
        number = f.readline().strip()
    return f":{number}", [xvfb]


def start_accessibility_bus(env):
    """A session bus with the accessibility bus registered on it, as a desktop has."""
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    address = bus.stdout.readline().strip()
    env = dict(env, DBUS_SESSION_BUS_ADDRESS=address)
    launcher = subprocess.Popen([AT_SPI_LAUNCHER, "--launch-immediately"], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                    "/org/a11y/bus", "org.a11y.Bus.GetAddress"], env=env, check=True,
                   stdout=subprocess.DEVNULL)
    return env, [launcher, bus]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--sizes", default="256,1024")
    ap.add_argument("--runs", type=int, default=11)
    ap.add_argument("--dir", default=ROOT)
    ap.add_argument("--display", help="an X display to use instead of starting Xvfb")
    ap.add_argument("--bin", default=BIN, help="the folder of the programs to time")
    args = ap.parse_args()
    global ZINTRA, COPYBENCH, CLICKTOBOX
    ZINTRA, COPYBENCH, CLICKTOBOX = (os.path.join(args.bin, name)
                                     for name in ("zintra", "copybench", "clicktobox"))
    for tool in (ZINTRA, COPYBENCH, CLICKTOBOX):
        if not os.path.exists(tool):
            sys.exit("build first: cmake --preset default -DZINTRA_BUILD_BENCH=ON && "
                     "cmake --build --preset default")
    for tool in ("xdotool", "Xvfb", "dbus-daemon", "dbus-send", AT_SPI_LAUNCHER):
        if not shutil.which(tool):
            sys.exit(f"missing {tool}: apt-get install xvfb xdotool dbus at-spi2-core")

    display, started = start_display(args)
    base = {k: v for k, v in os.environ.items()
            if not k.startswith(("QT_", "DBUS_SESSION", "AT_SPI"))}
    base.update(DISPLAY=display, QT_QPA_PLATFORM="xcb")
    try:
        # The accessibility bus announces itself on its display (the root window's AT_SPI_BUS),
        # where Qt finds it even without a session bus: it gets a display of its own.
        access_display, more = start_display(args)
        started += more
        access, bus = start_accessibility_bus(dict(base, DISPLAY=access_display))
        started += bus
        envs = {
            # No bus at all: the bridge stays off, as on a desktop without assistive technology.
            "display": dict(base, DBUS_SESSION_BUS_ADDRESS="disabled:"),
            "offscreen": dict(base, QT_QPA_PLATFORM="offscreen"),
            "access": dict(access, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"),
        }
        with tempfile.TemporaryDirectory(dir=args.dir, prefix="bench-") as work:
            sources = {}
            for mib in [int(s) for s in args.sizes.split(",")]:
                src = os.path.join(work, f"src-{mib}M.bin")
                make_source(src, mib)
                sources[mib] = src
                for overwrite in (False, True):
                    label = f"{mib} MiB, {'overwriting' if overwrite else 'new destination'}"
                    report(label, bench(src, os.path.join(work, f"out-{mib}"), args.runs,
                                        overwrite, envs), mib << 20)

            mem_src = os.path.join(work, "src-64M.bin")
            make_source(mem_src, 64)
            out = os.path.join(work, "mem")
            os.makedirs(out)
            peaks = []
            for src in (mem_src, sources[max(sources)]):
                real_program(src, out, envs["display"], peaks)
                os.remove(os.path.join(out, os.path.basename(src)))
            print(f"\npeak memory of the real program: 64 MiB {peaks[0]} KiB, "
                  f"{max(sources)} MiB {peaks[1]} KiB")
    finally:
        for process in reversed(started):
            process.terminate()
            process.wait()


if __name__ == "__main__":
    main()
