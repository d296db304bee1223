#!/usr/bin/env python3
"""Lists the entries of Qt translation catalogues (.ts) that still wait for
a translator: texts that are new in the sources or whose source changed
(both unfinished), and plural entries with an empty form. Entries of texts
that went away (vanished, obsolete) are not listed.

usage: unfinished-translations.py CATALOGUE.ts...
Prints one line per entry, "context: text", and exits with 1 when any
catalogue has one, else 0.
"""
import sys
import xml.etree.ElementTree as ET

GONE = ("vanished", "obsolete")


def waiting(message):
    translation = message.find("translation")
    if translation is None:
        return True
    kind = translation.get("type")
    if kind in GONE:
        return False
    if kind == "unfinished":
        return True
    if message.get("numerus") == "yes":
        forms = translation.findall("numerusform")
        return not forms or any(not (f.text or "").strip() for f in forms)
    return False


def one_line(text):
    return (text or "").replace("\\", "\\\\").replace("\n", "\\n")


def main(paths):
    found = 0
    for path in paths:
        entries = []
        for context in ET.parse(path).getroot().iter("context"):
            name = context.findtext("name", "")
            for message in context.iter("message"):
                if waiting(message):
                    entries.append(f"  {name}: \"{one_line(message.findtext('source'))}\"")
        if entries:
            print(f"{path}: {len(entries)} text(s) new or unfinished:")
            print("\n".join(entries))
        found += len(entries)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
