"""Matroska and WebM films of other muxers than ffmpeg's defaults, for film-agreement: mkvmerge,
GStreamer's webmmux (without DefaultDuration, and streamable: unknown sizes, no Duration), ffmpeg's
live WebM, and byte edits of those (DefaultDuration made a Void as libwebm leaves it out; junk
between the Segment's children)."""
import os
import shutil
import subprocess

# Films whose video track has no DefaultDuration: ffprobe's avg_frame_rate is then its guess from the
# first packets' rounded intervals (1000/33 for 30000/1001); its r_frame_rate is held to instead.
RATE_FROM_TIMES = {"webm-gst-vp8-vorbis-no-default-duration.webm", "webm-gst-vp9-opus-streamable.webm",
                   "mkv-h264-aac-no-default-duration.mkv", "webm-gst-streamable-junk.webm"}
# Live films store no Duration: ffprobe gives none either, and discinfo none.
NULLABLE = {name: ("durationSeconds",)
            for name in ("webm-gst-vp9-opus-streamable.webm", "webm-gst-streamable-junk.webm", "webm-ffmpeg-live.webm")}
TOP_LEVEL = (b"\x16\x54\xAE\x6B", b"\x1F\x43\xB6\x75")  # Tracks, Cluster


def gst(*pipeline):
    subprocess.run(["gst-launch-1.0", "-q", *pipeline], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.PIPE)


def gst_webm(path, fps, frames, video, audio, streamable, rate):
    """A GStreamer WebM; the encoded video's caps say no frame rate, so webmmux writes no
    DefaultDuration (as browsers' recorders do)."""
    encoder, caps = {"vp8": ("vp8enc", "video/x-vp8"), "vp9": ("vp9enc", "video/x-vp9")}[video]
    gst("videotestsrc", f"num-buffers={frames}", "!", f"video/x-raw,width=64,height=48,framerate={fps}", "!",
        encoder, "deadline=1", "!", "capssetter", f"caps={caps},framerate=0/1", "!", "webmmux", "name=m",
        f"streamable={'true' if streamable else 'false'}", "!", "filesink", f"location={path}",
        "audiotestsrc", "num-buffers=40", "!", f"audio/x-raw,rate={rate},channels=2", "!", f"{audio}enc", "!", "m.")


def void_default_durations(data):
    """Every DefaultDuration turned into a Void of its size."""
    data = bytearray(data)
    at = data.find(b"\x23\xE3\x83")
    while at >= 0:
        length = 4 + (data[at + 3] & 0x7F)
        data[at:at + length] = b"\xEC" + bytes([0x80 | (length - 2)]) + bytes(length - 2)
        at = data.find(b"\x23\xE3\x83", at + length)
    return bytes(data)


def with_junk(data):
    """Nine bytes no element starts with, repeated, before the Tracks and before the first Cluster."""
    junk = bytes([0x42, 0x13, 0x99, 0x07, 0x55, 0xAA, 0x01, 0x02, 0x03]) * 5
    for marker in reversed(TOP_LEVEL):
        at = data.find(marker)
        data = data[:at] + junk + data[at:]
    return data


def make(folder, run):
    """Makes what the machine's tools can make; says which it could not."""
    skipped = []
    path = lambda name: os.path.join(folder, name)  # noqa: E731
    ffmpeg_webm = path("webm-vp9-opus.webm")
    if shutil.which("mkvmerge") and os.path.exists(ffmpeg_webm):
        run("mkvmerge", "-q", "--deterministic", "1", "--webm", "-o", path("webm-mkvmerge-vp9-opus.webm"),
            ffmpeg_webm)
    else:
        skipped.append("webm-mkvmerge-vp9-opus.webm")
    if shutil.which("gst-launch-1.0"):
        try:
            gst_webm(path("webm-gst-vp8-vorbis-no-default-duration.webm"), "24000/1001", 24, "vp8", "vorbis",
                     False, 44100)
            gst_webm(path("webm-gst-vp9-opus-streamable.webm"), "25/1", 25, "vp9", "opus", True, 48000)
            data = open(path("webm-gst-vp9-opus-streamable.webm"), "rb").read()
            with open(path("webm-gst-streamable-junk.webm"), "wb") as out:
                out.write(with_junk(data))
        except subprocess.CalledProcessError:
            skipped.append("GStreamer WebM films")
    else:
        skipped.append("GStreamer WebM films")
    run("ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=64x48:rate=50:duration=1", "-f", "lavfi",
        "-i", "sine=sample_rate=48000:duration=1", "-c:v", "libvpx", "-deadline", "realtime", "-cpu-used", "8",
        "-c:a", "libopus", "-live", "1", "-f", "webm", path("webm-ffmpeg-live.webm"))
    # H.264 with B-frames: block times out of presentation order.
    run("ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=64x48:rate=30000/1001:duration=1",
        "-f", "lavfi", "-i", "sine=sample_rate=32000:duration=1", "-c:v", "libx264", "-preset", "medium",
        "-bf", "3", "-c:a", "aac", path("mkv-h264-b-frames.mkv"))
    with open(path("mkv-h264-aac-no-default-duration.mkv"), "wb") as out:
        out.write(void_default_durations(open(path("mkv-h264-b-frames.mkv"), "rb").read()))
    return skipped
