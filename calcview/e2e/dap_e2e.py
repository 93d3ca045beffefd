#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""End-to-end test of `calcview --dap`: an editor's whole debugging session
over pipes, on programs written here and on the examples, then the ways a
session goes wrong (a failed build, a stale program file, garbage on the wire,
the client vanishing).

Usage: dap_e2e.py CALCVIEW EXAMPLES_DIR
"""

import json
import os
import queue
import shutil
import subprocess
import sys
import tempfile
import threading
import time

TIMEOUT = 20  # seconds for any one answer; a sanitizer build is slow

STEPS = """// counts to 200 through a subroutine, then spins
program steps;
var
 count
 limit
begin
^count:=0;
^limit:=200;
:again
goto(4,bump);
if(count,limit,2,again);
:spin
goto(1,spin);
:bump
inc(count);
ret;
end.
EOF
"""
LINE_CALL, LINE_IF, LINE_SPIN, LINE_INC, LINE_RET = 10, 11, 13, 15, 16

RECURSE = """// calls itself until the stack runs into the variables
program recurse;
begin
:deeper
goto(4,deeper);
end.
EOF
"""

BROKEN = """program broken;
begin
goto(1,nowhere);
end.
EOF
"""


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


class Adapter:
    """calcview --dap with a thread reading its framed messages."""

    def __init__(self, calcview, folder, env=None):
        self.process = subprocess.Popen([calcview, "--dap"], cwd=folder, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, env=env)
        self.seq = 0
        self.messages = queue.Queue()
        self.seen = []  # every message, for the failure report
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        out = self.process.stdout
        while True:
            header = b""
            while not header.endswith(b"\r\n\r\n"):
                byte = out.read(1)
                if not byte:
                    self.messages.put(None)
                    return
                header += byte
            if not header.startswith(b"Content-Length: "):
                self.messages.put({"stray": header.decode(errors="replace")})
                continue
            length = int(header[len(b"Content-Length: "):-4])
            self.messages.put(json.loads(out.read(length).decode("utf-8")))

    def write(self, raw):
        self.process.stdin.write(raw)
        self.process.stdin.flush()

    def send(self, command, arguments=None):
        self.seq += 1
        message = {"seq": self.seq, "type": "request", "command": command}
        if arguments is not None:
            message["arguments"] = arguments
        body = json.dumps(message).encode()
        self.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
        return self.seq

    def wait(self, matches, what):
        deadline = time.monotonic() + TIMEOUT
        while True:
            try:
                message = self.messages.get(timeout=max(0.01, deadline - time.monotonic()))
            except queue.Empty:
                raise Failure(f"no {what} within {TIMEOUT} s; last messages: {self.seen[-5:]}")
            check(message is not None, f"the adapter ended while waiting for {what}")
            check("stray" not in message, f"bytes on stdout that are no message: {message}")
            self.seen.append(message)
            check(message["seq"] == len(self.seen), f"seq {message['seq']} out of order")
            if matches(message):
                return message

    def event(self, name):
        return self.wait(lambda m: m["type"] == "event" and m["event"] == name, f"'{name}' event")

    def response(self, seq):
        message = self.wait(lambda m: m["type"] == "response" and m["request_seq"] == seq,
                            f"response to request {seq}")
        return message

    def request(self, command, arguments=None, success=True):
        response = self.response(self.send(command, arguments))
        check(response["command"] == command, f"{command}: answered as {response['command']}")
        check(response["success"] == success,
              f"{command}: success {response['success']}, not {success}: {response.get('message')}")
        if not success:
            check(response["message"] and response["body"]["error"]["format"],
                  f"{command}: an error response without a message")
        return response.get("body", {}) if success else response["message"]

    def stopped(self, reason):
        stop = self.event("stopped")["body"]
        check(stop["reason"] == reason, f"stopped for {stop['reason']}, not {reason}: {stop}")
        check(stop["threadId"] == 1 and stop["allThreadsStopped"], f"stop of a whole machine: {stop}")
        return stop

    def top_line(self):
        frames = self.request("stackTrace", {"threadId": 1})["stackFrames"]
        return frames[0]["line"], frames

    def variable(self, name):
        scope = next(s for s in self.request("scopes", {"frameId": self.top_line()[1][0]["id"]})["scopes"]
                     if s["name"] == "Variables")
        found = [v for v in self.request("variables", {"variablesReference": scope["variablesReference"]})
                 ["variables"] if v["name"] == name]
        check(found, f"no variable {name}")
        return found[0]

    def begin(self, program, **launch):
        body = self.request("initialize", {"adapterID": "p83", "linesStartAt1": True})
        for capability in ("supportsConfigurationDoneRequest", "supportsStepBack",
                           "supportsDataBreakpoints", "supportsReadMemoryRequest"):
            check(body.get(capability) is True, f"initialize: no {capability}")
        self.request("launch", {"program": program, "headless": True, **launch})
        self.event("initialized")

    def end(self):
        self.request("disconnect", {"terminateDebuggee": True})
        check(self.process.wait(timeout=TIMEOUT) == 0, "the adapter's exit status after disconnect")


def whole_session(calcview, folder):
    """Breakpoints, steps, variables, a data breakpoint, stepping back, pause."""
    source = os.path.join(folder, ".", "steps.p83")  # echoed exactly as sent
    dap = Adapter(calcview, folder)
    dap.begin(source)
    answer = dap.request("setBreakpoints", {"source": {"path": source}, "breakpoints": [
        {"line": LINE_INC}, {"line": 9}, {"line": 400}]})["breakpoints"]
    check(answer[0]["verified"] and answer[0]["line"] == LINE_INC, f"breakpoint on inc: {answer[0]}")
    check(all(a["source"]["path"] == source for a in answer), f"source paths echoed: {answer}")
    check(answer[1]["line"] == LINE_CALL, f"a label's breakpoint moves to the next statement: {answer[1]}")
    check(not answer[2]["verified"] and answer[2].get("message"), f"past the end: {answer[2]}")
    dap.request("setExceptionBreakpoints", {"filters": ["noSuchFilter"]})
    dap.request("configurationDone")
    dap.stopped("breakpoint")
    check(dap.top_line()[0] == LINE_CALL, "first stop at the call")
    check(dap.request("threads")["threads"] == [{"id": 1, "name": "TI-83"}], "one thread, TI-83")
    dap.request("continue", {"threadId": 1})
    dap.stopped("breakpoint")
    line, frames = dap.top_line()
    check(line == LINE_INC and frames[0]["name"] == "bump" and len(frames) == 2,
          f"in bump, called from the program: {frames}")
    check(frames[0]["instructionPointerReference"].startswith("0x"), "an instruction pointer")
    check(dap.variable("count")["value"].startswith("0"), "count is 0 before inc")
    dap.request("next", {"threadId": 1})
    dap.stopped("step")
    check(dap.top_line()[0] == LINE_RET, "next goes to ret")
    check(dap.variable("count")["value"].startswith("1"), "count is 1 after inc")
    dap.request("stepOut", {"threadId": 1})
    dap.stopped("step")
    check(dap.top_line()[0] == LINE_IF, "stepOut returns to the if")
    dap.request("stepBack", {"threadId": 1})  # back over the call, as next went over it
    dap.stopped("step")
    check(dap.top_line()[0] == LINE_CALL and dap.variable("count")["value"].startswith("0"),
          "stepping back undoes the call and its inc")
    check(dap.request("evaluate", {"expression": "count = 0 and (A >= 0 or HL <> $FFFF)", "context": "watch"})["result"],
          "evaluate a condition")
    screen = dap.request("evaluate", {"expression": "screen", "context": "repl"})["result"].splitlines()
    check(len(screen) == 64 and all(len(row) == 96 for row in screen), "the screen as 64 x 96")

    count = dap.variable("count")
    memory = dap.request("readMemory", {"memoryReference": count["memoryReference"], "count": 2})
    check(memory["data"] == "AAA=", f"count's bytes: {memory}")
    code = dap.request("disassemble", {"memoryReference": dap.top_line()[1][0]["instructionPointerReference"],
                                       "instructionCount": 3})["instructions"]
    check(len(code) == 3 and code[0].get("line") == LINE_CALL, f"disassembly at the call: {code}")

    dap.request("setBreakpoints", {"source": {"path": source}, "breakpoints": []})
    info = dap.request("dataBreakpointInfo", {"name": "count", "variablesReference": 0})
    check(info["dataId"] and "write" in info["accessTypes"], f"dataBreakpointInfo: {info}")
    dap.request("setDataBreakpoints", {"breakpoints": [{"dataId": info["dataId"], "accessType": "write"}]})
    dap.request("continue")
    dap.stopped("data breakpoint")
    check(dap.top_line()[0] == LINE_INC, "the data breakpoint stops at the statement that wrote")
    dap.request("setDataBreakpoints", {"breakpoints": []})
    dap.request("setVariable", {"variablesReference": 0, "name": "count", "value": "199"}, success=False)
    dap.request("continue")
    time.sleep(0.3)
    dap.request("pause", {"threadId": 1})
    dap.stopped("pause")
    check(dap.top_line()[0] == LINE_SPIN, "paused in the spin loop")
    dap.request("stackTrace", {"threadId": 7}, success=False)
    dap.end()


def fault_and_end(calcview, folder):
    """A fault stops as an exception; a program that returns, or the time limit, ends it."""
    dap = Adapter(calcview, folder)
    dap.begin("recurse.p83")
    dap.request("configurationDone")
    stop = dap.stopped("exception")
    info = dap.request("exceptionInfo", {"threadId": 1})
    check(info["description"] and info["breakMode"], f"exceptionInfo: {info}")
    check(dap.top_line()[0] == 5, "the fault's line is the call")
    dap.end()

    dap = Adapter(calcview, folder)
    dap.begin("hello.p83", stopOnEntry=True)
    dap.request("configurationDone")
    dap.stopped("entry")
    dap.request("continue")
    exited = dap.event("exited")["body"]
    check(exited["exitCode"] == 0, f"hello returns: {exited}")
    dap.event("terminated")
    dap.request("stackTrace", {"threadId": 1}, success=False)
    dap.end()

    dap = Adapter(calcview, folder)
    dap.begin("steps.p83", timeLimit=0.5)
    dap.request("configurationDone")
    check(dap.event("exited")["body"]["exitCode"] == 3, "the time limit ends the run with status 3")
    dap.event("terminated")
    dap.end()


def failures(calcview, folder):
    """A failed build, a stale program file, garbage, requests out of order."""
    dap = Adapter(calcview, folder)
    dap.request("initialize", {"adapterID": "p83"})
    message = dap.request("launch", {"program": "broken.p83", "headless": True}, success=False)
    check("broken.p83:3" in message, f"a failed build names the line: {message}")
    message = dap.request("launch", {"program": 42}, success=False)
    check('"program"' in message, f"a wrong-typed argument is named: {message}")
    dap.end()

    path = os.path.join(folder, "hello.p83")
    with open(path) as source:
        text = source.read()
    with open(path, "w") as source:  # the greeting changed after hello.83p was written
        source.write(text.replace("Hello from trovik", "Hello again"))
    dap = Adapter(calcview, folder)
    dap.request("initialize", {"adapterID": "p83"})
    message = dap.request("launch", {"program": "hello.83p", "headless": True}, success=False)
    check("hello.p83" in message and "changed" in message, f"a stale program file: {message}")
    dap.end()

    dap = Adapter(calcview, folder)
    dap.write(b"hello?\r\n")
    check(dap.event("output")["body"]["category"] == "console", "garbage reported on the console")
    dap.write(b"Content-Length: 7\r\n\r\n{nope!}")
    dap.event("output")
    dap.request("threads", success=False)  # before initialize
    dap.request("initialize")
    dap.request("initialize", success=False)
    dap.request("frobnicate", success=False)
    dap.request("setBreakpoints", {"source": {"path": "steps.p83"}}, success=False)  # before launch
    dap.request("launch", {"program": "steps.p83", "headless": True})
    dap.request("setBreakpoints", {"source": {"path": "/elsewhere/other.p83"},
                                   "breakpoints": [{"line": 3}]}, success=False)
    dap.request("setBreakpoints", {"source": {"path": "steps.p83"}, "breakpoints": [{"line": "ten"}]},
                success=False)
    dap.request("continue", success=False)  # before configurationDone
    dap.request("configurationDone")
    dap.request("threads")
    dap.process.stdin.close()  # the client vanishes while the program runs
    check(dap.process.wait(timeout=TIMEOUT) == 0, "the adapter ends when its input closes")


def window_session(calcview, folder, examples):
    """The screen live in a window; keys typed into it reach the program."""
    if not shutil.which("Xvfb") or not shutil.which("xdotool"):
        print("skipped: window_session (no Xvfb or xdotool)")
        return
    for name in ("catch.p83", "catch.spr"):
        shutil.copy(os.path.join(examples, name), folder)
    ready, told = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(told), "-screen", "0", "640x480x24",
                             "-nolisten", "tcp"], pass_fds=(told,), stderr=subprocess.DEVNULL)
    os.close(told)
    try:
        display = ":" + os.read(ready, 16).decode().strip()
        # SDL unloads D-Bus on quitting, whose leaks a sanitizer build cannot name.
        env = dict(os.environ, DISPLAY=display,
                   ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
        dap = Adapter(calcview, folder, env)
        dap.request("initialize", {"adapterID": "p83"})
        dap.request("launch", {"program": "catch.p83", "trovikOptions": ["-s"], "headless": False})
        dap.event("initialized")
        dap.request("configurationDone")
        deadline, window = time.monotonic() + TIMEOUT, ""
        while not window and time.monotonic() < deadline:
            time.sleep(0.1)
            window = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", "^calcview$"],
                                    env=env, capture_output=True, text=True).stdout.split()
        check(window, "no calcview window")
        subprocess.run(["xdotool", "windowfocus", window[-1]], env=env, timeout=TIMEOUT, check=True)
        for step in (["keydown", "Right"], ["sleep", "0.5"], ["keyup", "Right"], ["sleep", "0.3"]):
            subprocess.run(["xdotool", *step], env=env, timeout=TIMEOUT, check=True)
        dap.request("pause", {"threadId": 1})
        dap.stopped("pause")
        x = int(dap.variable("x")["value"].split()[0])
        check(x > 44, f"the right arrow typed into the window moved the ball: x = {x}")
        screen = dap.request("evaluate", {"expression": "screen"})["result"]
        check("#" in screen, "the ball is on the screen")
        dap.end()
    finally:
        os.close(ready)
        xvfb.terminate()
        xvfb.wait(timeout=TIMEOUT)


def main():
    calcview, examples = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    folder = tempfile.mkdtemp(prefix="calcview-dap-")
    try:
        for name, text in (("steps.p83", STEPS), ("recurse.p83", RECURSE), ("broken.p83", BROKEN)):
            with open(os.path.join(folder, name), "w") as file:
                file.write(text)
        shutil.copy(os.path.join(examples, "hello.p83"), folder)
        failed = 0
        tests = (whole_session, fault_and_end, failures,
                 lambda calcview, folder: window_session(calcview, folder, examples))
        for test, name in zip(tests, ("whole_session", "fault_and_end", "failures", "window_session")):
            try:
                test(calcview, folder)
                print(f"ok: {name}")
            except Failure as failure:
                failed += 1
                print(f"FAILED: {name}: {failure}")
        print(f"{len(tests) - failed} passed, {failed} failed")
        return 1 if failed else 0
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
