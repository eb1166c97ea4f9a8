#!/usr/bin/env python3
"""The browser build against the desktop program (make test-web).

Serves the folder of make web on 127.0.0.1, drives Debian's headless
Chromium through the DevTools protocol on a pipe (standard library only),
and for every scenario plays the same event script in the page (through the
page's velkor_web_play) and in `velkor --offscreen --renderer es2`:

  - the state files must be equal, byte for byte;
  - a screenshot of the page's canvas must agree with the off-screen
    snapshot by the renderers' rule (velkor-compare: 99.5 % of the pixels
    within 8 per channel, nothing moved).

Then a slot saved in the page must still be there, the same bytes as the
desktop's file, after the page is loaded again; a slot uploaded through the
page must load. Last, the figures: the folder's size (raw and gzip), the
time from page load to the first frame, script time per idle and busy frame.

usage: web-test.py SITE_DIR NATIVE_BUILD_DIR [SCRATCH_DIR]
Prints "N passed, N failed" last; exit status 0 when nothing failed.
"""
import base64
import functools
import gzip
import http.server
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Scenario name -> event script (frames from its "# frames:" line).
SCENARIOS = [
    ("start", "tests/references/scenes/start.events"),
    ("twelve_steps", "tests/web/scenes/twelve_steps.events"),
    ("register_edit", "tests/web/scenes/register_edit.events"),
    ("slot_save_load", "tests/web/scenes/slot_save_load.events"),
    ("continuous_run", "tests/references/scenes/continuous_run.events"),
    ("popup_ram", "tests/references/scenes/popup_ram.events"),
]
# How long the page may take to do one thing (load, play a script) before the
# test gives up on it. Nothing waits for a time: each step waits for what it
# needs, this only bounds a page that hangs.
PATIENCE_S = 120.0
CANVAS = (1280, 768)


class Failure(Exception):
    pass


# ---- The static server -------------------------------------------------------

class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                          **{".wasm": "application/wasm", ".js": "text/javascript"})

    def log_message(self, *args):
        pass


def serve(folder):
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


# ---- Chromium over the DevTools pipe -----------------------------------------

