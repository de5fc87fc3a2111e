"""Converts one legacy template file to standard output with the Python module:
    python3 convert.py old.json > new.json"""
import sys

import lumiflow

if len(sys.argv) != 2:
    sys.exit("usage: convert.py LEGACY.json")
with open(sys.argv[1], "rb") as legacy:
    try:
        converted = lumiflow.convert(legacy.read())
    except lumiflow.Error as error:
        sys.exit(f"{sys.argv[1]}: {error.code}: {error.message}")
sys.stdout.write(converted.output)
for change in converted.report["changes"]:
    print(f"{change['path']}: {change['reason']}", file=sys.stderr)
