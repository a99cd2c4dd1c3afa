#pragma once

#include <string>
#include <vector>

#include "readers/byte_file.h"
#include "readers/page_links.h"

namespace discstart {

// One file reference of a disc page, or of a style sheet or page it links.
struct PageReference {
    std::string from;                        // the referring file, relative to the disc folder
    std::string reference;                   // the URL as written there
    LinkTarget target = LinkTarget::Inside;  // Inside or Outside
    std::string path;                        // Inside: the file, relative to the disc folder
    bool present = false;                    // Inside: a regular file is there
};

// Everything the page `page` (a file name in `folder`) needs beside it: its own references and
// those of the style sheets and pages it links that are there, each file once, in the order
// found. `folder` is the disc folder's path as `files` takes it.
std::vector<PageReference> PageReferences(const std::string& folder, const std::string& page,
                                          const FileOpener& files = DiskFiles());

}  // namespace discstart
