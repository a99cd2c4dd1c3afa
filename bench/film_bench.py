"""Today's films for scripts/measure/bench.py: the layouts a panel run reads differently (MP4 with its index in
front, at the end of a 4 GiB file, fragmented; Matroska with its Tags in front and at the end of a
4 GiB file; WebM), what discinfo reads of each, and discinfo against mediainfo and ffprobe on them.

The corpus comes from tests/films/film-agreement; the long films (two hours at 64x64, so that their
sample tables are a feature film's) are made here from it without encoding."""
import importlib.machinery
import json
import struct
import subprocess
import types
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
AGREEMENT = ROOT / "tests" / "films" / "film-agreement"
GIB = 1024 ** 3
KIB = 1024
# Sample tables: never read, skipped by position.
SAMPLE_TABLES = {b"stsz", b"stz2", b"stco", b"co64", b"stss", b"ctts", b"stsc", b"sdtp", b"sbgp", b"sgpd"}
CONTAINERS = {b"moov", b"trak", b"mdia", b"minf", b"stbl", b"edts", b"udta", b"mvex"}


def is_film(name):
    return Path(name).suffix.lower() in (".mp4", ".m4v", ".mov", ".mkv", ".webm")


def corpus_module():
    loader = importlib.machinery.SourceFileLoader("film_agreement", str(AGREEMENT))
    module = types.ModuleType(loader.name)
    module.__file__ = str(AGREEMENT)
    loader.exec_module(module)
    return module


def needed_moov_bytes(path, films):
    """The index's bytes less its sample tables: what a reader of the panel's facts needs of it."""
    data = Path(path).read_bytes() if Path(path).stat().st_size < GIB else None
    if data is None:
        return None

    def walk(start, end):
        total = 0
        for kind, at, size in films.boxes(data, start, end):
            if kind in SAMPLE_TABLES:
                continue
            header = 16 if struct.unpack_from(">I", data, at)[0] == 1 else 8
            total += header + (walk(at + header, at + size) if kind in CONTAINERS else size - header)
        return total

    moov = next((at, size) for kind, at, size in films.boxes(data, 0, len(data)) if kind == b"moov")
    return walk(moov[0], moov[0] + moov[1])


def ffmpeg(*args):
    subprocess.run(["ffmpeg", "-v", "error", "-y", *args], check=True)


def make_films(folder, log):
    """(label, path, most read calls, most bytes) for each layout; bytes None where no bound is set."""
    films = corpus_module()
    log("the film corpus (tests/films/film-agreement)")
    corpus = Path(films.make_corpus(str(Path(folder) / "corpus")))
    long = Path(folder) / "long"
    long.mkdir(exist_ok=True)
    log("two-hour films, each a one-second film of the corpus 7200 times over")

    def looped(name, out, *options):
        ffmpeg("-stream_loop", "7199", "-i", str(corpus / name), "-c", "copy", *options, str(long / out))
        return long / out

    front = looped("mp4-h264-aac-front.mp4", "film-front.mp4", "-movflags", "+faststart")
    end = looped("mp4-h264-aac-front.mp4", "film-end.mp4")
    fragmented = looped("mp4-h264-aac-front.mp4", "film-fragmented.mp4", "-movflags", "+frag_keyframe+empty_moov")
    mkv = looped("mkv-h264-ac3.mkv", "film.mkv")
    webm = looped("webm-vp9-opus.webm", "film.webm")
    end4 = long / "film-end-4gib.mp4"
    films.sparse_mp4(str(end), str(end4), 4 * GIB)
    merged = long / "film-mkvmerge.mkv"
    subprocess.run(["mkvmerge", "-q", "--deterministic", "1", "-o", str(merged), str(mkv)], check=True)
    merged4 = long / "film-mkvmerge-4gib.mkv"
    films.sparse_matroska(str(merged), str(merged4), 4 * GIB)
    needed = needed_moov_bytes(end, films)
    for scratch in (end, merged):
        scratch.unlink()
    return [
        # the first block, up to 64 KiB of frame durations (14,399 runs here), the sound track, the tags
        ("MP4, index in front", front, 4, 112 * KIB),
        ("MP4, index after the media at the end of 4 GiB", end4, 5, 64 * KIB + needed),
        # without mehd: the end of the file, and the bytes before its long mfra, for the last fragment
        ("MP4, fragmented", fragmented, 3, 144 * KIB),
        ("Matroska (ffmpeg), Tags in front", mkv, 4, None),
        ("Matroska (mkvmerge), Tags at the end of 4 GiB", merged4, 6, None),
        ("WebM", webm, 4, None),
    ]


