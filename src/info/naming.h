#pragma once

#include <cstdint>
#include <string>

namespace discstart {

struct VideoCodecLookup {
    std::string name;          // raw bytes: an unknown code is shown as it stands
    bool xvidPicture = false;  // the Xvid picture (Picture6) shows
};

VideoCodecLookup VideoCodecName(const std::string& code);
std::string AudioCodecName(std::int16_t formatTag);
// `steps`: round to the usual encoder steps (the chkRB switch).
std::string AudioBitrateText(std::int32_t bytesPerSec, bool steps);
std::string ChannelCountText(std::int16_t channels);

}  // namespace discstart
