"""What handing a disc out requires: licenses/ with the copyright file of every Debian package
whose files it carries, the licence texts those refer to, discstart's own licence, and
SOURCES.txt naming each package's exact source and where discstart's source is. With sources,
the source packages themselves and discstart's source go into sources/ (sources.py).

DISC/qt/ holds the Linux launcher's libraries, plugins and data, each from a Debian package;
DISC/discstart.exe, when there, links Qt for Windows (built from Debian's qt6-base source, whose
build prefix is `windows_qt`), liblzma (built from Debian's xz-utils source, prefix `windows_xz`)
and the MinGW-w64 runtime statically."""
import fnmatch
import os
import re
import shutil
import subprocess

from . import layout, sources as source_packages

# What discstart.exe links statically besides Qt: the GCC runtime and the MinGW-w64 C runtime
# and thread library.
MINGW_PACKAGES = ["gcc-mingw-w64-x86-64-posix", "g++-mingw-w64-x86-64-posix", "mingw-w64-x86-64-dev"]


class LicenseError(Exception):
    pass


def run(command, **kwargs):
    return subprocess.run(command, check=True, stdout=subprocess.PIPE, text=True, **kwargs).stdout


def bundled_files(disc):
    """Files under qt/ that come from the host, as (path on the disc, dpkg -S pattern)."""
    found = []
    qt = os.path.join(disc, layout.QT_FOLDER)
    for folder, _, names in os.walk(qt):
        for name in sorted(names):
            path = os.path.relpath(os.path.join(folder, name), disc)
            if name == "qt.conf" or path == layout.READ_ORDER:
                continue  # written by the kit
            inside = os.path.relpath(path, layout.QT_FOLDER)
            # Libraries lie in the host's multiarch folder; the rest keeps its folders.
            pattern = "*/" + (name if inside.startswith("lib" + os.sep) else inside)
            found.append((path, pattern))
    return found


def packages_of(files):
    """The Debian packages each file comes from, by one dpkg -S over all of them."""
    if not files:
        return {}
    result = subprocess.run(["dpkg", "-S"] + [pattern for _, pattern in files], stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True)
    owners = []
    for line in result.stdout.splitlines():
        packages, _, path = line.partition(": ")
        if path.startswith("/"):
            owners.append((path, [p.strip().split(":")[0] for p in packages.split(",")]))
    return {disc_path: sorted({p for path, packages in owners if fnmatch.fnmatchcase(path, pattern)
                               for p in packages})
            for disc_path, pattern in files}


def package_versions(packages):
    """package -> (version, source package, source version), from dpkg's database."""
    if not packages:
        return {}  # dpkg-query with no name lists every package, and a release may run without dpkg
    output = run(["dpkg-query", "-W", "-f=${Package}\t${Version}\t${source:Package}\t${source:Version}\n"]
                 + sorted(packages))
    versions = {}
    for line in output.splitlines():
        name, version, source, source_version = line.split("\t")
        versions.setdefault(name, (version, source or name, source_version or version))
    return versions


def copy_copyright(source, target, licenses):
    folder = os.path.join(licenses, target)
    os.makedirs(folder, exist_ok=True)
    shutil.copyfile(source, os.path.join(folder, "copyright"))
    return os.path.join(layout.LICENSES, target, "copyright")


def recorded_versions(folder):
    """What a release recorded of the packages whose copyright files it carries in `folder`
    ("versions": PACKAGE VERSION SOURCE SOURCE-VERSION a line), as package_versions gives it."""
    versions = {}
    with open(os.path.join(folder, "versions"), encoding="utf-8") as f:
        for line in f:
            fields = line.split()
            if len(fields) == 4:
                versions[fields[0]] = tuple(fields[1:])
    return versions


def built_version(prefix, what):
    """The version a build of a Debian source recorded in its prefix: ".complete" where the
    build script made it, "version" where a release carries it; its last word."""
    for name in (".complete", "version"):
        path = os.path.join(prefix, name) if prefix else ""
        if path and os.path.isfile(path):
            with open(path, encoding="utf-8") as f:
                words = f.read().split()
            if words:
                return words[-1]
    raise LicenseError("discstart.exe is on the disc, but not the licence of the %s it links (expected %s)"
                       % (what, os.path.join(prefix, "version") if prefix else "a build prefix"))


def common_licenses(licenses, shipped=None):
    """Copies the texts in /usr/share/common-licenses/ that the copyright files refer to, from
    there or, where this system has none, from those a release carries (`shipped`)."""
    names = set()
    for folder, _, files in os.walk(licenses):
        for name in files:
            with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
                names.update(re.findall(r"/usr/share/common-licenses/([A-Za-z0-9.+_-]*[A-Za-z0-9+_-])", f.read()))
    copied = []
    for name in sorted(names):
        found = [os.path.join(folder, name) for folder in ("/usr/share/common-licenses", shipped) if folder]
        source = next((path for path in found if os.path.isfile(path)), None)
        if source:
            os.makedirs(os.path.join(licenses, "common"), exist_ok=True)
            shutil.copyfile(source, os.path.join(licenses, "common", name))
            copied.append(name)
    return copied


