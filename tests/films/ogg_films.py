"""Standard Ogg films for film-agreement, each from the tool that writes that kind in the wild: the
Xiph encoders (oggenc, opusenc, flac --ogg, speexenc), GStreamer's oggmux (Theora alone, with
Vorbis, behind a Skeleton stream, Opus in 5.1) and ffmpeg's own Ogg muxer.

A film's name says its muxer second: ogv-gst-theora.ogv is GStreamer's."""
import os
import shutil
import subprocess

# Opus counts from 48 kHz whatever its input's rate: 44.1 kHz in, 48 kHz out.
SOUND = {"in-44100-2.wav": (44100, 2, 2), "in-44100-1.wav": (44100, 1, 1.5), "in-32000-2.wav": (32000, 2, 1),
         "in-16000-1.wav": (16000, 1, 2)}


def gst_pipeline(location, video=None, audio=None, skeleton=False):
    """oggmux over a Theora stream of (width, height, fps, frames) and an audio stream of
    (encoder, rate, channels, buffers)."""
    parts = ["oggmux", "name=m", f"skeleton={'true' if skeleton else 'false'}", "!", "filesink",
             f"location={location}"]
    if video:
        width, height, fps, frames = video
        parts += ["videotestsrc", f"num-buffers={frames}", "!",
                  f"video/x-raw,width={width},height={height},framerate={fps}", "!", "theoraenc", "!", "m."]
    if audio:
        encoder, rate, channels, buffers = audio
        parts += ["audiotestsrc", f"num-buffers={buffers}", "!", f"audio/x-raw,rate={rate},channels={channels}", "!",
                  "audioconvert", "!", encoder, "!", "m."]
    return ["gst-launch-1.0", "-q", *parts]


def ffmpeg(*args):
    return ["ffmpeg", "-v", "error", "-y", *args]


def lavfi_video(size, rate, seconds):
    return ["-f", "lavfi", "-i", f"testsrc=size={size}:rate={rate}:duration={seconds}"]


def lavfi_sound(rate, seconds):
    return ["-f", "lavfi", "-i", f"sine=frequency=440:sample_rate={rate}:duration={seconds}"]


# name: (the program it needs, the command given the film's path and the sound folder). Sizes,
# rates and channel counts differ from film to film so that a misplaced field cannot pass by luck;
# 100x60 and 98x58 are picture regions inside a larger coded frame, 120x90 one off the frame's corner.
FILMS = {
    "ogg-oggenc-vorbis.ogg": ("oggenc", lambda out, wav: ["oggenc", "-Q", "-o", out, wav("in-44100-2.wav")]),
    "opus-opusenc-mono.opus": ("opusenc", lambda out, wav: ["opusenc", "--quiet", wav("in-44100-1.wav"), out]),
    "oga-flac-stereo.oga": ("flac", lambda out, wav: ["flac", "-s", "-f", "--ogg", "-o", out, wav("in-32000-2.wav")]),
    "spx-speexenc-wideband.spx": ("speexenc", lambda out, wav: ["speexenc", wav("in-16000-1.wav"), out]),
    "ogv-ffmpeg-theora-vorbis.ogv": ("ffmpeg", lambda out, wav: ffmpeg(
        *lavfi_video("100x60", "30000/1001", 1), *lavfi_sound(44100, 1), "-c:v", "libtheora", "-q:v", "5",
        "-c:a", "libvorbis", "-ac", "2", out)),
    "ogv-ffmpeg-theora-odd.ogv": ("ffmpeg", lambda out, wav: ffmpeg(
        *lavfi_video("98x58", "50", 1), "-c:v", "libtheora", out)),
    # 120 frames: the last granule counts frames since a key frame after the first.
    "ogv-ffmpeg-theora-keyframes.ogv": ("ffmpeg", lambda out, wav: ffmpeg(
        *lavfi_video("32x32", "10", 12), "-c:v", "libtheora", "-g", "50", out)),
    "ogg-ffmpeg-opus-51.ogg": ("ffmpeg", lambda out, wav: ffmpeg(
        *lavfi_sound(48000, 1.2), "-af", "aformat=channel_layouts=5.1", "-c:a", "libopus", out)),
    "ogg-ffmpeg-flac-96k.ogg": ("ffmpeg", lambda out, wav: ffmpeg(*lavfi_sound(96000, 1), "-c:a", "flac", out)),
    "ogg-ffmpeg-vorbis-mono.ogg": ("ffmpeg", lambda out, wav: ffmpeg(
        *lavfi_sound(22050, 3), "-c:a", "libvorbis", out)),
    "ogg-ffmpeg-speex.ogg": ("ffmpeg", lambda out, wav: ffmpeg(*lavfi_sound(8000, 1), "-c:a", "libspeex", out)),
    "ogv-gst-theora.ogv": ("gst-launch-1.0", lambda out, wav: gst_pipeline(out, video=(96, 64, "25/1", 50))),
    "ogv-gst-theora-vorbis.ogv": ("gst-launch-1.0", lambda out, wav: gst_pipeline(
        out, video=(120, 90, "24/1", 48), audio=("vorbisenc", 32000, 1, 40))),
    "ogv-gst-skeleton.ogv": ("gst-launch-1.0", lambda out, wav: gst_pipeline(
        out, video=(64, 48, "15/1", 30), audio=("vorbisenc", 48000, 2, 40), skeleton=True)),
    "ogg-gst-opus-51.ogg": ("gst-launch-1.0", lambda out, wav: gst_pipeline(
        out, audio=("opusenc", 48000, 6, 60))),
}

# Where ffprobe's figure is its own guess rather than what the film stores. None is far enough off
# to leave out: an Opus film's length is its last granule less the pre-skip, which ffprobe counts
# in (1.2065 s for 1.2 s of sound); a Speex film's start is ffprobe's estimate from the first
# page's frames (-0.005 s), its length the last granule less that; a Theora film without sound has
# no avg_frame_rate, and its r_frame_rate is the header's rate. Not among the films: a stream whose
# granules start late (ffmpeg -copyts, a live recording), where ffprobe gives the last granule less
# the first and discinfo the last alone; and chained files, whose last granule ffprobe divides by
# the first chain's rate.
FFPROBE_GUESSES = {}
EXTENSIONS = (".ogg", ".ogv", ".oga", ".opus", ".spx")


def make(folder, run):
    """Makes what the machine's tools can make; says which it could not, and why."""
    sounds = os.path.join(folder, "ogg-sounds")
    os.makedirs(sounds, exist_ok=True)
    for name, (rate, channels, seconds) in SOUND.items():
        run(*ffmpeg(*lavfi_sound(rate, seconds), "-ac", str(channels), "-map_metadata", "-1", "-bitexact",
                    os.path.join(sounds, name)))
    skipped = []
    for name, (tool, command) in FILMS.items():
        if not shutil.which(tool):
            skipped.append(f"{name} ({tool} is not installed)")
            continue
        try:
            run(*command(os.path.join(folder, name), lambda wav: os.path.join(sounds, wav)))
        except subprocess.CalledProcessError as error:
            # An encoder that ffmpeg or GStreamer was built without.
            skipped.append(f"{name} ({tool} failed: {error.stderr.decode(errors='replace').strip()[:80]})")
    shutil.rmtree(sounds)
    return skipped
