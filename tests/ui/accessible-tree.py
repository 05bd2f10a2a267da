#!/usr/bin/python3
# Usage: accessible-tree.py PID
# Prints what a screen reader finds in the windows of process PID, one
# accessible a line: role, role of its parent, name, screen x, y, width and
# height, and 1 when it is selected, tab-separated.
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi


def visit(accessible, parent_role):
    role = accessible.get_role_name()
    # An application has no place on the screen, and asking for one warns.
    box = None if role == "application" else accessible.get_extents(Atspi.CoordType.SCREEN)
    selected = accessible.get_state_set().contains(Atspi.StateType.SELECTED)
    name = (accessible.get_name() or "").replace("\t", " ").replace("\n", " ")
    place = [box.x, box.y, box.width, box.height] if box else [0, 0, 0, 0]
    print("\t".join([role, parent_role, name] + [str(n) for n in place] +
                     ["1" if selected else "0"]))
    for i in range(accessible.get_child_count()):
        child = accessible.get_child_at_index(i)
        if child is not None:
            visit(child, role)


def main():
    pid = int(sys.argv[1])
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        application = desktop.get_child_at_index(i)
        if application is not None and application.get_process_id() == pid:
            visit(application, "")


main()
