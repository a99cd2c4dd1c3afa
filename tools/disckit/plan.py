"""Which libraries go on the disc beside the Linux launcher, in which group, in what order they
are read: worked out from a dependency graph alone, so that it can be tested on one made up."""
import re
from dataclasses import dataclass

from . import layout

# Libraries that belong to the host, never bundled: the C library; the GCC runtime, which the
# host's graphics driver shares and needs in its own, newer version; the graphics driver
# stack; the X and Wayland client libraries, fonts setup, the system bus and NSS (which loads
# its crypto modules from its own install), which every desktop has in the version its
# services speak.
HOST_ONLY = re.compile(
    r"^(ld-linux.*|linux-vdso|libc|libm|libdl|libpthread|librt|libresolv|libutil|libanl|libnsl|"
    r"libstdc\+\+|libgcc_s|libGL|libGLX|libEGL|libOpenGL|libGLdispatch|libdrm|libgbm|libX[A-Za-z0-9-]*|"
    r"libxcb|libxshmfence|libfontconfig|libfreetype|libz|libdbus-1|libnss3|libnssutil3|libsmime3|libssl3|"
    r"libnspr4|libplc4|libplds4|libwayland-client|libwayland-cursor|libwayland-egl)\.so")

# Plugins by the window system that loads them. Qt reads the metadata of every plugin in a
# folder it searches, so the folders hold only these.
PLUGINS = {
    "disc": ["platforms/libqxcb.so", "platforms/libqwayland-generic.so", "platforms/libqoffscreen.so",
             "imageformats/libqjpeg.so", "imageformats/libqgif.so", "imageformats/libqico.so"],
    "wayland": ["wayland-shell-integration/libxdg-shell.so"],
    "webengine": ["xcbglintegrations/libqxcb-glx-integration.so", "xcbglintegrations/libqxcb-egl-integration.so"],
}
# The platform plugins' own libraries belong to their window system.
PLATFORM_GROUP = {"platforms/libqxcb.so": "xcb", "platforms/libqwayland-generic.so": "wayland"}
ICU_DATA = re.compile(r"^libicudata\.so\.(\d+)$")


class PlanError(Exception):
    pass


def walk(roots, needs):
    """The libraries the roots need, breadth first as the loader takes them, stopping at the
    host's own: what only they need is theirs too. `needs(node)` gives a file's or library's
    needed sonames, None for a library not found."""
    order, queue = [], [name for root in roots for name in needs(root)]
    while queue:
        soname = queue.pop(0)
        if soname in order or HOST_ONLY.match(soname):
            continue
        more = needs(soname)
        if more is None:
            raise PlanError(f"cannot resolve {soname}")
        order.append(soname)
        queue += more
    return order


@dataclass
class Libraries:
    common: list   # read by the launcher on the disc's Qt under any window system
    xcb: list      # by X alone
    wayland: list  # by Wayland alone
    page: list     # by the WebEngine page view, after the window shows

    def all(self):
        return self.common + self.xcb + self.wayland + self.page

    def icu_data(self):
        """ICU's data libraries, of which the launcher reads the first page only."""
        return [soname for soname in self.all() if ICU_DATA.match(soname)]


def plugin_groups(webengine):
    groups = {name: list(plugins) for name, plugins in PLUGINS.items()}
    if not webengine:
        groups.pop("webengine")
    return groups


def plan_libraries(program, page_roots, groups, needs, plugin=lambda p: p):
    """Splits what `program` and its plugins load by the window system that loads it; the page
    view's roots (its module, helper process and their plugins) get what is left. `plugin(p)`
    names a plugin's node in `needs`."""
    common = walk([program] + [plugin(p) for p in groups["disc"] if p not in PLATFORM_GROUP], needs)

    def own(files, taken):
        return [lib for lib in walk(files, needs) if lib not in taken]

    xcb = own([plugin(p) for p, s in PLATFORM_GROUP.items() if s == "xcb"], common)
    wayland = own([plugin(p) for p, s in PLATFORM_GROUP.items() if s == "wayland"]
                  + [plugin(p) for p in groups["wayland"]], common)
    common += [lib for lib in xcb if lib in wayland]
    xcb = [lib for lib in xcb if lib not in common]
    wayland = [lib for lib in wayland if lib not in common]
    page = own(list(page_roots) + [plugin(p) for p in groups.get("webengine", [])], common + xcb + wayland)
    return Libraries(common, xcb, wayland, page)


def read_order(libraries, groups, libs, plugins, module, qt_files, movie=None):
    """The disc's reading order as (group, path) pairs: the start program, the launcher for the
    machine's Qt, then what the launcher on the disc's Qt loads; its plugins by folder, as the
    disc lays out its directories (the start program opens every file before it reads one).
    ICU's data, of which only the first page is read, after what is read whole; Wayland's part,
    then the rest of qt/ (`qt_files`, every file there). `libs` and `plugins` are the folders on
    the disc, `module` the page view's module or None; `movie`, the film, is named last."""
    icu = libraries.icu_data()
    entries = [("start", layout.START), ("host", layout.HOST), ("disc", layout.DISC)]
    entries += [("disc", f"{libs}/{s}") for s in libraries.common if s not in icu]
    entries += [("disc", f"{plugins}/{p}") for p in sorted(groups["disc"])]
    entries += [("xcb", f"{libs}/{s}") for s in libraries.xcb]
    entries += [("late", f"{libs}/{s}") for s in icu]
    entries += [("wayland", f"{libs}/{s}") for s in libraries.wayland]
    entries += [("wayland", f"{plugins}/{p}") for p in groups["wayland"]]
    if module:
        entries.append(("page", module))
    entries += [("page", f"{libs}/{s}") for s in libraries.page]
    listed = {path for _, path in entries}
    entries += [("page", path) for path in sorted(qt_files, key=lambda p: p.split("/")) if path not in listed]
    return entries + ([("movie", movie)] if movie else [])
