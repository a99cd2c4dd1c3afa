#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bytes/byte_file.h"
#include "page/scan/page_access.h"
#include "page/scan/page_links.h"

namespace discstart {

// One file reference of a disc page, or of a style sheet or page it links.
struct PageReference {
    std::string from;       // the referring file, relative to the disc folder
    std::string reference;  // the URL as written there
    std::string path;       // the file, relative to the disc folder; empty when it lies outside
    PageRefusal refusal = PageRefusal::None;  // None: the page may load it
};

// A page's bytes as UTF-8 text, decoded as the window decodes them.
using PageTextDecoder = std::function<std::string(std::string_view bytes)>;

// Everything the page `page` (a file name in `folder`) needs beside it: its own references and
// those of the style sheets and pages it links that it may load, each file once, in the order
// found, each admitted or refused by the page's rule (PageAccess). A linked page or style sheet
// past what the window would read is refused as too large, a picture past what a page may read.
// `folder` is the disc folder's path as `files` takes it; pages are taken as UTF-8 without
// `decode`. A page the rule refuses is the one reference, with an empty `from`.
std::vector<PageReference> PageReferences(const std::string& folder, const std::string& page,
                                          const FileOpener& files, const PageTextDecoder& decode = {});

}  // namespace discstart
