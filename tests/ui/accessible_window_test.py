"""The real window through a screen reader's eyes (AT-SPI) and the keyboard
alone: names, roles and relations, the up-down control, mnemonics, the
notices of failed commands and dates typed the user's way.

Run under an X display and a D-Bus session:
    dbus-run-session -- python3 accessible_window_test.py <trekline>"""

import datetime
import os
import shutil
import struct
import sys
import tempfile
import unittest

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "common"))
import trekline_window as tw  # noqa: E402

PROGRAM = None


def record(identifier, steps, year, month, day, weekday):
    """A diary record as the program stores it: the count, the date as a
    SYSTEMTIME with the time zeroed (weekday 0 is Sunday), the identifier."""
    return struct.pack("<IHHHHHHHHI", steps, year, month, weekday, day, 0, 0, 0, 0, identifier)


def diary(*records):
    return b"".join(records)


class WindowTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.mkdtemp(prefix="trekline-window-")
        # The settings the windows keep are the test's own, never the user's.
        self.settings_home = tempfile.mkdtemp(prefix="trekline-settings-")
        self.windows = []
        self.openers = []

    def tearDown(self):
        for window in self.windows:
            window.close()
        for opener in self.openers:
            opener.remove()
        tw.make_writable(self.directory)
        shutil.rmtree(self.directory, ignore_errors=True)
        shutil.rmtree(self.settings_home, ignore_errors=True)

    def write(self, name, data):
        with open(os.path.join(self.directory, name), "wb") as out:
            out.write(data)

    def opener(self, status=0):
        opener = tw.FakeOpener(status)
        self.openers.append(opener)
        return opener

    def start(self, read_only=None, opener=None, environment=None):
        command = [PROGRAM]
        if read_only is not None:
            command = tw.read_only_command(os.path.join(self.directory, read_only), command)
        env = {"XDG_CONFIG_HOME": self.settings_home}
        env.update(environment or {})
        if opener is not None:
            # Without an xdg-open of its own, none at all.
            has_own = os.path.exists(os.path.join(opener.directory, "xdg-open"))
            env["PATH"] = opener.directory + (":/usr/bin:/bin" if has_own else "")
        window = tw.Window(command, self.directory, env)
        self.windows.append(window)
        return window


class NamesAndRelationsTest(WindowTest):
    def test_every_control_is_named_and_labelled_by_its_label(self):
        window = self.start()
        # role, name, the label it is labelled by (None: no label)
        controls = [
            ("text", "Number of steps:", "Number of steps:"),
            ("panel", "Number of steps:", "Number of steps:"),  # the up-down control
            ("push button", "Increase steps", None),
            ("push button", "Decrease steps", None),
            ("panel", "Date:", "Date:"),
            ("text", "Date:", "Date:"),  # the entry inside the date picker
            ("push button", "Add", None),
            ("table", "Step Data:", "Step Data:"),
            ("push button", "Delete", None),
            ("push button", "Save HTML Report", None),
            ("text", "Step length (cm)", "Step length (cm)"),
            ("check box", "Draw values in graph", None),
            ("push button", "Help", None),
            ("push button", "Overview", None),
        ]
        for role, name, label in controls:
            with self.subTest(control=(role, name)):
                control = window.get(role, name)
                targets = tw.relation_targets(control, pyatspi.RELATION_LABELLED_BY)
                if label is None:
                    continue
                self.assertEqual([t.name for t in targets], [label])
                self.assertEqual(targets[0].getRoleName(), "label")
                # The label points back at the control itself.
                back = tw.relation_targets(targets[0], pyatspi.RELATION_LABEL_FOR)
                self.assertIn(control, back)

        version = window.get("label", "Trekline - v1.01 (c) 2026 The Trekline developers")
        self.assertEqual(tw.relation_targets(version, pyatspi.RELATION_LABEL_FOR), [])
        self.assertEqual(tw.relation_targets(window.get("push button", "Help"),
                                             pyatspi.RELATION_LABELLED_BY), [])
        # Nothing a screen reader lands on is left without a name.
        for accessible in window.objects():
            state = accessible.getState()
            if state.contains(pyatspi.STATE_FOCUSABLE) and state.contains(pyatspi.STATE_SHOWING):
                self.assertNotEqual(accessible.name, "", accessible.getRoleName())

    def test_the_up_down_control_works_through_atspi_alone(self):
        window = self.start()
        for button, expected in [("Increase steps", "2"), ("Increase steps", "3"),
                                 ("Decrease steps", "2")]:
            window.press(button)
            tw.wait_until(lambda: window.text("text", "Number of steps:") == expected,
                          "%s to give %s" % (button, expected))
        # The arrows are not in the way of Tab.
        for name in ("Increase steps", "Decrease steps"):
            state = window.get("push button", name).getState()
            self.assertFalse(state.contains(pyatspi.STATE_FOCUSABLE), name)


