#include "media/ogg/ogg_media.h"

namespace discstart {

namespace Ogg {

OggStreamNumbers ReadOggMedia(const ByteWindow& head) {
    OggStreamNumbers numbers;
    numbers.videoCodec = head.textAt(37, 4);
    numbers.timeUnit = head.int32At(45);
    numbers.width = head.int32At(73);
    numbers.height = head.int32At(77);
    numbers.channels = head.byteAt(124);
    numbers.sampleRate = head.int32At(125);
    numbers.nominalBitrate = head.int32At(133);
    return numbers;
}

}  // namespace Ogg

}  // namespace discstart
