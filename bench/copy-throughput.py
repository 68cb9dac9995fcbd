#!/usr/bin/env python3
"""Copy throughput of ZINTRA against cp and dd bs=4M, paired, in one run.

Usage: bench/copy-throughput.py [--sizes 256,1024] [--runs 11] [--fs native,btrfs]
                                [--touch 2] [--dir DIR] [--display :N] [--bin FOLDER]

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
over an existing destination; the first round is a warm-up. cp and dd are timed around their
processes; a second cp column is the noise floor. Right before every timed copy, for every tool
alike, the file systems are synced and memory is touched (see bench/README.md). Prints medians
with min-max, paired median ratios (reference time / ZINTRA time: above 1.0 means ZINTRA is
faster), the real program's peak memory, and a markdown table of the ratios.

--fs btrfs runs the rounds on a btrfs image, loop-mounted (needs root and btrfs-progs).
"""
import argparse
import contextlib
import mmap
import multiprocessing
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
MIB = 1 << 20
CHUNK = 64 * MIB
# Left untouched by the warm-up: room for the other processes on the machine meanwhile.
KEEP_FREE = 2 << 30
# Freed memory the kernel has handed back to the host (free page reporting), where there is one.
REPORTED = "/sys/module/page_reporting/parameters/reported_kib"
# What click -> box and accessibility on should reach, as a share of cp's speed.
AIM = {256: 0.85, 1024: 0.95}
COLUMNS = [("zintra", "cp", "click → box ÷ `cp`"),
           ("offscreen", "cp", "offscreen ÷ `cp`"),
           ("access", "cp", "accessibility on ÷ `cp`"),
           ("zintra", "dd bs=4M", "click → box ÷ `dd`"),
           ("cp (noise)", "cp", "`cp` ÷ `cp` (noise)")]


def meminfo(field):
    with open("/proc/meminfo") as f:
        return next(int(line.split()[1]) << 10 for line in f if line.startswith(field + ":"))


def write_pages(size):
    # If memory runs short meanwhile, the kernel ends this rather than someone's build.
    with open("/proc/self/oom_score_adj", "w") as f:
        f.write("1000")
    chunk = bytes(CHUNK)
    with mmap.mmap(-1, size, flags=mmap.MAP_PRIVATE | mmap.MAP_ANONYMOUS) as memory:
        for offset in range(0, size, CHUNK):
            memory[offset:offset + CHUNK] = chunk


def touch_memory(size):
    """Writes size bytes of free memory in a child process, then frees them.

    The machine is a virtual one whose host backs guest memory on first touch: a copy landing
    on pages never touched (or handed back to the host since) writes about ten times slower.
    """
    size = min(size, meminfo("MemFree") - KEEP_FREE) // CHUNK * CHUNK
    if size <= 0:
        return
    child = multiprocessing.Process(target=write_pages, args=(size,))
    child.start()
    child.join()
    if child.exitcode:
        sys.exit(f"touching {size // MIB} MiB of memory failed ({child.exitcode})")


def settle(touch):
    """Before every timed copy, for every tool alike."""
    subprocess.run(["sync"], check=True)
    touch_memory(touch)


def timed(cmd, before):
    before()
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def when_ready(cmd, env, before):
    """Runs a helper that says "ready", calls before(), lets it go and returns its seconds."""
    helper = subprocess.Popen(cmd, env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True)
    ready = helper.stdout.readline().strip() == "ready"
    if ready:
        before()
    out, err = helper.communicate("\n")
    if not ready or helper.returncode:
        sys.exit(f"{cmd[0]} failed ({helper.returncode}): {err.strip()}")
    return float(out)


def xdotool(env, *args):
    return subprocess.run(["xdotool", *args], env=env, check=True, capture_output=True,
                          text=True).stdout


def peak_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmHWM:"))


def real_program(src, dst_dir, env, before, peak=None):
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
        seconds = when_ready([CLICKTOBOX, window, str(BUTTON_X), str(y), BOX_TITLE], env, before)
        if peak is not None:
            peak.append(peak_kib(program.pid))
    finally:
        program.terminate()
        program.wait()
    dst = os.path.join(dst_dir, os.path.basename(src))
    if os.path.getsize(dst) != os.path.getsize(src):
        sys.exit(f"the program did not copy {src} to {dst_dir}")
    return seconds


def make_source(path, mib):
    with open(path, "wb") as f:
        for _ in range(mib):
            f.write(os.urandom(MIB))
    subprocess.run(["cat", path], check=True, stdout=subprocess.DEVNULL)


