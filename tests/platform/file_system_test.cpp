#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "platform/FileSystem.h"
#include "tests/support/PosixFixtures.h"
#include "tests/support/TempDir.h"

namespace quenlo::platform {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

FileSystem& fs() {
    return systemFileSystem();
}

TEST(FileSystem, MoveNeverReplacesAnExistingEntry) {
    TempDir dir;
    WriteAll(dir / "a", "a");
    WriteAll(dir / "b", "b");
    std::filesystem::create_directory(dir / "folder");
    EXPECT_FALSE(fs().move(dir / "a", dir / "b"));
    EXPECT_FALSE(fs().move(dir / "a", dir / "folder"));
    EXPECT_EQ(ReadAll(dir / "a"), "a");
    EXPECT_EQ(ReadAll(dir / "b"), "b");
    EXPECT_TRUE(fs().move(dir / "a", dir / "c"));
    EXPECT_EQ(ReadAll(dir / "c"), "a");
    EXPECT_TRUE(fs().move(dir / "folder", dir / "renamed"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "renamed"));
}

TEST(FileSystem, MoveNeverReplacesOnVfatEither) {
    test::LoopMount mount("vfat", 16);
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.whyNot();
    }
    WriteAll(mount.root() / "a", "a");
    WriteAll(mount.root() / "b", "b");
    EXPECT_FALSE(fs().move(mount.root() / "a", mount.root() / "b"));
    EXPECT_EQ(ReadAll(mount.root() / "b"), "b");
    EXPECT_TRUE(fs().move(mount.root() / "a", mount.root() / "c"));
}

TEST(FileSystem, AttributesMapToPermissionsNamesAndTypes) {
    TempDir dir;
    WriteAll(dir / "plain", "x");
    WriteAll(dir / ".hidden", "x");
    std::filesystem::create_directory(dir / "folder");
    std::filesystem::create_symlink(dir / "folder", dir / "link");
    ASSERT_TRUE(test::MakeFifo(dir / "fifo"));

    using namespace FileAttribute;
    EXPECT_EQ(fs().getAttributes(dir / "plain"), Archive);
    EXPECT_EQ(fs().getAttributes(dir / ".hidden"), Archive | Hidden);
    EXPECT_EQ(fs().getAttributes(dir / "folder"), Directory);
    EXPECT_EQ(fs().getAttributes(dir / "link"), ReparsePoint);
    EXPECT_EQ(fs().getAttributes(dir / "fifo"), System);
    EXPECT_EQ(fs().getAttributes(dir / "missing"), InvalidFileAttributes);

    EXPECT_TRUE(fs().setAttributes(dir / "plain", ReadOnly | Archive));
    EXPECT_EQ(fs().getAttributes(dir / "plain"), ReadOnly | Archive);
    EXPECT_EQ(std::filesystem::status(dir / "plain").permissions() &
                  (std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                   std::filesystem::perms::others_write),
              std::filesystem::perms::none);
    EXPECT_TRUE(fs().setAttributes(dir / "plain", Archive));
    EXPECT_EQ(fs().getAttributes(dir / "plain"), Archive);
}

TEST(FileSystem, SetAttributesNeverChangesALinksTarget) {
    TempDir dir;
    WriteAll(dir / "target", "x");
    std::filesystem::permissions(dir / "target", std::filesystem::perms::owner_read);
    std::filesystem::create_symlink(dir / "target", dir / "link");
    EXPECT_TRUE(fs().setAttributes(dir / "link", FileAttribute::Archive));
    EXPECT_EQ(fs().getAttributes(dir / "target"), FileAttribute::ReadOnly | FileAttribute::Archive);
}

TEST(FileSystem, VfatKeepsRealDosAttributes) {
    test::LoopMount mount("vfat", 16);
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.whyNot();
    }
    using namespace FileAttribute;
    const auto file = mount.root() / "file.txt";
    WriteAll(file, "x");
    ASSERT_TRUE(fs().setAttributes(file, Hidden | System | Archive));
    EXPECT_EQ(fs().getAttributes(file), Hidden | System | Archive);
    std::filesystem::create_directory(mount.root() / "dir");
    ASSERT_TRUE(fs().setAttributes(mount.root() / "dir", Hidden));
    EXPECT_EQ(fs().getAttributes(mount.root() / "dir"), Hidden | Directory);
    ASSERT_TRUE(fs().setAttributes(file, Archive));
    EXPECT_EQ(fs().getAttributes(file), Archive);
}

