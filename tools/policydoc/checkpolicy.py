#!/usr/bin/env python3
"""Checks the Group Policy templates against the settings table.

    checkpolicy.py ZEVRNTPS.admx ZEVRNTPS.adml ROWS.json

ROWS.json is the table as `policydoc --rows` writes it, field by field. The
templates are read with Python's XML parser; every policy must write a value
of the table with its type, bounds and items, in the key the library reads,
and every value with a fixed key must have its policy. Prints each fault and
exits 1 when there is one.
"""
import json
import re
import sys
import xml.etree.ElementTree as ET

NS = "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"
Q = "{%s}" % NS
REFERENCE = re.compile(r"^\$\((string|presentation)\.([A-Za-z0-9_]+)\)$")

faults = []


def fault(text):
    faults.append(text)


def library_key(row):
    if row["absolute"]:
        return row["key"]
    return ("Software" if row["hive"] == "user" else "SOFTWARE") + "\\ZEVR\\CC\\1.0\\" + row["key"]


def policy_key(row):
    # The 32-bit library reads HKLM\SOFTWARE through the 32-bit view.
    if row["hive"] == "machine" and not row["absolute"]:
        return "SOFTWARE\\WOW6432Node\\ZEVR\\CC\\1.0\\" + row["key"]
    return library_key(row)


def value_of(holder):
    """The decimal (int) or string (str) child of a value holder."""
    children = list(holder)
    if len(children) != 1:
        return None
    child = children[0]
    if child.tag == Q + "decimal":
        return int(child.get("value"))
    if child.tag == Q + "string":
        return child.text or ""
    return None


def check_references(admx, strings, presentations):
    used = set()
    for element in admx.iter():
        if not element.tag.startswith(Q):
            fault("element %s outside the ADMX namespace" % element.tag)
        for attribute, text in element.attrib.items():
            if "$(" not in text:
                continue
            match = REFERENCE.match(text)
            if match is None:
                fault("malformed reference %s in %s" % (text, attribute))
                continue
            table = strings if match.group(1) == "string" else presentations
            if match.group(2) not in table:
                fault("%s does not resolve" % text)
            used.add((match.group(1), match.group(2)))
    for name in strings:
        if ("string", name) not in used:
            fault("string %s is never used" % name)
    for name in presentations:
        if ("presentation", name) not in used:
            fault("presentation %s is never used" % name)


def reference(text):
    match = REFERENCE.match(text or "")
    return match.group(2) if match else None


CONTROLS = {
    "decimal": "decimalTextBox",
    "enum": "dropdownList",
    "text": "textBox",
    "multiText": "multiTextBox",
}
ELEMENTS = {
    "list": "decimal",
    "clamped": "decimal",
    "number": "decimal",
    "choice": "enum",
    "codes": "enum",
    "mask": "enum",
    "text": "text",
    "hosts": "multiText",
}


def check_enum(name, row, element):
    values = []
    for item in element.findall(Q + "item"):
        holder = item.find(Q + "value")
        value = value_of(holder) if holder is not None else None
        if value is None:
            fault("%s: an item without one decimal or string value" % name)
            continue
        if isinstance(value, int) != (row["type"] == "REG_DWORD"):
            fault("%s: item %r is not a %s" % (name, value, row["type"]))
        values.append(value)
    if len(set(values)) != len(values):
        fault("%s: items repeat" % name)
    choices = [c["number"] if c["text"] is None else c["text"] for c in row["choices"]]
    if row["kind"] == "choice" and values != choices:
        fault("%s: items %r, the table's choices %r" % (name, values, choices))
    if row["kind"] == "mask":
        for value in values:
            if not row["minimum"] <= value <= row["maximum"]:
                fault("%s: mask %r outside %d..%d" % (name, value, row["minimum"], row["maximum"]))
    if row["kind"] == "codes":
        # What the page stores: its first code, and at most one other.
        first = choices[0]
        for value in values:
            if (
                len(value) > row["maximum"]
                or any(code not in choices for code in value)
                or value.count(first) != 1
                or len(value) > 2
                or len(set(value)) != len(value)
            ):
                fault("%s: %r is no order the page stores" % (name, value))
    return values


