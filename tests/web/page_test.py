#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""The browser's program as a user meets it: serves the page's folder on this machine's loopback
and opens it in chromium, headless, driven through its WebDriver. Once under an English and once
under a German browser language (whose decimal comma the program must take from the browser
unasked), it turns the page's screen-reader support on, as a screen reader's user does, and by
keyboard alone: presses Calculate on the empty sheet and closes the message with Enter; types the
worked example with one figure mistyped and presses Calculate, closes the message that names the
field, types the figure again straight into the field it puts the caret back in, and presses
Calculate; reads the 30 results back through the browser's accessibility tree, by what each cell
says it holds, and each field there by its caption with the figure it holds; presses Print and reads the PDF the page hands over: one page of the paper of the
language's country, the window on it at its true size with every caption, input and result as
text. The console
must show no error, from the page's loading to the end.

Then as a phone, upright and on its side, and as a tablet, each with a touch screen (Chromium's
device emulation): every file the page loads asked for with the build's version; all 105
controls on the screen, and again once the screen is turned, with their texts kept; the worked
example typed, the first weight on a keyboard straight after the start (the caret starts in Big
End 1), every other one as a soft keyboard sends it after a tap on its field, and Calculate
tapped: the 30 results; the fields ask for the number keypad, a button for none, and nothing on
the page moves; the example typed once more, zoomed in twice as close (as two fingers may), with
one tap on Big End 1 and the keypad's "next" after each weight: the 30 results again; the web
app manifest with its icons; and, the network gone, the page starting again from what the
service worker kept.

Usage: page_test.py SITE_FOLDER [--screenshot FILE]

--screenshot keeps the page on the desktop in FILE, and as each device shows it with the
results in FILE-phone, FILE-phone-side and FILE-tablet (FILE's suffix after each)."""
import argparse
import json
import pathlib
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

here = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(here.parent / "accessibility"))
from worked_example import RESULTS, fields, results, spoken, typed  # noqa: E402
import harness  # noqa: E402

TITLE = "Torvane - Quillon Assistant"
EMPTY_MESSAGE = "All values must be entered"
FIRST_FIELD = "Bigend1"  # Big End 1's object name
MISTYPED = ("Big End 3", "29x")
MISTYPED_MESSAGE = 'Big End 3: "29x" is not a number.'
PRINTED = f"{TITLE}.pdf"

failures = []


def check(what, ok, detail=""):
    print(f"{'ok' if ok else 'FAIL'}: {what}{f' ({detail})' if detail and not ok else ''}")
    if not ok:
        failures.append(what)
    return ok


def wait_for(what, find, seconds=30.0):
    deadline = time.monotonic() + seconds
    while True:
        found = find()
        if found or time.monotonic() > deadline:
            return found
        time.sleep(0.1)


def browser(language, downloads):
    driver = harness.browser(f"--lang={language}", prefs={"intl.accept_languages": language},
                             console=True)
    driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                           {"behavior": "allow", "downloadPath": str(downloads)})
    return driver


class Console:
    """What the page wrote to the browser's console, kept as it is read."""

    def __init__(self, driver):
        self.driver = driver
        self.entries = []
        self.told = 0

    def read(self):
        self.entries += self.driver.get_log("browser")
        return self.entries

    def errors(self):
        return [e["message"] for e in self.read() if e["level"] == "SEVERE"]

    def new_errors(self):
        """The errors not yet told, the first three of them in full."""
        errors = self.errors()[self.told:]
        self.told += len(errors)
        return "; ".join(errors[:3]) + (f" and {len(errors) - 3} more" if len(errors) > 3 else "")


def accessible_nodes(driver):
    """The browser's accessibility tree: (role, name, description, value) of every node."""
    def text(node, key):
        return str(node.get(key, {}).get("value", ""))
    tree = driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})
    return [(text(n, "role"), text(n, "name"), text(n, "description"), text(n, "value"))
            for n in tree["nodes"] if not n.get("ignored")]


