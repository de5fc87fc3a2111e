"""The Python module as a script uses it: the converter's bytes for the
examples, its failures as lumiflow.Error, the checker's verdicts, the schema,
and threads converting at once."""

import concurrent.futures
import json
import os
import pathlib
import subprocess
import tempfile
import unittest

import lumiflow

EXAMPLES = pathlib.Path(os.environ["LUMIFLOW_EXAMPLES"])
CONVERT = os.environ["LUMIFLOW_CONVERT_EXE"]
GOLDEN = pathlib.Path(os.environ["LUMIFLOW_GOLDEN"])


def converter_output(source):
    with tempfile.TemporaryDirectory() as scratch:
        written = pathlib.Path(scratch, "out.json")
        subprocess.run([CONVERT, str(source), str(written)], check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        return written.read_text()


class ConvertTest(unittest.TestCase):
    def test_examples_convert_to_the_converters_bytes(self):
        examples = sorted(EXAMPLES.rglob("*.json"))
        self.assertGreaterEqual(len(examples), 3)
        for example in examples:
            with self.subTest(example=example.name):
                expected = converter_output(example)
                for text in (example.read_text(), example.read_bytes()):
                    converted = lumiflow.convert(text)
                    self.assertEqual(converted.output, expected)
                    self.assertEqual(converted.report["status"], "converted")
                    self.assertIn("imageParameters", converted.report)

    def test_changes_are_in_the_report(self):
        converted = lumiflow.convert('{"ImageParameter": {"Timeout": "750"}}')
        self.assertEqual(converted.report["changes"], [{
            "path": "ImageParameter.Timeout", "reason": "not an integer; the default is written",
            "value": "750", "written": 10000}])

    def test_failures_raise_with_the_converters_code_and_message(self):
        cases = [
            ("{}", -10031, "The file is not a legacy template."),
            ('{"LumiflowTemplates": []}', -10031, "The file is already in the current format."),
            ("[1]", -10033, "content is not a object"),
            ('{"ImageParameter": {}} x', -10030, "Json parse failed.:* Line 1, Column 24\n"
                                                   "  Extra non-whitespace after JSON value.\n"),
        ]
        for text, code, message in cases:
            with self.subTest(text=text):
                with self.assertRaises(lumiflow.Error) as raised:
                    lumiflow.convert(text)
                self.assertEqual(raised.exception.code, code)
                self.assertEqual(raised.exception.message, message)

    def test_only_text_is_taken(self):
        for wrong in (None, 5, ["{}"]):
            with self.subTest(wrong=wrong):
                with self.assertRaises(TypeError):
                    lumiflow.convert(wrong)

    def test_threads_convert_what_one_thread_converts(self):
        texts = [path.read_bytes() for path in sorted(GOLDEN.glob("*.legacy.json"))]
        self.assertGreater(len(texts), 20)

        def outcome(text):
            try:
                converted = lumiflow.convert(text)
                return converted.output, json.dumps(converted.report, sort_keys=True)
            except lumiflow.Error as error:
                return error.code, error.message

        alone = [outcome(text) for text in texts]
        with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
            together = list(pool.map(outcome, texts * 4))
        self.assertEqual(together, alone * 4)


class CheckAndSchemaTest(unittest.TestCase):
    def test_verdicts_of_the_checker(self):
        self.assertTrue(lumiflow.check('{"Foo": 1}'))
        strict = lumiflow.check('{"Foo": 1}', strict=True)
        self.assertFalse(strict)
        self.assertEqual((strict.code, strict.message), (-10032, "Json key invalid. Foo"))
        self.assertEqual(lumiflow.check(b"{} {}").code, -10030)

    def test_schema_and_version(self):
        schema = lumiflow.schema()
        self.assertEqual(schema["$schema"], "https://json-schema.org/draft/2020-12/schema")
        self.assertIn("LumiflowTemplates", schema["properties"])
        self.assertRegex(lumiflow.__version__, r"^\d+\.\d+\.\d+$")


if __name__ == "__main__":
    unittest.main()