def summary(values):
    return f"{statistics.median(values):7.3f} s  ({min(values):.3f}-{max(values):.3f})"


def bench(src, work, args, overwrite, envs):
    name = os.path.basename(src)
    touch = int(args.touch * os.path.getsize(src))

    def before():
        settle(touch)

    tools = {
        "zintra": lambda d: real_program(src, d, envs["display"], before),
        "offscreen": lambda d: when_ready([COPYBENCH, src, d + "/"], envs["offscreen"], before),
        "access": lambda d: real_program(src, d, envs["access"], before),
        "cp": lambda d: timed(["cp", src, d + "/"], before),
        "dd bs=4M": lambda d: timed(["dd", f"if={src}", f"of={d}/{name}", "bs=4M"], before),
        "cp (noise)": lambda d: timed(["cp", src, d + "/"], before),
    }
    times = {t: [] for t in tools}
    order = list(tools)
    for round_ in range(args.runs + 1):  # the first round is the warm-up
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


def ratios(times, column, ref):
    return [r / z for r, z in zip(times[ref], times[column])]


def report(label, times, size):
    print(f"\n{label}", flush=True)
    for tool, values in times.items():
        rate = size / statistics.median(values) / 1e9
        print(f"  {tool:11s} {summary(values)}  {rate:5.2f} GB/s")
    print("  paired median ratios, reference time / ZINTRA time (min-max):")
    for column in ("zintra", "offscreen", "access"):
        cells = []
        for ref in ("cp", "dd bs=4M"):
            values = ratios(times, column, ref)
            cells.append(f"{ref} {statistics.median(values):.2f} "
                         f"({min(values):.2f}-{max(values):.2f})")
        print(f"    {column:10s} " + ",  ".join(cells))
    noise = ratios(times, "cp (noise)", "cp")
    print(f"  noise floor cp/cp {statistics.median(noise):.2f} "
          f"({min(noise):.2f}-{max(noise):.2f})", flush=True)


def size_label(mib):
    return f"{mib >> 10} GiB" if mib % 1024 == 0 else f"{mib} MiB"


def table(rows):
    """The ratios as a markdown table, then whether the aim is met."""
    lines = ["| file system | file | destination | " +
             " | ".join(title for _, _, title in COLUMNS) + " |",
             "|---|---|---|" + "---|" * len(COLUMNS)]
    misses = []
    for fstype, mib, overwrite, times in rows:
        cells = []
        for column, ref, _ in COLUMNS:
            values = ratios(times, column, ref)
            cells.append(f"{statistics.median(values):.2f} "
                         f"({min(values):.2f}–{max(values):.2f})")
        destination = "overwritten" if overwrite else "new"
        lines.append(f"| {fstype} | {size_label(mib)} | {destination} | " +
                     " | ".join(cells) + " |")
        for column, name in (("zintra", "click → box"), ("access", "accessibility on")):
            ratio = statistics.median(ratios(times, column, "cp"))
            if mib in AIM and ratio < AIM[mib]:
                misses.append(f"{fstype} {size_label(mib)} {destination} {name} {ratio:.2f}")
    measured = {mib for _, mib, _, _ in rows}
    aim = ", ".join(f"≥ {share:.2f} × `cp` at {size_label(mib)}"
                    for mib, share in AIM.items() if mib in measured)
    if aim:
        lines.append(f"\nAim for click → box and accessibility on: {aim}: " +
                     (f"not met ({'; '.join(misses)})." if misses else "met."))
    return "\n".join(lines)


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


@contextlib.contextmanager
def btrfs_image(folder, size):
    """A folder on a new btrfs file system in a sparse image of size bytes, loop-mounted."""
    image = os.path.join(folder, "btrfs.img")
    with open(image, "wb") as f:
        f.truncate(size)
    try:
        subprocess.run(["mkfs.btrfs", "-q", image], check=True, stdout=subprocess.DEVNULL)
        # Direct I/O: the image's pages are not cached a second time in the file system below.
        loop = subprocess.run(["losetup", "--find", "--show", "--direct-io=on", image],
                              check=True, capture_output=True, text=True).stdout.strip()
        mount_point = tempfile.mkdtemp(dir=folder, prefix="btrfs-")
        try:
            subprocess.run(["mount", loop, mount_point], check=True)
            try:
                yield mount_point
            finally:
                subprocess.run(["umount", mount_point], check=True)
        finally:
            subprocess.run(["losetup", "--detach", loop], check=True)
            os.rmdir(mount_point)
    finally:
        os.remove(image)