class MnemonicsTest(WindowTest):
    def test_each_mnemonic_works_from_the_keyboard(self):
        self.write("data.steps", diary(record(1, 950, 2006, 4, 3, 1)))
        opener = self.opener()
        window = self.start(opener=opener)
        steps_file = os.path.join(self.directory, "data.steps")

        # key, what has the focus afterwards (role, name)
        for key, role, name in [("alt+n", "text", "Number of steps:"),
                                ("alt+d", "text", "Date:"),
                                ("alt+l", "text", "Step length (cm)")]:
            with self.subTest(key=key):
                window.keys(key)
                tw.wait_until(lambda: (lambda f: f is not None and f.getRoleName() == role
                                       and f.name == name)(window.focused()),
                              key + " to focus " + name)

        check = window.get("check box", "Draw values in graph")
        window.keys("alt+v")
        tw.wait_until(lambda: check.getState().contains(pyatspi.STATE_CHECKED), "alt+v")

        window.keys("alt+a")
        tw.wait_until(lambda: os.path.getsize(steps_file) == 48, "alt+a to add")

        tw.wait_until(lambda: len(window.list_texts()) == 2, "the new row")
        window.select_row(0)
        window.keys("alt+e")
        tw.wait_until(lambda: os.path.getsize(steps_file) == 24, "alt+e to delete")

        window.keys("alt+s")
        tw.wait_until(lambda: any(p.endswith("/out.html") for p in opener.opened()),
                      "alt+s to open the report")
        window.keys("alt+h")
        tw.wait_until(lambda: any(p.endswith("/index.html") for p in opener.opened()),
                      "alt+h to open the help")
        self.assertIsNone(window.notice())


class NoticeTest(WindowTest):
    """Each failure shows its notice in the bottom line, where a screen reader
    finds it, without moving anything and without changing a file."""

    def check_notice(self, window, act, notice):
        before_places = window.geometry()
        before_files = tw.directory_bytes(self.directory)
        act(window)
        tw.wait_until(lambda: window.notice() == notice, "the notice %r" % notice,
                      seen=window.notice)
        found = window.get("notification", notice)
        self.assertTrue(found.getState().contains(pyatspi.STATE_SHOWING))
        self.assertEqual(window.geometry(), before_places)
        self.assertEqual(tw.directory_bytes(self.directory), before_files)

    def test_a_read_only_diary_says_so_on_add_and_on_delete(self):
        # command, how it is given, the notice, the call named on standard error
        cases = [
            ("Add", lambda w: w.press("Add"),
             "data.steps is read-only: the entry was not added.", "appending to"),
            ("Delete", lambda w: (w.select_row(0), w.press("Delete")),
             "data.steps is read-only: the entry was not deleted.", "deleting from"),
        ]
        for command, act, notice, call in cases:
            with self.subTest(command=command):
                self.write("data.steps", diary(record(1, 950, 2006, 4, 3, 1)))
                window = self.start(read_only="data.steps")
                tw.wait_until(lambda: len(window.list_texts()) == 1, "the list")
                self.check_notice(window, act, notice)
                errors = window.close()
                self.windows.remove(window)
                self.assertRegex(errors, r"trekline: %s \S*data\.steps: .* \(errno \d+\)"
                                 % call)
                tw.make_writable(os.path.join(self.directory, "data.steps"))

    def test_a_read_only_directory_says_so_at_start_and_on_add(self):
        window = self.start(read_only=".")
        directory = os.path.realpath(self.directory)
        tw.wait_until(lambda: window.notice() is not None, "a notice at start")
        self.assertEqual(window.notice(), "The directory %s is read-only: the diary can be "
                         "neither shown nor kept." % directory)
        self.check_notice(window, lambda w: w.press("Add"),
                          "The directory %s is read-only: the entry was not added." % directory)
        self.assertEqual(os.listdir(self.directory), [])

    def test_a_report_nobody_can_open_says_where_it_is(self):
        cases = [
            ("no xdg-open", None, "No program to open out.html was found: the report is "
                                  "saved in %s."),
            ("xdg-open failing", 4, "The program that opens out.html failed (xdg-open ended "
                                    "with status 4): the report is saved in %s."),
        ]
        for case, status, notice in cases:
            with self.subTest(case=case):
                self.write("data.steps", diary(record(1, 950, 2006, 4, 3, 1)))
                window = self.start(opener=self.opener(status))
                tw.wait_until(lambda: len(window.list_texts()) == 1, "the list")
                window.press("Save HTML Report")
                tw.wait_until(lambda: os.path.exists(os.path.join(self.directory, "out.html")),
                              "the report")
                tw.wait_until(lambda: window.notice() is not None, "the notice")
                self.assertEqual(window.notice(), notice % os.path.realpath(self.directory))
                # The next command takes the notice away.
                before = window.geometry()
                window.press("Increase steps")
                window.press("Help")
                tw.wait_until(lambda: window.notice() is None or window.notice() != notice,
                              "the notice to go")
                self.assertEqual(window.geometry(), before)
                window.close()
                self.windows.remove(window)