def check_presentation(name, row, element, values, resources):
    presentation = resources.get(name)
    if presentation is None:
        return
    controls = list(presentation)
    if len(controls) != 1:
        fault("%s: %d controls for one element" % (name, len(controls)))
        return
    control = controls[0]
    kind = element.tag[len(Q):]
    if control.tag != Q + CONTROLS[kind] or control.get("refId") != element.get("id"):
        fault("%s: control %s for %s %s" % (name, control.tag, kind, element.get("id")))
    if kind == "decimal" and control.get("defaultValue") is not None:
        if int(control.get("defaultValue")) != row["default"]:
            fault("%s: default %s, the table's %d" % (name, control.get("defaultValue"), row["default"]))
    if kind == "enum" and control.get("defaultItem") is not None:
        index = int(control.get("defaultItem"))
        expected = row["default"] if row["type"] == "REG_DWORD" else row["defaultText"]
        if index >= len(values) or values[index] != expected:
            fault("%s: default item %d is not the table's default" % (name, index))


def check_policy(policy, rows, resources, categories, covered):
    name = policy.get("name")
    key = policy.get("key")
    if reference(policy.get("explainText")) is None or reference(policy.get("displayName")) is None:
        fault("%s: no display name or explain text" % name)
    parent = policy.find(Q + "parentCategory")
    if parent is None or parent.get("ref") not in categories:
        fault("%s: no category" % name)
    elements = policy.find(Q + "elements")
    element = None
    if policy.get("valueName") is not None:
        if elements is not None:
            fault("%s: a value of its own and elements" % name)
        value_name = policy.get("valueName")
    else:
        children = list(elements) if elements is not None else []
        if len(children) != 1:
            fault("%s: %d elements" % (name, len(children)))
            return
        element = children[0]
        value_name = element.get("valueName")
        if element.get("key") not in (None, key):
            fault("%s: element writes another key" % name)
    row = rows.get((key.lower(), (value_name or "").lower()))
    if row is None or row["writeOnly"]:
        fault("%s: %s\\%s is no value of the table" % (name, key, value_name))
        return
    covered.append(row)
    if policy.get("class") != ("User" if row["hive"] == "user" else "Machine"):
        fault("%s: class %s for the %s hive" % (name, policy.get("class"), row["hive"]))
    if key != policy_key(row):
        fault("%s: key %s, the library reads %s" % (name, key, policy_key(row)))
    if element is None:
        enabled = policy.find(Q + "enabledValue")
        disabled = policy.find(Q + "disabledValue")
        if row["kind"] != "flag" or row["type"] != "REG_DWORD":
            fault("%s: an on/off policy for a %s %s" % (name, row["kind"], row["type"]))
        elif enabled is None or disabled is None or value_of(enabled) != 1 or value_of(disabled) != 0:
            fault("%s: a flag's policy must write 1 and 0" % name)
        return
    kind = element.tag[len(Q):]
    if ELEMENTS.get(row["kind"]) != kind:
        fault("%s: %s element for a %s value" % (name, kind, row["kind"]))
        return
    if policy.find(Q + "enabledValue") is not None or policy.find(Q + "disabledValue") is not None:
        fault("%s: enabled or disabled value beside an element" % name)
    values = []
    if kind == "decimal":
        # Both bounds explicit: the element's own maximum is 9999.
        bounds = (element.get("minValue"), element.get("maxValue"))
        if bounds != (str(row["minimum"]), str(row["maximum"])) or row["type"] != "REG_DWORD":
            fault("%s: bounds %r, the table's %d..%d" % (name, bounds, row["minimum"], row["maximum"]))
        if element.get("storeAsText") == "true":
            fault("%s: number stored as text" % name)
    elif kind == "enum":
        values = check_enum(name, row, element)
    elif kind in ("text", "multiText"):
        expected = "REG_SZ" if kind == "text" else "REG_MULTI_SZ"
        if row["type"] != expected or element.get("expandable") == "true":
            fault("%s: %s element for a %s" % (name, kind, row["type"]))
        if element.get("maxLength") != str(row["maximum"]):
            fault("%s: maxLength %s, the table's %d" % (name, element.get("maxLength"), row["maximum"]))
    presentation = reference(policy.get("presentation"))
    if presentation is None:
        fault("%s: no presentation" % name)
    else:
        check_presentation(presentation, row, element, values, resources)


