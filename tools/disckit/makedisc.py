"""make-disc: a movie disc from a film, its cover and page, with the launcher for Linux and
Windows, the autorun files, the licences and sources of everything on it; optionally an ISO
image. What the launcher will pick and show is asked of discinfo, never guessed here."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
from pathlib import Path

from . import bundle, content, discinfo, iso, layout, licenses, names, options as cli, paths as kit_paths

ME = "make-disc"


class Refused(Exception):
    """The disc cannot be made as asked; the message says why."""


def say(message):
    print(f"{ME}: {message}", file=sys.stderr, flush=True)


def folder_bytes(*paths):
    total = 0
    for path in paths:
        path = Path(path)
        if path.is_file():
            total += path.stat().st_size
        elif path.is_dir():
            total += path.stat().st_size + sum(p.lstat().st_size for p in path.rglob("*"))
    return total


def mb(count):
    return f"{count / 1048576:.1f} MB"


class Run:
    def __init__(self, options, paths):
        self.options = options
        self.paths = paths
        self.out = Path(options.out)
        self.iso = Path(options.iso) if options.iso else None
        self.made_out = False
        self.iso_started = False
        self.scratch = None

    def check_inputs(self):
        o, p = self.options, self.paths
        if not os.path.isfile(o.movie):
            raise Refused(f"no movie file {o.movie}")
        if o.cover and not os.path.isfile(o.cover):
            raise Refused(f"no picture file {o.cover}")
        if o.page and not os.path.isfile(o.page):
            raise Refused(f"no page file {o.page}")
        if o.cover and content.suffix(o.cover) not in content.PICTURES:
            raise Refused(f"the launcher shows only .jpg, .bmp and .gif pictures: convert {o.cover} to JPEG")
        if o.page and content.suffix(o.page) not in content.PAGES:
            raise Refused(f"the launcher shows only .htm and .html pages: {o.page}")
        if not os.access(p.launcher, os.X_OK):
            raise Refused(f"no launcher at {p.launcher} (build it, or set DISCSTART_LAUNCHER)")
        if not os.access(p.discinfo, os.X_OK):
            raise Refused(f"no discinfo at {p.discinfo} (build it, or set DISCINFO)")
        if p.windows_exe and not p.windows_exe.is_file():
            raise Refused(f"no Windows launcher at {p.windows_exe}")
        for tool in ("xorriso", "patchelf"):
            if not shutil.which(tool):
                raise Refused(f"{tool} is missing (scripts/deps kit)")
        if o.webengine and not bundle.page_module(p.launcher):
            raise Refused("--webengine: this build has no WebEngine page view (configure with -DDISCSTART_WEBENGINE=ON)")
        if self.out.exists() and not (self.out.is_dir() and not any(self.out.iterdir())):
            raise Refused(f"{o.out} exists and is not an empty folder")
        if self.iso and self.iso.is_dir():
            raise Refused(f"--iso names a folder: {o.iso}")
        if self.iso and not p.windows_exe and not o.force:
            raise Refused("autorun.inf starts discstart.exe, which is not built: build it (scripts/windows-build), "
                          "set DISCSTART_WINDOWS_EXE, or give --force to write the ISO without it")

    def copy_content(self):
        o = self.options
        label = o.label or content.stem(o.movie)
        self.label = label
        self.movie_name = content.movie_name(label, o.movie, lambda text: names.made_name(text, "", "movie"))
        shutil.copyfile(o.movie, self.out / self.movie_name)
        self.cover_name = content.cover_name(o.cover) if o.cover else ""
        if o.cover:
            shutil.copyfile(o.cover, self.out / self.cover_name)
        self.page_name = os.path.basename(o.page) if o.page else ""
        if o.page:
            shutil.copyfile(o.page, self.out / self.page_name)
            page_dir = os.path.dirname(o.page) or "."
            report = discinfo.describe(self.paths.discinfo, [page_dir], page=self.page_name)[0]
            for f in report.page_files:
                if f.path is None or not f.present:
                    continue
                target = self.out / f.path
                target.parent.mkdir(parents=True, exist_ok=True)
                shutil.copyfile(os.path.join(page_dir, f.path), target)
            for f in report.page_files:
                if f.path is not None and not f.present:
                    say(f"warning: the page refers to {f.path}, which is not beside it")

    def verify(self):
        report = discinfo.describe(self.paths.discinfo, [self.out])[0]
        self.report = report
        out = str(self.out)

        def picked(path, name):
            return path == os.path.join(out, name)

        problems = []
        if not picked(report.movie, self.movie_name):
            problems.append(f"the launcher would play {os.path.relpath(report.movie or '', out)}, not {self.movie_name}")
        if self.cover_name and not picked(report.picture, self.cover_name):
            problems.append(f"the page's {os.path.relpath(report.picture, out)} sorts before {self.cover_name} and"
                            " would be the cover: rename the cover")
        if self.page_name and not picked(report.page, self.page_name):
            problems.append(f"{os.path.relpath(report.page, out)} sorts before {self.page_name} and would be the page:"
                            " rename the page")
        if report.title_strip != f" {self.label} ":
            say(f'note: the title strip shows "{report.title_strip}"')
        status = discinfo.check(self.paths.discinfo, self.out)
        if status == discinfo.COULD_NOT_RUN:
            raise Refused("the disc check could not run: build discinfo with its check library")
        if status > discinfo.COULD_NOT_RUN:
            raise Refused(f"discinfo --check failed (status {status})")
        for problem in problems:
            say(f"error: {problem}")
        if (status == discinfo.ERRORS or problems) and not self.options.force:
            raise Refused("the disc would show less or other than you asked; fix the errors above or give --force")

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
        self.libraries = bundle.bundle(program, self.out, p.start)
        sh = self.out / layout.AUTORUN_SH
        sh.write_text("#!/bin/sh\n# Linux desktops offer to run this when the disc is mounted; by hand: sh autorun.sh\n"
                      'cd "$(dirname "$0")" || exit 1\nexec ./discstart "$@"\n')
        sh.chmod(0o755)
        if p.windows_exe:
            shutil.copyfile(p.windows_exe, self.out / layout.WINDOWS_EXE)
        else:
            say("no Windows launcher (build one with scripts/windows-build, or set DISCSTART_WINDOWS_EXE): "
                "autorun.inf names discstart.exe, which is not on the disc")
        shutil.copyfile(p.root / "assets/icon.ico", self.out / "discstart.ico")
        (self.out / layout.AUTORUN_INF).write_bytes(names.autorun_inf(self.label, True))

    def add_licenses(self):
        p = self.paths
        windows_qt = os.environ.get("DISCSTART_QT_WINDOWS", "")
        script = p.root / "scripts/qt-windows" if p.root else None
        if p.windows_exe and not windows_qt and script and os.access(script, os.X_OK):
            result = subprocess.run([str(script), "--prefix"], capture_output=True, text=True)
            if result.returncode != 0:
                raise Refused("cannot tell where Qt for Windows is")
            windows_qt = result.stdout.strip()
        licenses.put_licenses(self.out, p, windows_qt, self.options.sources, os.environ.get("DISCSTART_SOURCE_URL", ""))

    def measure(self):
        o = self.options
        blocks = iso.image_size(self.out)
        movie_bytes = (self.out / self.movie_name).stat().st_size
        if o.medium:
            medium = layout.medium_named(o.medium)
        else:
            medium = layout.MEDIA[0] if movie_bytes <= layout.MEDIA[0].bytes else layout.MEDIA[1]
        texts = {"cd": "a CD (700 MB)", "dvd": "a DVD (4.7 GB)", "dvd-dl": "a double-layer DVD (8.5 GB)"}
        if blocks > medium.sectors:
            raise Refused(f"the disc needs {mb(blocks * 2048)}, more than {texts[medium.name]} holds "
                          f"({mb(medium.bytes)}); give --medium for a larger one"
                          + (", or leave out --webengine" if o.webengine else ""))
        out = self.out
        added = folder_bytes(out) - movie_bytes
        programs = folder_bytes(out / layout.START, out / layout.HOST, out / layout.DISC)
        say(f"made {out.resolve()} for {texts[medium.name]}, {mb(blocks * 2048)} in all: the launcher adds {mb(added)} "
            f"beside {self.movie_name} ({mb(movie_bytes)}): the programs {mb(programs)}, Qt for machines without it "
            f"({self.libraries} libraries and their plugins) {mb(folder_bytes(out / layout.QT_FOLDER))}")

    def write_iso(self):
        volume = names.volume_id(self.label)
        self.iso_started = True
        order = iso.content_order(self.report, str(self.out))
        iso.write(self.out, self.iso, order, label=self.label, volume_id=volume)
        launcher = [self.out / n for n in (layout.START, layout.HOST, layout.DISC, layout.QT_FOLDER,
                                           layout.WEBENGINE_MODULE)]
        size = self.iso.stat().st_size
        say(f"wrote {self.iso} ({mb(size)}), volume {volume}: the launcher takes "
            f"{mb(size - folder_bytes(self.out) + folder_bytes(*launcher))} of it")

    def make(self):
        self.check_inputs()
        self.made_out = not self.out.exists()
        self.out.mkdir(parents=True, exist_ok=True)
        self.out = self.out.resolve()
        self.scratch = Path(tempfile.mkdtemp(prefix="make-disc-"))
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
        if not failed:
            return
        if self.made_out:
            shutil.rmtree(self.out, ignore_errors=True)
        elif self.out.is_dir() and self.scratch:
            for item in self.out.iterdir():
                shutil.rmtree(item) if item.is_dir() and not item.is_symlink() else item.unlink()
        if self.iso_started and self.iso and os.path.lexists(self.iso):
            os.remove(self.iso)
        say("nothing made (what this run had written is removed)")

    def preview(self):
        say(f"previewing: the launcher from {self.out}, as a viewer starts it (close it to go on)")
        status = subprocess.run(["sh", str(self.out / layout.AUTORUN_SH)]).returncode
        if status:
            say(f"the launcher ended with status {status}")


def interrupted(signum, frame):
    raise KeyboardInterrupt


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
    run = Run(options, kit_paths.find())
    signal.signal(signal.SIGTERM, interrupted)
    failed = True
    try:
        run.make()
        failed = False
    except (Refused, bundle.BundleError, discinfo.DiscinfoError, iso.IsoError, licenses.LicenseError) as error:
        say(str(error))
        return 1
    except KeyboardInterrupt:
        return 130
    finally:
        run.clean_up(failed)
    if options.preview:
        run.preview()
    return 0
