"""make-disc: a movie disc from a film, its cover and page, with the launcher for Linux and
Windows, the autorun files, the licences and sources of everything on it; optionally an ISO
image. What the launcher will pick and show is asked of discinfo, never guessed here."""
import os
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
from pathlib import Path

from . import bundle, content, discinfo, files, guard, icu, iso, layout, licenses, names, plan, sources
from . import options as cli
from . import paths as kit_paths
from .pagefiles import page_files

ME = "make-disc"
TAGS = "-c copy -metadata title=… -metadata artist=… -metadata copyright=… -metadata genre=…"


class Refused(Exception):
    """The disc cannot be made as asked; the message says why."""


def say(message):
    print(f"{ME}: {message}", file=sys.stderr, flush=True)


def refuse_all(problems, closing):
    for problem in problems:
        say(f"error: {problem}")
    raise Refused(closing)


def tree_bytes(*paths):
    """Bytes of files and folders as they lie, folders with everything in them."""
    total = 0
    for path in map(Path, paths):
        if path.is_dir() and not path.is_symlink():
            total += path.lstat().st_size + sum(p.lstat().st_size for p in path.rglob("*"))
        elif path.exists():
            total += path.lstat().st_size
    return total


class Run:
    def __init__(self, options, paths):
        self.options = options
        self.paths = paths
        self.out = Path(options.out)
        self.iso = Path(options.iso) if options.iso else None
        self.written = None
        self.sources = {}
        self.iso_started = False
        self.scratch = None
        self.label = options.label or content.stem(options.movie)
        self.launcher = layout.BUNDLE  # the Linux launcher's kind: its files, bundled with Qt

    def check_inputs(self):
        o, p = self.options, self.paths
        if not os.path.isfile(o.movie):
            raise Refused(f"no movie file {o.movie}")
        if o.cover and not os.path.isfile(o.cover):
            raise Refused(f"no picture file {o.cover}")
        if o.page and not os.path.isfile(o.page):
            raise Refused(f"no page file {o.page}")
        # As discinfo is about to see them: the disc is planned on these and must carry these.
        self.remember(o.movie, o.cover, o.page)
        if o.cover and content.suffix(o.cover) not in content.PICTURES:
            raise Refused(f"the launcher shows only .jpg, .bmp and .gif pictures: convert {o.cover} to JPEG")
        if o.page and content.suffix(o.page) not in content.PAGES:
            raise Refused(f"the launcher shows only .htm and .html pages: {o.page}")
        if not os.access(p.launcher, os.X_OK):
            raise Refused(f"no launcher at {p.launcher} (scripts/demo builds it, or set DISCSTART_LAUNCHER)")
        if not os.access(p.discinfo, os.X_OK):
            raise Refused(f"no discinfo at {p.discinfo} (scripts/demo builds it, or set DISCINFO)")
        if not os.access(p.start, os.X_OK):
            raise Refused(f"no start program at {p.start} (scripts/demo builds it, or set DISCSTART_START)")
        if not o.linux_only and not p.windows_exe:
            build = "scripts/release/windows-build builds it, " if p.root else ""
            raise Refused(f"no Windows launcher: {build}DISCSTART_WINDOWS_EXE names one, or give --linux-only for"
                          " a disc that starts on Linux alone")
        if not o.linux_only and not p.windows_exe.is_file():
            raise Refused(f"no Windows launcher at {p.windows_exe}")
        # The one file where it is built: it starts on older systems and reads less from a disc.
        if not o.bundle and not o.webengine and p.one_file:
            self.launcher = layout.ONE_FILE
        elif not o.bundle and not o.webengine:
            where = "scripts/release/linux-build makes it, or " if p.root else ""
            say("note: no one-file Linux launcher (" + where + "set DISCSTART_LINUX_BUILD): the disc carries the"
                " launcher with Qt beside it, which starts on Debian 12 and newer only")
        # A launcher as installed goes on a one-file disc as it is; any other is stripped first.
        tools = ["xorriso"] + ([] if self.launcher is layout.ONE_FILE and p.launcher_ready else ["patchelf"])
        for tool in tools:
            if not shutil.which(tool):
                raise Refused(kit_paths.missing(tool))
        if o.webengine and not bundle.page_module(p.launcher):
            raise Refused("--webengine: this build has no WebEngine page view "
                          "(configure with -DDISCSTART_WEBENGINE=ON)")
        if self.iso and self.iso.is_dir():
            raise Refused(f"--iso names a folder: {o.iso}")

    def remember(self, *sources):
        for source in filter(None, sources):
            self.sources.setdefault(source, files.identity(source))

    def ask_discinfo(self):
        """One run of discinfo for the inputs: the movie's kind, and what the page needs from
        beside it."""
        o = self.options
        folder = os.path.dirname(o.page) or "." if o.page else None
        asked = [o.movie] + ([folder] if folder else [])
        reports = discinfo.describe(self.paths.discinfo, asked, page=os.path.basename(o.page) if o.page else None)
        self.kind = reports[0].kind
        self.page_report = reports[1] if folder else None

    def plan(self):
        """The layout, and every reason not to write it, before anything is written."""
        o = self.options
        found = page_files(self.page_report, os.path.dirname(o.page) or ".") if o.page else None
        self.placed = content.plan(o.movie, self.kind, self.label, o.cover, o.page,
                                   found.copied if found else [])
        self.remember(*(p.source for p in self.placed.page_files))
        inputs = {"movie": o.movie, "cover": o.cover, "page": o.page,
                  "page's file": [p.source for p in self.placed.page_files]}
        fixed = content.problems(self.placed) + guard.overlaps({k: v for k, v in inputs.items() if v}, o.out, o.iso)
        if fixed:
            refuse_all(fixed, "nothing is written")
        if self.out.exists() and not (self.out.is_dir() and not any(self.out.iterdir())):
            raise Refused(f"{o.out} exists and is not an empty folder")
        forced = []
        if not o.cover:
            forced.append('no cover: the cover area would say "picture is not in the directory"; give --cover'
                          " PICTURE")
        if found:
            forced += found.problems
        if forced and not o.force:
            refuse_all(forced, "the disc would show less than you asked; fix the above, or give --force to make it"
                               " anyway")

    def copy_content(self):
        for item in self.placed.all():
            target = self.out / item.name
            target.parent.mkdir(parents=True, exist_ok=True)
            files.copy(item.source, target, f"the {item.role}", self.sources.get(item.source))
        p = self.placed
        said = [f"the film {p.movie.name}"] + ([f"the cover {p.cover.name}"] if p.cover else [])
        if p.page:
            said.append(f"the page {p.page.name}")
        others = [f.name for f in p.page_files]
        listed = ", ".join(said)
        if others:
            noun = f"file{'s' if len(others) > 1 else ''}"
            listed += f" and {len(others)} {noun} it refers to: " + layout.some_names(others)
        say(f"on the disc: {listed}")

    def verify(self):
        """What discinfo says the launcher makes of the disc: the film, cover and page as laid
        out, and what the disc check finds."""
        report = discinfo.describe(self.paths.discinfo, [self.out])[0]
        self.report = report
        p = self.placed
        wrong = []
        for chosen, placed, what in ((report.movie, p.movie, "play"), (report.picture, p.cover, "show as cover"),
                                     (report.page, p.page, "show as page")):
            if placed and not chosen:
                wrong.append(f"the launcher would {what} nothing, not {placed.name}: it does not list such a file")
            elif placed and chosen != str(self.out / placed.name):
                wrong.append(f"the launcher would {what} {os.path.relpath(chosen, self.out)}, not {placed.name}: the"
                             " page's own files must not come first at the disc's top (move them into a folder)")
        if wrong:
            refuse_all(wrong, "the disc would not show what you asked")
        if report.title_strip != f" {self.label} ":
            say(f'note: the title strip shows "{report.title_strip}"')
        status, said = discinfo.check(self.paths.discinfo, self.out)
        if status == discinfo.COULD_NOT_RUN:
            raise Refused("the disc check could not run: build discinfo with its check library")
        if status > discinfo.COULD_NOT_RUN:
            raise Refused(f"discinfo --check failed (status {status})")
        if report.blank_tag_lines() and "[no-tags]" not in said:
            movie = self.options.movie
            tagged = os.path.join(os.path.dirname(movie), "tagged-" + os.path.basename(movie))
            say(f"note: the film's title and tag lines are blank; fill them with: ffmpeg -i {shlex.quote(movie)}"
                f" {TAGS} {shlex.quote(tagged)}")
        if status == discinfo.ERRORS and not self.options.force:
            raise Refused("the disc check found errors: fix them, or give --force to make the disc anyway")

    def add_launcher(self):
        o, p = self.options, self.paths
        program = p.launcher
        if not o.webengine:
            # Bundled from a copy of the launcher with no WebEngine module beside it, the
            # launcher gets the light page view.
            (self.scratch / "app").mkdir()
            program = self.scratch / "app" / layout.START
            shutil.copyfile(p.launcher, program)
            program.chmod(0o755)
        # The film as discinfo says the launcher plays it: the start program hands it to the
        # system's player where no launcher can run.
        movie = os.path.relpath(self.report.movie, self.out) if self.report and self.report.movie else None
        if self.launcher is layout.ONE_FILE:
            bundle.one_file(program, p.one_file, p.one_file_start, self.out, movie, ready=p.launcher_ready)
        else:
            # The start program built for Debian 11, where there is one, explains on older systems too.
            self.libraries = bundle.bundle(program, self.out, p.one_file_start or p.start, movie)
        sh = self.out / layout.AUTORUN_SH
        sh.write_text("#!/bin/sh\n# Linux desktops offer to run this when the disc is mounted; by hand: sh autorun.sh\n"
                      f'cd "$(dirname "$0")" || exit 1\nexec ./{layout.START} "$@"\n')
        sh.chmod(0o755)
        if not o.linux_only:
            shutil.copyfile(p.windows_exe, self.out / layout.WINDOWS_EXE)
            (self.out / layout.AUTORUN_INF).write_bytes(names.autorun_inf(self.label))

    def add_licenses(self):
        p = self.paths

        def prefix_of(variable, name, installed, what):
            """Where a Qt or library a launcher links was built: the environment's, the source
            tree's script's, else what the installed kit recorded."""
            prefix = os.environ.get(variable, "")
            script = p.root / "scripts" / "toolchain" / name if p.root else None
            if not prefix and script and os.access(script, os.X_OK):
                result = subprocess.run([str(script), "--prefix"], capture_output=True, text=True)
                if result.returncode != 0:
                    raise Refused(f"cannot tell where {what} is")
                prefix = result.stdout.strip()
            return prefix or (str(installed) if installed else "")

        windows_qt = windows_xz = ""
        if not self.options.linux_only:
            windows_qt = prefix_of("DISCSTART_QT_WINDOWS", "qt-windows", p.windows_qt, "Qt for Windows")
            windows_xz = prefix_of("DISCSTART_XZ_WINDOWS", "xz-windows", p.windows_xz, "liblzma for Windows")
        linux_qt = ""
        if self.launcher is layout.ONE_FILE:
            linux_qt = prefix_of("DISCSTART_QT_LINUX", "qt-linux", p.linux_qt,
                                 "the Qt linked into the one-file launcher")
        licenses.put_licenses(self.out, p, windows_qt, self.options.sources, os.environ.get("DISCSTART_SOURCE_URL", ""),
                              linux_qt, windows_xz)

    def measure(self):
        """The disc as it will be written against its medium: the one asked for, else the
        smallest it fits on."""
        o = self.options
        need = iso.image_size(self.out)
        fits = layout.medium_for(need)
        medium = layout.medium_named(o.medium) if o.medium else fits
        if not medium or need > medium.sectors:
            holds = medium or layout.MEDIA[-1]
            hint = f": give --medium {fits.name}" if fits else ": leave out what it need not carry"
            raise Refused(f"the disc needs {layout.mib(need * layout.SECTOR)}, more than {holds.text} holds "
                          f"({layout.mib(holds.bytes)}){hint}" + (", or leave out --webengine" if o.webengine else ""))
        out = self.out
        movie = (out / self.placed.movie.name).stat().st_size
        programs = tree_bytes(out / layout.START, out / layout.HOST, out / layout.DISC)
        if self.launcher is layout.ONE_FILE:
            linux = (f"the Linux programs {layout.mib(programs)}, Qt for machines without it linked into"
                     f" {layout.DISC} ({layout.mib(tree_bytes(out / layout.DISC))})")
        else:
            linux = (f"the programs {layout.mib(programs)}, Qt for machines without it ({self.libraries} libraries"
                     f" and their plugins) {layout.mib(tree_bytes(out / layout.QT_FOLDER))}")
        say(f"made {out} for {medium.text} ({layout.mib(medium.bytes)}), {layout.mib(need * layout.SECTOR)} in all:"
            f" the launcher adds {layout.mib(tree_bytes(out) - movie)} beside {self.placed.movie.name}"
            f" ({layout.mib(movie)}): {linux}")

    def write_iso(self):
        volume = names.volume_id(self.label)
        self.iso_started = True
        order = iso.content_order(self.report, str(self.out))
        iso.write(self.out, self.iso, order, label=names.shown_label(self.label), volume_id=volume)
        launcher = [self.out / name.rstrip("/") for name in self.launcher.files]
        size = self.iso.stat().st_size
        say(f"wrote {self.iso} ({layout.mib(size)}), volume {volume}: the launcher takes"
            f" {layout.mib(size - tree_bytes(self.out) + tree_bytes(*launcher))} of it")

    def make(self):
        self.check_inputs()
        self.ask_discinfo()
        self.plan()
        self.scratch = Path(tempfile.mkdtemp(prefix="make-disc-"))
        self.written = files.Written(self.out.resolve())
        with self.written:
            self.out.mkdir(parents=True, exist_ok=True)
            self.out = self.out.resolve()
            self.write()

    def write(self):
        self.copy_content()
        self.verify()
        self.add_launcher()
        self.add_licenses()
        self.measure()
        if self.iso:
            self.write_iso()

    def clean_up(self, failed):
        if self.scratch:
            shutil.rmtree(self.scratch, ignore_errors=True)
        if not failed or not self.written:
            return
        kept = self.written.remove()
        if self.iso_started and os.path.lexists(self.iso):
            os.remove(self.iso)
        if kept:
            shown = ", ".join(os.path.relpath(k, self.out.parent) for k in kept[:3])
            say(f"nothing made: what this run had written is removed; kept {shown}"
                f"{' and more' if len(kept) > 3 else ''}, which hold what it did not write")
        else:
            say("nothing made (what this run had written is removed)")

    def preview(self):
        say(f"previewing: the launcher from {self.out}, as a viewer starts it (close it to go on)")
        status = subprocess.run(["sh", str(self.out / layout.AUTORUN_SH)]).returncode
        if status:
            say(f"the launcher ended with status {status}")


