"""The sources of everything on a disc, put on it (make-disc --sources): each Debian source
package through a source list of its own (the system's apt setup stays as it is, and apt checks
each against Debian's signed index), and discstart's own source."""
import os
import shutil
import subprocess
import sys
import tempfile

from . import files, layout


class SourceError(Exception):
    pass


def run(command, **kwargs):
    return subprocess.run(command, check=True, stdout=subprocess.PIPE, text=True, **kwargs).stdout


def debian_archives():
    """The Debian archives apt uses here, as (URI, suite)."""
    targets = run(["apt-get", "indextargets", "--format", "$(REPO_URI)\t$(RELEASE)\t$(ORIGIN)",
                   "Created-By: Packages"])
    archives = sorted({(uri, release) for uri, release, origin in
                       (t.split("\t") for t in targets.splitlines() if t.count("\t") == 2) if origin == "Debian"})
    if not archives:
        raise SourceError("no Debian archive in apt's sources to fetch source packages from")
    return archives


def private_apt(work, archives):
    """apt-get with a source list of our own (deb-src for these archives)."""
    os.makedirs(os.path.join(work, "lists", "partial"))
    with open(os.path.join(work, "sources.list"), "w") as f:
        for uri, release in archives:
            f.write("deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] %s %s main\n" % (uri, release))
    apt = ["apt-get", "-q", "-o", "Dir::Etc::sourcelist=" + os.path.join(work, "sources.list"),
           "-o", "Dir::Etc::sourceparts=-", "-o", "Dir::State::Lists=" + os.path.join(work, "lists"),
           "-o", "APT::Sandbox::User=root"]
    subprocess.run(apt + ["update"], check=True, stdout=subprocess.DEVNULL)
    return apt


def fetch(disc, sources, version, commit, root):
    """Downloads each (source package, version) and discstart's own source into DISC/sources/;
    the path of discstart's source archive on the disc. A version listed by several archives is
    tried from each in turn: one may list what it lacks."""
    target = os.path.join(disc, layout.SOURCES)
    os.makedirs(target, exist_ok=True)
    archives = debian_archives()
    with tempfile.TemporaryDirectory() as work:
        apts = [private_apt(os.path.join(work, "all"), archives)]
        # Fetched beside the lists, then moved in: the run records each file it puts on the disc.
        fetched = os.path.join(work, "fetched")
        os.mkdir(fetched)
        for name, source_version in sorted(sources):
            print("make-disc: fetching the source of %s %s" % (name, source_version), file=sys.stderr)
            for i in range(len(archives) + 1):
                if i == len(apts):
                    apts.append(private_apt(os.path.join(work, str(i)), [archives[i - 1]]))
                command = apts[i] + ["source", "--download-only", "%s=%s" % (name, source_version)]
                if subprocess.run(command, cwd=fetched, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL).returncode == 0:
                    break
            else:
                raise SourceError("the source of %s %s is not in Debian's archive as apt sees it here: when a newer"
                                  " version has replaced it, upgrade this machine's packages (apt-get upgrade) and"
                                  " make the disc again" % (name, source_version))
        for entry in sorted(os.listdir(fetched)):
            shutil.move(os.path.join(fetched, entry), os.path.join(target, entry))
    archive = os.path.abspath(os.path.join(target, "discstart-%s.tar.gz" % version))
    files.note(archive)
    if commit:
        run(["git", "-C", str(root), "archive", "--format=tar.gz", "--prefix=discstart-%s/" % version, "-o", archive,
             "HEAD"])
    elif root:
        run(["tar", "-czf", archive, "--exclude=./build*", "--transform=s,^\\.,discstart-%s," % version, "-C",
             str(root), "."])
    else:
        raise SourceError("discstart's own source is not here: make the disc with --sources from a source tree")
    return os.path.relpath(archive, os.path.abspath(disc))
