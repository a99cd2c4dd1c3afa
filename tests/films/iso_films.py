"""Films of the ISO family made by other muxers and options than the main corpus's: ffmpeg's
fragmenting options and CENC encryption, QuickTime .mov, and GStreamer's mp4mux and qtmux.

The x264 program of Debian 12 is built without MP4 output, so it makes none here."""
import os
import shutil
import subprocess

INPUTS = ["-f", "lavfi", "-i", "testsrc=size=96x64:rate=25:duration=2",
          "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=2"]
CODECS = ["-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-b:a", "64k"]
KEY = "00112233445566778899aabbccddeeff"

FFMPEG = {
    "iso-ffmpeg-empty-moov.mp4": ["-movflags", "+empty_moov"],
    "iso-ffmpeg-frag-keyframe.mp4": ["-movflags", "+frag_keyframe"],
    "iso-ffmpeg-dash.mp4": ["-movflags", "+dash"],
    "iso-ffmpeg-cmaf.mp4": ["-movflags", "+cmaf"],
    "iso-ffmpeg-cenc.mp4": ["-encryption_scheme", "cenc-aes-ctr", "-encryption_key", KEY, "-encryption_kid", KEY],
    "iso-ffmpeg-mov.mov": ["-f", "mov"],
}

GSTREAMER = {
    "iso-gst-mp4mux.mp4": ("mp4mux", "openh264enc ! h264parse", 1),
    "iso-gst-qtmux.mov": ("qtmux", "jpegenc", 2),
}

# The fragmented films keep their length in sidx or in their fragments, which the reader does not
# read yet: ffprobe's duration there is its own walk over every fragment.
NULLABLE = {name: ("durationSeconds", "fps") for name in
            ("iso-ffmpeg-empty-moov.mp4", "iso-ffmpeg-frag-keyframe.mp4", "iso-ffmpeg-dash.mp4",
             "iso-ffmpeg-cmaf.mp4")}


def make(folder, run):
    for name, extra in FFMPEG.items():
        run("ffmpeg", "-v", "error", "-y", *INPUTS, *CODECS, *extra, os.path.join(folder, name))
    if not shutil.which("gst-launch-1.0"):
        return
    for name, (mux, encoder, channels) in GSTREAMER.items():
        pipeline = (f"videotestsrc num-buffers=50 ! video/x-raw,width=96,height=64,framerate=25/1 ! {encoder} ! "
                    f"{mux} name=m ! filesink location={os.path.join(folder, name)} audiotestsrc num-buffers=40 ! "
                    f"audio/x-raw,rate=48000,channels={channels} ! voaacenc ! aacparse ! m.")
        subprocess.run(["gst-launch-1.0", "-q", *pipeline.split()], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

# Where ffprobe's figure is its own guess rather than what the film stores: for a film fragmented
# at each key frame behind a moov that holds the first fragment, its average frame rate is the
# frame count over its own estimate of the length (24.71 for a 25 fps film), not the sample times.
FFPROBE_GUESSES = {"iso-ffmpeg-frag-keyframe.mp4": ("fps",)}
