#!/usr/bin/python3
"""The monkey's event driver: random X input to Mireka, a hang watch by _NET_WM_PING, replays.

Started by fuzz/monkey.sh, which prepares the display, the scratch folder and the command that
starts the program (everything after "--"):
  monkey.py run SECONDS SEED OUT WORK -- COMMAND...
  monkey.py replay FILE OUT WORK -- COMMAND...
  monkey.py check OUT WORK -- COMMAND...   (keys, Japanese text and a save reach the file)
Every event is one text line in OUT/events.all; on a finding OUT/events holds the seed and the last
200 of them, OUT/finding says what was found. A replay written by hand may also wait: "sleep 30".
Exit status 0 clean, 1 finding, 2 the harness failed.
"""

import collections
import json
import os
import random
import re
import signal
import subprocess
import sys
import time

from Xlib import X, XK, display, error
from Xlib.ext import xtest
from Xlib.protocol import event as xevent

PING_EVERY = 1.0
HANG_SECONDS = 10.0
FIRST_WINDOW_SECONDS = 90.0
STEP_SECONDS = 0.03
KEEP = 200
# The lines of a sanitizer's report, and of the core's invariant check.
REPORT = re.compile(
    r"ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|"
    r"UndefinedBehaviorSanitizer|AddressSanitizer:DEADLYSIGNAL|invariant failed:")

KEYS = (["Return", "BackSpace", "Delete", "Tab", "Escape", "Insert", "Home", "End", "Prior",
         "Next", "Left", "Right", "Up", "Down", "space", "Menu"] +
        ["F%d" % i for i in range(1, 13)] + list("abcxyz019;{}()\"'/*#<>\\"))
NAV = ["Left", "Right", "Up", "Down", "Home", "End", "Prior", "Next"]
# The menu bar's mnemonics and the letters of each menu's items.
MENUS = {"f": "nosahpvrx", "e": "urtcpdyksafneg", "v": "mtsoatxfwcu", "b": "cxpsgordpilbvgtreaux",
         "t": "ao", "h": "rmbhscpa"}
SNIPPETS = ["int main(void)\n{\n", "printf(\"%d\\n\", i);", "/* comment */", "// line\n",
            "#include <stdio.h>\n", "\"string", "'c'", "return 0;\n}\n", "for (i = 0; i < 10; i++)",
            "\t\tx += 1;\n", "char *s = \"\\\\\";", "}}}{{{", "    ", "\n\n\n", "0x7fffffff"]
JAPANESE = ["こんにちは", "日本語の文字列", "漢字", "ｶﾀｶﾅ", "表示", "ソ", "①②", "〜", "—", "𠮷",
            "😀", "\u00e9", "ﾞﾟ"]
# Stands for the scratch folder, new in each run, in the file names typed into file dialogs.
WORK_MARK = "@WORK@"


class Finding(Exception):
    pass


class Program:
    """The program under test, restarted when it ends cleanly."""

    def __init__(self, command, stderr_path):
        self.command = command
        self.stderr_path = stderr_path
        self.proc = None
        self.read_at = 0
        self.tail = ""
        self.starts = 0

    def start(self):
        with open(self.stderr_path, "ab") as err:
            self.proc = subprocess.Popen(self.command, stdin=subprocess.DEVNULL,
                                         stdout=subprocess.DEVNULL, stderr=err,
                                         start_new_session=True)
        self.starts += 1

    def report(self):
        with open(self.stderr_path, "rb") as f:
            f.seek(self.read_at)
            data = f.read()
        self.read_at += len(data)
        # A report's first line may have been cut by the last look.
        text = self.tail + data.decode("utf-8", "replace")
        self.tail = text[-200:]
        m = REPORT.search(text)
        return m.group(0) if m else None

    def check(self):
        """Raises on a report or an unclean end; True when it ended cleanly."""
        found = self.report()
        if found:
            time.sleep(2)  # the rest of the report
            raise Finding("sanitizer report: " + found)
        code = self.proc.poll()
        if code is None:
            return False
        if code != 0:
            raise Finding("the program ended with status %d" % code)
        return True

    def pid(self):
        """The program's own process inside the launcher's tree, for a backtrace."""
        todo = [self.proc.pid]
        while todo:
            p = todo.pop()
            try:
                with open("/proc/%d/comm" % p) as f:
                    if f.read().strip() == "mireka":
                        return p
                for t in os.listdir("/proc/%d/task" % p):
                    with open("/proc/%d/task/%s/children" % (p, t)) as f:
                        todo += [int(c) for c in f.read().split()]
            except OSError:
                pass
        return None

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()  # the launcher's children die with it
            self.proc.wait()


