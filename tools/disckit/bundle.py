"""Puts the Linux launcher into a disc folder so that it starts on any Linux machine: on the
machine's own Qt when that is there and new enough, else on the Qt the disc carries.

  OUT/discstart       the start program (src/start, built as disc_start), which picks one of:
  OUT/discstart-host  the launcher as built, for the machine's Qt
  OUT/discstart-disc  the launcher with a run path into OUT/qt/
  OUT/qt/             the Qt libraries and plugins the launcher loads, laid out as the machine
                      has them under its prefix; every file as it is, except that QtCore's
                      install prefix reads "qt beside the program" and ICU's data keeps only the
                      character converters
  OUT/qt/read-order   every launcher file in the order it is read (plan.read_order): the order
                      of the ISO image, and what the start program reads before the launcher
                      runs (it carries a copy at the end of its file)

A launcher built with Qt WebEngine also gets its helper process, resources and locales, and the
WebEngine page module beside it."""
import os
import shutil
import subprocess
from pathlib import Path

from . import icu, layout, plan
from . import paths as kit_paths


class BundleError(Exception):
    pass


def output(command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def needed(elf):
    return [line.split("[", 1)[1].rstrip("]") for line in output(["readelf", "-dW", str(elf)]).splitlines()
            if "(NEEDED)" in line]


def resolved(elfs):
    """soname -> path on this machine, for everything the given files load."""
    paths = {}
    for elf in elfs:
        report = output(["ldd", str(elf)])
        missing = [line.split()[0] for line in report.splitlines() if "not found" in line]
        if missing:
            raise BundleError(f"libraries not found on this machine: {' '.join(sorted(set(missing)))}")
        for line in report.splitlines():
            parts = line.split()
            if len(parts) >= 3 and parts[1] == "=>" and parts[2].startswith("/"):
                paths.setdefault(parts[0], parts[2])
    return paths


def qt_paths(program):
    """Install paths of the machine's Qt, relative to its prefix."""
    def query(name):
        try:
            return subprocess.run(["qtpaths6", "--query", name], capture_output=True, text=True).stdout.strip()
        except OSError:
            return ""

    prefix = query("QT_INSTALL_PREFIX")
    paths = {key: query(f"QT_INSTALL_{key.upper()}")
             for key in ("libs", "plugins", "libexecs", "data", "translations")}
    if not prefix or not all(paths.values()):
        core = resolved([program]).get("libQt6Core.so.6")
        if not core:
            raise BundleError(f"{program} does not load Qt 6")
        libs = Path(os.path.realpath(core)).parent
        prefix = str(libs.parent.parent) if libs.parent.name == "lib" else str(libs.parent)
        paths = {"libs": str(libs), "plugins": str(libs / "qt6/plugins"), "libexecs": str(libs / "qt6/libexec"),
                 "data": f"{prefix}/share/qt6", "translations": f"{prefix}/share/qt6/translations"}
    return prefix, {key: os.path.relpath(value, prefix) for key, value in paths.items()}


# QtCore keeps its install prefix in a patchable field; a relative prefix is taken from the
# program's folder, so the disc's QtCore finds its plugins in qt/ and the machine's its own.
PREFIX_FIELD = b"qt_prfxpath="


def set_prefix(core):
    """Points QtCore's compiled-in prefix at qt/ beside the program, in place: the field has a
    fixed length, which the new prefix keeps ("./qt", ".//qt", ...)."""
    data = bytearray(core.read_bytes())
    at = data.find(PREFIX_FIELD)
    if at < 0:
        raise BundleError(f"{core} has no install prefix to set")
    start = at + len(PREFIX_FIELD)
    length = data.index(b"\0", start) - start
    if length < len(layout.QT_FOLDER) + 2:
        raise BundleError(f"{core}: its install prefix is too short to point at {layout.QT_FOLDER}/")
    data[start:start + length] = ("." + "/" * (length - len(layout.QT_FOLDER) - 1) + layout.QT_FOLDER).encode()
    core.write_bytes(data)


def copy_program(program, target, rpath=None):
    shutil.copyfile(program, target)
    subprocess.run(["strip", "--strip-unneeded", str(target)], capture_output=True)
    if rpath:
        # DT_RPATH, not RUNPATH: the loader then searches it for every library and plugin the
        # program loads, so the libraries themselves stay as they are.
        subprocess.run(["patchelf", "--force-rpath", "--set-rpath", rpath, str(target)], check=True)
    else:
        subprocess.run(["patchelf", "--remove-rpath", str(target)], check=True)
    target.chmod(0o755)


def page_module(program):
    """The WebEngine page view, a module the launcher loads from its own folder once its window
    is on screen: beside the program or in the build's page folder."""
    return next((m for m in (program.parent / layout.WEBENGINE_MODULE,
                             program.parent / "../page" / layout.WEBENGINE_MODULE) if m.is_file()), None)


def bundle(program, out, start, movie=None):
    """Bundles `program` with the start program `start` into the disc folder `out`, the film
    `movie` (its name there) named in the read order; the number of libraries it carries."""
    program, out = Path(program), Path(out)
    for tool in ("ldd", "patchelf", "readelf", "strip"):
        if not shutil.which(tool):
            raise BundleError(kit_paths.missing(tool))
    prefix, rel = qt_paths(program)
    plugin_root = Path(prefix) / rel["plugins"]
    if not (plugin_root / "platforms").is_dir():
        raise BundleError(f"no Qt plugins found (looked in {plugin_root})")
    qt = out / layout.QT_FOLDER
    libs, plugins = qt / rel["libs"], qt / rel["plugins"]

    module = page_module(program)
    roots = [program] + ([module] if module else [])
    webengine = any("libQt6WebEngineCore" in n for root in roots for n in resolved([root]))
    groups = plan.plugin_groups(webengine)
    for group in groups.values():
        for plugin in group:
            if not (plugin_root / plugin).is_file():
                raise BundleError(f"no Qt plugin {plugin_root / plugin}: " + kit_paths.missing(Path(plugin).name))

    libs.mkdir(parents=True, exist_ok=True)
    shutil.copy(start, out / layout.START)
    (out / layout.START).chmod(0o755)
    copy_program(program, out / layout.HOST)
    copy_program(program, out / layout.DISC, "$ORIGIN/" + os.path.relpath(libs, out))
    if module:
        copy_program(module, out / module.name)
        (out / module.name).chmod(0o644)
    helpers = []
    for group in groups.values():
        for plugin in group:
            (plugins / plugin).parent.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(plugin_root / plugin, plugins / plugin)
    if webengine:
        libexec = qt / rel["libexecs"]
        libexec.mkdir(parents=True, exist_ok=True)
        helper = Path(prefix) / rel["libexecs"] / "QtWebEngineProcess"
        copy_program(helper, libexec / helper.name, "$ORIGIN/" + os.path.relpath(libs, libexec))
        # The helper is a program of its own: a relative prefix would be taken from its folder.
        (libexec / "qt.conf").write_text(f"[Paths]\nPrefix = {os.path.relpath(qt, libexec)}\n")
        shutil.copytree(Path(prefix) / rel["data"] / "resources", qt / rel["data"] / "resources")
        shutil.copytree(Path(prefix) / rel["translations"] / "qtwebengine_locales",
                        qt / rel["translations"] / "qtwebengine_locales")
        helpers.append(libexec / helper.name)

    plugin_files = [plugins / p for group in groups.values() for p in group]
    paths = resolved(roots + helpers + plugin_files)

    def needs(node):
        if isinstance(node, Path):
            return needed(node)
        return needed(paths[node]) if node in paths else None

    libraries = plan.plan_libraries(program, roots[1:] + helpers, groups, needs, plugin=lambda p: plugins / p)
    for soname in libraries.all():
        shutil.copyfile(paths[soname], libs / soname)
    set_prefix(libs / "libQt6Core.so.6")
    for soname in libraries.icu_data():
        icu.trim_data(libs / soname, plan.ICU_DATA.match(soname).group(1))

    (out / layout.READ_ORDER).touch()
    qt_files = [str(p.relative_to(out)) for p in qt.rglob("*") if p.is_file()]
    entries = plan.read_order(libraries, groups, str(libs.relative_to(out)), str(plugins.relative_to(out)),
                              module.name if module else None, qt_files, movie)
    text = layout.order_text(entries)
    (out / layout.READ_ORDER).write_text(text)
    # The start program carries the list at the end of its file, which is read anyway.
    with open(out / layout.START, "ab") as start_file:
        start_file.write(text.encode() + layout.footer(text))
    return len(libraries.all())


def one_file(program, single, start, out, movie=None, page_in=False, ready=False):
    """Puts the launcher as one file into the disc folder `out`: `single`, Qt linked in, runs
    where the machine has no Qt of its own, `program` (the launcher as built here) where it has.
    The start program reads the one file whole, in one sweep, before it runs it; with `page_in`
    it leaves the pages it needs to the kernel instead. A `ready` program (installed: stripped,
    no run path) is copied as it is."""
    out = Path(out)
    for tool in () if ready else ("patchelf", "strip"):
        if not shutil.which(tool):
            raise BundleError(kit_paths.missing(tool))
    shutil.copy(start, out / layout.START)
    (out / layout.START).chmod(0o755)
    if ready:
        shutil.copyfile(program, out / layout.HOST)
        (out / layout.HOST).chmod(0o755)
    else:
        copy_program(program, out / layout.HOST)
    shutil.copyfile(single, out / layout.DISC)
    (out / layout.DISC).chmod(0o755)
    entries = [("start", layout.START), ("host", layout.HOST), ("late" if page_in else "disc", layout.DISC)]
    text = layout.order_text(entries + ([("movie", movie)] if movie else []))
    (out / layout.QT_FOLDER).mkdir(exist_ok=True)
    (out / layout.READ_ORDER).write_text(text)
    with open(out / layout.START, "ab") as start_file:
        start_file.write(text.encode() + layout.footer(text))