def ready_folder(out, label, paths=None):
    """A disc folder without its film: the launchers for both systems (the Linux one as one
    file), the autorun files and the licences, for an author who puts the film, cover and page
    in with another system's tools. The start program names no film: where no launcher can run,
    it opens the disc's folder."""
    paths = paths or kit_paths.find()
    if not paths.windows_exe or not paths.one_file:
        raise Refused("a ready folder needs both launchers: the Windows one and the Linux one as one file")
    out = Path(out)
    if out.exists() and not (out.is_dir() and not any(out.iterdir())):
        raise Refused(f"{out} exists and is not an empty folder")
    run = Run(cli.Options(out=str(out), label=label), paths)
    run.launcher = layout.ONE_FILE
    run.report = None
    made = not out.exists()
    out.mkdir(parents=True, exist_ok=True)
    run.scratch = Path(tempfile.mkdtemp(prefix="make-disc-"))
    try:
        run.add_launcher()
        run.add_licenses()
    except BaseException:
        # Half a folder is no folder: what this call made goes.
        if made:
            shutil.rmtree(out, ignore_errors=True)
        else:
            for item in out.iterdir():
                if item.is_dir() and not item.is_symlink():
                    shutil.rmtree(item)
                else:
                    item.unlink()
        raise
    finally:
        shutil.rmtree(run.scratch, ignore_errors=True)


