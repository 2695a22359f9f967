"""The installed JSON Schema of "results" holds for every demo profile in
every mode; jsonschema checks it where installed, else a validator of the
part of the schema language the schema uses."""
import json
import os
import unittest

import support

SCHEMA = os.path.join(support.SOURCE_DIR, "dist", "results.schema.json")

TYPES = {
    "object": lambda v: isinstance(v, dict),
    "array": lambda v: isinstance(v, list),
    "string": lambda v: isinstance(v, str),
    "boolean": lambda v: isinstance(v, bool),
    "null": lambda v: v is None,
    "number": lambda v: isinstance(v, (int, float)) and not isinstance(v, bool),
    "integer": lambda v: (isinstance(v, int) and not isinstance(v, bool)) or (isinstance(v, float) and v.is_integer()),
}


def subset_errors(schema, value, root, where="$"):
    """The violations of value against schema: type, enum, required,
    properties, additionalProperties, items and local $ref."""
    if "$ref" in schema:
        node = root
        for part in schema["$ref"].lstrip("#/").split("/"):
            node = node[part]
        return subset_errors(node, value, root, where)
    errors = []
    types = schema.get("type")
    if types is not None:
        types = [types] if isinstance(types, str) else types
        if not any(TYPES[t](value) for t in types):
            return [f"{where}: {value!r} is not of type {types}"]
    if "enum" in schema and value not in schema["enum"]:
        errors.append(f"{where}: {value!r} not in {schema['enum']}")
    if isinstance(value, dict):
        errors += [f"{where}: {key} is missing" for key in schema.get("required", []) if key not in value]
        properties = schema.get("properties", {})
        extra = schema.get("additionalProperties", True)
        for key, item in value.items():
            if key in properties:
                errors += subset_errors(properties[key], item, root, f"{where}.{key}")
            elif extra is False:
                errors.append(f"{where}: {key} is not allowed")
            elif isinstance(extra, dict):
                errors += subset_errors(extra, item, root, f"{where}.{key}")
    if isinstance(value, list) and "items" in schema:
        for i, item in enumerate(value):
            errors += subset_errors(schema["items"], item, root, f"{where}[{i}]")
    return errors


def schema_errors(schema, value):
    try:
        import jsonschema
    except ImportError:
        return subset_errors(schema, value, schema)
    return [e.message for e in jsonschema.Draft7Validator(schema).iter_errors(value)]


class ResultsSchema(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(SCHEMA, encoding="utf-8") as f:
            cls.schema = json.load(f)

    def test_every_demo_profile_in_every_mode_is_valid(self):
        for path in support.DEMO_PROFILES:
            for mode in support.MODES:
                with self.subTest(profile=os.path.basename(path), mode=mode):
                    results = support.cli_json("results", path, "--mode", mode)
                    self.assertEqual(schema_errors(self.schema, results), [])
                    section = {"rate": "channels", "ppb": "compounds", "dh": "isotope"}[mode]
                    self.assertIn(section, results)

    def test_the_validator_finds_what_breaks_the_schema(self):
        results = support.cli_json("results", support.DEMO_PROFILES[0], "--mode", "rate")
        broken = json.loads(json.dumps(results))
        broken["mode"] = "fast"
        del broken["window"]["firstPoint"]
        broken["channels"][0]["meanRate"] = "12"
        broken["surplus"] = 1
        self.assertEqual(len(subset_errors(self.schema, broken, self.schema)), 4)
        self.assertGreaterEqual(len(schema_errors(self.schema, broken)), 4)


if __name__ == "__main__":
    unittest.main()
