#!/usr/bin/env python3
"""A disc from the kit as a release lays it out: the launchers copied as they are, with no
patchelf, strip or dpkg on the machine, and the licences from the records the release carries."""
import contextlib
import io
import os
import shutil
import stat
import tempfile
import unittest
from pathlib import Path

import kit_support  # noqa: F401
from disckit import bundle, layout, licenses, makedisc, options, paths

MINGW = licenses.MINGW_PACKAGES


class Release:
    """A kit folder and a disc folder as scripts/release/make-release lays them out, the programs stand-ins."""

    def __init__(self, work):
        self.work = Path(work)
        kit, disc = self.work / "lib/disckit", self.work / "lib/disc"
        self.disc = disc
        files = {
            "disc/windows/discstart.exe": b"MZ windows launcher",
            "disc/linux/discstart-disc": b"\x7fELF one file",
            "disc/linux/disc_start": b"\x7fELF start",
            "disc/linux/discstart-host": b"\x7fELF host launcher",
            "disc/windows/qt/version": b"qt6-base 6.4.2+dfsg-10\n",
            "disc/windows/qt/share/doc/qt6-base.copyright":
                b"Qt for Windows: /usr/share/common-licenses/DS-TEST-LGPL\n",
            "disc/windows/xz/version": b"xz-utils 5.4.1-1+deb12u2\n",
            "disc/windows/xz/share/doc/xz-utils.copyright": b"xz\n",
            "disc/windows/mingw/versions":
                "".join(f"{p} 12.{n} src-{n} 25.{n}\n" for n, p in enumerate(MINGW)).encode(),
            "disc/linux/qt/version": b"qt6-base 6.4.2+dfsg-10, qt6-wayland 6.4.2-1\n",
            "disc/linux/qt/share/doc/qt6-base.copyright": b"static Qt\n",
            "disc/linux/qt/share/doc/qt6-wayland.copyright": b"static Qt Wayland\n",
            "disc/linux/licences/gcc.copyright": b"gcc\n",
            "disc/linux/licences/gcc.version": b"gcc-10 10.2.1-6\n",
            "disc/common-licenses/DS-TEST-LGPL": b"the shipped text\n",
            "licences/discstart": b"MIT\n",
            "licences/liberation-sans": b"OFL\n",
            "discinfo": b"#!/bin/sh\n",
        }
        files.update({f"disc/windows/mingw/{p}.copyright": p.encode() for p in MINGW})
        for name, data in files.items():
            path = self.work / "lib" / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(data)
            path.chmod(0o755)
        kit.mkdir(parents=True)
        self.record = {"launcher": "../disc/linux/discstart-host", "discinfo": "../discinfo",
                       "start": "../disc/linux/disc_start", "disc": "../disc", "data": "..", "version": "0.9.1"}

    def paths(self, env=None):
        return paths.installed(self.record, self.work / "lib/disckit", env or {})


class NoTools:
    """PATH with only the named tools, each a stand-in that records its arguments."""

    def __init__(self, folder, *tools):
        self.folder = Path(folder)
        self.folder.mkdir()
        self.log = self.folder / "calls"
        for tool in tools:
            script = self.folder / tool
            script.write_text(f'#!/bin/sh\necho "{tool} $*" >>"{self.log}"\n')
            script.chmod(0o755)

    def __enter__(self):
        self.saved = os.environ["PATH"]
        os.environ["PATH"] = str(self.folder)
        return self

    def __exit__(self, *exc):
        os.environ["PATH"] = self.saved
        self.calls_made = self.calls()
        shutil.rmtree(self.folder)

    def calls(self):
        return self.log.read_text().split("\n")[:-1] if self.log.exists() else []