class Browser:
    """Headless Chromium; commands go in on its fd 3, answers come on fd 4."""

    def __init__(self, profile, extra_flags=()):
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()

        def wire_pipes():
            os.dup2(to_browser_read, 3)
            os.dup2(from_browser_write, 4)

        binary = shutil.which("chromium") or "/usr/bin/chromium"
        self.process = subprocess.Popen(
            [binary, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--disable-extensions", "--mute-audio",
             "--user-data-dir=" + profile, "--remote-debugging-pipe"] + list(extra_flags)
            + ["about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            pass_fds=(3, 4), preexec_fn=wire_pipes)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self._buffer = b""
        self._next_id = 0
        self.session = None

    def close(self):
        try:
            self.call("Browser.close", session=False)
        except Exception:
            pass
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self._to_browser)
        os.close(self._from_browser)

    def _read_message(self):
        while b"\0" not in self._buffer:
            chunk = os.read(self._from_browser, 1 << 20)
            if not chunk:
                raise Failure("Chromium closed its pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, session=True, **params):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        while True:
            answer = self._read_message()
            if answer.get("id") == self._next_id:
                if "error" in answer:
                    raise Failure("%s: %s" % (method, answer["error"].get("message")))
                return answer.get("result", {})

    def open_page(self):
        target = self.call("Target.createTarget", session=False, url="about:blank")
        attached = self.call("Target.attachToTarget", session=False,
                             targetId=target["targetId"], flatten=True)
        self.session = attached["sessionId"]
        self.call("Page.enable")
        self.call("Runtime.enable")
        self.call("Emulation.setDeviceMetricsOverride", width=1400, height=1100,
                  deviceScaleFactor=1, mobile=False)

    def evaluate(self, expression, await_promise=False):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=await_promise)
        if "exceptionDetails" in result:
            raise Failure("page: %s" % result["exceptionDetails"].get("text", "exception")
                          + " " + json.dumps(result["exceptionDetails"].get("exception", {}))[:300])
        return result["result"].get("value")

    def wait_for(self, expression, what):
        """Polls until the expression is truthy in the page."""
        end = time.monotonic() + PATIENCE_S
        while time.monotonic() < end:
            value = self.evaluate(expression)
            if value:
                return value
            failed = self.evaluate("window.velkorFailed || ''")
            if failed:
                raise Failure("the page says: " + failed)
            time.sleep(0.05)
        raise Failure("the page never got to " + what)

    def load(self, url):
        self.call("Page.navigate", url=url)
        self.wait_for("window.velkorReady === true", "a running panel (%s)" % url)

    def screenshot(self, path):
        rect = self.evaluate("(function () { var r = document.getElementById('canvas')"
                             ".getBoundingClientRect(); return [r.left + scrollX, r.top + scrollY,"
                             " r.width, r.height]; })()")
        if rect[2:] != list(CANVAS) or any(v != int(v) for v in rect[:2]):
            raise Failure("the canvas is shown at %s, not 1280 x 768 at whole pixels" % rect)
        shot = self.call("Page.captureScreenshot", format="png", captureBeyondViewport=True,
                         clip={"x": rect[0], "y": rect[1], "width": CANVAS[0],
                               "height": CANVAS[1], "scale": 1})
        with open(path, "wb") as out:
            out.write(base64.b64decode(shot["data"]))


# ---- The scenarios -----------------------------------------------------------

def frames_of(script_text, name):
    match = re.search(r"^# frames: (\d+)$", script_text, re.M)
    if not match:
        raise Failure("%s has no '# frames: N' line" % name)
    return int(match.group(1))


def run_native(native, script, frames, folder):
    slots = os.path.join(folder, "native_slots")
    os.makedirs(slots, exist_ok=True)
    done = subprocess.run(
        [os.path.join(native, "app", "velkor"), "--offscreen", "--renderer", "es2",
         "--frames", str(frames), "--events", script, "--snapshot",
         os.path.join(folder, "native.png"), "--state", os.path.join(folder, "native.json"),
         "--slot-dir", slots], capture_output=True, text=True, timeout=600)
    if done.returncode != 0:
        raise Failure("velkor --offscreen: " + done.stderr.strip())
    with open(os.path.join(folder, "native.json"), encoding="utf-8") as state:
        return state.read()


def play_in_page(browser, script_text, frames):
    answer = browser.evaluate(
        "Module.ccall('velkor_web_play', 'string', ['string', 'number'], [%s, %d])"
        % (json.dumps(script_text), frames))
    if answer is None or answer.startswith("error: "):
        raise Failure("the page refused the script: %s" % answer)
    return answer


def compare_pictures(native, folder):
    done = subprocess.run([os.path.join(native, "tools", "velkor-compare"),
                           os.path.join(folder, "native.png"), os.path.join(folder, "page.png")],
                          capture_output=True, text=True, timeout=120)
    return done.returncode == 0, (done.stdout + done.stderr).strip()


def fresh_page(browser, base):
    # Every scenario starts as the off-screen run does: no slot file, no
    # stored preference.
    browser.call("Storage.clearDataForOrigin", origin=base,
                 storageTypes="indexeddb,local_storage")
    browser.load(base + "/index.html?scripted")


def check_scenario(browser, base, native, name, script, scratch):
    folder = os.path.join(scratch, name)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(ROOT, script), encoding="utf-8") as source:
        text = source.read()
    frames = frames_of(text, script)
    expected = run_native(native, os.path.join(ROOT, script), frames, folder)
    fresh_page(browser, base)
    state = play_in_page(browser, text, frames)
    with open(os.path.join(folder, "page.json"), "w", encoding="utf-8") as out:
        out.write(state)
    problems = []
    if state != expected:
        problems.append("state differs from the desktop's (diff %s %s)" % (
            os.path.join(folder, "native.json"), os.path.join(folder, "page.json")))
    browser.screenshot(os.path.join(folder, "page.png"))
    agrees, figures = compare_pictures(native, folder)
    print("  %s: %s" % (name, figures))
    if not agrees:
        problems.append("the page's picture does not agree with the desktop's")
    return problems


