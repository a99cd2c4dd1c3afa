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
    # None of these writes mehd: the length is in a sidx that covers every fragment, or in the last.
    "iso-ffmpeg-dash-global-sidx.mp4": ["-movflags", "+dash+global_sidx"],
    "iso-ffmpeg-frag-duration.mp4": ["-movflags", "+frag_keyframe+empty_moov", "-frag_duration", "500000"],
    "iso-ffmpeg-frag-keyframe-long.mp4": ["-movflags", "+frag_keyframe", "-g", "12"],
    "iso-ffmpeg-cenc.mp4": ["-encryption_scheme", "cenc-aes-ctr", "-encryption_key", KEY, "-encryption_kid", KEY],
    "iso-ffmpeg-mov.mov": ["-f", "mov"],
}

# Films of changing frame rates, made from a faster test picture by dropping frames (ffprobe's
# average rate is neither of their rates): 67 stts runs, frames of 20 and 40 ms by turns for two
# seconds, then one run at 25 a second for four; and 100 frames a second for one second, then 25 a
# second for three, where the run of most samples is not the one of most time.
VARIABLE = {
    "iso-ffmpeg-vfr-long-table.mp4": (50, 6, "if(lt(t,2),mod(n,3),not(mod(n,2)))"),
    "iso-ffmpeg-vfr-two-rates.mp4": (100, 4, "if(lt(t,1),1,not(mod(n,4)))"),
}
# Their rate is held to the one of ffprobe's packet durations that cover most time; so is the rate
# of ffmpeg's fragmented films, whose average rate in ffprobe is the frame count over its own
# estimate of the length (24.71 for a film of 25 frames a second), not the sample times.
RATE_FROM_PACKETS = set(VARIABLE) | {
    "iso-ffmpeg-empty-moov.mp4", "iso-ffmpeg-frag-keyframe.mp4", "iso-ffmpeg-dash.mp4", "iso-ffmpeg-cmaf.mp4",
    "iso-ffmpeg-dash-global-sidx.mp4", "iso-ffmpeg-frag-duration.mp4", "iso-ffmpeg-frag-keyframe-long.mp4"}

GSTREAMER = {
    "iso-gst-mp4mux.mp4": ("mp4mux", "openh264enc ! h264parse", 1),
    "iso-gst-qtmux.mov": ("qtmux", "jpegenc", 2),
    # each track in fragments of its own: the sound, shorter than a fragment, first, and more than
    # a first read holds
    "iso-gst-mp4mux-fragmented.mp4": ("mp4mux fragment-duration=2000", "openh264enc ! h264parse", 2, 70),
}

NULLABLE = {}


# A folder holding a QuickTime film and an MP4 that sorts after it: the folder's movie is the .mov.
FOLDERS = {"iso-folder-mov": ("iso-ffmpeg-mov.mov", "Harbour.MOV", "iso-ffmpeg-cmaf.mp4", "Night.mp4")}


def make(folder, run):
    for name, extra in FFMPEG.items():
        run("ffmpeg", "-v", "error", "-y", *INPUTS, *CODECS, *extra, os.path.join(folder, name))
    for name, (rate, seconds, keep) in VARIABLE.items():
        run("ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", f"testsrc=size=96x64:rate={rate}:duration={seconds}",
            "-f", "lavfi", "-i", f"sine=frequency=440:sample_rate=44100:duration={seconds}",
            "-vf", f"select='{keep}'", "-fps_mode", "vfr", *CODECS, os.path.join(folder, name))
    for sub, (film, as_name, other, other_name) in FOLDERS.items():
        os.makedirs(os.path.join(folder, sub), exist_ok=True)
        for source, target in ((film, as_name), (other, other_name)):
            shutil.copyfile(os.path.join(folder, source), os.path.join(folder, sub, target))
    if not shutil.which("gst-launch-1.0"):
        return
    for name, (mux, encoder, channels, *sound) in GSTREAMER.items():
        pipeline = (f"videotestsrc num-buffers=50 ! video/x-raw,width=96,height=64,framerate=25/1 ! {encoder} ! "
                    f"{mux} name=m ! filesink location={os.path.join(folder, name)} "
                    f"audiotestsrc num-buffers={sound[0] if sound else 40} ! "
                    f"audio/x-raw,rate=48000,channels={channels} ! voaacenc ! aacparse ! m.")
        subprocess.run(["gst-launch-1.0", "-q", *pipeline.split()], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# Where ffprobe's figure is its own guess rather than what the film stores.
FFPROBE_GUESSES = {}
# ffprobe given the key: without it, it decodes the encrypted frames, and its channel count is what
# the first garbled AAC frame makes of it (1, 2 or 42 from one run to the next).
PROBE_OPTIONS = {"iso-ffmpeg-cenc.mp4": ["-decryption_key", KEY]}


def packet_rate(path):
    """The frame rate of the run of equal video packet durations that covers most time."""
    out = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                          "packet=duration_time", "-of", "csv=p=0", path], capture_output=True, text=True).stdout
    runs = []
    for line in out.split():
        duration = float(line.strip(","))
        if runs and abs(runs[-1][0] - duration) < 1e-9:
            runs[-1][1] += duration
        else:
            runs.append([duration, duration])
    best = max(runs, key=lambda run: run[1], default=None)
    return 1 / best[0] if best and best[0] else None