class Screen:
    """Input through XTest and the program's windows as the X server sees them."""

    def __init__(self):
        self.d = display.Display()
        self.d.set_error_handler(lambda *args: None)  # windows go away between looks
        self.root = self.d.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask | X.StructureNotifyMask)
        self.atom = {n: self.d.intern_atom(n) for n in
                     ("WM_PROTOCOLS", "_NET_WM_PING", "WM_DELETE_WINDOW", "WM_TRANSIENT_FOR")}
        first = self.d.display.info.min_keycode
        count = self.d.display.info.max_keycode - first + 1
        mapping = self.d.get_keyboard_mapping(first, count)
        # Keycodes without symbols carry the characters that the keyboard lacks.
        self.spare = [first + i for i, syms in enumerate(mapping) if not any(syms)][:8]
        self.on_spare = collections.OrderedDict()
        self.ping_sent = {}
        self.ping_serial = 0
        self.last_pong = time.monotonic()
        self.slowest = 0.0

    def windows(self):
        """Viewable top-level windows, bottom to top: (window, x, y, w, h, popup, dialog)."""
        out = []
        try:
            children = self.root.query_tree().children
        except error.XError:
            return out
        for w in children:
            try:
                a = w.get_attributes()
                if a.map_state != X.IsViewable or a.win_class == X.InputOnly:
                    continue
                g = w.get_geometry()
                transient = w.get_full_property(self.atom["WM_TRANSIENT_FOR"], X.AnyPropertyType)
            except error.XError:
                continue
            if g.width < 2 or g.height < 2:
                continue
            out.append((w, g.x, g.y, g.width, g.height, bool(a.override_redirect),
                        transient is not None))
        return out

    def main_window(self, wins):
        for w in wins:
            if not w[5] and not w[6]:
                return w
        return None

    def fix_focus(self, wins):
        """As a window manager would: the focus goes back to a window when its owner closed."""
        ids = {w[0].id for w in wins}
        try:
            focus = self.d.get_input_focus().focus
        except error.XError:
            return
        fid = focus if isinstance(focus, int) else focus.id
        if fid in ids:
            return
        framed = [w for w in wins if not w[5]]
        if framed:
            framed[-1][0].set_input_focus(X.RevertToParent, X.CurrentTime)
            self.d.sync()

    def focus(self, which, wins):
        framed = [w for w in wins if not w[5]]
        if not framed:
            return
        target = framed[-1] if which == "top" else (self.main_window(wins) or framed[-1])
        target[0].set_input_focus(X.RevertToParent, X.CurrentTime)

    def close(self, which, wins):
        """The close button of the main window, or of the topmost dialog when there is one."""
        main = self.main_window(wins)
        framed = [w for w in wins if not w[5] and w is not main]
        target = main if which == "main" else (framed[-1] if framed else None)
        if target:
            self.client_message(target[0], self.atom["WM_DELETE_WINDOW"], 0)

    def client_message(self, window, protocol, stamp):
        ev = xevent.ClientMessage(window=window, client_type=self.atom["WM_PROTOCOLS"],
                                  data=(32, [protocol, stamp, window.id, 0, 0]))
        window.send_event(ev, event_mask=0)
        self.d.flush()

    def ping(self, wins):
        """Sends a ping when none waits; raises when one has waited too long."""
        now = time.monotonic()
        for serial, (sent, wid) in list(self.ping_sent.items()):
            if wid not in {w[0].id for w in wins} and now - sent < HANG_SECONDS:
                del self.ping_sent[serial]  # its window went away: no answer can come
            elif now - sent > HANG_SECONDS:
                raise Finding("hang: no answer to a ping for %.0f s" % (now - sent))
        main = self.main_window(wins)
        if main and not self.ping_sent and now - self.last_pong >= PING_EVERY:
            self.ping_serial += 1
            self.ping_sent[self.ping_serial] = (now, main[0].id)
            self.client_message(main[0], self.atom["_NET_WM_PING"], self.ping_serial)

    def drain(self):
        while self.d.pending_events():
            ev = self.d.next_event()
            if (ev.type == X.ClientMessage and ev.client_type == self.atom["WM_PROTOCOLS"]
                    and ev.data[1][0] == self.atom["_NET_WM_PING"]):
                sent = self.ping_sent.pop(ev.data[1][1], None)
                if sent:
                    self.last_pong = time.monotonic()
                    self.slowest = max(self.slowest, self.last_pong - sent[0])

    def forget_pings(self):
        self.ping_sent.clear()
        self.last_pong = time.monotonic()

    # Input.
    def keycode(self, keysym):
        for code, index in self.d.keysym_to_keycodes(keysym):
            if index in (0, 1):
                return code, index == 1
        return None, False

    def spare_keycode(self, keysym):
        if keysym in self.on_spare:
            self.on_spare.move_to_end(keysym)
            return self.on_spare[keysym]
        if len(self.on_spare) < len(self.spare):
            code = self.spare[len(self.on_spare)]
        else:
            code = self.on_spare.popitem(last=False)[1]
        self.d.change_keyboard_mapping(code, [(keysym, keysym)])
        self.d.sync()
        time.sleep(0.05)  # the program reads the new keyboard map before the key comes
        self.on_spare[keysym] = code
        return code

    def press(self, code, down):
        xtest.fake_input(self.d, X.KeyPress if down else X.KeyRelease, code)

    def key(self, spec):
        names = spec.split("+")
        mods = {"ctrl": "Control_L", "alt": "Alt_L", "shift": "Shift_L"}
        held = []
        for m in names[:-1]:
            code, _ = self.keycode(XK.string_to_keysym(mods[m]))
            held.append(code)
        keysym = XK.string_to_keysym(names[-1])
        code, shifted = self.keycode(keysym)
        if code is None:
            code, shifted = self.spare_keycode(keysym), False
        shift = self.keycode(XK.string_to_keysym("Shift_L"))[0]
        if shifted and "shift" not in names:
            held.append(shift)
        for c in held:
            self.press(c, True)
        self.press(code, True)
        self.press(code, False)
        for c in reversed(held):
            self.press(c, False)
        self.d.sync()

    def type(self, text):
        for ch in text:
            if ch == "\n":
                self.key("Return")
                continue
            cp = ord(ch)
            keysym = cp if cp < 0x100 else 0x1000000 + cp
            code, shifted = self.keycode(keysym) if cp < 0x80 else (None, False)
            if code is None:
                code, shifted = self.spare_keycode(keysym), False
            shift = self.keycode(XK.string_to_keysym("Shift_L"))[0]
            if shifted:
                self.press(shift, True)
            self.press(code, True)
            self.press(code, False)
            if shifted:
                self.press(shift, False)
            self.d.sync()
            time.sleep(0.005)

    def move(self, x, y):
        xtest.fake_input(self.d, X.MotionNotify, x=x, y=y)

    def button(self, b, down):
        xtest.fake_input(self.d, X.ButtonPress if down else X.ButtonRelease, b)

    def click(self, b, x, y, times=1):
        self.move(x, y)
        for _ in range(times):
            self.button(b, True)
            self.button(b, False)
        self.d.sync()

    def drag(self, x1, y1, x2, y2):
        self.move(x1, y1)
        self.button(1, True)
        self.d.sync()
        for i in range(1, 5):
            self.move(x1 + (x2 - x1) * i // 4, y1 + (y2 - y1) * i // 4)
            self.d.sync()
            time.sleep(0.02)
        self.button(1, False)
        self.d.sync()


def point(rng, win):
    _, x, y, w, h, _, _ = win
    return x + rng.randrange(w), y + rng.randrange(h)


def generate(rng, wins, screen):
    """The next events as text lines: what a user at random might do next."""
    framed = [w for w in wins if not w[5]]
    main = screen.main_window(wins)
    dialog = framed[-1] if framed and framed[-1] is not main else None
    if dialog and rng.random() < 0.35:
        r = rng.random()
        if r < 0.25:
            return ["key Return"]
        if r < 0.5:
            return ["key Escape"]
        if r < 0.65:
            return ["key Tab"] * rng.randint(1, 6) + ["key space"]
        if r < 0.85:
            return ["click 1 %d %d" % point(rng, dialog)]
        # A name for a file dialog, always inside the scratch folder.
        name = "%s/m%d.c" % (WORK_MARK, rng.randrange(100))
        return ["key ctrl+a", "type " + json.dumps(name, ensure_ascii=False), "key Return"]
    r = rng.random()
    if r < 0.22:
        return ["key " + rng.choice(KEYS)]
    if r < 0.30:
        return ["key ctrl+" + rng.choice("abcdefghijklmnopqrstuvwxyz")]
    if r < 0.33:
        return ["key " + rng.choice(["ctrl+shift+", "ctrl+", "shift+", "alt+"]) +
                rng.choice(["Tab", "Delete", "Insert", "BackSpace", "F6", "Pause"] + NAV)]
    if r < 0.37:
        return ["key shift+" + rng.choice(NAV)] * rng.randint(1, 8)
    if r < 0.40:
        return ["key alt+" + rng.choice("abcdefghijklmnopqrstuvwxyz")]
    if r < 0.46:
        menu = rng.choice(sorted(MENUS))
        return ["key alt+" + menu, "key " + rng.choice(MENUS[menu])]
    if r < 0.56:
        return ["type " + json.dumps(rng.choice(SNIPPETS), ensure_ascii=False)]
    if r < 0.61:
        return ["type " + json.dumps(rng.choice(JAPANESE), ensure_ascii=False)]
    if r < 0.64:
        return ["key F%d" % rng.randint(1, 12)]
    targets = wins
    if main and rng.random() < 0.6:
        targets = [main]
    if not targets:
        return ["key Escape"]
    win = rng.choice(targets)
    if r < 0.79:
        b = rng.choice([1, 1, 1, 1, 1, 1, 3, 3, 2])
        return ["click %d %d %d" % ((b,) + point(rng, win))]
    if r < 0.82:
        return ["dclick %d %d" % point(rng, win)]
    if r < 0.90:
        return ["drag %d %d %d %d" % (point(rng, win) + point(rng, win))]
    if r < 0.94:
        return ["wheel %d %d %d" % ((rng.choice([4, 5]),) + point(rng, win))]
    if r < 0.97:
        return ["key ctrl+s"]
    if r < 0.985:
        return ["focus " + rng.choice(["top", "main"])]
    # Closing the main window ends the program more often than a user would.
    return ["close " + rng.choice(["dialog", "dialog", "dialog", "main"])]


def execute(line, screen, wins, work):
    word, _, rest = line.partition(" ")
    if word == "key":
        screen.key(rest)
    elif word == "type":
        screen.type(json.loads(rest).replace(WORK_MARK, work))
    elif word in ("click", "wheel"):
        b, x, y = map(int, rest.split())
        screen.click(b, x, y)
    elif word == "dclick":
        x, y = map(int, rest.split())
        screen.click(1, x, y, times=2)
    elif word == "drag":
        screen.drag(*map(int, rest.split()))
    elif word == "focus":
        screen.focus(rest, wins)
    elif word == "close":
        screen.close(rest, wins)
    elif word not in ("restart", "sleep"):
        raise ValueError("unknown event: " + line)


class Monkey:
    def __init__(self, out, work, command):
        self.out = out
        self.work = work
        self.program = Program(command, os.path.join(out, "stderr"))
        self.screen = Screen()
        self.log = open(os.path.join(out, "events.all"), "w", encoding="utf-8")
        self.last = collections.deque(maxlen=KEEP)
        self.header = ""
        self.sent = 0
        self.quiet = False

    def record(self, line):
        self.log.write(line + "\n")
        self.log.flush()
        self.last.append(line)

    def start(self):
        self.program.start()
        self.screen.forget_pings()
        started = time.monotonic()
        while True:
            self.program.check()
            self.screen.drain()
            wins = self.screen.windows()
            if self.screen.main_window(wins):
                time.sleep(0.5)  # the focus is set after the window is mapped
                return
            if time.monotonic() - started > FIRST_WINDOW_SECONDS:
                raise Finding("hang: no window %.0f s after the start" % FIRST_WINDOW_SECONDS)
            time.sleep(0.2)

    def watch(self):
        """Between events: reports, ends and pings. The windows as they are now."""
        if self.program.check():
            self.record("restart")
            self.start()
        self.screen.drain()
        wins = self.screen.windows()
        self.screen.ping(wins)
        return wins

    def step(self, line):
        if line.startswith("sleep "):
            # Only in hand-written replays: time for slow work, watched as ever.
            self.record(line)
            self.settle(float(line.split()[1]))
            return
        wins = self.watch()
        self.screen.fix_focus(wins)
        self.record(line)
        execute(line, self.screen, wins, self.work)
        self.sent += 1
        time.sleep(STEP_SECONDS)

    def settle(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            self.watch()
            time.sleep(0.1)

    def backtrace(self):
        pid = self.program.pid()
        if pid is None:
            return
        with open(os.path.join(self.out, "backtrace"), "w") as f:
            subprocess.run(["gdb", "-p", str(pid), "-batch", "-ex", "thread apply all bt"],
                           stdout=f, stderr=subprocess.STDOUT, timeout=120, check=False)

    def keep(self, finding):
        with open(os.path.join(self.out, "finding"), "w", encoding="utf-8") as f:
            f.write(finding + "\n")
        with open(os.path.join(self.out, "events"), "w", encoding="utf-8") as f:
            f.write(self.header)
            f.writelines(line + "\n" for line in self.last)

    def finish(self, body):
        try:
            body()
            self.settle(3)
        except Finding as e:
            if str(e).startswith("hang"):
                self.backtrace()
            self.keep(str(e))
            print("FINDING: %s" % e)
            return 1
        finally:
            self.program.stop()
            if not self.quiet:
                    print("events sent: %d, program starts: %d, pings answered: %d, slowest answer: "
                      "%.1f s" % (self.sent, self.program.starts,
                                  self.screen.ping_serial - len(self.screen.ping_sent),
                                  self.screen.slowest))
        return 0


def run(seconds, seed, out, work, command):
    m = Monkey(out, work, command)
    m.header = "# seed %d\n" % seed
    m.log.write(m.header)
    rng = random.Random(seed)

    def body():
        m.start()
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            wins = m.watch()
            for line in generate(rng, wins, m.screen):
                m.step(line)
    return m.finish(body)


def replay(path, out, work, command):
    m = Monkey(out, work, command)
    with open(path, encoding="utf-8") as f:
        lines = [line.rstrip("\n") for line in f]
    m.header = "".join(line + "\n" for line in lines if line.startswith("#"))

    def body():
        m.start()
        for line in lines:
            if line and not line.startswith("#") and line != "restart":
                m.step(line)
    return m.finish(body)


def check(out, work, command):
    """The harness itself: typed ASCII and Japanese text and a save reach the file."""
    m = Monkey(out, work, command)
    m.quiet = True
    path = os.path.join(work, "check.c")
    want = "int 日本語;ｶﾅ"

    def body():
        m.start()
        m.step("type " + json.dumps(want, ensure_ascii=False))
        m.step("key ctrl+s")
        end = time.monotonic() + 20
        while time.monotonic() < end:
            m.settle(0.5)
            with open(path, "rb") as f:
                data = f.read()
            # An empty file may open in either of the document encodings.
            if want.encode("utf-8") in data or want.encode("cp932") in data:
                return
        raise Finding("harness: the typed text did not reach the file, it holds %r" % data)
    status = m.finish(body)
    return 2 if status else 0


def main(argv):
    split = argv.index("--")
    args, command = argv[1:split], argv[split + 1:]
    signal.signal(signal.SIGTERM, lambda *a: sys.exit(2))
    if args[0] == "run":
        return run(float(args[1]), int(args[2]), args[3], args[4], command)
    if args[0] == "replay":
        return replay(args[1], args[2], args[3], command)
    if args[0] == "check":
        return check(args[1], args[2], command)
    raise SystemExit(__doc__)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