def check_slot_survives_reload(browser, base, scratch):
    """The slot saved by slot_save_load is kept by the browser across a load."""
    with open(os.path.join(scratch, "slot_save_load", "native_slots", "slot3.csv"), "rb") as f:
        expected = f.read()
    # The page stores a changed slot on its own; wait until it has.
    browser.wait_for("window.velkorSlotsStored > 0", "storing the saved slot")
    browser.load(base + "/index.html?scripted")
    stored = browser.evaluate(
        "(function () { try { return Array.from(FS.readFile('/slots/slot3.csv')); }"
        " catch (e) { return null; } })()")
    if stored is None:
        return ["slot3.csv is gone after the page was loaded again"]
    if bytes(stored) != expected:
        return ["slot3.csv came back other than the desktop program wrote it"]
    listed = browser.evaluate("document.getElementById('slots').rows[2].cells[1].textContent")
    if "slot3.csv" not in listed:
        return ["the page does not list slot3.csv for download: %r" % listed]
    return []


def check_upload_loads(browser, base, native, scratch):
    """A slot file put in through the page's upload path is what LOAD reads."""
    folder = os.path.join(scratch, "upload")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(scratch, "slot_save_load", "native_slots", "slot3.csv"), "rb") as f:
        saved = f.read()
    fresh_page(browser, base)
    note = browser.evaluate(
        "new Promise(function (done) { window.velkorPutSlot(3, new Uint8Array(%s), done); })"
        % json.dumps(list(saved)), await_promise=True)
    if note:
        return ["the upload was refused: %s" % note]
    too_big = browser.evaluate(
        "new Promise(function (done) { window.velkorPutSlot(4, new Uint8Array(70000), done); })",
        await_promise=True)
    problems = []
    if not too_big or browser.evaluate(
            "(function () { try { FS.stat('/slots/slot4.csv'); return true; }"
            " catch (e) { return false; } })()"):
        problems.append("an upload over 64 KiB was taken")
    load = ("# LOAD from Slot 3.\n2 move 922 65\n3 click 922 65\n5 move @SlotComboBox\n"
            "6 click @SlotComboBox\n8 move @SlotComboBox+40,-55\n9 click @SlotComboBox+40,-55\n"
            "11 move @ROMLoadButton\n12 click @ROMLoadButton\n14 move 700 400\n")
    state = json.loads(play_in_page(browser, load, 17))
    if state.get("message") != "ROM geladen aus slot3.csv.":
        problems.append("LOAD after the upload says %r" % state.get("message"))
    return problems


REAL_INPUT_SCRIPT = """# The real-input check's actions as an event script.
# frames: 60
2 move 466 717
3 click 466 717
8 move @RegTextEditBox
9 click @RegTextEditBox
12 key End
13 key Backspace
14 key Backspace
15 key Backspace
16 key Backspace
17 key Backspace
18 key Backspace
19 type 0x1\u00e42
40 move 700 400
"""