def windows_parts(prefix, versions, licenses, sources, xz_prefix="", mingw=None):
    """The licences of what discstart.exe links, as lines for SOURCES.txt; the MinGW-w64
    runtime's copyright files from this system, or from `mingw` where a release carries them."""
    qt_copyright = os.path.join(prefix, "share", "doc", "qt6-base.copyright")
    if not prefix or not os.path.isfile(qt_copyright):
        raise LicenseError("discstart.exe is on the disc, but not the licence of the Qt it links (expected %s)"
                           % (qt_copyright if prefix else "scripts/toolchain/qt-windows --prefix"))
    # scripts/toolchain/qt-windows writes "qt6-base VERSION" once the build is complete.
    qt_version = built_version(prefix, "Qt")
    where = copy_copyright(qt_copyright, "qt6-base-windows", licenses)
    sources.add(("qt6-base", qt_version))
    lines = ["  Qt %s for Windows, built from the Debian source package qt6-base %s\n    licence: %s\n"
             % (qt_version.split("+")[0], qt_version, where)]
    # The start program that unpacks the window program links liblzma; scripts/toolchain/xz-windows writes
    # "xz-utils VERSION" once its build is complete.
    if not xz_prefix:
        raise LicenseError("discstart.exe is on the disc, but not the licence of the liblzma it links (expected"
                           " scripts/toolchain/xz-windows --prefix)")
    xz_version = built_version(xz_prefix, "liblzma")
    where = copy_copyright(os.path.join(xz_prefix, "share", "doc", "xz-utils.copyright"), "xz-utils-windows", licenses)
    sources.add(("xz-utils", xz_version))
    lines.append("  liblzma for Windows, built from the Debian source package xz-utils %s\n    licence: %s\n"
                 % (xz_version, where))
    for package in MINGW_PACKAGES:
        version, source, source_version = versions[package]
        copyright_file = (os.path.join(mingw, package + ".copyright") if mingw
                          else "/usr/share/doc/%s/copyright" % package)
        where = copy_copyright(copyright_file, package, licenses)
        sources.add((source, source_version))
        lines.append("  the MinGW-w64 runtime from %s %s, source package %s %s\n    licence: %s\n"
                     % (package, version, source, source_version, where))
    return lines


def one_file_parts(prefix, runtime, licenses, sources):
    """The licences of what the one-file Linux launcher links, as lines for SOURCES.txt: the
    static Qt of scripts/toolchain/qt-linux (prefix) and the C++ runtime of Debian 11's GCC, whose
    copyright file and version scripts/release/linux-build leaves in `runtime`."""
    complete = next((os.path.join(prefix, name) for name in (".complete", "version")
                     if prefix and os.path.isfile(os.path.join(prefix, name))), "")
    if not complete:
        expected = os.path.join(prefix, ".complete") if prefix else "scripts/toolchain/qt-linux --prefix"
        raise LicenseError("the one-file Linux launcher is on the disc, but not the licence of the Qt it links"
                           " (expected %s)" % expected)
    # "qt6-base VERSION, qt6-wayland VERSION", written once the build is complete.
    with open(complete, encoding="utf-8") as f:
        built = dict(part.split() for part in f.read().strip().split(", "))
    lines = []
    for package, version in sorted(built.items()):
        copyright_file = os.path.join(prefix, "share", "doc", package + ".copyright")
        if not os.path.isfile(copyright_file):
            raise LicenseError("no licence of %s at %s" % (package, copyright_file))
        where = copy_copyright(copyright_file, package + "-static", licenses)
        sources.add((package, version))
        lines.append("  %s %s, built from the Debian source package %s %s\n    licence: %s\n"
                     % ("Qt" if package == "qt6-base" else "Qt Wayland", version.split("+")[0].split("-")[0],
                        package, version, where))
    try:
        with open(os.path.join(runtime, "gcc.version"), encoding="utf-8") as f:
            source, version = f.read().split()
    except (OSError, ValueError):
        raise LicenseError("no record of the C++ runtime linked into the one-file launcher in %s"
                           " (scripts/release/linux-build writes it)" % runtime)
    where = copy_copyright(os.path.join(runtime, "gcc.copyright"), source + "-runtime", licenses)
    sources.add((source, version))
    lines.append("  the GCC C++ runtime (libstdc++, libgcc) of Debian 11, source package %s %s\n    licence: %s\n"
                 % (source, version, where))
    return lines


