#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Measures calcview's debug adapter (run by hand on a Release build):
 - headless speed with 20 line breakpoints, 2 conditional breakpoints and a
   data breakpoint set, none of them hit, against the same run through the
   adapter with nothing set and against calcview --headless without it;
 - how long a source-line step (next) takes to answer with its stop;
 - launch to the first stop on examples/catch.p83, its build included.

Usage: bench/dap_bench.py [path/to/build]   (default: build)
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "calcview", "e2e"))
import dap_e2e  # noqa: E402  (the end-to-end test's client)

SECONDS = 60  # of calculator time, for the speed runs

# A loop that computes without pause, and 22 statements it never reaches.
SPIN = ("program spin;\nvar\n x\n y\n z\n never\nbegin\n^x:=0;\n^z:=1;\n"
        ":loop\ninc(x);\nadd(y,x);\ndec(z);\ngoto(1,loop);\n"
        ":unused\n" + "inc(never);\n" * 22 + "end.\nEOF\n")
LOOP_LINES = [11, 12, 13]
UNUSED_FIRST = 16


def speed_run(calcview, folder, with_breakpoints, conditional_lines=LOOP_LINES[:2]):
    """Seconds of wall-clock time from configurationDone to the time limit's end;
    the conditional breakpoints are on `conditional_lines` (false each time)."""
    dap = dap_e2e.Adapter(calcview, folder)
    dap.begin("spin.p83", timeLimit=SECONDS)
    if with_breakpoints:
        lines = [{"line": UNUSED_FIRST + i} for i in range(20)]
        lines += [{"line": conditional_lines[0], "condition": "never = 1"},
                  {"line": conditional_lines[1], "condition": "never > 5 and A = 0"}]
        answer = dap.request("setBreakpoints", {"source": {"path": "spin.p83"}, "breakpoints": lines})
        assert all(b["verified"] for b in answer["breakpoints"]), answer
        info = dap.request("dataBreakpointInfo", {"name": "never", "variablesReference": 0})
        dap.request("setDataBreakpoints", {"breakpoints": [{"dataId": info["dataId"], "accessType": "write"}]})
    start = time.monotonic()
    dap.request("configurationDone")
    exited = dap.event("exited")
    elapsed = time.monotonic() - start
    assert exited["body"]["exitCode"] == 3, exited
    dap.end()
    return elapsed


def plain_run(calcview, folder):
    start = time.monotonic()
    subprocess.run([calcview, "--headless", "--time-limit", str(SECONDS), "spin.83p"], cwd=folder,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.monotonic() - start


def step_times(calcview, folder, count=200):
    dap = dap_e2e.Adapter(calcview, folder)
    dap.begin("steps.p83")
    dap.request("setBreakpoints", {"source": {"path": "steps.p83"},
                                   "breakpoints": [{"line": dap_e2e.LINE_CALL}]})
    dap.request("configurationDone")
    dap.stopped("breakpoint")
    times = []
    for _ in range(count):
        start = time.monotonic()
        dap.request("next", {"threadId": 1})
        dap.event("stopped")  # a step, or the breakpoint the loop comes back to
        times.append((time.monotonic() - start) * 1000)
    dap.end()
    return times


def first_stop(calcview, folder, examples):
    for name in ("catch.p83", "catch.spr"):
        shutil.copy(os.path.join(examples, name), folder)
    for leftover in ("catch.83p", "catch.asm", "catch.bin"):
        if os.path.exists(os.path.join(folder, leftover)):
            os.remove(os.path.join(folder, leftover))
    start = time.monotonic()
    dap = dap_e2e.Adapter(calcview, folder)
    dap.begin("catch.p83", trovikOptions=["-s"])
    dap.request("setBreakpoints", {"source": {"path": "catch.p83"}, "breakpoints": [{"line": 13}]})
    dap.request("configurationDone")
    dap.stopped("breakpoint")
    elapsed = (time.monotonic() - start) * 1000
    dap.end()
    return elapsed


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build"))
    calcview = os.path.join(build, "bin", "calcview")
    folder = tempfile.mkdtemp(prefix="calcview-dap-bench-")
    try:
        for name, text in (("spin.p83", SPIN), ("steps.p83", dap_e2e.STEPS)):
            with open(os.path.join(folder, name), "w") as file:
                file.write(text)
        speed_run(calcview, folder, False)  # builds spin.83p
        # Interleaved, best of 5: the machine may be busy with something else.
        runs = {"plain": [], "bare": [], "set": [], "aside": []}
        for _ in range(5):
            runs["plain"].append(plain_run(calcview, folder))
            runs["bare"].append(speed_run(calcview, folder, False))
            runs["set"].append(speed_run(calcview, folder, True))
            runs["aside"].append(speed_run(calcview, folder, True, [UNUSED_FIRST + 20, UNUSED_FIRST + 21]))
        plain, bare, set_, aside = (min(runs[name]) for name in ("plain", "bare", "set", "aside"))
        print(f"headless, {SECONDS} s of calculator time (best of 5):")
        print(f"  calcview --headless:                        {plain:.3f} s")
        print(f"  calcview --dap, nothing set:                {bare:.3f} s"
              f" = {plain / bare * 100:.0f} %")
        print(f"  --dap, 20 + 1 data + 2 conditional in the loop (evaluated each pass): {set_:.3f} s"
              f" = {plain / set_ * 100:.0f} % of the speed without the debugger")
        print(f"  --dap, 20 + 1 data + 2 conditional on lines not reached:           {aside:.3f} s"
              f" = {plain / aside * 100:.0f} %")
        times = step_times(calcview, folder)
        print(f"a source-line step (next), 200 of them: median {statistics.median(times):.2f} ms, "
              f"slowest {max(times):.2f} ms")
        stops = [first_stop(calcview, folder, os.path.join(root, "examples")) for _ in range(5)]
        print(f"launch to the first stop on catch.p83, build included, 5 runs: "
              f"median {statistics.median(stops):.0f} ms, slowest {max(stops):.0f} ms")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
