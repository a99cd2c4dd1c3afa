#!/usr/bin/env python3
"""The names the kit writes: the rule, the names it makes, the volume name, autorun.inf."""
import unittest

import kit_support  # noqa: F401
from disckit import layout, names


class NameRuleTest(unittest.TestCase):
    def test_names_windows_opens_and_those_it_does_not(self):
        cases = [
            ("Night Train.avi", None),
            ("a" * 103, None),
            ("a" * 104, "longer than 103"),
            ("\U0001F3AC" * 51 + "a", None),          # 51 pairs and one: 103 UTF-16 units
            ("\U0001F3AC" * 52, "longer than 103"),  # 104 units
            ("", "empty"),
            ("What? *.avi", "'?'"),
            ("back\\slash.avi", "'\\\\'"),
            ("a:b", "':'"),
            ("line\nbreak.jpg", "a control character"),
            ("tab\t.jpg", "a control character"),
            ("del\x7f.jpg", "a control character"),
            ("trailing.", "starts or ends"),
            ("trailing ", "starts or ends"),
            (" leading", "starts or ends"),
            (".hidden", "starts or ends"),
            ("CON", "device"),
            ("con.txt", "device"),
            ("LPT9.jpg", "device"),
            ("CONSOLE.jpg", None),
            ("COM10.jpg", None),
            ("COM\u00b9", "device"),
            ("com\u00b2.txt", "device"),
            ("LPT\u00b3.jpg", "device"),
            ("lpt\u00b9", "device"),
            ("COM\u2074.jpg", None),       # superscript four: no port of that name
            ("CONIN$", "device"),
            ("conout$.log", "device"),
            ("CONIN$x.jpg", None),
            ("CON .txt", "device"),        # Windows drops the blanks before the dot
            ("-dash.jpg", None),
            ("caf\udce9.jpg", "not UTF-8"),
        ]
        for name, problem in cases:
            with self.subTest(name=name):
                found = names.name_problem(name)
                if problem is None:
                    self.assertIsNone(found)
                else:
                    self.assertIn(problem, found or "")

    def test_a_path_names_the_part_at_fault(self):
        self.assertIsNone(names.path_problem("img/a b.png"))
        self.assertIn("'we?rd'", names.path_problem("we?rd/a.png"))
        self.assertIn("device", names.path_problem("img/aux.png"))

    def test_made_names_follow_the_rule(self):
        cases = [
            ("Night Train", ".avi", "Night Train.avi"),
            ("What? *", ".avi", "What- -.avi"),
            ("back\\slash", ".avi", "back-slash.avi"),
            (" .dots. ", ".avi", "dots.avi"),
            ("...", ".avi", "movie.avi"),
            ("line\nbreak", ".avi", "line-break.avi"),
            ("CON", ".avi", "CON-.avi"),
            ("CONOUT$", ".avi", "CONOUT$-.avi"),
            ("LPT\u00b2", ".jpg", "LPT\u00b2-.jpg"),
            ("-x", ".jpg", "-x.jpg"),
            ("a" * 200, ".webm", "a" * 98 + ".webm"),
            ("caf\udce9", ".avi", "caf\ufffd.avi"),
        ]
        for text, suffix, made in cases:
            with self.subTest(text=text):
                self.assertEqual(names.made_name(text, suffix, "movie"), made)
                self.assertIsNone(names.name_problem(made))

    def test_volume_id_is_the_labels_plain_form(self):
        cases = [("Köln Night Train", "KOLN_NIGHT_TRAIN"), ("", "DISC"), ("日本", "DISC"), ("a" * 33, "A" * 32),
                 ("--x--", "X"), ("FIlm №1", "FILM_NO1")]
        for label, volume in cases:
            with self.subTest(label=label):
                self.assertEqual(names.volume_id(label), volume)

    def test_autorun_inf_names_the_launcher_its_icon_and_the_label_in_utf16(self):
        data = names.autorun_inf("Köln\nNight")
        self.assertEqual(data[:2], b"\xff\xfe")
        self.assertEqual(data[2:].decode("utf-16-le"),
                         "[autorun]\r\nopen=discstart.exe\r\nicon=discstart.exe,0\r\nlabel=Köln Night\r\n"
                         "action=Start Köln Night\r\n")


class LayoutTest(unittest.TestCase):
    def test_the_kits_own_names_are_taken_whatever_their_case(self):
        for path, taken in [("discstart", "discstart"), ("Licenses/x.txt", "licenses/"), ("QT/a.png", "qt/"),
                            ("autorun.INF", "autorun.inf"), ("discstart.exe", "discstart.exe"),
                            ("discstart2", None), ("qtx/a.png", None), ("img/qt", None),
                            ("sources.txt", "SOURCES.txt")]:
            with self.subTest(path=path):
                self.assertEqual(layout.kit_name(path), taken)

    def test_media_from_the_smallest_up_at_their_exact_sizes(self):
        cases = [(1, "cd"), (360000, "cd"), (360001, "dvd"), (2295104, "dvd"), (2295105, "dvd-dl"),
                 (4171712, "dvd-dl"), (4171713, None)]
        for sectors, medium in cases:
            with self.subTest(sectors=sectors):
                found = layout.medium_for(sectors)
                self.assertEqual(found.name if found else None, medium)
        self.assertEqual(layout.mib(layout.medium_named("cd").bytes), "703.1 MiB")

    def test_linux_files_leave_the_windows_ones(self):
        self.assertIn("qt/", layout.LINUX_FILES)
        self.assertIn("autorun.sh", layout.LINUX_FILES)
        for windows in (layout.WINDOWS_EXE, layout.AUTORUN_INF, layout.LICENSES, layout.SOURCES_TXT):
            self.assertNotIn(windows, layout.LINUX_FILES)


class ListedNamesTest(unittest.TestCase):
    def test_a_long_list_is_a_count_and_the_first_few(self):
        many = [f"img/{i}.png" for i in range(39999)]
        cases = [
            ([], ""),
            (["a"], "a"),
            (many[:8], ", ".join(many[:8])),
            (many[:9], ", ".join(many[:5]) + " and 4 more"),
            (many, ", ".join(many[:5]) + " and 39,994 more"),
        ]
        for given, said in cases:
            with self.subTest(count=len(given)):
                self.assertEqual(layout.some_names(given), said)


if __name__ == "__main__":
    unittest.main()