def put_licenses(disc, paths, windows_qt="", with_sources=False, source_url="", linux_qt="", windows_xz=""):
    """Writes licenses/ and SOURCES.txt into `disc`; the number of Debian packages named."""
    disc = str(disc)
    licenses = os.path.join(disc, layout.LICENSES)
    os.makedirs(os.path.join(licenses, "discstart"), exist_ok=True)
    # discstart itself, and the font its window carries inside it.
    shutil.copyfile(paths.license, os.path.join(licenses, "discstart", "LICENSE"))
    shutil.copyfile(paths.font_license, os.path.join(licenses, "discstart", "LiberationSans-LICENSE"))

    owners = packages_of(bundled_files(disc))
    unknown = [path for path, packages in owners.items() if not packages]
    if unknown:
        raise LicenseError("cannot tell which Debian package these come from: " + ", ".join(unknown))
    packages = sorted({p for packages in owners.values() for p in packages})
    windows = os.path.exists(os.path.join(disc, layout.WINDOWS_EXE))
    mingw = str(paths.mingw) if windows and paths.mingw and os.path.isdir(paths.mingw) else None
    wanted = packages + (MINGW_PACKAGES if windows and not mingw else [])
    versions = package_versions(wanted)
    if mingw:
        versions.update({p: v for p, v in recorded_versions(mingw).items() if p in MINGW_PACKAGES})
        wanted += MINGW_PACKAGES
    missing = [p for p in wanted if p not in versions]
    if missing:
        raise LicenseError("these packages are not installed here: " + ", ".join(missing))

    sources, lines = set(), []
    for package in packages:
        version, source, source_version = versions[package]
        copyright_file = "/usr/share/doc/%s/copyright" % package
        if not os.path.isfile(copyright_file):
            raise LicenseError("%s has no copyright file at %s" % (package, copyright_file))
        where = copy_copyright(copyright_file, package, licenses)
        sources.add((source, source_version))
        disc_files = sorted(path for path, owners_of in owners.items() if package in owners_of)
        lines.append("  %s %s, from the source package %s %s\n    licence: %s\n    on the disc: %s\n"
                     % (package, version, source, source_version, where, ", ".join(disc_files)))
    windows_lines = windows_parts(windows_qt, versions, licenses, sources, windows_xz, mingw) if windows else []
    one_file = bool(linux_qt)
    one_file_lines = (one_file_parts(linux_qt, str(paths.one_file_licences or ""), licenses, sources)
                      if one_file else [])

    common = common_licenses(licenses, str(paths.common) if paths.common else None)
    commit = paths.commit()
    own_source = source_url or "ask the disc's author, or make the disc with make-disc --sources"
    if with_sources:
        own_source = source_packages.fetch(disc, sources, paths.version, commit, paths.root) + " on this disc"

    with open(os.path.join(disc, layout.SOURCES_TXT), "w", encoding="utf-8", newline="\r\n") as f:
        f.write("Where the software on this disc comes from\n\n")
        f.write("discstart %s%s, the program that greets you (%s)\n"
                % (paths.version, " (commit %s)" % commit if commit else "",
                   "discstart, discstart.exe" if windows else "discstart"))
        f.write("  licence: MIT, licenses/discstart/LICENSE; the Liberation Sans font inside it:\n"
                "    SIL Open Font License, licenses/discstart/LiberationSans-LICENSE\n")
        f.write("  source: %s\n\n" % own_source)
        if lines:
            f.write("Debian 12 packages whose files are in qt/ (the Linux launcher's Qt and what Qt loads):\n")
            f.writelines(lines)
        if one_file_lines:
            f.write("%sLinked into %s (the Linux launcher as one file, no Qt libraries beside it):\n"
                    % ("\n" if lines else "", layout.DISC))
            f.writelines(one_file_lines)
            f.write("  %s links Qt statically. To link it with another Qt, build it from discstart's source\n"
                    "  (above) with scripts/release/linux-build against that Qt.\n" % layout.DISC)
        if windows_lines:
            f.write("\nLinked into discstart.exe (one file, no DLLs):\n")
            f.writelines(windows_lines)
            f.write("  discstart.exe links Qt statically. To link it with another Qt, build it from discstart's\n"
                    "  source (above) with scripts/release/windows-build against that Qt.\n")
        f.write("\nThe licence texts these copyright files refer to: %s\n"
                % ", ".join("licenses/common/" + name for name in common))
        if with_sources:
            f.write("\nThe source packages are in sources/ (unpack one with: dpkg-source -x NAME_VERSION.dsc).\n")
        else:
            f.write("\nEach Debian source package can be had from Debian's archive with:\n"
                    "  apt-get source NAME=VERSION\n")
    return len(packages)