def said(driver, words):
    """Whether a node of the accessibility tree says the words."""
    return any(words in name or words in value for _, name, _, value in accessible_nodes(driver))


def cells(driver):
    """What each result cell says, by what it holds: its name as the window gives it."""
    found = {}
    for _, name, description, value in accessible_nodes(driver):
        if description in RESULTS:
            found[description] = value or name
    return found


# The page's part that holds the program's screen, in which the program keeps, under each of
# its controls, the element its screen-reader support made for it.
SCREEN = ("document.getElementById('screen').querySelector('#qt-shadow-container')"
          "?.shadowRoot")


def turn_on_screen_reader_support(driver):
    """Presses the page's hidden button for screen readers, as a screen reader's user does."""
    return driver.execute_script(f"""
        const button = [...({SCREEN})?.querySelectorAll('button') ?? []]
            .find(b => b.innerText === 'Enable Screen Reader');
        button?.click();
        return button !== undefined;""")


def control(driver, name):
    """The element under the control of the given object name, where the control is."""
    return driver.execute_script(f"return ({SCREEN})?.querySelector(`[id$='.${{arguments[0]}}']`)",
                                 name)


def keys(driver, *typed):
    ActionChains(driver).send_keys(*typed).perform()


def close_message(driver, console, message):
    shown = wait_for(message, lambda: said(driver, message), 15)
    check(f"the message says {message!r}", shown)
    keys(driver, Keys.ENTER)
    time.sleep(0.5)
    errors = console.new_errors()
    check("the program lives on after the message", not errors, errors)


def judge_page(pdf, decimal):
    """The page judged as the print tests judge it (tests/print/page.sh): every caption, input
    and result as text, with figures in the language's number format; one page, with the
    window on it at its true size and the balance figures red. Each check counts as one here."""
    with tempfile.TemporaryDirectory() as scratch:
        judged = subprocess.run(
            ["bash", "-c", 'source "$0/checks.sh" && source "$0/print/page.sh" &&'
             ' page_check_text "the page holds every caption, input and result as text"'
             ' "$1" "$2"; page_check_window "$1" "$3/page"; exit "${failures:-1}"',
             str(here.parent), str(pdf), decimal, scratch],
            capture_output=True, text=True)
    print(judged.stdout, end="")
    told = [line[len("FAIL: "):] for line in judged.stdout.splitlines()
            if line.startswith("FAIL: ")]
    failures.extend(told)
    if judged.returncode != 0 and not told:
        check("the print tests' judge of the page runs", False, judged.stderr.strip())


def printed_page(driver, downloads, decimal, letter):
    pdf = downloads / PRINTED
    keys(driver, Keys.TAB, Keys.TAB, Keys.SPACE)  # Calculate, Clear, Print
    if not check("Print hands the browser the window as a PDF",
                 wait_for("the PDF", lambda: pdf.exists() and pdf.stat().st_size > 0, 20)):
        return
    info = subprocess.run(["pdfinfo", str(pdf)], capture_output=True, text=True).stdout
    paper = "(letter)" if letter else "(A4)"
    check(f"the page is {paper[1:-1]}", paper in info, info)
    judge_page(pdf, decimal)