def panel_reads(reader_bench, layouts):
    """What one panel run asks of each film through the byte-file seam: {file name: (reads, bytes)}."""
    folders = sorted({str(path.parent) for _, path, _, _ in layouts})
    names = "|".join(path.name.replace(".", "\\.") for _, path, _, _ in layouts)
    out = subprocess.run([str(reader_bench), *(f"--data={f}" for f in folders),
                          f"--benchmark_filter=^RunPanel/({names})$", "--benchmark_min_time=0.01",
                          "--benchmark_format=json"],
                         check=True, capture_output=True, text=True).stdout
    counts = {}
    for entry in json.loads(out)["benchmarks"]:
        counts[entry["run_name"].split("/", 1)[1]] = (round(entry["reads"]), round(entry["bytes"]))
    return counts


def speed_checks(movie, times, media_times, probe_times):
    """The speed targets of each discinfo measured (the packaged one, and the one file where built)."""
    checks = []
    for name in (tool for tool in times if tool.startswith("discinfo")):
        media = times["mediainfo"] / times[name]
        probe = times["ffprobe"] / times[name]
        checks.append((f"{name} on {movie}: {media_times}x faster than mediainfo, {probe_times}x faster than ffprobe",
                       f"{media:.1f}x, {probe:.1f}x", media >= media_times and probe >= probe_times))
    return checks


def lines(layouts, tools, panel, runs):
    """The section of BENCHMARKS.md: targets, then the tool table."""
    checks = []
    for (label, path, most_reads, most_bytes), (_, _, times, _) in zip(layouts, tools):
        calls, total = panel[path.name]
        bound = f" and {most_bytes} bytes" if most_bytes else ""
        checks.append((f"panel on {label} ({path.name}): at most {most_reads} read calls{bound}",
                       f"{calls} read calls, {total} bytes",
                       calls <= most_reads and (not most_bytes or total <= most_bytes)))
        checks += speed_checks(path.name, times, 4, 12)
    out = ["## Today's films", "",
           "What a panel run reads of an MP4, Matroska or WebM film, layout by layout (read calls and bytes "
           "through the byte-file seam, as the readers' budgets count them), and discinfo against mediainfo "
           "and ffprobe on the same films in the same run (`scripts/measure/bench.py --films` measures this section "
           "alone). Each film is two hours long, a one-second film of the agreement corpus 7200 times over, "
           "so that its index is a feature film's; the 4 GiB ones are sparse (a 64-bit `free` box between the "
           "MP4's media and its index, a Void between the Matroska film's last Cluster and its Cues and Tags). "
           "The bound on an MP4 index at the end is 64 KiB plus its index less the sample tables the reader "
           "skips.", "",
           "| target | measured | met |", "|---|---|---|"]
    out += [f"| {what} | {value} | {'yes' if ok else '**no**'} |" for what, value, ok in checks]
    rows = []
    for (label, path, _, _), (_, _, times, reads) in zip(layouts, tools):
        size = path.stat().st_size
        rows.append(([label, f"{size / GIB:.2f} GiB" if size >= GIB else f"{size / 1e6:.2f} MB"], times, reads))
    return out + [""] + tool_table(runs, "a short read at the end of the file is followed by one that returns nothing",
                                   ["film", "size"], rows)


def tool_table(runs, strace_note, heads, rows):
    """discinfo against mediainfo and ffprobe, the films' and scripts/measure/bench.py's own: what
    was measured, then a row for each tool on each movie. rows: (the cells that name the movie,
    {tool: median milliseconds}, {tool: (read calls, bytes read)})."""
    out = [f"The whole process, wall time, median of {runs} runs alternating the commands; read calls and "
           f"bytes read on the movie file from strace ({strace_note}). Ratios are the other tool's over "
           "discinfo's: the packaged one, linked against Debian's Qt (\"discinfo, one file\" is the Linux "
           "archive's, built as the one-file launcher is, its Qt linked in).", "",
           "| " + " | ".join(heads + ["tool", "wall time", "x discinfo", "read calls", "bytes read"]) + " |",
           "|" + "---|" * (len(heads) + 5)]
    for cells, times, reads in rows:
        for name, wall in times.items():
            calls, total = reads[name]
            out.append("| " + " | ".join(cells) + f" | {name} | {wall:.1f} ms | {wall / times['discinfo']:.2f}x | "
                       f"{calls} | {total} |")
    return out + [""]


def replace_section(text, section):
    """BENCHMARKS.md with its films section replaced, or added before the readers' table."""
    start = text.find("## Today's films")
    if start >= 0:
        end = text.find("\n## ", start + 1)
        return text[:start] + "\n".join(section) + (text[end + 1:] if end >= 0 else "")
    anchor = text.find("## The readers and the panel")
    if anchor < 0:
        return text.rstrip("\n") + "\n\n" + "\n".join(section)
    return text[:anchor] + "\n".join(section) + "\n" + text[anchor:]
