#!/usr/bin/python3
"""The schema that lumiflow-check --schema prints, held to a real validator.

schema_check.py CHECK CONVERT SAMPLES TESTS WORK

- the schema is a valid draft 2020-12 schema;
- every golden conversion, the converted examples and the random conversions
  that SAMPLES writes validate;
- every template of cases.json under "refused" is refused by the checker
  (--strict) and by the schema; every one under "accepted" passes both.
"""
import glob
import json
import os
import subprocess
import sys

from jsonschema import Draft202012Validator

check, convert, samples, tests, work = sys.argv[1:6]
failures = []


def run(*command):
    return subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, text=True)


schema = json.loads(run(check, "--schema").stdout)
if schema.get("$schema") != "https://json-schema.org/draft/2020-12/schema":
    failures.append(f"the schema names no draft 2020-12: {schema.get('$schema')}")
Draft202012Validator.check_schema(schema)
validator = Draft202012Validator(schema)


def schema_errors(template):
    return [f"{'/'.join(map(str, error.absolute_path))}: {error.message[:120]}"
            for error in validator.iter_errors(template)]


def expect_valid(path):
    with open(path, encoding="utf-8") as file:
        errors = schema_errors(json.load(file))
    if errors:
        failures.append(f"{path}: {errors[0]}")


goldens = sorted(glob.glob(os.path.join(tests, "legacy", "golden", "*.expected.json")))
os.makedirs(work, exist_ok=True)
examples = os.path.join(work, "examples")
os.makedirs(examples, exist_ok=True)
result = run(convert, os.path.join(tests, "..", "examples"), examples)
if result.returncode != 0:
    failures.append(f"converting the examples: {result.stdout}{result.stderr}")
converted = sorted(glob.glob(os.path.join(examples, "**", "*.json"), recursive=True))
random_dir = os.path.join(work, "random")
result = run(samples, random_dir, "300", "20240611")
if result.returncode != 0:
    failures.append(f"writing the random conversions: {result.stderr}")
randoms = sorted(glob.glob(os.path.join(random_dir, "*.json")))
for path in goldens + converted + randoms:
    expect_valid(path)

with open(os.path.join(tests, "driver", "schema", "cases.json"), encoding="utf-8") as file:
    cases = json.load(file)
template_path = os.path.join(work, "case.json")
for verdict in ("refused", "accepted"):
    for case in cases[verdict]:
        with open(template_path, "w", encoding="utf-8") as file:
            json.dump(case["template"], file)
        checked = run(check, "--strict", template_path)
        errors = schema_errors(case["template"])
        if verdict == "refused":
            if checked.returncode != 1:
                failures.append(f"{case['name']}: the checker passes it: {checked.stdout.strip()}")
            if not errors:
                failures.append(f"{case['name']}: the schema passes it")
        else:
            if checked.returncode != 0:
                failures.append(f"{case['name']}: the checker refuses it: {checked.stdout.strip()}")
            if errors:
                failures.append(f"{case['name']}: the schema refuses it: {errors[0]}")

print(f"{len(goldens)} golden, {len(converted)} example and {len(randoms)} random conversions, "
      f"{len(cases['refused'])} refused and {len(cases['accepted'])} accepted cases")
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
