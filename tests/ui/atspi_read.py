#!/usr/bin/env python3
"""atspi_read.py APP: reads the game window over the AT-SPI bus, as a screen
reader does (inside dbus-run-session, on an X display): the figures by name
with their texts, the controls' roles, the charts' descriptions, and a new
figure announced after Forward. Exit 0 when all holds, 1 with the reasons,
77 (skipped) without pyatspi or the bus."""
import os
import subprocess
import sys
import time

try:
    import pyatspi
    from gi.repository import GLib
except ImportError as e:
    print(f"skipped: {e}")
    sys.exit(77)

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def read_figures(app):
    figures = {}
    for line in app.stdout:
        line = line.rstrip("\n")
        if line == "ready":
            continue
        key, _, text = line.partition(" ")
        figures[key] = text
        if key == "lblDay":
            return figures
    raise SystemExit("the window ended before it showed its figures")


def find_application(name, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            a = desktop.getChildAtIndex(i)
            if a is not None and a.name == name:
                return a
        time.sleep(0.2)
    return None


def walk(node, depth=0):
    """Every object under node: (object, name, role name, text)."""
    if node is None or depth > 30:
        return
    text = None
    try:
        t = node.queryText()
        text = t.getText(0, t.characterCount)
    except NotImplementedError:
        pass
    yield node, node.name, node.getRoleName(), text
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def main():
    env = dict(os.environ, QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    app = subprocess.Popen([sys.argv[1]], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, env=env)
    try:
        figures = read_figures(app)
        window = find_application("Pellucar")
        if window is None:
            print("skipped: the window never appeared on the accessibility bus")
            return 77
        tree = list(walk(window))
        # A caption and its figure share a name; the figure is the one with text.
        by_name = {}
        for obj, name, role, text in tree:
            if name not in by_name or (by_name[name][2] is None and text is not None):
                by_name[name] = (obj, role, text)

        # The figures: named by their captions, their texts the figures shown.
        for name, key in (("Oil quote", "lblOilCurrMark"), ("Account Value", "lblEq"), ("Weekday", "lblDay")):
            found = by_name.get(name)
            check(found is not None, f"no object named {name!r}")
            if found:
                check(found[1] == "label", f"{name!r} is a {found[1]}, not a label")
                check(found[2] == figures[key], f"{name!r} reads {found[2]!r}, the window shows {figures[key]!r}")
        # The controls: what they are.
        for name, role in (("Forward", "push button"), ("Trade", "push button"), ("Trade History", "push button")):
            found = by_name.get(name)
            check(found is not None and found[1] == role, f"{name!r}: {found[1] if found else 'missing'}, not {role}")
        # The charts: named, and described with market, kind and last values.
        charts = [(n, obj.description) for obj, n, role, _ in tree if n.endswith(" chart")]
        check(len(charts) == 2, f"charts found: {charts}")
        for name, description in charts:
            check(description.startswith("Oil, ") and ": " in description,
                  f"{name!r} is described as {description!r}")

        # A new figure is announced: Forward, and the quote's text changes.
        quote = by_name.get("Oil quote", (None,))[0]
        heard = []

        def on_text(event):
            if event.source == quote and event.any_data:
                heard.append(event.any_data)
                pyatspi.Registry.stop()

        def press_forward():
            app.stdin.write("forward\n")
            app.stdin.flush()
            return False

        pyatspi.Registry.registerEventListener(on_text, "object:text-changed:insert")
        GLib.timeout_add(300, press_forward)
        GLib.timeout_add(10000, lambda: pyatspi.Registry.stop() or False)
        pyatspi.Registry.start()
        after = read_figures(app)
        check(after["lblOilCurrMark"] != figures["lblOilCurrMark"], "Forward did not change the Oil quote")
        check(after["lblOilCurrMark"] in heard, f"heard {heard}, the window shows {after['lblOilCurrMark']!r}")
    finally:
        try:
            app.stdin.write("quit\n")
            app.stdin.flush()
        except (BrokenPipeError, ValueError):
            pass
        try:
            app.wait(timeout=10)
        except subprocess.TimeoutExpired:
            # Its leave-taking of the bus can wait on a reader that no
            # longer listens; what was read is what counts.
            app.kill()

    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
