#pragma once

#include "app/form1.h"
#include "info/panel.h"

namespace discstart {

// The records the panel reads into, one set per window, and what it carries from one run to the
// next. Only the window's own sources (and its test view) see them.
struct Form1::PanelState {
    MovieTags movieTags;
    AviHeaderInfo aviHeader;
    OggStreamInfo oggStream;
    ContainerInfo container;  // an MP4 or Matroska film
    PanelCarry carry;
};

}  // namespace discstart
