#!/usr/bin/env python3
"""The kit as a release installs it: which programs and records it takes from the environment,
from a build or from its disc folder, and the licence records it reads there."""
import os
import shutil
import tempfile
import unittest
from pathlib import Path

import kit_support  # noqa: F401
from disckit import licenses, makedisc, options, paths

DISC_FILES = {
    "exe": paths.DiscFolder.WINDOWS_EXE,
    "single": paths.DiscFolder.ONE_FILE,
    "single_start": paths.DiscFolder.ONE_FILE_START,
}


class InstalledTest(unittest.TestCase):
    def setUp(self):
        self.work = Path(tempfile.mkdtemp())
        self.kit = self.work / "share/disckit"
        self.kit.mkdir(parents=True)
        self.disc = self.work / "lib/disc"
        self.build = self.work / "build-linux-static"
        for program in ("src/app/discstart", "src/start/disc_start"):
            (self.build / program).parent.mkdir(parents=True, exist_ok=True)
            (self.build / program).write_bytes(b"\x7fELF")

    def tearDown(self):
        shutil.rmtree(self.work)

    def record(self, disc=True):
        record = {"launcher": "../../bin/discstart", "discinfo": "../../bin/discinfo", "start": "../../lib/start",
                  "data": "..", "version": "9.8.7"}
        if disc:
            record["disc"] = "../../lib/disc"
        return record

    def lay_out(self, *names):
        for name in names:
            (self.disc / DISC_FILES[name]).parent.mkdir(parents=True, exist_ok=True)
            (self.disc / DISC_FILES[name]).write_bytes(b"MZ" if name == "exe" else b"\x7fELF")

    def test_the_environment_then_the_disc_folder(self):
        exe_env = str(self.work / "own.exe")
        build = str(self.build)
        d = self.disc
        # (what the disc folder holds, the environment, the Windows launcher, the one file, the
        #  Qt record of the one file, the runtime record, whether the launcher goes on as it is)
        cases = [
            (("exe", "single", "single_start"), {}, d / DISC_FILES["exe"], d / DISC_FILES["single"],
             d / "linux/qt", d / "linux/licences", True),
            (("exe", "single", "single_start"), {"DISCSTART_WINDOWS_EXE": exe_env}, Path(exe_env),
             d / DISC_FILES["single"], d / "linux/qt", d / "linux/licences", True),
            (("exe", "single", "single_start"), {"DISCSTART_LINUX_BUILD": build}, d / DISC_FILES["exe"],
             self.build / "src/app/discstart", None, self.build / "licences", True),
            (("exe", "single", "single_start"), {"DISCSTART_LAUNCHER": "/opt/discstart"}, d / DISC_FILES["exe"],
             d / DISC_FILES["single"], d / "linux/qt", d / "linux/licences", False),
            (("single", "single_start"), {}, None, d / DISC_FILES["single"], d / "linux/qt", d / "linux/licences",
             True),
            # The one file without its start program is no one file.
            (("exe", "single"), {}, d / DISC_FILES["exe"], None, None, None, True),
            ((), {}, None, None, None, None, True),
        ]
        for held, env, exe, single, linux_qt, runtime, ready in cases:
            with self.subTest(held=held, env=env):
                shutil.rmtree(self.disc, ignore_errors=True)
                self.disc.mkdir(parents=True)
                self.lay_out(*held)
                found = paths.installed(self.record(), self.kit, env)
                self.assertEqual(found.windows_exe, exe)
                self.assertEqual(found.one_file, single)
                starts = {d / DISC_FILES["single"]: d / DISC_FILES["single_start"],
                          self.build / "src/app/discstart": self.build / "src/start/disc_start", None: None}
                self.assertEqual(found.one_file_start, starts[single])
                self.assertEqual(found.linux_qt, linux_qt)
                self.assertEqual(found.one_file_licences, runtime)
                self.assertEqual(found.launcher_ready, ready)
                self.assertEqual(found.windows_qt, d / "windows/qt")
                self.assertEqual(found.mingw, d / "windows/mingw")
                self.assertEqual(found.version, "9.8.7")
                self.assertIsNone(found.root)

    def test_a_record_without_a_disc_folder_names_no_launchers_for_it(self):
        for env, single in (({}, None), ({"DISCSTART_LINUX_BUILD": str(self.build)},
                                         self.build / "src/app/discstart")):
            with self.subTest(env=env):
                found = paths.installed(self.record(disc=False), self.kit, env)
                self.assertIsNone(found.windows_exe)
                self.assertEqual(found.one_file, single)
                self.assertIsNone(found.windows_qt)
                self.assertIsNone(found.linux_qt)
                self.assertEqual(found.one_file_licences, self.build / "licences" if single else None)

    def test_paths_are_the_records_relative_to_the_kit(self):
        found = paths.installed(self.record(), self.kit, {})
        self.assertEqual(found.launcher, (self.work / "bin/discstart").resolve())
        self.assertEqual(found.start, (self.work / "lib/start").resolve())
        self.assertEqual(found.license, self.work / "share/licences/discstart")


class RecordsTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.work)

    def write(self, name, text):
        path = os.path.join(self.work, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        return path

    def test_the_built_version_from_the_build_or_the_release(self):
        cases = [
            ({".complete": "qt6-base 6.4.2+dfsg-10\n"}, "6.4.2+dfsg-10"),
            ({"version": "xz-utils 5.4.1-1\n"}, "5.4.1-1"),
            # The build's own record wins over a copy beside it.
            ({".complete": "qt6-base 2\n", "version": "qt6-base 1\n"}, "2"),
            ({".complete": "\n", "version": "qt6-base 1\n"}, "1"),
            ({}, None),
            ({"version": "  \n"}, None),
        ]
        for number, (files, expected) in enumerate(cases):
            with self.subTest(files=files):
                prefix = os.path.join(self.work, str(number))
                os.makedirs(prefix)
                for name, text in files.items():
                    self.write(os.path.join(str(number), name), text)
                if expected is None:
                    with self.assertRaisesRegex(licenses.LicenseError, "not the licence of the Qt"):
                        licenses.built_version(prefix, "Qt")
                else:
                    self.assertEqual(licenses.built_version(prefix, "Qt"), expected)
        with self.assertRaises(licenses.LicenseError):
            licenses.built_version("", "Qt")

    def test_recorded_versions_take_whole_lines_only(self):
        self.write("mingw/versions", "mingw-w64-x86-64-dev 10.0.0-3 mingw-w64 10.0.0-3\n"
                   "gcc-mingw-w64-x86-64-posix 12.2 gcc-mingw-w64 25.2\n"
                   "short 1 2\n\n"
                   "long 1 2 3 4\n")
        self.assertEqual(licenses.recorded_versions(os.path.join(self.work, "mingw")), {
            "mingw-w64-x86-64-dev": ("10.0.0-3", "mingw-w64", "10.0.0-3"),
            "gcc-mingw-w64-x86-64-posix": ("12.2", "gcc-mingw-w64", "25.2"),
        })

    def test_no_packages_asks_dpkg_nothing(self):
        saved = os.environ["PATH"]
        os.environ["PATH"] = self.work  # no dpkg-query here
        try:
            self.assertEqual(licenses.package_versions([]), {})
        finally:
            os.environ["PATH"] = saved

    def test_common_licences_from_this_system_or_the_release(self):
        missing = "DISCSTART-TEST-1.0"  # no such text in /usr/share/common-licenses
        shipped = os.path.join(self.work, "common-licenses")
        self.write("common-licenses/" + missing, "the text\n")
        for refers, carried, expected in (
            (missing, shipped, [missing]),
            (missing, None, []),
            (missing + ".", shipped, [missing]),  # a full stop ends the sentence, not the name
            ("", shipped, []),
        ):
            with self.subTest(refers=refers, carried=carried):
                disc = os.path.join(self.work, "disc")
                shutil.rmtree(disc, ignore_errors=True)
                text = "See /usr/share/common-licenses/" + refers if refers else "MIT"
                self.write("disc/licenses/x/copyright", text)
                self.assertEqual(licenses.common_licenses(os.path.join(disc, "licenses"), carried), expected)
                copied = os.path.join(disc, "licenses/common", missing)
                self.assertEqual(os.path.isfile(copied), bool(expected))


class VersionOptionTest(unittest.TestCase):
    def test_version_wherever_it_stands(self):
        for args, version in ((["--version"], True), (["film.mp4", "out", "--version"], True),
                              (["film.mp4", "out"], False), (["--", "--version", "out"], False)):
            with self.subTest(args=args):
                self.assertEqual(options.parse(args).version, version)

    def test_version_is_the_kits(self):
        record = {"launcher": "x", "discinfo": "x", "start": "x", "data": ".", "version": "3.2.1"}
        work = Path(tempfile.mkdtemp())
        try:
            self.assertEqual(paths.installed(record, work, {}).version, "3.2.1")
        finally:
            shutil.rmtree(work)


class ReadyFolderTest(unittest.TestCase):
    def setUp(self):
        self.work = Path(tempfile.mkdtemp())

    def tearDown(self):
        shutil.rmtree(self.work)

    def paths(self, exe, single):
        record = {"launcher": "l", "discinfo": "d", "start": "s", "data": ".", "version": "1", "disc": "disc"}
        disc = self.work / "disc"
        for name, wanted in (("exe", exe), ("single", single), ("single_start", single)):
            if wanted:
                (disc / DISC_FILES[name]).parent.mkdir(parents=True, exist_ok=True)
                (disc / DISC_FILES[name]).write_bytes(b"x")
        return paths.installed(record, self.work, {})

    def test_refused_without_both_launchers_or_into_a_full_folder(self):
        out = self.work / "out"
        for exe, single, full, refusal in ((False, True, False, "both launchers"),
                                           (True, False, False, "both launchers"),
                                           (True, True, True, "not an empty folder")):
            with self.subTest(exe=exe, single=single, full=full):
                shutil.rmtree(self.work)
                self.work.mkdir()
                if full:
                    out.mkdir()
                    (out / "film.mp4").write_bytes(b"")
                with self.assertRaisesRegex(makedisc.Refused, refusal):
                    makedisc.ready_folder(out, "Movie", self.paths(exe, single))
                self.assertEqual(sorted(p.name for p in out.iterdir()) if out.exists() else [],
                                 ["film.mp4"] if full else [])


if __name__ == "__main__":
    unittest.main()