@contextlib.contextmanager
def work_folder(fs, folder, sizes):
    """A new folder for the rounds: in folder itself, or on a btrfs image made there."""
    with contextlib.ExitStack() as stack:
        if fs == "btrfs":
            # Every source, the six overwritten and one new destination of the largest, and room.
            need = (sum(sizes) + 8 * max(sizes)) * MIB
            folder = stack.enter_context(btrfs_image(folder, 2 * need + (1 << 30)))
        yield stack.enter_context(tempfile.TemporaryDirectory(dir=folder, prefix="bench-"))


def fs_type(path):
    return subprocess.run(["findmnt", "--noheadings", "--output", "FSTYPE", "--target", path],
                          check=True, capture_output=True, text=True).stdout.strip()


def reported_kib():
    try:
        with open(REPORTED) as f:
            return int(f.read())
    except OSError:
        return 0


def check_tools(args):
    for tool in (ZINTRA, COPYBENCH, CLICKTOBOX):
        if not os.path.exists(tool):
            sys.exit("build first: cmake --preset default -DZINTRA_BUILD_BENCH=ON && "
                     "cmake --build --preset default")
    for tool in ("xdotool", "Xvfb", "dbus-daemon", "dbus-send", AT_SPI_LAUNCHER):
        if not shutil.which(tool):
            sys.exit(f"missing {tool}: apt-get install xvfb xdotool dbus at-spi2-core")
    if "btrfs" in args.fs:
        if os.geteuid() != 0:
            sys.exit("--fs btrfs mounts an image: run as root")
        if not shutil.which("mkfs.btrfs"):
            sys.exit("missing mkfs.btrfs: apt-get install btrfs-progs")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--sizes", default="256,1024", help="MiB, comma-separated")
    ap.add_argument("--runs", type=int, default=11)
    ap.add_argument("--fs", default="native",
                    help="comma-separated: native (the file system of --dir), btrfs")
    ap.add_argument("--touch", type=float, default=2.0,
                    help="memory written and freed before each timed copy, times the file size")
    ap.add_argument("--dir", default=ROOT, help="where the files (or the btrfs image) go")
    ap.add_argument("--display", help="an X display to use instead of starting Xvfb")
    ap.add_argument("--bin", default=BIN, help="the folder of the programs to time")
    args = ap.parse_args()
    args.fs = args.fs.split(",")
    if not set(args.fs) <= {"native", "btrfs"}:
        sys.exit("--fs takes native, btrfs")
    sizes = [int(s) for s in args.sizes.split(",")]
    global ZINTRA, COPYBENCH, CLICKTOBOX
    ZINTRA, COPYBENCH, CLICKTOBOX = (os.path.join(args.bin, name)
                                     for name in ("zintra", "copybench", "clicktobox"))
    check_tools(args)

    free = meminfo("MemFree")
    print(f"touching {(free - KEEP_FREE) >> 30} GiB of free memory once", flush=True)
    start = time.perf_counter()
    touch_memory(free)
    print(f"  in {time.perf_counter() - start:.0f} s", flush=True)
    reported_at_start = reported_kib()

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
        rows = []
        for fs in args.fs:
            with work_folder(fs, args.dir, sizes) as work:
                fstype = fs_type(work)
                for mib in sizes:
                    src = os.path.join(work, f"src-{mib}M.bin")
                    make_source(src, mib)
                    out = os.path.join(work, f"out-{mib}")
                    for overwrite in (False, True):
                        label = (f"{fstype}, {size_label(mib)}, "
                                 f"{'overwriting' if overwrite else 'new destination'}")
                        times = bench(src, out, args, overwrite, envs)
                        report(label, times, mib * MIB)
                        rows.append((fstype, mib, overwrite, times))
                    shutil.rmtree(out)

        with tempfile.TemporaryDirectory(dir=args.dir, prefix="bench-") as work:
            out = os.path.join(work, "out")
            os.makedirs(out)
            peaks = []
            for mib in (64, max(sizes)):
                src = os.path.join(work, f"src-{mib}M.bin")
                make_source(src, mib)
                real_program(src, out, envs["display"], lambda: None, peaks)
                os.remove(os.path.join(out, os.path.basename(src)))
    finally:
        for process in reversed(started):
            process.terminate()
            process.wait()

    print(f"\npeak memory of the real program: 64 MiB {peaks[0]} KiB, "
          f"{size_label(max(sizes))} {peaks[1]} KiB")
    if os.path.exists(REPORTED):
        print(f"memory handed back to the host since the warm-up: "
              f"{(reported_kib() - reported_at_start) >> 10} MiB")
    print(f"\n{table(rows)}")


if __name__ == "__main__":
    main()
