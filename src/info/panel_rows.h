#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "info/panel.h"

namespace discstart {

// What the panel's writers for each kind of film share.

// A number that is not finite is a failed step: its target keeps its text.
std::optional<std::string> Patterned(double value, std::string_view pattern, const NumberFormat& format);

// The Length row: whole minutes through "# min", the rest through " # sec".
std::optional<std::string> LengthText(std::int32_t seconds, const NumberFormat& format);

// The title line always; the author, copyright and genre lines where their tag is not empty.
void WriteTagLines(const MovieTags& tags, PanelUpdate& update);

// The rows of an MP4, Matroska or standard Ogg film: its numbers from `facts`, its codec names
// from the tracks.
void WriteContainerRows(const ContainerInfo& film, const MovieFacts& facts, const PanelInput& input,
                        PanelUpdate& update);

}  // namespace discstart