def run(site_url, language, decimal, letter, screenshot):
    print(f"== The page under {language}")
    with tempfile.TemporaryDirectory() as folder:
        downloads = pathlib.Path(folder)
        driver = browser(language, downloads)
        console = Console(driver)
        try:
            driver.get(site_url)
            check("the page is titled as the window", driver.title == TITLE, driver.title)
            started = wait_for("the program", lambda: turn_on_screen_reader_support(driver), 60)
            if not check("the program starts, with its screen-reader support", started):
                return
            first = wait_for("the fields", lambda: control(driver, FIRST_FIELD), 15)
            if not check("the screen-reader support shows the fields", first is not None):
                return
            errors = console.new_errors()
            check("the page loads with no error in the console", not errors, errors)

            # The caret into the first field, then Shift+Tab back round to Calculate.
            ActionChains(driver).move_to_element(first).click().key_down(Keys.SHIFT).send_keys(
                Keys.TAB, Keys.TAB, Keys.TAB).key_up(Keys.SHIFT).send_keys(Keys.SPACE).perform()
            close_message(driver, console, EMPTY_MESSAGE)

            # The worked example by keyboard, one figure mistyped, and Calculate.
            ActionChains(driver).move_to_element(first).click().perform()
            typing = fields(decimal)
            for name, text in typing:
                typed = MISTYPED[1] if name == MISTYPED[0] else text
                keys(driver, typed, Keys.TAB)
            keys(driver, Keys.SPACE)
            close_message(driver, console, MISTYPED_MESSAGE)
            # The caret is back in the field at fault, its text selected: typing replaces it.
            at_fault = [n for n, _ in typing].index(MISTYPED[0])
            keys(driver, dict(typing)[MISTYPED[0]], *[Keys.TAB] * (len(typing) - at_fault),
                 Keys.SPACE)

            want = {d: f"{d}, {spoken(figure)}" for d, figure in results(decimal).items()}
            got = wait_for("the results", lambda: (lambda c: c if c == want else None)(
                cells(driver)), 15) or cells(driver)
            for description in RESULTS:
                print(f"  {description:30} {got.get(description, '(not found)')}")
            check("the 30 results read back through the accessibility tree", got == want,
                  sorted(set(want.items()) - set(got.items())))
            named = {name: value for role, name, _, value in accessible_nodes(driver)
                     if role == "textbox"}
            check("every field is named by its caption, with its figure, in the tree",
                  all(named.get(name) == text for name, text in typing),
                  sorted(set(typing) - set(named.items())))
            if screenshot:
                driver.save_screenshot(screenshot)
                print(f"  the page: {screenshot}")

            printed_page(driver, downloads, decimal, letter)
            check("no error in the console to the end", not console.errors(),
                  f"{len(console.errors())} errors")
        finally:
            told = [e for e in console.read() if e["level"] != "INFO"]
            for entry in told[:10]:
                print(f"  console {entry['level']}: {entry['message']}")
            if len(told) > 10:
                print(f"  console: {len(told) - 10} more")
            driver.quit()


# name, CSS width and height, device pixels per CSS pixel, and the screenshot's suffix
DEVICES = [("phone, upright", 390, 844, 3, "phone"), ("phone, on its side", 844, 390, 3,
            "phone-side"), ("tablet", 768, 1024, 2, "tablet")]
KEYPAD = "document.querySelector('body > input')"  # the element Qt types through


def cdp(driver, command, **parameters):
    return driver.execute_cdp_cmd(command, parameters)


def hold(driver, width, height, scale):
    """The browser as a device with a touch screen of the given size, turned as its shape is."""
    turned = width > height
    cdp(driver, "Emulation.setDeviceMetricsOverride", width=width, height=height,
        deviceScaleFactor=scale, mobile=True, screenWidth=width, screenHeight=height,
        screenOrientation={"type": "landscapePrimary" if turned else "portraitPrimary",
                           "angle": 90 if turned else 0})


def on_screen(driver, element):
    """The element's box as the screen shows it: (left, top, right, bottom) in the screen's
    CSS pixels, whatever the page's layout width and zoom."""
    return driver.execute_script("""
        const box = arguments[0].getBoundingClientRect(), view = visualViewport;
        return [box.left, box.top, box.right, box.bottom].map((at, i) =>
            (at - (i % 2 ? view.offsetTop : view.offsetLeft)) * view.scale);""", element)