class OneFileTest(unittest.TestCase):
    def setUp(self):
        self.work = Path(tempfile.mkdtemp())
        self.release = Release(self.work)
        self.out = self.work / "out"
        self.out.mkdir()

    def tearDown(self):
        shutil.rmtree(self.work)

    def test_a_ready_launcher_needs_neither_patchelf_nor_strip(self):
        p = self.release.paths()
        # (the tools there are, ready, what runs, the refusal)
        for tools, ready, calls, refusal in (
            ((), True, [], None),
            (("patchelf", "strip"), True, [], None),
            (("patchelf", "strip"), False, ["strip", "patchelf"], None),
            (("strip",), False, [], "patchelf is missing"),
            (("patchelf",), False, [], "strip is missing"),
        ):
            with self.subTest(tools=tools, ready=ready):
                shutil.rmtree(self.out)
                self.out.mkdir()
                with NoTools(self.work / "bin", *tools) as path:
                    if refusal:
                        with self.assertRaisesRegex(bundle.BundleError, refusal):
                            bundle.one_file(p.launcher, p.one_file, p.one_file_start, self.out, "Film.mp4",
                                            ready=ready)
                        continue
                    bundle.one_file(p.launcher, p.one_file, p.one_file_start, self.out, "Film.mp4", ready=ready)
                self.assertEqual([c.split()[0] for c in path.calls_made], calls)
                host = self.out / layout.HOST
                self.assertEqual(host.read_bytes(), b"\x7fELF host launcher")
                self.assertTrue(host.stat().st_mode & stat.S_IXUSR)
                self.assertEqual((self.out / layout.DISC).read_bytes(), b"\x7fELF one file")
                self.assertEqual(layout.carried_order((self.out / layout.START).read_bytes()),
                                 [("start", layout.START), ("host", layout.HOST), ("disc", layout.DISC),
                                  ("movie", "Film.mp4")])

    def test_make_disc_asks_for_patchelf_only_where_it_strips(self):
        movie = self.work / "film.mp4"
        movie.write_bytes(b"")
        # (the environment, --bundle, the tools there are, the refusal)
        cases = [
            ({}, False, ("xorriso",), None),
            ({"DISCSTART_LAUNCHER": str(self.release.disc / "linux/discstart-host")}, False, ("xorriso",),
             "patchelf is missing"),
            ({}, True, ("xorriso",), "patchelf is missing"),
            ({}, False, (), "xorriso is missing"),
            ({}, False, ("xorriso", "patchelf"), None),
        ]
        for env, bundled, tools, refusal in cases:
            with self.subTest(env=env, bundled=bundled, tools=tools):
                run = makedisc.Run(options.Options(movie=str(movie), out=str(self.out), bundle=bundled),
                                   self.release.paths(env))
                with NoTools(self.work / "bin", *tools):
                    if refusal:
                        with self.assertRaisesRegex(makedisc.Refused, refusal):
                            run.check_inputs()
                    else:
                        run.check_inputs()
                        self.assertIs(run.launcher, layout.ONE_FILE)


class ReadyFolderTest(unittest.TestCase):
    def setUp(self):
        self.work = Path(tempfile.mkdtemp())
        self.release = Release(self.work)

    def tearDown(self):
        shutil.rmtree(self.work)

    def test_everything_but_the_film_with_no_dpkg_here(self):
        out = self.work / "new/disc"  # its folders made too
        with NoTools(self.work / "bin"):  # neither dpkg nor patchelf
            makedisc.ready_folder(out, "Night Train", self.release.paths())
        names = sorted(str(p.relative_to(out)) for p in out.rglob("*") if p.is_file())
        self.assertEqual(names, sorted([
            "SOURCES.txt", "autorun.inf", "autorun.sh", "discstart", "discstart-disc", "discstart-host",
            "discstart.exe", "qt/read-order", "licenses/common/DS-TEST-LGPL", "licenses/discstart/LICENSE",
            "licenses/discstart/LiberationSans-LICENSE", "licenses/gcc-10-runtime/copyright",
            "licenses/qt6-base-static/copyright", "licenses/qt6-base-windows/copyright",
            "licenses/qt6-wayland-static/copyright", "licenses/xz-utils-windows/copyright",
        ] + [f"licenses/{p}/copyright" for p in MINGW]))
        # No film: where no launcher runs, the start program opens the disc's folder.
        self.assertEqual((out / layout.READ_ORDER).read_text(),
                         layout.order_text([("start", layout.START), ("host", layout.HOST), ("disc", layout.DISC)]))
        self.assertIn("label=Night Train\r\n", (out / layout.AUTORUN_INF).read_bytes().decode("utf-16"))
        self.assertEqual((out / "licenses/common/DS-TEST-LGPL").read_text(), "the shipped text\n")
        for package in MINGW:
            self.assertEqual((out / f"licenses/{package}/copyright").read_text(), package)
        sources = (out / "SOURCES.txt").read_text()
        for line in ["discstart 0.9.1, the program that greets you (discstart, discstart.exe)",
                     "Qt 6.4.2 for Windows, built from the Debian source package qt6-base 6.4.2+dfsg-10",
                     "liblzma for Windows, built from the Debian source package xz-utils 5.4.1-1+deb12u2",
                     f"the MinGW-w64 runtime from {MINGW[2]} 12.2, source package src-2 25.2",
                     "Qt Wayland 6.4.2, built from the Debian source package qt6-wayland 6.4.2-1",
                     "the GCC C++ runtime (libstdc++, libgcc) of Debian 11, source package gcc-10 10.2.1-6",
                     "licenses/common/DS-TEST-LGPL"]:
            self.assertIn(line, sources)
        self.assertNotIn("Debian 12 packages", sources)

    def test_refused_with_the_reason(self):
        paths_without = {"exe": "windows/discstart.exe", "one file": "linux/discstart-disc"}
        for missing, where in paths_without.items():
            with self.subTest(missing=missing):
                (self.release.disc / where).rename(self.work / "aside")
                with self.assertRaises(makedisc.Refused) as refused:
                    makedisc.ready_folder(self.work / "out", "Movie", self.release.paths())
                self.assertEqual(str(refused.exception), "a ready folder needs both launchers: the Windows one and"
                                                         " the Linux one as one file")
                (self.work / "aside").rename(self.release.disc / where)
                self.assertFalse((self.work / "out").exists())
        (self.work / "out").mkdir()
        (self.work / "out/x").write_bytes(b"")
        with self.assertRaises(makedisc.Refused) as refused:
            makedisc.ready_folder(self.work / "out", "Movie", self.release.paths())
        self.assertEqual(str(refused.exception), f"{self.work / 'out'} exists and is not an empty folder")

    def test_missing_records_are_named_and_nothing_is_left(self):
        # (the record taken away, what the refusal names, whether the folder was there, empty)
        for record, named, there in (("windows/qt/version", "windows/qt/version", False),
                                     ("windows/xz/version", "windows/xz/version", True),
                                     ("linux/qt/version", "linux/qt/.complete", False)):
            with self.subTest(record=record):
                (self.release.disc / record).rename(self.work / "aside")
                out = self.work / "out"
                if there:
                    out.mkdir()
                with NoTools(self.work / "bin"):
                    with self.assertRaisesRegex(licenses.LicenseError, named):
                        makedisc.ready_folder(out, "Movie", self.release.paths())
                self.assertEqual(list(out.iterdir()) if there else out.exists(), [] if there else False)
                shutil.rmtree(out, ignore_errors=True)
                (self.work / "aside").rename(self.release.disc / record)


