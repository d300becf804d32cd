// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/player/StandIns.h"

namespace stand_ins {

namespace {

// What every stand-in interpreter shares: the protocol's updates, a
// buffer window (id 1) with a line request each turn.
const char kStandInPrelude[] = R"PY(import json, os, sys, time
out = sys.stdout.buffer
def send(obj):
    out.write(json.dumps(obj).encode() + b"\n\n")
    out.flush()
def turn(gen, paragraphs, maxlen=120, windows=False):
    text = [{"content": [{"style": "normal", "text": p}]} for p in paragraphs + [">"]]
    update = {"type": "update", "gen": gen, "content": [{"id": 1, "text": text}],
              "input": [{"id": 1, "gen": gen, "type": "line", "maxlen": maxlen}]}
    if windows:
        update["windows"] = [{"id": 1, "type": "buffer", "rock": 0, "left": 0, "top": 0,
                              "width": 80, "height": 24}]
    send(update)
def event():
    line = sys.stdin.readline()
    if not line:
        sys.exit(0)
    return json.loads(line)
)PY";

}  // namespace

std::string StatusLineRooms() {
  return std::string(kStandInPrelude) + R"PY(
def status(gen, room, moves, paragraph, windows=False):
    update = {"type": "update", "gen": gen, "content": [
        {"id": 2, "lines": [{"line": 0, "content": [{"style": "normal", "text":
            " %-30s Score: 0   Moves: %d" % (room, moves)}]}]},
        {"id": 1, "text": [{"content": [{"style": "normal", "text": paragraph}]},
                           {"content": [{"style": "normal", "text": ">"}]}]}],
        "input": [{"id": 1, "gen": gen, "type": "line", "maxlen": 120}]}
    if windows:
        update["windows"] = [
            {"id": 2, "type": "grid", "rock": 0, "left": 0, "top": 0, "width": 80, "height": 1,
             "gridwidth": 80, "gridheight": 1},
            {"id": 1, "type": "buffer", "rock": 0, "left": 0, "top": 1, "width": 80, "height": 23}]
    send(update)
event()
status(1, "Attic", 0, "Dust everywhere. The floor creaks.", windows=True)
gen, rooms = 1, ["Cellar", "Attic"]
while True:
    event()
    gen += 1
    status(gen, rooms[gen % 2], gen - 1, "The floor gives way, and you land in a heap.")
)PY";
}

std::string SaysWhatItWasGiven() {
  return std::string(kStandInPrelude) + R"PY(
event()
turn(1, ["Hello from the stand-in.", "Given: " + " and ".join(sys.argv[1:])], maxlen=20, windows=True)
gen = 1
while True:
    ev = event()
    gen += 1
    value = ev.get("value", "").strip()
    if ev.get("type") == "line" and value == "quit":
        send({"type": "update", "gen": gen, "content": [{"id": 1, "text": [
            {"content": [{"style": "normal", "text": "Bye from the stand-in."}]}]}],
            "disable": True})
        sys.exit(0)
    if ev.get("type") == "line":
        turn(gen, ["You said: " + value], maxlen=20)
    else:
        turn(gen, [], maxlen=20)
)PY";
}

std::string RefusesTheStory() {
  return std::string(kStandInPrelude) + R"PY(
sys.stderr.write("refuse: this story is not for me\n")
sys.exit(3)
)PY";
}

std::string StartsAChild() {
  return std::string(kStandInPrelude) + R"PY(
import signal
child = os.fork()
if child == 0:
    signal.signal(signal.SIGTERM, signal.SIG_IGN)
    time.sleep(120)
    os._exit(0)
event()
turn(1, ["Child " + str(child) + " started."], windows=True)
while True:
    event()
)PY";
}

std::string QuitsMidGame() {
  return std::string(kStandInPrelude) + R"PY(
event()
turn(1, ["A game that leaves."], windows=True)
event()
sys.exit(0)
)PY";
}

