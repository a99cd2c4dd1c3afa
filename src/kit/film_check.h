#pragma once

#include <string>
#include <vector>

#include "kit/finding.h"
#include "media/container.h"

namespace discstart {

// What makes an MP4 or Matroska film start slowly from a disc (its index after the media
// data, no Cues or SeekHead), and a codec the players that come with Windows may not play.
// `kind` is Mp4 or Matroska; `name` is how findings refer to the film.
std::vector<Finding> CheckFilm(MovieFileKind kind, const ContainerInfo& film, const std::string& name);

}  // namespace discstart
