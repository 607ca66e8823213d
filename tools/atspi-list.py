#!/usr/bin/python3
"""Lists every focusable control of a running Tarnwick's windows as a screen
reader sees them through AT-SPI: role, name, the labels it is read with and
description. With --press NAME it presses the button of that name first
(through AT-SPI too), with --type NAME=TEXT it types into the field of that
name. Exit status 1 when a focusable control has no name.

Used by tools/check-accessibility.sh; needs python3-pyatspi."""

import argparse
import sys
import time

import pyatspi


def find_app(name, timeout):
    deadline = time.time() + timeout
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name and app.name.lower() == name:
                return app
        time.sleep(0.2)
    sys.exit(f"atspi-list: no application '{name}' on the accessibility bus")


def walk(node, depth=0):
    yield node, depth
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def find_named(app, name, roles):
    for node, _ in walk(app):
        if node.name == name and node.getRoleName() in roles and showing(node):
            return node
    return None


def press(app, name):
    node = find_named(app, name, {"push button", "button", "toggle button", "radio button"})
    if node is None:
        sys.exit(f"atspi-list: no button '{name}'")
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click", "SetFocus") or i == 0:
            action.doAction(i)
            return
    sys.exit(f"atspi-list: '{name}' cannot be pressed")


def type_into(app, name, text):
    node = find_named(app, name, {"text", "entry", "editbar"})
    if node is None:
        sys.exit(f"atspi-list: no field '{name}'")
    editable = node.queryEditableText()
    editable.setTextContents(text)


def labels(node):
    """The names of the labels a screen reader reads a control with."""
    names = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for i in range(relation.getNTargets()):
                target = relation.getTarget(i)
                if target is not None and target.name:
                    names.append(target.name)
    return names


def listing(app):
    unnamed = 0
    lines = []
    for window in app:
        if window is None or not showing(window):
            continue
        lines.append(f"window '{window.name}' ({window.getRoleName()})")
        for node, depth in walk(window):
            state = node.getState()
            if not state.contains(pyatspi.STATE_FOCUSABLE) or not showing(node):
                continue
            flags = [] if state.contains(pyatspi.STATE_ENABLED) else ["disabled"]
            if state.contains(pyatspi.STATE_FOCUSED):
                flags.append("focused")
            name = node.name or ""
            if not name.strip():
                unnamed += 1
                name = "!!! NO NAME !!!"
            line = f"  {node.getRoleName():<14} {name!r}"
            read_with = [n for n in labels(node) if n != name]
            if read_with:
                line += f"  (label {', '.join(map(repr, read_with))})"
            if node.description:
                line += f"  -- {node.description}"
            if flags:
                line += f"  [{', '.join(flags)}]"
            lines.append(line)
    return lines, unnamed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", default="tarnwick")
    parser.add_argument("--title", default="", help="heading of this listing")
    # Actions run in the order given.
    parser.add_argument("--press", dest="actions", action="append", type=lambda v: ("press", v), default=[])
    parser.add_argument("--type", dest="actions", action="append", type=lambda v: ("type", v))
    parser.add_argument("--wait", type=float, default=1.0, help="seconds after the last action")
    args = parser.parse_args()
    app = find_app(args.app, 20)
    for kind, value in args.actions:
        if kind == "type":
            name, text = value.split("=", 1)
            type_into(app, name, text)
        else:
            press(app, value)
            time.sleep(args.wait)
    time.sleep(args.wait)
    lines, unnamed = listing(app)
    print(f"== {args.title}")
    print("\n".join(lines))
    print(f"   {unnamed} focusable control(s) without a name")
    return 1 if unnamed else 0


if __name__ == "__main__":
    sys.exit(main())
