#!/usr/bin/env python3
"""Parses a listing strictly and prints selected values as JSON, one a line.

usage: check_document.py json FILE [PATH...]   PATH: dotted keys, numbers index arrays
       check_document.py xml FILE [QUERY...]   QUERY: ElementPath@attribute, or
                                               ElementPath#count
Exits with status 1 and a message when the document does not parse.
"""
import json
import sys
import xml.etree.ElementTree as ET


def reject_constant(name):
    raise ValueError("not a JSON value: " + name)


def unique_keys(pairs):
    keys = [k for k, _ in pairs]
    if len(keys) != len(set(keys)):
        raise ValueError("duplicate key in " + repr(keys))
    return dict(pairs)


def json_values(path, queries):
    with open(path, "rb") as f:
        text = f.read().decode("utf-8")
    doc = json.loads(text, parse_constant=reject_constant, object_pairs_hook=unique_keys)
    for query in queries:
        value = doc
        for key in query.split("."):
            value = value[int(key)] if isinstance(value, list) else value[key]
        print(json.dumps(value))


def xml_values(path, queries):
    root = ET.parse(path).getroot()
    for query in queries:
        if "#" in query:
            print(len(root.findall(query.split("#")[0])))
            continue
        where, attribute = query.rsplit("@", 1)
        element = root if where == "." else root.find(where)
        print(json.dumps(element.get(attribute)))


def main():
    kind, path, queries = sys.argv[1], sys.argv[2], sys.argv[3:]
    try:
        (json_values if kind == "json" else xml_values)(path, queries)
    except Exception as error:  # any parse or lookup failure fails the check
        print("invalid: %s" % error)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