class RememberedSettingsTest(WindowTest):
    def test_the_step_length_and_the_box_outlive_the_window(self):
        window = self.start()
        check = window.get("check box", "Draw values in graph")
        # A first start shows the defaults.
        self.assertEqual(window.text("text", "Step length (cm)"), "100")
        self.assertFalse(check.getState().contains(pyatspi.STATE_CHECKED))

        window.keys("alt+l", "ctrl+a")
        window.type("75")
        window.keys("alt+v")
        tw.wait_until(lambda: check.getState().contains(pyatspi.STATE_CHECKED), "the tick")
        tw.wait_until(lambda: window.text("text", "Step length (cm)") == "75", "75 typed")
        # Killed, not closed: the settings were kept as they changed.
        window.close()
        self.windows.remove(window)
        self.assertTrue(os.path.isfile(os.path.join(self.settings_home, "trekline.conf")))

        again = self.start()
        self.assertEqual(again.text("text", "Step length (cm)"), "75")
        self.assertTrue(again.get("check box", "Draw values in graph").getState()
                        .contains(pyatspi.STATE_CHECKED))


class OverviewTest(WindowTest):
    def test_the_overviews_figures_are_read_with_what_they_are(self):
        # Figures under a thousand read the same in every locale.
        with open(os.path.join(self.settings_home, "trekline.conf"), "w") as out:
            out.write("DailyGoal=800\n")
        today = datetime.datetime.now(datetime.timezone.utc).date()
        self.write("data.steps", diary(record(1, 600, today.year, today.month, today.day,
                                              today.isoweekday() % 7)))
        window = self.start(environment={"TZ": "UTC0"})
        window.keys("alt+o")
        app = window.frame.parent

        def overview():
            for i in range(app.childCount):
                frame = app.getChildAtIndex(i)
                if frame is not None and frame.name == "Trekline Overview":
                    return frame
            return None

        frame = tw.wait_until(overview, "the overview")

        def names():
            frame.clear_cache()
            return {a.name for a in tw.walk(frame) if a.getRoleName() == "label"}

        for name in ["Today: 600 of 800 steps (75%)", "This week, steps: 600",
                     "Last 30 days, steps a day: 20", "Current streak: 0 days",
                     "Goal days of the last 30: 0 of 30"]:
            with self.subTest(figure=name):
                tw.wait_until(lambda: name in names(), name, seen=names)
        # The chart tells the highlighted bar, today's, as its description.
        chart = next(a for a in tw.walk(frame) if a.name == "Steps a day chart")
        self.assertTrue(chart.description.endswith(": 600 steps"), chart.description)


class GermanDatesTest(WindowTest):
    def test_a_german_date_is_typed_and_stored(self):
        window = self.start(environment={"LANG": "de_DE.UTF-8", "LC_ALL": ""})
        self.assertRegex(window.text("text", "Date:"), r"^\d\d\.\d\d\.\d{4}$")
        window.keys("alt+d", "ctrl+a")
        window.type("24.12.2026")
        window.keys("alt+a")
        steps_file = os.path.join(self.directory, "data.steps")
        tw.wait_until(lambda: os.path.exists(steps_file) and os.path.getsize(steps_file) == 24,
                      "the entry")
        with open(steps_file, "rb") as data:
            self.assertEqual(data.read(), record(1, 1, 2026, 12, 24, 4))
        self.assertEqual(window.list_texts(), ["Date: 2026.12.24, steps: 1"])

    def test_the_files_are_the_same_in_every_locale(self):
        made = {}
        for lang in ("C", "de_DE.UTF-8"):
            self.write("data.steps", diary(record(1, 950, 2006, 4, 3, 1),
                                           record(2, 12000, 2006, 4, 5, 3)))
            opener = self.opener()
            window = self.start(opener=opener, environment={"LANG": lang, "LC_ALL": ""})
            # Ticked in the first run, the box is remembered for the second.
            check = window.get("check box", "Draw values in graph")
            if not check.getState().contains(pyatspi.STATE_CHECKED):
                check.queryAction().doAction(0)
            window.press("Save HTML Report")
            tw.wait_until(lambda: opener.opened(), "the report under " + lang)
            made[lang] = (window.list_texts(), tw.directory_bytes(self.directory))
            window.close()
            self.windows.remove(window)
        self.assertEqual(made["C"], made["de_DE.UTF-8"])
        self.assertEqual(made["C"][0], ["Date: 2006.04.03, steps: 950",
                                        "Date: 2006.04.05, steps: 12000"])


if __name__ == "__main__":
    PROGRAM = sys.argv.pop(1)
    unittest.main(verbosity=2)
