#!/usr/bin/env python3
"""The README's "Make a disc" examples, run as written in a copy of the source tree whose
build-demo/ is this build (BUILD): what an author types after scripts/demo."""
import os
import re
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

import kit_support

ROOT = kit_support.ROOT
BUILD = os.environ.get("BUILD", "")


def blocks(section):
    """The code blocks (lines indented by four spaces) of a README section, by its heading."""
    text = (ROOT / "README.md").read_text(encoding="utf-8")
    start = text.index(section + "\n")
    end = text.find("\n#", start + len(section))
    found, current = [], []
    for line in text[start:end if end >= 0 else None].splitlines():
        if line.startswith("    "):
            current.append(line[4:])
        elif current and line.strip():
            found.append(current)
            current = []
    return found + ([current] if current else [])


@unittest.skipUnless(BUILD and os.access(os.path.join(BUILD, "src/app/discstart"), os.X_OK),
                     "needs BUILD, a build folder with the launcher, discinfo and the start program")
class ReadmeTest(unittest.TestCase):
    def setUp(self):
        self.work = Path(tempfile.mkdtemp(prefix="readme-"))
        self.tree = self.work / "discstart"
        self.tree.mkdir()
        for copied in ("scripts", "tools"):
            shutil.copytree(ROOT / copied, self.tree / copied, ignore=shutil.ignore_patterns("__pycache__"))
        for linked in ("examples", "assets", "LICENSE", "CMakeLists.txt"):
            (self.tree / linked).symlink_to(ROOT / linked)
        (self.tree / "build-demo").symlink_to(Path(BUILD).resolve())
        self.env = {k: v for k, v in os.environ.items() if not k.startswith("DISCSTART_") and k != "DISCINFO"}
        self.env.update({"QT_QPA_PLATFORM": "offscreen", "DISCSTART_WINDOWS_BUILD": str(self.work / "none")})

    def tearDown(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def run_line(self, line, cwd):
        # The preview starts the launcher, which runs until it is closed: still running is a start.
        preview = line.startswith("sh ") and "autorun.sh" in line
        command = ["timeout", "5", "bash", "-c", line] if preview else ["bash", "-c", line]
        done = subprocess.run(command, cwd=cwd, env=self.env, capture_output=True, text=True)
        self.assertEqual(done.returncode, 124 if preview else 0, f"{line}\n{done.stdout}{done.stderr}")
        return done

    def test_make_a_disc_as_written(self):
        disc = blocks("## Make a disc")[0]
        self.assertTrue(any(line.startswith("scripts/make-disc ") for line in disc), disc)
        for line in disc:
            self.run_line(line, self.tree)
        self.assertTrue((self.tree / "disc.iso").is_file())
        self.assertTrue((self.tree / "out/Night Train.avi").is_file())

    def test_the_tag_line_fills_the_lines(self):
        (line,) = blocks("### The tag lines")[0]
        self.assertTrue(line.startswith("ffmpeg -i film.avi"), line)
        if not shutil.which("ffmpeg"):
            self.skipTest("needs ffmpeg")
        shutil.copy(ROOT / "examples/disc/film.avi", self.work / "film.avi")
        self.run_line(line, self.work)
        shown = subprocess.run([os.path.join(BUILD, "src/cli/discinfo"), str(self.work / "tagged.avi")],
                               capture_output=True, text=True, env=self.env).stdout
        for says in ("Title line:   Night Train", "Author: Mara Ellison", "Copyright: 2026 Tidewater",
                     "Genre: Drama"):
            self.assertTrue(re.search(re.escape(says), shown), f"{says}\n{shown}")


if __name__ == "__main__":
    unittest.main()
