#include <gtest/gtest.h>

#include "shredlist/FileSearch.h"
#include "tests/support/PosixFixtures.h"
#include "tests/support/TempDir.h"

namespace quenlo::shredlist {
namespace {

using test::TempDir;
using test::WriteAll;

std::vector<std::string> Relative(const std::vector<std::filesystem::path>& paths,
                                  const std::filesystem::path& root) {
    std::vector<std::string> out;
    for (const auto& path : paths) {
        out.push_back(path.lexically_relative(root).string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST(FileSearch, ListsEverythingHiddenIncludedFoldersBeforeTheirSubfolders) {
    TempDir dir;
    std::filesystem::create_directories(dir / "a" / "deep");
    std::filesystem::create_directories(dir / ".hidden-dir");
    WriteAll(dir / "top.txt", "");
    WriteAll(dir / ".dotfile", "");
    WriteAll(dir / "a" / "in-a", "");
    WriteAll(dir / "a" / "deep" / "in-deep", "");
    WriteAll(dir / ".hidden-dir" / "x", "");

    const auto result = FileSearch().Search(dir.path());

    EXPECT_EQ(Relative(result.Files, dir.path()),
              (std::vector<std::string>{".dotfile", ".hidden-dir/x", "a/deep/in-deep", "a/in-a",
                                        "top.txt"}));
    EXPECT_EQ(Relative(result.Directories, dir.path()),
              (std::vector<std::string>{".hidden-dir", "a", "a/deep"}));
    // The root's own entries come before anything beneath a subfolder.
    const auto position = [&](const std::string& name) {
        return std::find(result.Files.begin(), result.Files.end(), dir / name) -
               result.Files.begin();
    };
    EXPECT_LT(position("top.txt"), position("a/in-a"));
    EXPECT_LT(position(".dotfile"), position("a/deep/in-deep"));
    EXPECT_LT(position("a/in-a"), position("a/deep/in-deep"));
    EXPECT_TRUE(result.MountPoints.empty());
}

TEST(FileSearch, LinkToAFolderOutsideIsListedNotEntered) {
    TempDir dir, outside;
    WriteAll(outside / "must-not-appear", "");
    std::filesystem::create_directory_symlink(outside.path(), dir / "link");
    const auto result = FileSearch().Search(dir.path());
    EXPECT_EQ(result.Files, std::vector<std::filesystem::path>{dir / "link"});
    EXPECT_TRUE(result.Directories.empty());
}

TEST(FileSearch, TreeDeeperThanTheLongestPathIsWalkedWhole) {
    TempDir dir;
    // 300 levels of 20-character names: some 6300 bytes, beyond PATH_MAX.
    const std::string name(20, 'd');
    std::filesystem::path relative;
    for (int i = 0; i < 300; ++i) {
        relative /= name;
    }
    ASSERT_TRUE(test::MakeDeepTree(dir.path(), name, 300, "bottom"));
    const auto result = FileSearch().Search(dir.path());
    EXPECT_EQ(result.Directories.size(), 300u);
    ASSERT_EQ(result.Files.size(), 1u);
    EXPECT_EQ(result.Files[0], dir / relative / "bottom");
    EXPECT_GT(result.Files[0].native().size(), 4096u);
    EXPECT_TRUE(test::RemoveDeepTree(dir.path(), name, 300, "bottom"));
}

TEST(FileSearch, MountPointInsideIsReportedNotEntered) {
    if (!test::IsRoot()) {
        GTEST_SKIP() << "needs root to mount a tmpfs";
    }
    TempDir dir;
    std::filesystem::create_directory(dir / "mnt");
    WriteAll(dir / "beside", "");
    ASSERT_TRUE(test::Run("mount -t tmpfs -o size=1m tmpfs " + test::Quote(dir / "mnt")));
    WriteAll(dir / "mnt" / "on-other-fs", "");

    const auto result = FileSearch().Search(dir.path());

    test::Run("umount " + test::Quote(dir / "mnt"));
    EXPECT_EQ(result.Files, std::vector<std::filesystem::path>{dir / "beside"});
    EXPECT_TRUE(result.Directories.empty());
    EXPECT_EQ(result.MountPoints, std::vector<std::filesystem::path>{dir / "mnt"});
}

TEST(FileSearch, MissingRootGivesNothing) {
    TempDir dir;
    const auto result = FileSearch().Search(dir / "missing");
    EXPECT_TRUE(result.Files.empty());
    EXPECT_TRUE(result.Directories.empty());
}

}  // namespace
}  // namespace quenlo::shredlist
