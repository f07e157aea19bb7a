"""scripts/zip-folder.py: the same files make the same archive, whatever the file system says about
them, and names the installer would refuse fail before anything is written.

    python3 ZipFolderTest.py <path of zip-folder.py>
"""

import importlib.util
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

ZIP_SCRIPT = None  # from the command line
ZIP = None  # the script, loaded as a module


def run_zip(*arguments):
    return subprocess.run([sys.executable, ZIP_SCRIPT, *arguments], capture_output=True,
                          text=True)


def make_tree(root, files, order=None, mode=0o644, mtime=None):
    """Writes {relative path: bytes} below root, in the order given."""
    for name in order or files:
        path = os.path.join(root, *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(files[name])
        os.chmod(path, mode)
        if mtime is not None:
            os.utime(path, (mtime, mtime))


PRODUCT = {
    "Launcher.exe": b"MZ launcher" * 100,
    "Uninst.exe": b"MZ uninstaller" * 50,
    "readme.txt": "Tessel 助手\r\n".encode("utf-8"),
    "data/settings.ini": b"[main]\nlanguage=2057\n",
    "data/images/logo.bin": bytes(range(256)) * 8,
    "语言/zh_CN.txt": "简体中文".encode("utf-8"),
    "empty.dat": b"",
}


class ZipFolderTest(unittest.TestCase):
    def setUp(self):
        self.temporary = tempfile.TemporaryDirectory()
        self.root = self.temporary.name

    def tearDown(self):
        self.temporary.cleanup()

    def folder(self, name, files=PRODUCT, **how):
        path = os.path.join(self.root, name)
        os.makedirs(path)
        make_tree(path, files, **how)
        return path

    def archive(self, folder, *files, name="out.zip"):
        output = os.path.join(self.root, name)
        result = run_zip(output, folder, *files)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(output, "rb") as made:
            return made.read()

    def test_same_files_give_same_bytes_whatever_their_times_modes_and_order(self):
        first = self.folder("first", mtime=1_000_000_000, mode=0o644)
        second = self.folder("second/deeper", order=sorted(PRODUCT, reverse=True),
                             mtime=1_700_000_000, mode=0o755)
        self.assertEqual(self.archive(first, name="a.zip"), self.archive(second, name="b.zip"))

    def test_holds_every_file_below_the_folder_sorted_with_fixed_times_and_no_extras(self):
        data = self.archive(self.folder("product"))
        with zipfile.ZipFile(os.path.join(self.root, "out.zip")) as archive:
            entries = archive.infolist()
            self.assertEqual([e.filename for e in entries], sorted(PRODUCT))
            for entry in entries:
                with self.subTest(entry=entry.filename):
                    self.assertEqual(archive.read(entry), PRODUCT[entry.filename])
                    self.assertEqual(entry.date_time, (1980, 1, 1, 0, 0, 0))
                    self.assertEqual(entry.extra, b"")
                    self.assertEqual(entry.external_attr, 0x20)  # a plain file
                    self.assertEqual(entry.create_system, 0)
                    self.assertEqual(entry.compress_type, zipfile.ZIP_DEFLATED)
        self.assertNotIn(self.root.encode(), data)

    def test_non_ascii_names_are_marked_as_utf8(self):
        self.archive(self.folder("product"))
        with zipfile.ZipFile(os.path.join(self.root, "out.zip")) as archive:
            entry = archive.getinfo("语言/zh_CN.txt")
            self.assertTrue(entry.flag_bits & 0x800)

    def test_named_files_only_when_a_list_is_given(self):
        folder = self.folder("product")
        self.archive(folder, "Uninst.exe", "data/settings.ini", "Launcher.exe")
        with zipfile.ZipFile(os.path.join(self.root, "out.zip")) as archive:
            self.assertEqual(archive.namelist(),
                             ["Launcher.exe", "Uninst.exe", "data/settings.ini"])

    def test_a_changed_file_changes_the_archive(self):
        before = self.archive(self.folder("one"), name="one.zip")
        changed = dict(PRODUCT, **{"data/settings.ini": b"[main]\nlanguage=2052\n"})
        after = self.archive(self.folder("two", files=changed), name="two.zip")
        self.assertNotEqual(before, after)

    def test_a_name_the_installer_refuses_stops_with_the_name_before_anything_is_written(self):
        folder = self.folder("refused", files={"Launcher.exe": b"x", "data/con.txt": b"y"})
        output = os.path.join(self.root, "refused.zip")
        result = run_zip(output, folder)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("data/con.txt", result.stderr)
        self.assertFalse(os.path.exists(output))
        self.assertFalse(os.path.exists(output + ".part"))
        self.assertNotEqual(run_zip("--check", folder).returncode, 0)

    def test_refused_names(self):
        refused = ["con.txt", "data/NUL", "Com1", "data/lpt9.log", "conin$", "aux .txt",
                   "trailing.", "trailing ", "folder./x", "a:b.txt", 'quote".txt', "star*.txt",
                   "what?.txt", "pipe|.txt", "<angle>.txt", "back\\slash.txt", "tab\there.txt",
                   "a//b", "./a", "a/../b"]
        for name in refused:
            with self.subTest(name=name):
                self.assertIsNotNone(ZIP.name_problem(name))

    def test_names_close_to_refused_ones_pass(self):
        allowed = ["console.txt", "com10.txt", "com0", "a.b.c", ".hidden", "nul_data/x", "LPT",
                   "语言/简体.txt", "with space.txt", "a/b/c/d.e"]
        for name in allowed:
            with self.subTest(name=name):
                self.assertIsNone(ZIP.name_problem(name))
        self.assertEqual(ZIP.problems_in(allowed), [])

    def test_names_that_differ_only_in_case_are_refused(self):
        problems = ZIP.problems_in(["Launcher.exe", "data/x", "launcher.EXE"])
        self.assertEqual(len(problems), 1)
        self.assertIn("launcher.EXE: the same file on Windows as Launcher.exe", problems[0])

    def test_an_empty_folder_is_an_error(self):
        folder = os.path.join(self.root, "empty")
        os.makedirs(folder)
        self.assertNotEqual(run_zip(os.path.join(self.root, "e.zip"), folder).returncode, 0)


def load_script(path):
    spec = importlib.util.spec_from_file_location("zip_folder", path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


if __name__ == "__main__":
    ZIP_SCRIPT = sys.argv.pop(1)
    ZIP = load_script(ZIP_SCRIPT)
    unittest.main(verbosity=2)
