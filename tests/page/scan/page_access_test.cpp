#include <gtest/gtest.h>

#include "page/scan/page_access.h"

namespace discstart {

namespace {

// The rule by names alone; what links and special files do is tried on a disk (tests/hostile).
TEST(PageAccess, AdmitsThePlainFilesOfTheFolderAndBelow) {
    MemoryFiles files;
    for (const char* name : {"/disc/page/a.png", "/disc/page/img/b.png", "/disc/page/.hidden/c.png",
                             "/disc/page/img/.d.png", "/disc/page2/e.png"})
        files.add(name, "x");
    const PageAccess access("/disc/page", files);
    const std::pair<const char*, PageRefusal> cases[] = {
        {"a.png", PageRefusal::None},           {"img/b.png", PageRefusal::None},
        {".hidden/c.png", PageRefusal::Hidden}, {"img/.d.png", PageRefusal::Hidden},
        {"gone.png", PageRefusal::Missing},     {"img/../a.png", PageRefusal::Outside},
    };
    for (const auto& [path, refusal] : cases) EXPECT_EQ(access.check(path), refusal) << path;
}

// A disc's root: "D:" alone would be the drive's current folder.
TEST(PageAccess, ADriveRootStaysTheRoot) {
    MemoryFiles files;
    files.add("D:/x.png", "x");
    const PageAccess access("D:/", files);
    EXPECT_EQ(access.below("D:/x.png"), std::optional<std::string>("x.png"));
    EXPECT_EQ(access.check("x.png"), PageRefusal::None);
}

// Where a path written from the folder leads, by its names alone; a sibling sharing the
// folder's name as a prefix is outside.
TEST(PageAccess, PathsBelowTheFolder) {
    MemoryFiles files;
    files.add("/disc/page/a.png", "x");
    const PageAccess access("/disc/./page/", files);
    const std::pair<const char*, const char*> cases[] = {
        {"/disc/page/a.png", "a.png"},
        {"/disc/page//img/./b.png", "img/b.png"},
        {"/disc/page/img/../a.png", "a.png"},
        {"/disc/page/../page/a.png", "a.png"},
        {"/disc/page/../../x", nullptr},
        {"/disc/page2/a.png", nullptr},
        {"/disc/pag", nullptr},
        {"disc/page/a.png", nullptr},
    };
    for (const auto& [path, below] : cases) {
        const auto got = access.below(path);
        EXPECT_EQ(got.has_value(), below != nullptr) << path;
        if (got && below != nullptr) {
            EXPECT_EQ(*got, below) << path;
        }
    }
}

}  // namespace

}  // namespace discstart
