#!/usr/bin/env python3
"""Runs every performance figure of Zelvo beside its baseline, measured in the
same run as medians of repeated runs, and prints one table.

Usage: bench_table.py BUILD_DIR [--runs N]

Whole-process figures (start-up, memory) start the program and the bare Qt
program in turns under one Xvfb; the in-process figures come from the Google
Benchmark programs in BUILD_DIR/bench.
"""

import argparse
import json
import math
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

PROFILE_SIZE = 468
RECORD_SIZE = 780


def start_xvfb():
    """One Xvfb for the whole run; returns (process, display)."""
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
        pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as pipe:
        number = pipe.readline().strip()
    if not number:
        sys.exit("Xvfb did not start")
    return xvfb, ":" + number


def make_user_folder(root):
    """A class folder: a store naming it, thirty pupils and a small table per range."""
    folder = os.path.join(root, "users")
    os.makedirs(folder)
    for i in range(30):
        with open(os.path.join(folder, "pupil%02d.zamrik" % i), "wb") as f:
            f.write(bytes(PROFILE_SIZE))
    for range_text in ("9", "20", "99", "999"):
        with open(os.path.join(folder, range_text + "record.config"), "wb") as f:
            f.write(bytes(RECORD_SIZE * 20))
    store = os.path.join(root, "machine.reg")
    with open(store, "w", encoding="utf-8") as f:
        f.write("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Brenk\\Dorvo]\n"
                "\"PathUser\"=\"%s/\"\n" % folder)
    return store


def probe_run(command, env):
    """Starts `command`, returns (ms from start to the first window painted, peak RSS in MB)."""
    start = time.time_ns()
    result = subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            text=True, timeout=60, check=True)
    values = result.stdout.split()
    fields = dict(zip(values[0::2], values[1::2]))
    return (int(fields["shown_ns"]) - start) / 1e6, int(fields["vmhwm_kb"]) / 1024


def whole_process_figures(build, runs):
    bare = os.path.join(build, "bench", "bench_bare_window")
    zelvo = os.path.join(build, "bench", "bench_zelvo_probe")
    xvfb, display = start_xvfb()
    root = tempfile.mkdtemp(prefix="zelvo-bench-")
    try:
        env = dict(os.environ, DISPLAY=display, ZELVO_SHOWN_PROBE="500",
                   ZELVO_MACHINE_STORE=make_user_folder(root), XDG_RUNTIME_DIR=root)
        env.pop("QT_QPA_PLATFORM", None)
        times = {"bare": [], "zelvo": []}
        memory = {"bare": [], "zelvo": []}
        # One unmeasured run each fills the caches; then the two take turns.
        probe_run([bare], env)
        probe_run([zelvo], env)
        for _ in range(runs):
            for name, command in (("bare", [bare]), ("zelvo", [zelvo])):
                ms, mb = probe_run(command, env)
                times[name].append(ms)
                memory[name].append(mb)
    finally:
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(root, ignore_errors=True)
    med = {k: statistics.median(v) for k, v in times.items()}
    mem = {k: statistics.median(v) for k, v in memory.items()}
    return [
        Row("start-up to main window shown (ms)", med["zelvo"], med["bare"], "<=", 1.15,
            "start-up, memory: bare Qt Widgets window with a menu bar, same Xvfb"),
        Row("peak memory at idle after start-up (MB)", mem["zelvo"], mem["bare"], "<=", 1.1,
            "start-up, memory: bare Qt Widgets window with a menu bar, same Xvfb"),
    ]


