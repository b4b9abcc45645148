"""What a screen reader sees of the program, read through AT-SPI, and the keys a
user presses, sent through the X server.

Each read takes a fresh snapshot of the program's accessible tree, so a check never
compares against a half-updated object.
"""

import subprocess

import pyatspi


class Node:
    """One accessible object as it was when the snapshot was taken."""

    def __init__(self, role, name, states, labels, text, children):
        self.role = role
        self.name = name
        self.states = states
        self.labels = labels  # names of the objects it is labelled by
        self.text = text  # the text of an editable or read-only text object
        self.children = children

    def has(self, state):
        return state in self.states

    def walk(self):
        yield self
        for child in self.children:
            yield from child.walk()

    def find_all(self, role=None, name=None, showing=True):
        return [node for node in self.walk()
                if (role is None or node.role == role) and (name is None or node.name == name)
                and (not showing or node.has("showing"))]

    def find(self, role, name=None):
        found = self.find_all(role, name)
        return found[0] if found else None

    def cells(self):
        return [child for child in self.children if child.role == "table cell"]

    def lines(self):
        return [cell.name for cell in self.cells()]

    def selected_lines(self):
        return [index for index, cell in enumerate(self.cells()) if cell.has("selected")]

    def describe(self):
        return f"{self.role} {self.name!r} [{', '.join(sorted(self.states))}]"


def _snapshot(accessible):
    states = set()
    for state in accessible.getState().getStates():
        states.add(pyatspi.stateToString(state))
    labels = []
    for relation in accessible.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for index in range(relation.getNTargets()):
                target = relation.getTarget(index)
                if target is not None:
                    labels.append(target.name)
    role = accessible.getRoleName()
    text = None
    if role == "text":
        try:
            text = accessible.queryText().getText(0, -1)
        except NotImplementedError:
            text = None
    children = [_snapshot(child) for child in accessible if child is not None]
    return Node(role, accessible.name, states, labels, text, children)


class Screen:
    def __init__(self, pid):
        self.pid = pid

    def application(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.pid:
                return app
        return None

    def tree(self):
        app = self.application()
        if app is None:
            return None
        app.clear_cache()
        return _snapshot(app)

    def windows(self):
        """The program's shown top-level windows (frames, dialogs, message boxes)."""
        tree = self.tree()
        if tree is None:
            return []
        return [window for window in tree.children if window.has("showing")]

    def window(self, name):
        for window in self.windows():
            if window.name == name:
                return window
        return None

    def active_window(self):
        for window in self.windows():
            if window.has("active"):
                return window
        return None

    def extents(self, window_name, table_name):
        """A shown list's place on screen and its rows', as (x, y, width, height),
        read live: ((list), [rows]), or None."""
        app = self.application()
        if app is None:
            return None
        app.clear_cache()

        def box(accessible):
            e = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            return (e.x, e.y, e.width, e.height)
        for window in app:
            if window is None or window.name != window_name:
                continue
            for table in pyatspi.findAllDescendants(
                    window, lambda a: a.getRoleName() == "table" and a.name == table_name):
                return box(table), [box(cell) for cell in table
                                    if cell is not None and cell.getRoleName() == "table cell"]
        return None

    def focused(self):
        """The control that has the keyboard focus in the active window (for a list,
        the list itself rather than its focused line), or None."""
        window = self.active_window()
        if window is None:
            return None
        found = [node for node in window.walk()
                 if node.has("focused") and node.role != "table cell"]
        return found[-1] if found else None


def press(*keys):
    subprocess.run(["xdotool", "key", "--delay", "60", *keys], check=True, timeout=20)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "30", text], check=True, timeout=30)


def focus_window(window):
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True, timeout=20)


def clipboard():
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True,
                            timeout=10)
    return result.stdout.decode("utf-8") if result.returncode == 0 else None
