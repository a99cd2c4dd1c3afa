#pragma once

#include "info/panel.h"

namespace discstart {

namespace Ogg {

// The seven texts of an Ogg media file from its facts (ComputeMovieFacts of its numbers), so that
// the texts and discinfo's facts agree: a time unit of 0 stops after the codec code, a channel
// count without words keeps the earlier text.
void FillOggStreamInfo(const MovieFacts& facts, const NumberFormat& format, OggStreamInfo& info);

// ReadOggInfo as the panel calls it: `info` filled from the file at `path`, untouched when it
// cannot be opened; the numbers behind the texts, nothing then.
std::optional<OggStreamNumbers> ReadOggInfo(const std::string& path, const NumberFormat& format,
                                            OggStreamInfo& info, const FileOpener& files);

}  // namespace Ogg

// The rows of an Ogg file whose first HeadBlock bytes `head` holds: Ogg media from its fixed
// offsets, a standard Ogg file from its streams' headers. Sets update.kind.
void WriteOggFileRows(ByteFile& file, const ByteWindow& head, std::optional<std::int64_t> fileLength,
                      const PanelInput& input, PanelRecords records, PanelUpdate& update);

}  // namespace discstart