TEST(FileSystem, OpenExistingRefusesWhatIsNotARegularFile) {
    TempDir dir;
    WriteAll(dir / "target", "x");
    std::filesystem::create_symlink(dir / "target", dir / "link");
    std::filesystem::create_directory(dir / "folder");
    ASSERT_TRUE(test::MakeFifo(dir / "fifo"));
    for (const char* name : {"link", "folder", "fifo", "missing"}) {
        std::error_code error;
        EXPECT_EQ(fs().openExisting(dir / name, error), nullptr) << name;
        EXPECT_TRUE(error) << name;
    }
    std::error_code error;
    EXPECT_EQ(fs().openExisting("/dev/null", error), nullptr);
}

TEST(FileSystem, FileHandleWritesSeeksSizesAndCuts) {
    TempDir dir;
    WriteAll(dir / "f", "0123456789");
    std::error_code error;
    auto file = fs().openExisting(dir / "f", error);
    ASSERT_NE(file, nullptr) << error.message();
    EXPECT_EQ(file->size(), 10u);
    ASSERT_TRUE(file->seek(2));
    ASSERT_TRUE(file->write("ab", 2));
    EXPECT_TRUE(file->flush());
    EXPECT_EQ(ReadAll(dir / "f"), "01ab456789");
    // The size belongs to the open file even when the path moves on.
    std::filesystem::rename(dir / "f", dir / "g");
    WriteAll(dir / "f", "a different, longer file");
    EXPECT_EQ(file->size(), 10u);
    EXPECT_TRUE(file->setSize(0));
    EXPECT_TRUE(file->close());
    EXPECT_EQ(std::filesystem::file_size(dir / "g"), 0u);

    EXPECT_EQ(fs().createNew(dir / "g", error), nullptr);
    auto created = fs().createNew(dir / "new", error);
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(created->write("n", 1));
}

TEST(FileSystem, FindListsEveryEntryWithItsOwnType) {
    TempDir dir;
    const std::string odd = "odd\n\xff name";
    WriteAll(dir / ".hidden", "12345");
    WriteAll(dir / odd, "");
    std::filesystem::create_directory(dir / "sub");
    std::filesystem::create_directory_symlink(dir / "sub", dir / "sublink");

    auto search = fs().findFirst(dir.path());
    ASSERT_NE(search, nullptr);
    std::map<std::string, FindData> found;
    FindData entry;
    while (search->next(entry)) {
        found[entry.name.native()] = entry;
    }
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[".hidden"].attributes, FileAttribute::Archive | FileAttribute::Hidden);
    EXPECT_EQ(found[".hidden"].size, 5u);
    EXPECT_EQ(found[odd].attributes, FileAttribute::Archive);
    EXPECT_EQ(found["sub"].attributes, FileAttribute::Directory);
    EXPECT_EQ(found["sublink"].attributes, FileAttribute::ReparsePoint);
    EXPECT_EQ(fs().findFirst(dir / "missing"), nullptr);
}

TEST(FileSystem, FoldersAndDeletes) {
    TempDir dir;
    EXPECT_TRUE(fs().createDirectory(dir / "d"));
    EXPECT_FALSE(fs().createDirectory(dir / "d"));
    WriteAll(dir / "d" / "f", "x");
    EXPECT_FALSE(fs().removeDirectory(dir / "d"));
    EXPECT_FALSE(fs().deleteFile(dir / "d"));
    EXPECT_TRUE(fs().deleteFile(dir / "d" / "f"));
    EXPECT_TRUE(fs().removeDirectory(dir / "d"));
    EXPECT_FALSE(std::filesystem::exists(dir / "d"));
}

}  // namespace
}  // namespace quenlo::platform
