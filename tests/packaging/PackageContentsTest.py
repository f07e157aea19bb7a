"""What the built programs carry: the installer embeds this build's silent installer and skin
package, the silent installer exactly the product folder's files, both carry the version and the
publisher of the build settings, and nothing in them would differ between two checkouts of one
commit (time stamps, the folders of the checkout or the build tree).

    python3 PackageContentsTest.py --installer EXE --silent EXE --skin-archive ZIP
        --skin-folder DIR --product-archive ZIP --product-folder DIR --version A.B.C.D
        --publisher TEXT --source-folder DIR --build-folder DIR
"""

import argparse
import importlib.util
import io
import os
import sys
import unittest
import xml.etree.ElementTree as ET
import zipfile

SETTINGS = None
PE = None  # scripts/pe-resources.py

# Left out of the skin package by skin/CMakeLists.txt.
SKIN_PACKAGE_LEFT_OUT = {"README.md", "Thumbs.db"}


def files_below(folder, leave_out=()):
    found = {}
    for root, dirs, files in os.walk(folder, followlinks=True):
        for name in files:
            if name in leave_out:
                continue
            path = os.path.join(root, name)
            with open(path, "rb") as file:
                found[os.path.relpath(path, folder).replace(os.sep, "/")] = file.read()
    return found


def read(path):
    with open(path, "rb") as file:
        return file.read()


def zip_entries(data):
    with zipfile.ZipFile(io.BytesIO(data)) as archive:
        return archive.infolist(), {e.filename: archive.read(e) for e in archive.infolist()}


class PackageContentsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.installer = PE.load(SETTINGS.installer)
        cls.silent = PE.load(SETTINGS.silent)
        cls.programs = {"installer": cls.installer, "silent installer": cls.silent}

    def test_installer_embeds_this_builds_silent_installer_and_skin_package(self):
        self.assertEqual(self.installer.resource("DATA", 18), read(SETTINGS.silent))
        self.assertEqual(self.installer.resource("SKIN", 17), read(SETTINGS.skin_archive))

    def test_installer_declares_per_monitor_dpi_awareness_with_fallbacks(self):
        # RT_MANIFEST 1: read by the loader of every Windows version from 7 on.
        manifest = ET.fromstring(self.installer.resource(24, 1))
        settings = "{http://schemas.microsoft.com/SMI/%s/WindowsSettings}"
        aware = manifest.findall(".//" + settings % "2005" + "dpiAware")
        awareness = manifest.findall(".//" + settings % "2016" + "dpiAwareness")
        self.assertEqual([e.text for e in aware], ["true/pm"])
        self.assertEqual([e.text for e in awareness], ["PerMonitorV2, PerMonitor"])
        level = manifest.find(".//{urn:schemas-microsoft-com:asm.v3}requestedExecutionLevel")
        self.assertEqual(level.get("level"), "asInvoker")

    def test_silent_installer_embeds_exactly_the_product_folders_files(self):
        embedded = self.silent.resource("SETUP", 120)
        self.assertEqual(embedded, read(SETTINGS.product_archive))
        _, entries = zip_entries(embedded)
        expected = files_below(SETTINGS.product_folder)
        self.assertEqual(sorted(entries), sorted(expected))
        for name, data in expected.items():
            with self.subTest(file=name):
                self.assertEqual(entries[name], data)
        self.assertIn("Launcher.exe", entries)
        self.assertIn("Uninst.exe", entries)

    def test_skin_package_holds_the_package_folder(self):
        _, entries = zip_entries(read(SETTINGS.skin_archive))
        expected = files_below(SETTINGS.skin_folder, SKIN_PACKAGE_LEFT_OUT)
        self.assertEqual(sorted(entries), sorted(expected))
        for name, data in expected.items():
            with self.subTest(file=name):
                self.assertEqual(entries[name], data)

    def test_archive_entries_are_sorted_with_fixed_times(self):
        for archive in (SETTINGS.skin_archive, SETTINGS.product_archive):
            with self.subTest(archive=os.path.basename(archive)):
                infos, _ = zip_entries(read(archive))
                names = [info.filename for info in infos]
                self.assertEqual(names, sorted(names))
                self.assertEqual({info.date_time for info in infos}, {(1980, 1, 1, 0, 0, 0)})
                self.assertEqual({info.extra for info in infos}, {b""})

    def test_no_time_stamps_in_the_headers(self):
        for name, program in self.programs.items():
            with self.subTest(program=name):
                self.assertEqual(program.timestamp, 0)
                self.assertEqual(set(program.resource_directory_timestamps()), {0})
                self.assertEqual(set(program.debug_timestamps()) - {0}, set())

    def test_no_folder_of_the_checkout_or_the_build_tree_inside(self):
        folders = {os.path.realpath(SETTINGS.source_folder), os.path.realpath(SETTINGS.build_folder),
                   os.path.abspath(SETTINGS.source_folder), os.path.abspath(SETTINGS.build_folder)}
        for name, path in (("installer", SETTINGS.installer), ("silent installer", SETTINGS.silent)):
            data = read(path)
            for folder in folders:
                for text in (folder, folder.replace("/", "\\")):
                    for encoding in ("utf-8", "utf-16-le"):
                        with self.subTest(program=name, folder=text, encoding=encoding):
                            self.assertNotIn(text.encode(encoding), data)

    def test_no_build_folder_inside_the_stand_in_programs(self):
        build = os.path.realpath(SETTINGS.build_folder)
        if not os.path.realpath(SETTINGS.product_folder).startswith(build + os.sep):
            self.skipTest("the product's files are not built here")
        _, entries = zip_entries(read(SETTINGS.product_archive))
        for name, data in entries.items():
            for folder in (os.path.realpath(SETTINGS.source_folder), build):
                with self.subTest(file=name, folder=folder):
                    self.assertNotIn(folder.encode("utf-8"), data)
                    self.assertNotIn(folder.encode("utf-16-le"), data)

    def test_both_carry_the_version_and_publisher_of_the_build_settings(self):
        for name, program in self.programs.items():
            with self.subTest(program=name):
                fixed, strings = program.version()
                self.assertEqual(fixed, SETTINGS.version)
                self.assertEqual(strings.get("FileVersion"), SETTINGS.version)
                self.assertEqual(strings.get("ProductVersion"), SETTINGS.version)
                self.assertEqual(strings.get("CompanyName"), SETTINGS.publisher)

    def test_silent_installer_writes_the_publisher_of_the_build_settings(self):
        # "Publisher" of the Add/Remove Programs entry comes from tessel::kPublisher.
        self.assertIn((SETTINGS.publisher + "\0").encode("utf-16-le"), read(SETTINGS.silent))


def load_script(path):
    spec = importlib.util.spec_from_file_location("pe_resources", path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for option in ("installer", "silent", "skin-archive", "skin-folder", "product-archive",
                   "product-folder", "version", "publisher", "source-folder", "build-folder"):
        parser.add_argument("--" + option, required=True)
    SETTINGS, rest = parser.parse_known_args()
    PE = load_script(os.path.join(os.path.dirname(__file__), "..", "..", "scripts",
                                  "pe-resources.py"))
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
