#!/usr/bin/env python3
"""The disc's content laid out, what keeps it from being written, and make-disc's command line."""
import contextlib
import io
import os
import tempfile
import unittest
from pathlib import Path

import kit_support  # noqa: F401
from disckit import content, guard, makedisc, options, pagefiles
from disckit.discinfo import PageFile, Refusal, Report


class CoverTest(unittest.TestCase):
    def test_the_cover_comes_before_every_picture_of_the_page(self):
        cases = [
            ("cover.jpg", ["still.jpg"], "cover.jpg"),
            ("cover.jpg", [], "cover.jpg"),
            ("cover.jpg", ["a-still.jpg"], "!cover.jpg"),
            ("cover.jpg", ["Cover.JPG"], "!cover.jpg"),       # equal but for case: by code point, C first
            ("cover.jpg", ["COVER.jpg", "b.gif"], "!cover.jpg"),
            ("cover.jpg", ["!a.jpg"], "!!cover.jpg"),
            ("cover.jpg", ["! a.jpg", "z.jpg"], "! !cover.jpg"),
            ("cover.jpg", ["!!.jpg", "!a.jpg"], "!!!cover.jpg"),
            ("Zed.bmp", ["apple.gif", "zoo.jpg"], "!Zed.bmp"),
        ]
        for name, others, placed in cases:
            with self.subTest(others=others):
                self.assertEqual(content.first_before(name, others), placed)
                self.assertTrue(all(content.sort_key(placed) < content.sort_key(o) for o in others))

    def test_plan_names_the_movie_after_the_label_and_keeps_the_page_as_it_lies(self):
        placed = content.plan("in/film.mp4", "Mp4", "What? Night", "in/Front.JPEG", "site/intro.htm",
                              ["a-still.jpg", "img/b.png", "img/c.jpg"])
        self.assertEqual(placed.movie.name, "What- Night.mp4")
        self.assertEqual(placed.cover.name, "!Front.jpg")  # a-still.jpg lies at the top and sorts before
        self.assertEqual(placed.page.name, "intro.htm")
        self.assertEqual([(p.name, p.source) for p in placed.page_files],
                         [("a-still.jpg", "site/a-still.jpg"), ("img/b.png", "site/img/b.png"),
                          ("img/c.jpg", "site/img/c.jpg")])

    def test_movie_suffix_by_kind(self):
        cases = [("Avi", "f.avi", ".avi"), ("OggMedia", "f.ogm", ".avi"), ("Other", "f.mpg", ".avi"),
                 ("Mp4", "f.M4V", ".m4v"), ("Mp4", "f.mov", ".mov"), ("Mp4", "f.qt", ".mp4"),
                 ("Matroska", "f.webm", ".webm"), ("Matroska", "f.mka", ".mkv")]
        for kind, path, suffix in cases:
            with self.subTest(path=path):
                self.assertEqual(content.movie_suffix(kind, path), suffix)

    def test_problems_of_a_layout(self):
        def layout(*page_files, movie="Night.avi"):
            placed = content.Layout(content.Placed(movie, "film.avi", "movie"))
            placed.page_files = [content.Placed(n, n, "page file") for n in page_files]
            return content.problems(placed)

        cases = [
            (["img/a.png", "b.gif"], []),
            (["we?rd.png"], ["the page's file 'we?rd.png' cannot be opened on Windows (it holds '?')"]),
            (["new\nline.jpg"], ["a control character"]),
            (["Licenses/x.txt"], ["takes the name of the disc's own licenses"]),
            (["autorun.inf"], ["takes the name of the disc's own autorun.inf"]),
            (["Still.JPG", "still.jpg"], ["'Still.JPG' and 'still.jpg' differ only in case"]),
            (["night.AVI"], ["'Night.avi' and 'night.AVI' differ only in case"]),
            (["Night.avi"], ["two files would be 'Night.avi'"]),
        ]
        for files, says in cases:
            with self.subTest(files=files):
                found = layout(*files)
                self.assertEqual(len(found), len(says), found)
                for message, said in zip(found, says):
                    self.assertIn(said, message)


class GuardTest(unittest.TestCase):
    def test_outputs_never_meet_inputs(self):
        with tempfile.TemporaryDirectory() as work:
            w = Path(work)
            for folder in ("out", "out2", "in"):
                (w / folder).mkdir()
            (w / "out2/film.avi").write_bytes(b"RIFF")
            (w / "in/film.avi").write_bytes(b"RIFF")
            os.link(w / "in/film.avi", w / "in/hard.avi")
            os.symlink(w / "in/film.avi", w / "in/soft.iso")
            movie = str(w / "in/film.avi")
            cases = [
                ("a sibling sharing the prefix", {"movie": str(w / "out2/film.avi")}, "out", "out.iso", []),
                ("ISO beside the folder", {"movie": movie}, "out", "out2.iso", []),
                ("ISO names the film", {"movie": movie}, "out", "in/film.avi", ["is the movie"]),
                ("ISO a hard link of the film", {"movie": movie}, "out", "in/hard.avi", ["is the movie"]),
                ("ISO a link to the film", {"movie": movie}, "out", "in/soft.iso", ["is the movie"]),
                ("ISO inside the folder", {"movie": movie}, "out", "out/disc.iso", ["lies inside the disc folder"]),
                ("ISO is the folder", {"movie": movie}, "out", "out", ["names the disc folder itself"]),
                ("film inside the folder", {"movie": str(w / "out2/film.avi")}, "out2", None, ["lies inside"]),
                ("folder is the film", {"movie": movie}, "in/film.avi", None, ["is the movie"]),
                ("page files too", {"page's file": [str(w / "in/hard.avi")]}, "out", "in/film.avi",
                 ["is the page's file"]),
            ]
            for name, inputs, out, iso, says in cases:
                with self.subTest(name):
                    found = guard.overlaps(inputs, str(w / out), str(w / iso) if iso else None)
                    self.assertEqual(len(found), len(says), found)
                    for message, said in zip(found, says):
                        self.assertIn(said, message)


