#include "support/movie_bytes.h"

#include "support/riff_bytes.h"

namespace discstart {

using namespace media;

std::string AviBytes(const AviFields& f) {
    const Bytes mainHeader = U32(f.microSecPerFrame) + U32(0) + U32(0) + U32(0x10) + U32(f.totalFrames) +
                             U32(0) + U32(2) + U32(0) + U32(f.width) + U32(f.height) + Zeros(16);
    const Bytes bitmap = U32(40) + U32(f.width) + U32(f.height) + U16(1) + U16(24) + f.videoCodec + Zeros(20);
    const Bytes index = f.videoIndexSize > 0 ? Chunk("indx", Zeros(f.videoIndexSize)) : Bytes();
    const Bytes wave = U16(f.audioFormatTag) + U16(f.audioChannels) + U32(f.audioSampleRate) +
                       U32(f.audioBytesPerSec) + U16(1) + U16(16) + U16(0);
    const Bytes headers = Chunk("avih", mainHeader) +
                          List("strl", {Strh("vids", f.videoCodec), Chunk("strf", bitmap), index}) +
                          AudioList(wave);
    return "RIFF" + U32(f.riffSize) + "AVI " + List("hdrl", {headers}) +
           (f.info.empty() ? Bytes() : Info(f.info)) + Chunk("JUNK", Zeros(64)) +
           List("movi", {Bytes(f.movieDataSize, '\x5A')});
}

std::string OggBytes(const OggFields& f) {
    const Bytes video = "\x01video" + Zeros(3) + f.videoCodec + U32(52) + U64(f.timeUnit) +
                        U64(10'000'000 / 400'000) + U32(0) + U32(65536) + U16(24) + U16(0) + U32(f.width) +
                        U32(f.height) + Zeros(4);
    const Bytes vorbis = "\x01vorbis" + U32(0) + Bytes(1, char(f.channels)) + U32(f.sampleRate) + U32(0) +
                         U32(f.nominalBitrate) + U32(0) + "\xB8\x01";
    return OggPage(2, 1, {video}, 0) + OggPage(0, 2, {vorbis}, 1) + Bytes(f.movieDataSize, '\x33');
}

}  // namespace discstart