def interrupted(signum, frame):
    raise KeyboardInterrupt


ERRORS = (Refused, files.Changed, bundle.BundleError, discinfo.DiscinfoError, icu.IcuError, iso.IsoError,
          licenses.LicenseError, plan.PlanError, sources.SourceError, OSError)


def has_display(env=os.environ):
    """Whether a window can show: an X display or a Wayland socket named, or Qt told to draw
    offscreen."""
    return bool(env.get("DISPLAY") or env.get("WAYLAND_DISPLAY") or env.get("QT_QPA_PLATFORM") == "offscreen")


def main(args, prog="make-disc"):
    try:
        options = cli.parse(args)
    except cli.UsageError as error:
        say(str(error))
        print(f"Try '{prog} --help' for more information.", file=sys.stderr)
        return 2
    if options.help:
        sys.stdout.write(cli.USAGE.replace("usage: make-disc", f"usage: {prog}"))
        return 0
    if options.version:
        print(f"make-disc {kit_paths.find().version}")
        return 0
    if options.preview and not has_display():
        say("--preview: no display (DISPLAY and WAYLAND_DISPLAY are unset); preview later with sh OUT/autorun.sh")
        return 1
    run = Run(options, kit_paths.find())
    signal.signal(signal.SIGTERM, interrupted)
    failed = True
    try:
        run.make()
        failed = False
    except ERRORS as error:
        say(str(error))
        return 1
    except KeyboardInterrupt:
        return 130
    finally:
        run.clean_up(failed)
    if options.preview:
        run.preview()
    return 0
