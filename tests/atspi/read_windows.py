#!/usr/bin/python3
"""What a screen reader (Orca reads through AT-SPI as this does) finds in the running program: the
accessible names of the main window's and the search window's controls and links, the player
lamp's state in words, and the verse shown, read line by line."""
import sys
import time

import pyatspi


def wait_for(find, what, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        found = find()
        if found:
            return found
        time.sleep(0.25)
    sys.exit(f"atspi: {what} did not appear")


def program():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name and app.name.lower().startswith("velmora"):
            return app
    return None


def window(app, title_start):
    for frame in app:
        if frame is not None and frame.name.startswith(title_start):
            return frame
    return None


def walk(node, into):
    into.append(node)
    for child in node:
        if child is not None:
            walk(child, into)
    return into


def names(frame):
    return {(n.name, n.description) for n in walk(frame, []) if n.name}


def by_name(frame, name):
    for node in walk(frame, []):
        if node.name == name:
            return node
    sys.exit(f"atspi: nothing named {name!r} in {frame.name!r}")


def expect(found, wanted, where):
    missing = [w for w in wanted if w not in {name for name, _ in found}]
    if missing:
        sys.exit(f"atspi: {where} lacks {missing}; it has {sorted(n for n, _ in found)[:80]}...")


app = wait_for(program, "the program")
main = wait_for(lambda: window(app, "Velmora ("), "the main window")
found = names(main)
expect(found, ["Verses in this surah", "Find Surah...", "Bookmarks...", "Note...", "All", "Languages...",
               "Reading view...", "About...", "Play", "Pause", "Stop", "Arabic", "M. Pickthall",
               "The verses shown"], "the main window")
# A list box is named by the caption that labels it, as Orca names it.
labels = set()
for node in walk(main, []):
    if node.getRole() == pyatspi.ROLE_COMBO_BOX:
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                labels.add(relation.getTarget(0).name)
wanted = {"Select", "Recite from Verse #", "to Verse #", "Pause between verses", "Saved reciting schemes"}
if not wanted <= labels:
    sys.exit(f"atspi: list boxes without their captions: {sorted(wanted - labels)}")
lamp = [n for n in walk(main, []) if n.name.endswith(" status")]
if not lamp or lamp[0].description not in ("no player", "stopped", "playing", "paused"):
    sys.exit("atspi: the player lamp tells nothing in words")
lamp = lamp[0]
find_surah = by_name(main, "Find Surah...")
if not find_surah.getState().contains(pyatspi.STATE_FOCUSABLE):
    sys.exit("atspi: the link Find Surah... takes no focus")

# The verse shown, read a line at a time as a screen reader reads it.
text = by_name(main, "The verses shown").queryText()
lines = []
offset = 0
starts = set()
while offset < text.characterCount and len(lines) < 40:
    line, start, end = text.getTextAtOffset(offset, pyatspi.TEXT_BOUNDARY_LINE_START)
    if start not in starts:
        starts.add(start)
        lines.append(line.strip())
    offset = max(end, offset) + 1  # a line's end may be its last character or the next line's start
arabic = [line for line in lines if any("\u0600" <= c <= "\u06ff" for c in line)]
if not arabic:
    sys.exit(f"atspi: no Arabic line is read in the display: {lines}")
print("atspi: the main window names", len(found), "things; lamp:", lamp.description)
print("atspi: the display reads", len(lines), "lines; the first Arabic one:", arabic[0])

# The search window, opened as a screen reader's user opens it: the button's own action.
search = by_name(main, "Search ...")
search.queryAction().doAction(0)
form3 = wait_for(lambda: window(app, "Search the Quran"), "the search window")
found = names(form3)
expect(found, ["Go !", "Search results", "Complete text", "Reset usage", "M. Pickthall", "Arabic (Quran)"],
       "the search window")
if not any(description.startswith("Words, or 'a phrase'") for _, description in found):
    sys.exit("atspi: the query box is not described")
print("atspi: the search window names", len(found), "things")
