"""Validates a JSON document against a JSON Schema (draft 2020-12): validate.py SCHEMA DOCUMENT.
Exits 0 when the document is valid, 1 with every fault and its JSON path otherwise."""
import json
import sys

import jsonschema


def main() -> int:
    with open(sys.argv[1], encoding="utf-8") as f:
        schema = json.load(f)
    with open(sys.argv[2], encoding="utf-8") as f:
        document = json.load(f)
    jsonschema.Draft202012Validator.check_schema(schema)
    errors = list(jsonschema.Draft202012Validator(schema).iter_errors(document))
    for error in errors:
        print(f"{error.json_path}: {error.message}")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