std::string WritesWhatIsNotJson() {
  return std::string(kStandInPrelude) + R"PY(
event()
turn(1, ["All is well so far."], windows=True)
event()
out.write(b"Segmentation fault, or so it says\n")
out.flush()
sys.stdin.readline()
)PY";
}

std::string WritesEscapeSequences() {
  return std::string(kStandInPrelude) + R"PY(
event()
turn(1, ["Calm \x1b[41mred\x1b[0m text\u202e, reversed."], windows=True)
event()
sys.stderr.write("last words \x1b]2;ERR-PWNED\x07\x1b[2J\u009b31m end\n")
sys.stderr.flush()
out.write(b"\x1b]2;OUT-PWNED\x07\x1b[2J\x9b" b"31m not JSON\n")
out.flush()
sys.stdin.readline()
)PY";
}

std::string SendsAHugeUpdate() {
  return std::string(kStandInPrelude) + R"PY(
event()
out.write(b'{"type": "update", "gen": 1, "content": [{"id": 1, "text": [{"content": '
          b'[{"style": "normal", "text": "')
piece = b"x" * (1 << 20)
try:
    for i in range(100):
        out.write(piece)
    out.write(b'"}]}]}]}\n\n')
    out.flush()
except BrokenPipeError:
    pass
sys.stdin.readline()
)PY";
}

std::string SendsAnEndlessLine() {
  return std::string(kStandInPrelude) + R"PY(
event()
turn(1, ["A game about to babble."], windows=True)
event()
out.write(b'{"type": "update", "gen": 2, "content": [{"id": 1, "text": [{"content": '
          b'[{"style": "normal", "text": "')
piece = b"y" * (1 << 20)
try:
    for i in range(100):
        out.write(piece)
    out.flush()
except BrokenPipeError:
    pass
time.sleep(3600)
)PY";
}

std::string FallsSilent() {
  return std::string(kStandInPrelude) + R"PY(
event()
turn(1, ["A game about to fall silent."], windows=True)
event()
time.sleep(3600)
)PY";
}

std::string SlowAtFirst() {
  return std::string(kStandInPrelude) + R"PY(
event()
turn(1, ["A slow game."], windows=True)
gen = 1
while True:
    ev = event()
    gen += 1
    if gen == 2:
        time.sleep(2)
    turn(gen, ["You said: " + ev.get("value", "").strip()])
)PY";
}

std::string TalksUnasked() {
  return std::string(kStandInPrelude) + R"PY(
event()
turn(1, ["A game that talks over the player."], windows=True)
gen = 2
while True:
    time.sleep(0.05)
    turn(gen, ["Tick %d." % gen])
    gen += 1
)PY";
}

std::string FloodsAtStart() {
  return std::string(kStandInPrelude) + R"PY(
event()
turn(1, ["Line %d of a story that goes on and on without a pause." % i
         for i in range(1, 20001)], windows=True)
gen = 1
while True:
    ev = event()
    gen += 1
    turn(gen, ["You said: " + ev.get("value", "").strip()])
)PY";
}

std::string WritesLatin1() {
  return std::string(kStandInPrelude) + R"PY(
event()
out.write(b'{"type": "update", "gen": 1, "windows": [{"id": 1, "type": "buffer", "rock": 0, '
          b'"left": 0, "top": 0, "width": 80, "height": 24}], "content": [{"id": 1, "text": '
          b'[{"content": [{"style": "normal", "text": "Caf\xe9 cr\xe8me \xff\xfe broken \xc3"}]}]}], '
          b'"input": [{"id": 1, "gen": 1, "type": "line", "maxlen": 120}]}\n\n')
out.flush()
gen = 1
while True:
    ev = event()
    gen += 1
    turn(gen, ["Still here: " + ev.get("value", "").strip()])
)PY";
}

std::string ShoutsAWord() {
  return std::string(kStandInPrelude) + R"PY(
event()
turn(1, ["Someone shouts zounds! and runs."], windows=True)
gen = 1
while True:
    ev = event()
    gen += 1
    turn(gen, ["You said: " + ev.get("value", "")] if ev.get("type") == "line" else [])
)PY";
}

}  // namespace stand_ins
