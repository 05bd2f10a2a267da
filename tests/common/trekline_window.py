"""The real Trekline window as a screen reader sees it: started under the
test's X display and D-Bus session, found through AT-SPI, driven by AT-SPI
actions and by real key events (xdotool)."""

import os
import shutil
import signal
import subprocess
import tempfile
import time

import pyatspi

PATIENCE = 20.0


def start_accessibility_bus():
    """Brings the session's accessibility bus up before any program starts:
    a program whose toolkit starts while the bus launcher does may find the
    display refused."""
    pyatspi.Registry.getDesktop(0).childCount
    time.sleep(0.5)


start_accessibility_bus()


def wait_until(done, what, patience=PATIENCE, seen=None):
    """Polls `done` until it is true; on giving up, says what `seen` shows."""
    deadline = time.monotonic() + patience
    while True:
        result = done()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError("gave up waiting for " + what +
                                 ("; seen: %r" % (seen(),) if seen else ""))
        time.sleep(0.05)


def walk(accessible):
    """The object and everything below it, depth first."""
    yield accessible
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def relation_targets(accessible, relation_type):
    for relation in accessible.getRelationSet():
        if relation.getRelationType() == relation_type:
            return [relation.getTarget(i) for i in range(relation.getNTargets())]
    return []


def read_only_command(path, command):
    """The command run with `path` read-only, for root too: as root in a
    mount namespace of its own with the path bound read-only over itself,
    otherwise with its write permission taken away (and given back by
    make_writable)."""
    if os.geteuid() != 0:
        mode = os.stat(path).st_mode
        os.chmod(path, mode & ~0o222)
        return command
    return ["unshare", "--mount", "sh", "-c",
            'mount --bind -o ro "$0" "$0" && exec "$@"', path] + command


def make_writable(path):
    if os.path.exists(path):
        os.chmod(path, os.stat(path).st_mode | 0o200)


class FakeOpener:
    """A directory for the PATH with an xdg-open that records what it is
    asked to open and ends with the given status; without one when status
    is None."""

    def __init__(self, status=0):
        self.directory = tempfile.mkdtemp(prefix="trekline-path-")
        self.log = os.path.join(self.directory, "opened")
        if status is not None:
            script = os.path.join(self.directory, "xdg-open")
            with open(script, "w") as out:
                out.write('#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s"\nexit %d\n'
                          % (self.log, status))
            os.chmod(script, 0o755)

    def opened(self):
        try:
            with open(self.log) as log:
                return log.read().splitlines()
        except FileNotFoundError:
            return []

    def remove(self):
        shutil.rmtree(self.directory, ignore_errors=True)


class Window:
    """Trekline started with `command` (the program and its arguments) in
    `directory`; ended when the test is done with it."""

    def __init__(self, command, directory, environment=None):
        env = dict(os.environ)
        env.update(environment or {})
        self.process = subprocess.Popen(command, cwd=directory, env=env,
                                        stderr=subprocess.PIPE, text=True)
        self.frame = wait_until(self._find_frame, "the Trekline window")
        self.x_window = wait_until(self._find_x_window, "the window's X id")
        wait_until(lambda: self.find("push button", "Add"), "the form")

    def _find_frame(self):
        if self.process.poll() is not None:
            raise AssertionError("trekline ended: " + self.process.stderr.read())
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is None or app.get_process_id() != self.process.pid:
                continue
            for j in range(app.childCount):
                frame = app.getChildAtIndex(j)
                if frame is not None and frame.name.startswith("Trekline from "):
                    return frame
        return None

    def _find_x_window(self):
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                              "^Trekline from "], capture_output=True, text=True).stdout.split()
        for window in ids:
            pid = subprocess.run(["xdotool", "getwindowpid", window],
                                 capture_output=True, text=True).stdout.strip()
            if pid == str(self.process.pid) or not pid:
                return window
        return None

    def close(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGKILL)
        self.process.wait()
        return self.process.stderr.read()

    def objects(self):
        self.frame.clear_cache()
        return list(walk(self.frame))

    def find(self, role, name=None, showing=True):
        for accessible in self.objects():
            if accessible.getRoleName() != role:
                continue
            if name is not None and accessible.name != name:
                continue
            if showing and not accessible.getState().contains(pyatspi.STATE_SHOWING):
                continue
            return accessible
        return None

    def get(self, role, name=None):
        found = self.find(role, name)
        if found is None:
            raise AssertionError("no %s named %r" % (role, name))
        return found

    def press(self, name):
        """Presses the push button of that name through AT-SPI."""
        self.get("push button", name).queryAction().doAction(0)

    def text(self, role, name):
        text = self.get(role, name).queryText()
        return text.getText(0, text.characterCount)

    def keys(self, *keys):
        subprocess.run(["xdotool", "windowfocus", "--sync", self.x_window], check=True)
        subprocess.run(["xdotool", "key", "--delay", "50"] + list(keys), check=True)

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "50", text], check=True)

    def focused(self):
        for accessible in self.objects():
            if accessible.getState().contains(pyatspi.STATE_FOCUSED):
                return accessible
        return None

    def notice(self):
        """The text of the notice line, when one shows."""
        found = self.find("notification")
        return found.name if found is not None else None

    def geometry(self):
        """The frame's size and where each control lies in the window."""
        size = self.frame.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
        places = {"frame": (size.width, size.height)}
        for accessible in self.objects():
            # The notice takes the version line's place; both stay put.
            if accessible.getRoleName() in ("notification", "filler"):
                continue
            if accessible.name.startswith("Trekline - v"):
                continue
            if not accessible.getState().contains(pyatspi.STATE_SHOWING):
                continue
            box = accessible.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
            key = (accessible.getRoleName(), accessible.name)
            places[key] = (box.x, box.y, box.width, box.height)
        return places

    def rows(self):
        table = self.get("table", "Step Data:")
        return [i for i in range(table.childCount)
                if table.getChildAtIndex(i).getRoleName() == "table cell"]

    def list_texts(self):
        table = self.get("table", "Step Data:")
        return [table.getChildAtIndex(i).name for i in self.rows()]

    def select_row(self, row):
        self.get("table", "Step Data:").querySelection().selectChild(self.rows()[row])


def directory_bytes(directory):
    """Every file in the directory by name, with its bytes."""
    files = {}
    for name in sorted(os.listdir(directory)):
        path = os.path.join(directory, name)
        if os.path.isfile(path):
            with open(path, "rb") as data:
                files[name] = data.read()
    return files