def check_real_input(browser, base, native, scratch):
    """Mouse and keys from the browser, on a canvas the page has scaled, do
    what the same actions as an event script do off-screen: the register
    pop-up opened by a click, its box emptied by keys and "0x1\u00e42" typed
    (an umlaut among them) - the same state, and the same picture."""
    folder = os.path.join(scratch, "real_input")
    os.makedirs(folder, exist_ok=True)
    script = REAL_INPUT_SCRIPT
    path = os.path.join(folder, "script.events")
    with open(path, "w", encoding="utf-8") as out:
        out.write(script)
    expected = json.loads(run_native(native, path, 60, folder))
    fresh_page(browser, base)
    # Let the page fit the canvas to its width, as a student sees it.
    browser.evaluate("document.body.classList.remove('scripted')")
    rect = browser.evaluate("(function () { var r = document.getElementById('canvas')"
                            ".getBoundingClientRect(); return [r.left, r.top, r.width, r.height];"
                            " })()")
    scale = rect[2] / CANVAS[0]
    if abs(rect[3] / CANVAS[1] - scale) > 0.01 or abs(scale - 1.0) < 0.01:
        return ["the page did not scale the canvas keeping its aspect: %s" % rect]
    frames = [0]

    def play(count):
        play_in_page(browser, "", count)
        frames[0] += count

    def click(x, y):
        page_x = rect[0] + (x + 0.5) * scale
        page_y = rect[1] + (y + 0.5) * scale
        for kind in ("mouseMoved", "mousePressed", "mouseReleased"):
            browser.call("Input.dispatchMouseEvent", type=kind, x=page_x, y=page_y,
                         button="none" if kind == "mouseMoved" else "left",
                         buttons=1 if kind == "mouseReleased" else 0, clickCount=1)
        play(4)

    def widget(name):
        centre = browser.evaluate("Module.ccall('velkor_web_widget', 'string', ['string'], [%s])"
                                  % json.dumps(name))
        if not centre:
            raise Failure("%s is not drawn" % name)
        return [float(v) for v in centre.split()]

    def key(name, code):
        for kind in ("rawKeyDown", "keyUp"):
            browser.call("Input.dispatchKeyEvent", type=kind, key=name, code=name,
                         windowsVirtualKeyCode=code, nativeVirtualKeyCode=code)
        play(2)

    def type_text(text):
        for character in text:
            browser.call("Input.dispatchKeyEvent", type="keyDown", key=character,
                         text=character, unmodifiedText=character)
            browser.call("Input.dispatchKeyEvent", type="keyUp", key=character)
            play(2)

    play(2)
    click(466, 717)
    click(*widget("RegTextEditBox"))
    key("End", 35)
    for _ in range(6):
        key("Backspace", 8)
    type_text("0x1\u00e42")
    browser.call("Input.dispatchMouseEvent", type="mouseMoved", x=rect[0] + 700 * scale,
                 y=rect[1] + 400 * scale)
    got = json.loads(play_in_page(browser, "", 6))
    problems = []
    for field in ("registers", "popups", "message", "selection"):
        if got.get(field) != expected.get(field):
            problems.append("%s: page %r, off-screen %r" % (field, got.get(field),
                                                          expected.get(field)))
    if not got.get("popups", {}).get("register"):
        problems.append("the click on R4 did not open its pop-up")
    browser.evaluate("document.body.classList.add('scripted')")
    browser.screenshot(os.path.join(folder, "page.png"))
    agrees, figures = compare_pictures(native, folder)
    print("  real input: %s" % figures)
    if not agrees:
        problems.append("the typed text does not look as off-screen")
    # The rule allows a few hundred pixels; a lost umlaut changes fewer. The
    # same run without it must be clearly further from the page's picture.
    without = os.path.join(folder, "without_umlaut")
    os.makedirs(without, exist_ok=True)
    path = os.path.join(without, "script.events")
    with open(path, "w", encoding="utf-8") as out:
        out.write(script.replace("0x1\u00e42", "0x12"))
    run_native(native, path, 60, without)
    shutil.copy(os.path.join(folder, "page.png"), os.path.join(without, "page.png"))
    near = differing_pixels(figures)
    far = differing_pixels(compare_pictures(native, without)[1])
    if not far > 2 * near + 20:
        problems.append("the picture is as near to one without the umlaut (%d against %d "
                        "differing pixels)" % (far, near))
    return problems


def differing_pixels(figures):
    match = re.search(r"\((\d+) differ", figures)
    return int(match.group(1)) if match else -1


def check_no_webgl_message(base, scratch):
    """A browser without WebGL gets the page's German message, not a blank."""
    browser = Browser(tempfile.mkdtemp(prefix="velkor-chromium-", dir=scratch),
                      ["--disable-3d-apis"])
    try:
        browser.open_page()
        browser.call("Page.navigate", url=base + "/index.html")
        # The page's message, or the page loaded without one (wait_for would
        # take the message itself for a failure).
        end = time.monotonic() + PATIENCE_S
        message = ""
        while not message and time.monotonic() < end:
            message = browser.evaluate(
                "window.velkorFailed || (document.readyState === 'complete' ? '(none)' : '')")
            time.sleep(0.05)
        shown = browser.evaluate("getComputedStyle(document.getElementById('message')).display")
        if "WebGL" not in message or shown == "none":
            return ["no WebGL message shown (%r, display %s)" % (message, shown)]
        if browser.evaluate("typeof Module !== 'undefined'"):
            return ["the program was loaded all the same"]
        return []
    finally:
        browser.close()


