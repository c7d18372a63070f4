#!/usr/bin/env python3
"""Checks the Group Policy template: both files parse as XML, every string
and presentation the ADMX names is in the en-US ADML, every presentation
control names an element of its policy, ranges and keys are sound, and the
policies cover every value name that the settings store reads (taken from
the settings headers, so that a renamed setting shows here)."""
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
POLICY_KEY = r"Software\Policies\Pellandor\Mivlet"

results = []


def check(ok, what):
    results.append(bool(ok))
    print(("ok - " if ok else "not ok - ") + what)


def store_value_names():
    """(subkey, name) pairs the store reads, from the settings headers."""
    names = set()
    settings = ROOT / "settings"
    for header in settings.glob("*.h"):
        text = header.read_text()
        names.update(("", n) for n in re.findall(r'CIntSetting k\w+\{"([^"]+)"', text))
        names.update(("", n) for n in re.findall(r'k\w+Value\[\] = "([^"]+)"', text))
    quick = (settings / "QuickKeySettings.h").read_text()
    first = int(re.search(r"kFirstQuickKey = (\d+)", quick).group(1))
    last = int(re.search(r"kLastQuickKey = (\d+)", quick).group(1))
    names.update(("QuickKeys", f"F{n}") for n in range(first, last + 1))
    font = (settings / "FontSettings.cpp").read_text()
    for subkey in ("GeneralFont", "PrefixFont"):
        for field in ("Mask", "FaceName", "Height", "Effects", "Color"):
            if f'"{field}"' in font:
                names.add((subkey, field))
    return names


def main():
    admx_path = ROOT / "packaging/admx/Mivlet.admx"
    adml_path = ROOT / "packaging/admx/en-US/Mivlet.adml"
    try:
        admx = ET.parse(admx_path).getroot()
        adml = ET.parse(adml_path).getroot()
        check(True, "ADMX and ADML parse as XML")
    except ET.ParseError as error:
        check(False, f"parse: {error}")
        return report()

    strings = {s.get("id"): (s.text or "") for s in adml.iterfind(".//p:stringTable/p:string", NS)}
    presentations = {p.get("id"): p for p in adml.iterfind(".//p:presentationTable/p:presentation", NS)}
    check(admx.find("p:policyNamespaces/p:target", NS) is not None, "the ADMX has a target namespace")

    source = admx_path.read_text()
    missing = sorted(set(re.findall(r"\$\(string\.([^)]+)\)", source)) - strings.keys())
    check(not missing, f"every string the ADMX names is in the ADML {missing or ''}")
    used_presentations = set(re.findall(r"\$\(presentation\.([^)]+)\)", source))
    missing = sorted(used_presentations - presentations.keys())
    check(not missing, f"every presentation the ADMX names is in the ADML {missing or ''}")
    empty = sorted(i for i, t in strings.items() if not t.strip())
    check(not empty, f"no string is empty {empty or ''}")

    covered = set()
    policy_names = []
    for policy in admx.iterfind(".//p:policies/p:policy", NS):
        name = policy.get("name")
        policy_names.append(name)
        key = policy.get("key", "")
        problems = []
        if policy.get("class") not in ("Machine", "User", "Both"):
            problems.append("class")
        if policy.find("p:parentCategory", NS) is None:
            problems.append("no category")
        if not policy.get("explainText"):
            problems.append("no help text")
        elements = policy.find("p:elements", NS)
        ids = set()
        if policy.get("valueName"):
            covered.add((key, policy.get("valueName")))
        for element in (elements if elements is not None else []):
            tag = element.tag.split("}")[1]
            ids.add(element.get("id"))
            covered.add((element.get("key", key), element.get("valueName")))
            if tag == "decimal" and int(element.get("minValue", "0")) > int(element.get("maxValue", "4294967295")):
                problems.append(f"{element.get('id')} range")
            if tag == "enum" and not element.findall("p:item", NS):
                problems.append(f"{element.get('id')} has no items")
        for subkey, _ in covered:
            if not subkey.startswith(POLICY_KEY):
                problems.append(f"key {subkey}")
        ref = re.fullmatch(r"\$\(presentation\.([^)]+)\)", policy.get("presentation", ""))
        if ref and ref.group(1) in presentations:
            refs = {c.get("refId") for c in presentations[ref.group(1)]}
            if refs != ids:
                problems.append(f"presentation controls {sorted(refs ^ ids)}")
        elif elements is not None and len(elements):
            problems.append("elements without a presentation")
        check(not problems, f"policy {name} {problems or ''}".rstrip())

    check(len(policy_names) == len(set(policy_names)), "policy names are unique")
    wanted = {(POLICY_KEY + ("\\" + sub if sub else ""), name) for sub, name in store_value_names()}
    missing = sorted(f"{k}\\{n}" for k, n in wanted - covered)
    check(not missing, f"every setting the store reads has a policy {missing or ''}")
    unknown = sorted(f"{k}\\{n}" for k, n in covered - wanted)
    check(not unknown, f"every policy value is one the store reads {unknown or ''}")
    return report()


def report():
    passed = sum(results)
    print(f"admx: {passed} passed, {len(results) - passed} failed")
    return 0 if passed == len(results) else 1


if __name__ == "__main__":
    sys.exit(main())
