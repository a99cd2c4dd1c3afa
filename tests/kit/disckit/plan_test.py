#!/usr/bin/env python3
"""The bundle plan on a made-up dependency graph: which libraries go on the disc, in which group,
read in what order."""
import unittest

import kit_support  # noqa: F401
from disckit import iso, plan

GRAPH = {
    "program": ["libQt6Widgets.so.6", "libc.so.6", "libstdc++.so.6"],
    "libQt6Widgets.so.6": ["libQt6Gui.so.6", "libQt6Core.so.6"],
    "libQt6Gui.so.6": ["libQt6Core.so.6", "libpng16.so.16", "libGL.so.1", "libxkbcommon.so.0"],
    "libQt6Core.so.6": ["libicuuc.so.72", "libz.so.1"],
    "libicuuc.so.72": ["libicudata.so.72"],
    "libicudata.so.72": [],
    "libpng16.so.16": ["libz.so.1"],
    "libxkbcommon.so.0": [],
    "libQt6XcbQpa.so.6": ["libQt6Gui.so.6", "libxkbcommon-x11.so.0", "libxcb.so.1", "libX11.so.6"],
    "libxkbcommon-x11.so.0": ["libxkbcommon.so.0", "libxcb-xkb.so.1"],
    "libxcb-xkb.so.1": ["libxcb.so.1"],
    "libQt6WaylandClient.so.6": ["libQt6Gui.so.6", "libwayland-client.so.0", "libffi.so.8"],
    "libffi.so.8": [],
    "libjpeg.so.62": [],
    "libQt6WebEngineCore.so.6": ["libQt6Gui.so.6", "libnss3.so", "libffi.so.8", "libre2.so.9"],
    "libre2.so.9": [],
    # plugins
    "platforms/libqxcb.so": ["libQt6XcbQpa.so.6"],
    "platforms/libqwayland-generic.so": ["libQt6WaylandClient.so.6", "libxkbcommon.so.0"],
    "platforms/libqoffscreen.so": ["libQt6Gui.so.6"],
    "imageformats/libqjpeg.so": ["libjpeg.so.62"],
    "imageformats/libqgif.so": [],
    "imageformats/libqico.so": [],
    "wayland-shell-integration/libxdg-shell.so": ["libQt6WaylandClient.so.6"],
    "xcbglintegrations/libqxcb-glx-integration.so": ["libQt6XcbQpa.so.6"],
    "xcbglintegrations/libqxcb-egl-integration.so": ["libQt6XcbQpa.so.6"],
    "module": ["libQt6WebEngineCore.so.6"],
}


class PlanTest(unittest.TestCase):
    def test_host_libraries_stay_and_the_rest_goes_by_window_system(self):
        libraries = plan.plan_libraries("program", [], plan.plugin_groups(False), GRAPH.get)
        # Breadth first, the launcher's and its plugins' needs together, as the loader meets them.
        self.assertEqual(libraries.common, ["libQt6Widgets.so.6", "libQt6Gui.so.6", "libjpeg.so.62",
                                            "libQt6Core.so.6", "libpng16.so.16", "libxkbcommon.so.0",
                                            "libicuuc.so.72", "libicudata.so.72"])
        self.assertEqual(libraries.xcb, ["libQt6XcbQpa.so.6", "libxkbcommon-x11.so.0", "libxcb-xkb.so.1"])
        # Wayland's and X's own: libffi would go with Wayland alone.
        self.assertEqual(libraries.wayland, ["libQt6WaylandClient.so.6", "libffi.so.8"])
        self.assertEqual(libraries.page, [])
        self.assertEqual(libraries.icu_data(), ["libicudata.so.72"])
        for host in ("libc.so.6", "libGL.so.1", "libX11.so.6", "libxcb.so.1", "libz.so.1", "libwayland-client.so.0"):
            self.assertNotIn(host, libraries.all())

    def test_a_library_both_window_systems_load_is_common(self):
        graph = dict(GRAPH, **{"libQt6XcbQpa.so.6": ["libffi.so.8"]})
        libraries = plan.plan_libraries("program", [], plan.plugin_groups(False), graph.get)
        self.assertIn("libffi.so.8", libraries.common)
        self.assertNotIn("libffi.so.8", libraries.xcb + libraries.wayland)

    def test_the_page_view_gets_what_is_left(self):
        libraries = plan.plan_libraries("program", ["module"], plan.plugin_groups(True), GRAPH.get)
        self.assertEqual(libraries.page, ["libQt6WebEngineCore.so.6", "libre2.so.9"])
        self.assertEqual(len(libraries.all()), len(set(libraries.all())))

    def test_a_library_not_found_stops_the_plan(self):
        graph = dict(GRAPH, **{"libjpeg.so.62": ["libgone.so.1"]})
        with self.assertRaisesRegex(plan.PlanError, "libgone.so.1"):
            plan.plan_libraries("program", [], plan.plugin_groups(False), graph.get)

    def test_read_order_by_group_each_file_once(self):
        groups = plan.plugin_groups(True)
        libraries = plan.plan_libraries("program", ["module"], groups, GRAPH.get)
        qt_files = ["qt/lib/libQt6Core.so.6", "qt/read-order", "qt/share/a-b/x", "qt/share/a/y"]
        entries = plan.read_order(libraries, groups, "qt/lib", "qt/plugins", "module.so", qt_files, "film.avi")
        paths = [path for _, path in entries]
        self.assertEqual(len(paths), len(set(paths)))
        self.assertEqual(entries[:4], [("start", "discstart"), ("host", "discstart-host"),
                                       ("disc", "discstart-disc"), ("disc", "qt/lib/libQt6Widgets.so.6")])
        order = [group for group, _ in entries]
        self.assertEqual(sorted(set(order), key=order.index), ["start", "host", "disc", "xcb", "late", "wayland",
                                                               "page", "movie"])
        self.assertEqual(entries[-1], ("movie", "film.avi"))
        paths = paths[:-1]
        self.assertEqual([p for g, p in entries if g == "late"], ["qt/lib/libicudata.so.72"])
        self.assertEqual([p for g, p in entries if g == "disc" and "plugins" in p],
                         ["qt/plugins/" + p for p in sorted(groups["disc"])])
        self.assertIn(("wayland", "qt/plugins/wayland-shell-integration/libxdg-shell.so"), entries)
        # The rest of qt/ last, folder by folder: a/ before a-b/.
        self.assertEqual(paths[-3:], ["qt/read-order", "qt/share/a/y", "qt/share/a-b/x"])
        self.assertLess(paths.index("module.so"), paths.index("qt/lib/libQt6WebEngineCore.so.6"))

    def test_the_image_lays_out_the_launcher_then_the_content(self):
        entries = [("start", "discstart"), ("disc", "qt/a.so"), ("late", "qt/icu.so"), ("movie", "film.avi")]
        content = ["cover.jpg", "film.avi", "intro.htm", "qt/a.so"]
        self.assertEqual(iso.sort_weights(entries, content).splitlines(),
                         ["1000000 /discstart", "999999 /qt/a.so", "999998 /qt/icu.so", "999997 /cover.jpg",
                          "999996 /film.avi", "999995 /intro.htm"])
        # The start program runs before anything is known of the kernel; the film is no launcher's.
        self.assertEqual(iso.compressed(entries), ["/qt/a.so", "/qt/icu.so"])


if __name__ == "__main__":
    unittest.main()
