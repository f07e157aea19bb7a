"""The rules for the product's build settings (cmake/ProductRules.cmake), run as the configuration
runs them: a product folder without the programs the installer names stops it with their names, a
version becomes the four numbers the version resources hold, a publisher's name survives the trip
into C++ and resource strings.

    python3 ProductSettingsTest.py <cmake> <ProductRules.cmake>
"""

import os
import subprocess
import sys
import tempfile
import unittest

CMAKE = None
RULES = None


def rule(name, value):
    result = subprocess.run([CMAKE, f"-DRULE={name}", f"-DVALUE={value}", "-P", RULES],
                            capture_output=True, text=True)
    # cmake wraps long messages; the words matter, not where the lines break.
    return result.returncode, " ".join(result.stderr.split())


class ProductFolderRuleTest(unittest.TestCase):
    def setUp(self):
        self.temporary = tempfile.TemporaryDirectory()
        self.folder = self.temporary.name

    def tearDown(self):
        self.temporary.cleanup()

    def touch(self, *names):
        for name in names:
            path = os.path.join(self.folder, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            open(path, "wb").close()

    def test_a_folder_with_both_programs_passes(self):
        self.touch("Launcher.exe", "Uninst.exe", "docs/readme.txt")
        code, output = rule("folder", self.folder)
        self.assertEqual(code, 0, output)

    def test_each_missing_program_is_named(self):
        cases = {
            ("Uninst.exe",): ("Launcher.exe", "Uninst.exe"),
            ("Launcher.exe",): ("Uninst.exe", "Launcher.exe"),
        }
        for present, (missing, not_missing) in cases.items():
            with self.subTest(present=present):
                folder = tempfile.mkdtemp(dir=self.folder)
                for name in present:
                    open(os.path.join(folder, name), "wb").close()
                code, output = rule("folder", folder)
                self.assertNotEqual(code, 0)
                self.assertIn(f"has no {missing}.", output)
                self.assertNotIn(f"has no {not_missing}", output)
                self.assertIn(folder, output)

    def test_an_empty_folder_names_both(self):
        code, output = rule("folder", self.folder)
        self.assertNotEqual(code, 0)
        self.assertIn("has no Launcher.exe and Uninst.exe", output)

    def test_a_program_deeper_down_or_a_folder_of_that_name_does_not_count(self):
        self.touch("bin/Launcher.exe", "Uninst.exe")
        os.makedirs(os.path.join(self.folder, "Launcher.exe"))
        code, output = rule("folder", self.folder)
        self.assertNotEqual(code, 0)
        self.assertIn("has no Launcher.exe", output)

    def test_a_missing_or_relative_folder_is_refused(self):
        code, output = rule("folder", os.path.join(self.folder, "nowhere"))
        self.assertNotEqual(code, 0)
        self.assertIn("is not a folder", output)
        code, output = rule("folder", "product")
        self.assertNotEqual(code, 0)
        self.assertIn("must be an absolute path", output)


class VersionRuleTest(unittest.TestCase):
    def test_versions_become_four_numbers(self):
        cases = {"1.0.3.12": "1.0.3.12", "2": "2.0.0.0", "2.1": "2.1.0.0", "3.0.7": "3.0.7.0",
                 "007.08.0.65535": "7.8.0.65535", "0.0.0.0": "0.0.0.0"}
        for text, expected in cases.items():
            with self.subTest(version=text):
                code, output = rule("version", text)
                self.assertEqual(code, 0, output)
                self.assertEqual(output, f"version: {expected}")

    def test_versions_the_resources_cannot_hold_are_refused(self):
        for text in ["", "1.2.3.4.5", "1..2", ".1", "1.", "v1.0", "1.0-beta", "1,0,3,12",
                     "65536", "1.2.3.99999999999999999999", " 1.0"]:
            with self.subTest(version=text):
                code, output = rule("version", text)
                self.assertNotEqual(code, 0, output)
                self.assertIn("TESSEL_PRODUCT_VERSION", output)


class PublisherRuleTest(unittest.TestCase):
    def test_quotes_and_backslashes_are_escaped_for_each_language(self):
        code, output = rule("publisher", 'Acme "Best" Tools\\Works; 科技')
        self.assertEqual(code, 0, output)
        self.assertIn('cpp: Acme \\"Best\\" Tools\\\\Works; 科技', output)
        self.assertIn('rc: Acme ""Best"" Tools\\\\Works; 科技', output)

    def test_an_empty_name_or_control_characters_are_refused(self):
        for text in ["", "Line\nbreak", "Tab\there"]:
            with self.subTest(publisher=text):
                code, output = rule("publisher", text)
                self.assertNotEqual(code, 0)
                self.assertIn("TESSEL_PUBLISHER", output)


if __name__ == "__main__":
    CMAKE, RULES = sys.argv[1], sys.argv[2]
    del sys.argv[1:3]
    unittest.main(verbosity=2)