def tap(driver, element):
    """A finger on the element's middle (the protocol's points are the page's CSS pixels from
    the top left of what the screen shows)."""
    x, y = driver.execute_script("""
        const box = arguments[0].getBoundingClientRect(), view = visualViewport;
        return [(box.left + box.right) / 2 - view.offsetLeft,
                (box.top + box.bottom) / 2 - view.offsetTop];""", element)
    cdp(driver, "Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y}])
    cdp(driver, "Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])
    time.sleep(0.2)


def type_softly(driver, text):
    cdp(driver, "Input.insertText", text=text)


def type_keys(driver, text):
    for key in text:
        cdp(driver, "Input.dispatchKeyEvent", type="keyDown", key=key, text=key)
        cdp(driver, "Input.dispatchKeyEvent", type="keyUp", key=key)


def next_key(driver):
    for kind in ("keyDown", "keyUp"):
        cdp(driver, "Input.dispatchKeyEvent", type=kind, key="Enter", code="Enter",
            windowsVirtualKeyCode=13, text="\r" if kind == "keyDown" else "")


def keypad(driver):
    return driver.execute_script(f"""const input = {KEYPAD};
        return [input?.inputMode, input?.enterKeyHint];""")


def whole_sheet_shown(driver, width, height):
    """Every one of the window's 105 controls (by the elements the screen-reader support puts
    under its fields, buttons and labels) within the screen."""
    controls = driver.execute_script(f"""return [...({SCREEN}).querySelectorAll(
        '[id^="QApplication.Form1."]')].filter(e => e.matches('input, textarea, button'));""")
    outside = [c.get_attribute("id") for c in controls if not all(
        -0.5 <= at <= limit + 0.5 for at, limit in zip(on_screen(driver, c), (width, height) * 2))]
    check(f"all 105 controls on the {width} x {height} screen",
          len(controls) == 105 and not outside, f"{len(controls)} controls; outside: {outside}")


def wait_for_results(driver, want):
    return wait_for("the results", lambda: (lambda c: c if c == want else None)(
        cells(driver)), 15) or cells(driver)


def check_manifest(driver, base):
    manifest = cdp(driver, "Page.getAppManifest")
    check("the manifest reads with no error", manifest.get("data") and not manifest.get(
        "errors"), manifest.get("errors"))
    data = json.loads(manifest.get("data") or "{}")
    icons = {(i.get("sizes"), i.get("purpose", "any")): i["src"] for i in data.get("icons", [])}
    check("the manifest: name, short name, standalone, colours",
          data.get("name") == TITLE and data.get("short_name") and data.get("display") ==
          "standalone" and data.get("theme_color") and data.get("background_color"), data)
    for sizes, purpose in (("192x192", "any"), ("512x512", "any"), ("512x512", "maskable")):
        src = icons.get((sizes, purpose), "")
        with urllib.request.urlopen(urllib.parse.urljoin(base, src)) as answer:
            png = answer.read(24)
        size = "x".join(str(int.from_bytes(png[at:at + 4], "big")) for at in (16, 20))
        check(f"the {purpose} icon at {sizes}", png.startswith(b"\x89PNG") and size == sizes,
              f"{src}: {size}")


def run_touch(folder, device, screenshot):
    name, width, height, scale, suffix = device
    print(f"== The page on a {name}, {width} x {height}, by touch")
    server = harness.serve(folder)
    url = f"http://127.0.0.1:{server.server_address[1]}/"
    with tempfile.TemporaryDirectory() as downloads:
        driver = browser("en-US", downloads)
        console = Console(driver)
        try:
            hold(driver, width, height, scale)
            cdp(driver, "Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
            driver.get(url)
            if not check("the program starts", wait_for(
                    "the program", lambda: turn_on_screen_reader_support(driver), 60)):
                return
            wait_for("the fields", lambda: control(driver, FIRST_FIELD), 15)
            loaded = driver.execute_script("""return performance.getEntriesByType('resource')
                .map(e => e.name).filter(name => name.startsWith(location.origin))
                .map(name => [name, name.endsWith(`?v=${version}`)]);""")
            check("every file the page loads carries the build's version",
                  any("/torvane.wasm?" in name for name, _ in loaded)
                  and all(versioned for _, versioned in loaded), loaded)
            whole_sheet_shown(driver, width, height)
            want = {d: f"{d}, {spoken(figure)}" for d, figure in results(".").items()}

            # Straight after the start, the first weight on a keyboard; each other one after
            # a tap, as the soft keyboard sends it.
            typing = typed(".")
            type_keys(driver, typing[0][1])
            for field, text in typing[1:]:
                tap(driver, control(driver, field))
                type_softly(driver, text)
            check("a field asks for the number keypad", keypad(driver)[0] == "decimal",
                  keypad(driver))
            tap(driver, control(driver, "Calcbutton"))
            check("Calculate asks for no keyboard", keypad(driver)[0] == "none", keypad(driver))
            check("the first weight typed at the start, the others after a tap: the 30 results",
                  wait_for_results(driver, want) == want)
            if screenshot:
                shot = pathlib.Path(screenshot)
                shot = str(shot.with_name(f"{shot.stem}-{suffix}{shot.suffix}"))
                driver.save_screenshot(shot)
                print(f"  the page: {shot}")
            moved = driver.execute_script(
                "return [scrollX, scrollY, document.scrollingElement.scrollLeft,"
                " document.scrollingElement.scrollTop, visualViewport.offsetLeft,"
                " visualViewport.offsetTop]")
            check("nothing on the page moved", not any(moved), moved)

            # The screen turned: the window fitted again, its texts kept.
            hold(driver, height, width, scale)
            time.sleep(1)
            whole_sheet_shown(driver, height, width)
            check("the results kept as the screen turns", cells(driver) == want)
            hold(driver, width, height, scale)
            time.sleep(1)

            # Clear, then zoomed in twice as close, as two fingers would (Qt keeps the browser's
            # gestures off its screen, the page lets them back in); one tap on Big End 1 and
            # "next" after each weight; Calculate tapped at the whole sheet again.
            tap(driver, control(driver, "Clearbutton"))
            gestures = driver.execute_script(
                f"return getComputedStyle(({SCREEN}).querySelector('.qt-window-contents'))"
                ".touchAction")
            check("two fingers may zoom the window", gestures == "pinch-zoom", gestures)
            zoom = 2 * driver.execute_script("return visualViewport.scale")
            cdp(driver, "Emulation.setPageScaleFactor", pageScaleFactor=zoom)
            time.sleep(0.5)
            tap(driver, control(driver, FIRST_FIELD))
            check("a field's keypad offers \"next\"", keypad(driver) == ["decimal", "next"],
                  keypad(driver))
            for _, text in typing:
                type_softly(driver, text)
                next_key(driver)
            cdp(driver, "Emulation.resetPageScaleFactor")
            time.sleep(0.5)
            tap(driver, control(driver, "Calcbutton"))
            check(f"zoomed in ({zoom:.2f}), one tap and \"next\" after each weight: "
                  "the 30 results", wait_for_results(driver, want) == want)

            check_manifest(driver, url)
            errors = console.new_errors()
            check("no error in the console", not errors, errors)

            # The network gone: the page starts from what the service worker kept.
            check("the service worker has kept the page", driver.execute_async_script(
                """const done = arguments[0];
                navigator.serviceWorker.ready.then(() => done(true));
                setTimeout(() => done(false), 20000);"""))
            harness.offline(driver)
            server.shutdown()
            server.server_close()
            driver.refresh()
            check("offline, the page starts again", wait_for(
                "the program", lambda: turn_on_screen_reader_support(driver), 60))
        finally:
            server.shutdown()
            told = [e for e in console.read() if e["level"] != "INFO"]
            for entry in told[:10]:
                print(f"  console {entry['level']}: {entry['message']}")
            driver.quit()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("site")
    parser.add_argument("--screenshot")
    arguments = parser.parse_args()
    server = harness.serve(pathlib.Path(arguments.site).resolve())
    url = f"http://127.0.0.1:{server.server_address[1]}/"
    try:
        run(url, "en-US", ".", True, arguments.screenshot)
        run(url, "de-DE", ",", False, None)
    finally:
        server.shutdown()
    for device in DEVICES:
        run_touch(pathlib.Path(arguments.site).resolve(), device, arguments.screenshot)
    if failures:
        sys.exit(f"page test: {len(failures)} failure(s): " + "; ".join(failures))
    print("page test: every check passed")


main()
