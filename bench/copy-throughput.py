#!/usr/bin/env python3
"""Copy throughput of ZINTRA's copy path against cp and dd bs=4M, paired, in one run.

Usage: bench/copy-throughput.py [--sizes 256,1024] [--runs 11] [--dir DIR] [--display]

Each round copies the same page-cached random file with every tool in turn, into a new
destination (the same delete step on every side), and separately over an existing
destination. ZINTRA is timed inside the program around "Start Copying" (build/bin/copybench);
cp and dd are timed around their processes. A second cp column is the noise floor.
Prints medians with min-max, and paired median ratios (reference time / ZINTRA time: above
1.0 means ZINTRA is faster). Peak memory comes from /usr/bin/time -v for 64 MiB and 1 GiB.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
COPYBENCH = os.path.join(ROOT, "build", "bin", "copybench")


def timed(cmd):
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def zintra(src, dst_dir, env):
    out = subprocess.run([COPYBENCH, src, dst_dir + "/"], check=True, env=env,
                         capture_output=True, text=True).stdout
    return float(out.strip())


def make_source(path, mib):
    with open(path, "wb") as f:
        for _ in range(mib):
            f.write(os.urandom(1 << 20))
    subprocess.run(["cat", path], check=True, stdout=subprocess.DEVNULL)


def peak_kib(src, dst_dir, env):
    r = subprocess.run(["/usr/bin/time", "-v", COPYBENCH, src, dst_dir + "/"], env=env,
                       capture_output=True, text=True, check=True)
    for line in r.stderr.splitlines():
        if "Maximum resident set size" in line:
            return int(line.split(":")[1])
    return -1


def summary(values):
    return f"{statistics.median(values):7.3f} s  ({min(values):.3f}-{max(values):.3f})"


def bench(src, work, runs, overwrite, env):
    name = os.path.basename(src)
    tools = {
        "zintra": lambda d: zintra(src, d, env),
        "cp": lambda d: timed(["cp", src, d + "/"]),
        "dd bs=4M": lambda d: timed(["dd", f"if={src}", f"of={d}/{name}", "bs=4M"]),
        "cp (noise)": lambda d: timed(["cp", src, d + "/"]),
    }
    times = {t: [] for t in tools}
    for round_ in range(runs + 1):  # the first round is the warm-up
        for tool, run in tools.items():
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


def report(label, times):
    print(f"\n{label}")
    for tool, values in times.items():
        print(f"  {tool:11s} {summary(values)}")
    z = times["zintra"]
    for ref in ("cp", "dd bs=4M", "cp (noise)"):
        ratios = [r / zt for r, zt in zip(times[ref], z)]
        print(f"  {ref:11s}/zintra paired median ratio {statistics.median(ratios):.2f} "
              f"({min(ratios):.2f}-{max(ratios):.2f})")
    noise = [a / b for a, b in zip(times["cp (noise)"], times["cp"])]
    print(f"  noise floor cp/cp          {statistics.median(noise):.2f} "
          f"({min(noise):.2f}-{max(noise):.2f})")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--sizes", default="256,1024")
    ap.add_argument("--runs", type=int, default=11)
    ap.add_argument("--dir", default=ROOT)
    ap.add_argument("--display", action="store_true",
                    help="use the X display (run under xvfb-run) so repaints are real")
    args = ap.parse_args()
    if not os.path.exists(COPYBENCH):
        sys.exit("build first: cmake --preset default && cmake --build --preset default")
    env = dict(os.environ)
    if not args.display:
        env["QT_QPA_PLATFORM"] = "offscreen"

    with tempfile.TemporaryDirectory(dir=args.dir, prefix="bench-") as work:
        sources = {}
        for mib in [int(s) for s in args.sizes.split(",")]:
            src = os.path.join(work, f"src-{mib}M.bin")
            make_source(src, mib)
            sources[mib] = src
            for overwrite in (False, True):
                label = f"{mib} MiB, {'overwriting' if overwrite else 'new destination'}"
                report(label, bench(src, os.path.join(work, f"out-{mib}"), args.runs,
                                    overwrite, env))

        mem_src = os.path.join(work, "src-64M.bin")
        make_source(mem_src, 64)
        big = sources.get(1024)
        if big and os.path.exists("/usr/bin/time"):
            out = os.path.join(work, "mem")
            os.makedirs(out)
            small_kib = peak_kib(mem_src, out, env)
            big_kib = peak_kib(big, out, env)
            print(f"\npeak memory: 64 MiB copy {small_kib} KiB, 1 GiB copy {big_kib} KiB")


if __name__ == "__main__":
    main()