class WindowsLicenceTest(unittest.TestCase):
    def test_a_missing_qt_licence_names_where_it_was_looked_for(self):
        with tempfile.TemporaryDirectory() as prefix:
            for given, named in (("", "scripts/toolchain/qt-windows --prefix"), (prefix, prefix + "/share/doc")):
                with self.subTest(prefix=given), self.assertRaisesRegex(licenses.LicenseError, named):
                    licenses.windows_parts(given, {}, prefix, set())


class LinuxOnlyTest(unittest.TestCase):
    def test_a_disc_without_the_windows_launcher_reads_no_windows_records(self):
        work = Path(tempfile.mkdtemp())
        try:
            release = Release(work)
            shutil.rmtree(release.disc / "windows")
            (release.disc / "windows/mingw").mkdir(parents=True)  # no versions in it
            out = work / "out"
            (out / layout.QT_FOLDER).mkdir(parents=True)
            (out / layout.READ_ORDER).write_text("")
            with NoTools(work / "bin"):
                licenses.put_licenses(out, release.paths(), linux_qt=str(release.disc / "linux/qt"))
            self.assertEqual(sorted(p.name for p in (out / "licenses").iterdir()),
                             ["discstart", "gcc-10-runtime", "qt6-base-static", "qt6-wayland-static"])
            self.assertNotIn("discstart.exe", (out / "SOURCES.txt").read_text())
        finally:
            shutil.rmtree(work)


class SourceTreeTest(unittest.TestCase):
    def test_version_says_the_source_trees(self):
        said = io.StringIO()
        with contextlib.redirect_stdout(said):
            status = makedisc.main(["--version"])
        self.assertEqual((status, said.getvalue()), (0, f"make-disc {paths.source_version(kit_support.ROOT)}\n"))
        self.assertRegex(said.getvalue(), r"^make-disc [0-9]+\.[0-9]+\.[0-9]+\n$")

    def test_a_source_tree_strips_its_launcher_and_finds_the_runtime_beside_the_one_file(self):
        root = kit_support.ROOT
        for env, runtime in (({}, root / "build-linux-static/licences"),
                             ({"DISCSTART_LINUX_BUILD": "/elsewhere"}, Path("/elsewhere/licences"))):
            with self.subTest(env=env):
                found = paths.find(env)
                self.assertFalse(found.launcher_ready)
                self.assertEqual(found.one_file_licences, runtime)
                self.assertIsNone(found.mingw)


if __name__ == "__main__":
    unittest.main()
