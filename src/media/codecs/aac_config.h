#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace discstart {

namespace Aac {

// What an AudioSpecificConfig states, zero where it states nothing.
struct AudioSpecificConfig {
    // The audio object type (escape 31 included); 5 or 29 where SBR or PS is signalled, first
    // or in a sync extension after the core's set-up.
    std::uint8_t objectType = 0;
    std::uint32_t sampleRate = 0;  // the output rate: SBR's where it has one; index 15's explicit rate
    // From the channel configuration, or counted in the program config element of configuration 0.
    std::uint32_t channels = 0;
};

// Nothing when the bytes end before the object type, rate and channel configuration.
std::optional<AudioSpecificConfig> ReadAudioSpecificConfig(std::string_view bytes);

}  // namespace Aac

}  // namespace discstart