def figures(browser, base, site):
    raw = 0
    packed = 0
    for name in sorted(os.listdir(site)):
        with open(os.path.join(site, name), "rb") as f:
            data = f.read()
        raw += len(data)
        packed += len(gzip.compress(data, 9))
    print("  folder: %d bytes, %d bytes gzip (-9), %d files" % (raw, packed,
                                                                len(os.listdir(site))))
    browser.call("Storage.clearDataForOrigin", origin=base,
                 storageTypes="indexeddb,local_storage")
    browser.call("Page.navigate", url=base + "/index.html")
    first = browser.wait_for("window.velkorFirstFrameMs", "its first frame")
    print("  page load to first frame: %.0f ms" % first)
    # Idle: the panel at rest for two seconds of animation frames.
    browser.evaluate("Module.ccall('velkor_web_frame_times', 'string', [], [])")
    time.sleep(2.0)
    idle = browser.evaluate("Module.ccall('velkor_web_frame_times', 'string', [], [])").split()
    print("  script time per frame at rest, cycle from animation frames: idle %.3f ms "
          "(%s frames)" % (float(idle[0]), idle[2]))
    fresh_page(browser, base)
    with open(os.path.join(ROOT, "tests/web/scenes/twelve_steps.events"), encoding="utf-8") as f:
        text = f.read()
    browser.evaluate("Module.ccall('velkor_web_frame_times', 'string', [], [])")
    play_in_page(browser, text, frames_of(text, "twelve_steps"))
    times = browser.evaluate("Module.ccall('velkor_web_frame_times', 'string', [], [])").split()
    print("  script time per frame, twelve steps played: idle %.3f ms (%s frames), busy %.3f ms "
          "(%s frames)" % (float(times[0]), times[2], float(times[1]), times[3]))


def main():
    if len(sys.argv) < 3:
        print(__doc__.strip().splitlines()[-2], file=sys.stderr)
        return 2
    site = os.path.abspath(sys.argv[1])
    native = os.path.abspath(sys.argv[2])
    for needed in (os.path.join(site, "index.html"), os.path.join(site, "velkor.js"),
                   os.path.join(site, "velkor.wasm"), os.path.join(native, "app", "velkor"),
                   os.path.join(native, "tools", "velkor-compare")):
        if not os.path.exists(needed):
            print("web-test: %s is missing (make web, and the desktop build)" % needed,
                  file=sys.stderr)
            return 2
    scratch = sys.argv[3] if len(sys.argv) > 3 else tempfile.mkdtemp(prefix="velkor-web-")
    os.makedirs(scratch, exist_ok=True)
    profile = tempfile.mkdtemp(prefix="velkor-chromium-", dir=scratch)
    server = serve(site)
    base = "http://127.0.0.1:%d" % server.server_address[1]
    browser = Browser(profile)
    passed = 0
    failed = 0

    def judge(name, check):
        nonlocal passed, failed
        try:
            problems = check()
        except Failure as failure:
            problems = [str(failure)]
        if problems:
            failed += 1
            print("FAILED %s: %s" % (name, "; ".join(problems)))
        else:
            passed += 1
            print("ok %s" % name)

    try:
        browser.open_page()
        for name, script in SCENARIOS:
            judge(name, functools.partial(check_scenario, browser, base, native, name, script,
                                          scratch))
            if name == "slot_save_load":
                # Before the next scenario clears the browser's storage.
                judge("slot_kept_across_reload",
                      functools.partial(check_slot_survives_reload, browser, base, scratch))
        judge("real_input_on_a_scaled_canvas",
              functools.partial(check_real_input, browser, base, native, scratch))
        judge("no_webgl_message", functools.partial(check_no_webgl_message, base, scratch))
        judge("slot_upload_loads",
              functools.partial(check_upload_loads, browser, base, native, scratch))
        if os.environ.get("VELKOR_WEB_FIGURES", "1") != "0":
            try:
                figures(browser, base, site)
            except Failure as failure:
                print("figures not taken: %s" % failure)
    finally:
        browser.close()
        server.shutdown()
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