def check_lists(policy, rows, written):
    """Values written along with an on/off policy: the table's write-only ones."""
    seen = {}
    for side in ("enabledList", "disabledList"):
        holder = policy.find(Q + side)
        for item in holder.findall(Q + "item") if holder is not None else []:
            row = rows.get(((item.get("key") or "").lower(), (item.get("valueName") or "").lower()))
            value = value_of(item.find(Q + "value"))
            if row is None or not row["writeOnly"] or item.get("key") != policy_key(row):
                fault("%s: %s lists %s, no write-only value" % (policy.get("name"), side, item.get("valueName")))
                continue
            if value not in [c["number"] for c in row["choices"]]:
                fault("%s: %s writes %r, not one of the table's" % (policy.get("name"), side, value))
            # The sheet writes the first choice while enabled, the second otherwise.
            expected = row["choices"][0 if side == "enabledList" else 1]["number"]
            if value != expected:
                fault("%s: %s writes %r, the sheet %r" % (policy.get("name"), side, value, expected))
            seen.setdefault(row["name"], []).append(value)
            written.append(row)
    for name, values in seen.items():
        if len(values) != 2 or values[0] == values[1]:
            fault("%s: %s needs one value when enabled and another when disabled" % (policy.get("name"), name))


def main():
    admx_path, adml_path, rows_path = sys.argv[1:4]
    try:
        admx = ET.parse(admx_path).getroot()
        adml = ET.parse(adml_path).getroot()
    except ET.ParseError as error:
        print("checkpolicy: %s" % error)
        return 1
    if admx.tag != Q + "policyDefinitions" or adml.tag != Q + "policyDefinitionResources":
        print("checkpolicy: the files are not in the ADMX and ADML namespaces")
        return 1
    strings = {}
    for string in adml.iter(Q + "string"):
        if string.get("id") in strings:
            fault("string %s twice" % string.get("id"))
        strings[string.get("id")] = string.text or ""
    resources = {}
    for presentation in adml.iter(Q + "presentation"):
        if presentation.get("id") in resources:
            fault("presentation %s twice" % presentation.get("id"))
        resources[presentation.get("id")] = presentation
    for element in adml.iter():
        if not element.tag.startswith(Q):
            fault("element %s outside the ADML namespace" % element.tag)
    check_references(admx, strings, resources)
    for name, text in strings.items():
        if not text.strip():
            fault("string %s is empty" % name)

    categories = {}
    for category in admx.iter(Q + "category"):
        if category.get("name") in categories:
            fault("category %s twice" % category.get("name"))
        categories[category.get("name")] = category
    for category in categories.values():
        parent = category.find(Q + "parentCategory")
        if parent is not None and parent.get("ref") not in categories:
            fault("category %s: parent %s undefined" % (category.get("name"), parent.get("ref")))

    table = json.load(open(rows_path))
    rows = {}
    for row in table:
        rows[(policy_key(row).lower(), row["name"].lower())] = row
    covered = []
    written = []
    names = set()
    for policy in admx.iter(Q + "policy"):
        if policy.get("name") in names:
            fault("policy %s twice" % policy.get("name"))
        names.add(policy.get("name"))
        check_policy(policy, rows, resources, categories, covered)
        check_lists(policy, rows, written)
    for row in table:
        count = sum(1 for other in covered if other is row)
        wanted = 0 if row["writeOnly"] else 1
        if row["writeOnly"] and not any(other is row for other in written):
            fault("%s\\%s: written by no policy" % (library_key(row), row["name"]))
        if count != wanted:
            fault("%s\\%s: %d policies" % (library_key(row), row["name"], count))
    for text in faults:
        print("checkpolicy: " + text)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