def google_benchmark(program, runs, extra=()):
    """Median real time (ms) and counters of every benchmark of `program`, or None if not built."""
    if not os.path.exists(program):
        return None
    command = [program, "--benchmark_format=json", "--benchmark_repetitions=%d" % runs,
               "--benchmark_enable_random_interleaving=true",
               "--benchmark_report_aggregates_only=true", *extra]
    output = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            check=True, text=True).stdout
    results = {}
    factor = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    for b in json.loads(output)["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        entry = {"ms": b["real_time"] * factor[b.get("time_unit", "ns")]}
        for key, value in b.items():
            if isinstance(value, (int, float)) and key not in entry:
                entry[key] = value
        results[plain_name(b["run_name"])] = entry
    return results


def plain_name(run_name):
    """BM_X/1000/iterations:1 or BM_X/manual_time -> BM_X/1000, BM_X."""
    parts = run_name.split("/")
    return "/".join(p for p in parts
                    if not re.match(r"(iterations|min_time|repeats|threads):|(manual|real)_time$", p))


class Row:
    """One line of the table. With a baseline the ratio value/baseline is held
    against `limit`; without one the value itself is."""

    def __init__(self, figure, value=None, baseline=None, relation="", limit=None, note="",
                 of_ratio=True):
        self.figure, self.value, self.baseline = figure, value, baseline
        self.relation, self.limit, self.note = relation, limit, note
        self.of_ratio = of_ratio  # the limit holds for value/baseline, else for the value

    def ratio(self):
        if self.value is None or not self.baseline:
            return None
        return self.value / self.baseline

    def target(self):
        if not self.relation:
            return ""
        return "%s %g%s" % (self.relation, self.limit, "x" if self.of_ratio else "")

    def result(self):
        if not self.relation:
            return ""
        if self.value is None:
            return "not built"
        measured = self.ratio() if self.of_ratio else self.value
        ok = measured <= self.limit if self.relation == "<=" else measured < self.limit
        return "met" if ok else "NOT MET"


def records_figures(build, runs):
    names = ["by date", "by time", "by nick", "by full name"]
    results = google_benchmark(os.path.join(build, "bench", "bench_records_bench"), runs,
                               ["--benchmark_filter=Records100k|Floor100k"])
    rows = []
    for order, name in enumerate(names):
        figure = "records window 100k, %s (ms)" % name
        if results is None:
            rows.append(Row(figure, relation="<=", limit=1.5))
            continue
        rows.append(Row(figure, results["BM_Records100k/%d" % order]["ms"],
                        results["BM_Floor100k/%d" % order]["ms"], "<=", 1.5,
                        "records: read+decode+sort same keys with same collator, no window"))
    return rows


def growth_figures(build, runs):
    """Load times by nick at 1k..1M records and the exponent k of t ~ n^k
    fitted over 10k..1M, against the exponent that n log n has there."""
    sizes = [1000, 10000, 100000, 1000000]
    results = google_benchmark(os.path.join(build, "bench", "bench_records_bench"), runs,
                               ["--benchmark_filter=RecordsGrowth"])
    if results is None:
        return [Row("records window growth, exponent", relation="<=", limit=1.0)]
    times = [results["BM_RecordsGrowth/%d" % n]["ms"] for n in sizes]
    rows = [Row("records window %s, by nick (ms)" % format_count(n), t) for n, t in zip(sizes, times)]
    fitted = fitted_exponent(sizes[1:], times[1:])
    n_log_n = fitted_exponent(sizes[1:], [n * math.log(n) for n in sizes[1:]])
    rows.append(Row("records window growth, exponent 10k..1M", fitted, n_log_n, "<=", 1.1,
                    "growth: exponent of n log n over the same sizes"))
    return rows


def report_figures(build, runs):
    """The teacher's report of 30 pupils x 1,000 exercises against reading the
    same tables; its page size; and its growth from 1k to 100k records."""
    program = os.path.join(build, "bench", "bench_report_bench")
    results = google_benchmark(program, runs, ["--benchmark_filter=30x1000"])
    figure, size = "class report 30 x 1,000 exercises (ms)", "class report 30 x 1,000, page (MB)"
    if results is None:
        return [Row(figure, relation="<", limit=1000, of_ratio=False),
                Row(size, relation="<", limit=2, of_ratio=False)]
    report = results["BM_Report30x1000"]
    rows = [
        Row(figure, report["ms"], results["BM_ReadTables30x1000"]["ms"], "<", 1000,
            "report: the same four tables read and decoded, nothing gathered or written",
            of_ratio=False),
        Row(size, report["page_bytes"] / 1e6, None, "<", 2, of_ratio=False),
    ]
    sizes = [1000, 10000, 100000]
    growth = google_benchmark(program, max(3, runs // 2), ["--benchmark_filter=ReportGrowth"])
    times = [growth["BM_ReportGrowth/%d" % n]["ms"] for n in sizes]
    rows += [Row("class report %s records (ms)" % format_count(n), t) for n, t in zip(sizes, times)]
    rows.append(Row("class report growth, exponent 10k..100k", fitted_exponent(sizes[1:], times[1:]),
                    1.0, "<=", 1.1, "report growth: exponent 1 of linear growth"))
    return rows


def fitted_exponent(sizes, times):
    xs = [math.log(n) for n in sizes]
    ys = [math.log(t) for t in times]
    mx, my = statistics.mean(xs), statistics.mean(ys)
    return sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / sum((x - mx) ** 2 for x in xs)


def format_count(n):
    return "%dk" % (n // 1000) if n < 1000000 else "%dM" % (n // 1000000)



def file_figures(build, runs):
    results = google_benchmark(os.path.join(build, "bench", "bench_table_files_bench"), runs)
    append1k, append1m = "append one result to 1k table (ms)", "append one result to 1M table (ms)"
    growth = "append one result, 1M table against 1k table"
    append, convert = "append one result to 100k table (ms)", "legacy conversion of 100k table (ms)"
    if results is None:
        return [Row(append1k, relation="<=", limit=2.0), Row(append1m, relation="<=", limit=2.0),
                Row(growth, relation="<=", limit=1.5), Row(append, relation="<=", limit=1.3),
                Row(convert, relation="<=", limit=1.5)]
    floor = results["BM_WriteRecordWithFdatasync"]["ms"]
    ms1k, ms1m = results["BM_AppendResult/1000"]["ms"], results["BM_AppendResult/1000000"]["ms"]
    return [
        Row(append1k, ms1k, floor, "<=", 2.0,
            "append 1k, 1M: one 780-byte record written with fdatasync, same folder"),
        Row(append1m, ms1m, floor, "<=", 2.0,
            "append 1k, 1M: one 780-byte record written with fdatasync, same folder"),
        Row(growth, ms1m, ms1k, "<=", 1.5, "append growth: the append to the 1k table"),
        Row(append, results["BM_AppendResult/100000"]["ms"],
            results["BM_CopyTableTwiceWithCp"]["ms"], "<=", 1.3, "append 100k: cp the table twice"),
        Row(convert, results["BM_ConvertLegacyTable"]["ms"], results["BM_CopyLegacyWithCp"]["ms"],
            "<=", 1.5, "conversion: cp the legacy file once"),
    ]


def wait_figures(build, runs):
    results = google_benchmark(os.path.join(build, "bench", "bench_wait_bench"), runs)
    echo, cpu = "key echoed while an example waits (ms)", "CPU while an example waits (% of a core)"
    if results is None:
        return [Row(echo, relation="<=", limit=2.0),
                Row(cpu, relation="<", limit=0.5, of_ratio=False)]
    return [
        Row(echo, results["BM_EchoWhileWaiting"]["ms"], results["BM_EchoAtRest"]["ms"], "<=", 2.0,
            "echo: the same key with no exercise running"),
        Row(cpu, results["BM_CpuWhileWaiting"].get("cpu_percent"), None, "<", 0.5,
            of_ratio=False),
        Row("CPU at rest, no exercise (% of a core)", results["BM_CpuAtRest"].get("cpu_percent")),
    ]


def fmt(value):
    if value is None:
        return "-"
    if abs(value) >= 100:
        return "%.0f" % value
    if abs(value) >= 10:
        return "%.1f" % value
    return "%.3g" % value


def print_table(rows):
    header = ["figure", "value", "baseline", "ratio", "target", "result"]
    lines = []
    for r in rows:
        lines.append([r.figure, fmt(r.value), fmt(r.baseline), fmt(r.ratio()), r.target(),
                      r.result()])
    widths = [max(len(str(x[i])) for x in lines + [header]) for i in range(len(header))]
    def out(cells):
        print("  ".join(str(c).ljust(w) if i == 0 else str(c).rjust(w)
                        for i, (c, w) in enumerate(zip(cells, widths))).rstrip())
    out(header)
    out(["-" * w for w in widths])
    for line in lines:
        out(line)
    notes = sorted({r.note for r in rows if r.note})
    if notes:
        print()
        print("baselines measured in the same run:")
        for note in notes:
            print("  " + note)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--only", default="startup,records,files,wait,growth,report")
    args = parser.parse_args()
    parts = args.only.split(",")
    rows = []
    if "startup" in parts:
        rows += whole_process_figures(args.build, args.runs)
    if "records" in parts:
        rows += records_figures(args.build, max(3, args.runs // 2))
    if "files" in parts:
        rows += file_figures(args.build, max(3, args.runs // 2))
    if "wait" in parts:
        rows += wait_figures(args.build, 3)
    if "growth" in parts:
        rows += growth_figures(args.build, 3)
    if "report" in parts:
        rows += report_figures(args.build, 5)
    print_table(rows)


if __name__ == "__main__":
    main()