class PageFilesTest(unittest.TestCase):
    def test_what_is_copied_and_why_the_rest_is_not(self):
        with tempfile.TemporaryDirectory() as work:
            w = Path(work)
            (w / "page/img").mkdir(parents=True)
            (w / "page/.secret").mkdir()
            (w / "elsewhere.txt").write_text("private")
            for name in ("img/a.png", "still.jpg", ".secret/id", ".bash_history"):
                (w / "page" / name).write_text("x")
            os.symlink("../elsewhere.txt", w / "page/users.txt")
            os.symlink("img/a.png", w / "page/inside.png")
            # What discinfo lists as loadable (hidden and linked-out ones are checked again all the
            # same), and what it refuses.
            listed = ["img/a.png", "img/a.png", "inside.png", ".secret/id", "users.txt"]
            refused = [(".ssh/id_rsa", "hidden"), ("Still.JPG", "missing"), ("gone.gif", "missing"),
                       ("fifo", "special"), (None, "outside")]
            report = Report({}, page_files=[PageFile("intro.htm", path, path) for path in listed],
                            refused=[Refusal("intro.htm", path or "../x.png", path, reason)
                                     for path, reason in refused])
            found = pagefiles.page_files(report, str(w / "page"))
            self.assertEqual(found.copied, ["img/a.png", "inside.png"])
            says = ["refers to .ssh/id_rsa, which is not copied: it is hidden",
                    "Still.JPG, which is not beside it (still.jpg is there, which differs only in case",
                    "gone.gif, which is not beside it",
                    "fifo, which is not copied: it is not a plain file",
                    "refers to ../x.png, outside the page's folder",
                    ".secret/id, which is not copied: it is hidden",
                    "users.txt, which is not copied: a link leads out of the page's folder"]
            self.assertEqual(len(found.problems), len(says), found.problems)
            for message, said in zip(found.problems, says):
                self.assertIn(said, message)


class OptionsTest(unittest.TestCase):
    def run_main(self, args):
        err, out = io.StringIO(), io.StringIO()
        with contextlib.redirect_stderr(err), contextlib.redirect_stdout(out):
            status = makedisc.main(args)
        return status, out.getvalue() + err.getvalue()

    def test_usage_errors_and_help(self):
        cases = [
            (["--help"], 0, "usage: make-disc [OPTIONS] MOVIE OUT"),
            (["film.avi", "-h"], 0, "--linux-only"),
            ([], 2, "give a MOVIE and the OUT folder"),
            (["film.avi"], 2, "give a MOVIE and the OUT folder"),
            (["film.avi", "out", "more"], 2, "one MOVIE and one OUT folder, not: film.avi out more"),
            (["film.avi", "--cover", "--page", "p.htm", "out"], 2, "option --cover needs a value"),
            (["film.avi", "out", "--label"], 2, "option --label needs a value"),
            (["film.avi", "--label", "", "out"], 2, "option --label needs a value"),
            (["--bogus", "film.avi", "out"], 2, "unknown option '--bogus'"),
            (["-film.avi", "out"], 2, "unknown option '-film.avi' (a file named so goes after --, or as"
                                      " ./-film.avi)"),
            (["--medium", "floppy", "f", "o"], 2, "--medium is cd, dvd or dvd-dl, not 'floppy'"),
            (["--medium", "dvd-dl2", "f", "o"], 2, "--medium is cd"),
        ]
        for args, status, says in cases:
            with self.subTest(args=args):
                got, said = self.run_main(args)
                self.assertEqual(got, status, said)
                self.assertIn(says, said)

    def test_names_that_look_like_options(self):
        parsed = options.parse(["--cover", "-x.jpg", "--label", "-Night", "--", "-film.avi", "-out"])
        self.assertEqual((parsed.cover, parsed.label, parsed.movie, parsed.out), ("-x.jpg", "-Night", "-film.avi",
                                                                                  "-out"))
        self.assertTrue(options.parse(["--linux-only", "--force", "f", "o"]).linux_only)

    def test_preview_without_a_display_makes_nothing(self):
        saved = {k: os.environ.pop(k, None) for k in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        try:
            with tempfile.TemporaryDirectory() as work:
                status, said = self.run_main(["--preview", "--linux-only", "film.avi", work + "/out"])
                self.assertEqual(status, 1)
                self.assertEqual(said.count("\n"), 1)
                self.assertIn("--preview: no display", said)
                self.assertFalse(os.path.exists(work + "/out"))
        finally:
            os.environ.update({k: v for k, v in saved.items() if v is not None})


if __name__ == "__main__":
    unittest.main()
