#include <gtest/gtest.h>

#include "app/ShellContract.h"
#include "shredlist/PathInfo.h"
#include "shredlist/ShredList.h"
#include "tests/support/FakeShell.h"
#include "tests/support/TempDir.h"

namespace quenlo::shredlist {
namespace {

using test::TempDir;
using test::WriteAll;

TEST(PathInfo, FormatSizeTable) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {-1, "-1 bytes"},
        {0, "0 bytes"},
        {1, "1 bytes"},
        {1023, "1023 bytes"},
        {1024, "1 KB"},
        {1536, "1.5 KB"},
        {1034, "1.01 KB"},
        {2047, "2 KB"},
        {1048575, "1024 KB"},
        {1048576, "1 MB"},
        {1610612736, "1.5 GB"},
        {3LL << 30, "3 GB"},
        {5LL << 40, "5120 GB"},
        {(1LL << 30) + 6442451, "1.01 GB"},
        {(1LL << 30) + 4294967, "1 GB"},
        {INT64_MAX, "8589934592 GB"},
    };
    for (const auto& [size, text] : cases) {
        EXPECT_EQ(FormatSize(size), text) << size;
    }
    EXPECT_EQ(FormatSize(1536, ","), "1,5 KB");
}

TEST(PathInfo, FolderSizeAndFiles) {
    TempDir dir;
    std::filesystem::create_directories(dir / "only-sub" / "sub");
    std::filesystem::create_directory(dir / "hidden-only");
    WriteAll(dir / "hidden-only" / ".h", "x");
    WriteAll(dir / "f", "12345");
    std::filesystem::create_directory_symlink(dir / "only-sub", dir / "link");
    EXPECT_TRUE(IsFolder(dir / "only-sub"));
    EXPECT_FALSE(IsFolder(dir / "f"));
    EXPECT_FALSE(IsFolder(dir / "link"));
    EXPECT_FALSE(IsFolder(dir / "missing"));
    EXPECT_EQ(GetEntrySize(dir / "f"), 5);
    EXPECT_EQ(GetEntrySize(dir / "only-sub"), 0);
    EXPECT_EQ(GetEntrySize(dir / "missing"), -1);
    EXPECT_TRUE(FolderHasFiles(dir / "hidden-only"));
    EXPECT_FALSE(FolderHasFiles(dir / "only-sub"));
}

class ShredListTest : public ::testing::Test {
protected:
    TempDir dir;
    test::FakeShell shell;
    std::unique_ptr<platform::Registry> registry = platform::openRegistryStore(dir / "reg.sqlite3");
    ShredList list{platform::systemFileSystem(), shell, *registry};

    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < list.topLevelCount(); ++i) {
            names.push_back(list.topLevel(i).data().Name.string());
        }
        return names;
    }
};

TEST_F(ShredListTest, EachEntryGetsItsOwnPathWhateverOrderItIsFilledIn) {
    list.AddEntries({dir / "a", dir / "b", dir / "c"});
    EXPECT_TRUE(shell.asked.empty());  // adding fills nothing
    EXPECT_EQ(list.topLevel(2).data().FullPath, dir / "c");
    EXPECT_EQ(list.topLevel(0).data().FullPath, dir / "a");
    EXPECT_EQ(list.topLevel(1).data().FullPath, dir / "b");
    EXPECT_EQ(shell.asked, (std::vector<std::filesystem::path>{dir / "c", dir / "a", dir / "b"}));
    list.topLevel(2);
    EXPECT_EQ(shell.asked.size(), 3u);  // filled once
}

TEST_F(ShredListTest, FilledEntryDescribesItsPath) {
    WriteAll(dir / "report.pdf", std::string(1536, 'r'));
    shell.typeNames[".pdf"] = "PDF document";
    list.AddEntries({dir / "report.pdf", dir / "gone.tar.GZ", dir / "noext", dir / "report.pdf"});
    const auto& report = list.topLevel(0).data();
    EXPECT_EQ(report.Name, "report.pdf");
    EXPECT_EQ(report.Path.native(), dir.path().native() + "/");
    EXPECT_EQ(report.Size, 1536);
    EXPECT_EQ(report.TypeName, "PDF document");
    const auto& gone = list.topLevel(1).data();
    EXPECT_EQ(gone.Size, -1);
    EXPECT_EQ(gone.TypeName, "GZ File");
    EXPECT_EQ(list.topLevel(2).data().TypeName, "File");
    EXPECT_EQ(list.topLevel(3).data().FullPath, dir / "report.pdf");  // duplicates stay
}

TEST_F(ShredListTest, FoldersGetExpandButtonsByWhatTheyHold) {
    std::filesystem::create_directory(dir / "empty");
    std::filesystem::create_directory(dir / "hidden-only");
    WriteAll(dir / "hidden-only" / ".secret", "s");
    std::filesystem::create_directories(dir / "subs-only" / "inner");
    list.AddEntries({dir / "empty", dir / "hidden-only", dir / "subs-only"});
    EXPECT_FALSE(list.topLevel(0).hasChildren());
    EXPECT_TRUE(list.topLevel(1).hasChildren());
    EXPECT_TRUE(list.topLevel(2).hasChildren());

    ASSERT_TRUE(list.LoadChildren(list.topLevel(1)));
    ASSERT_EQ(list.topLevel(1).children().size(), 1u);
    EXPECT_EQ(list.topLevel(1).children()[0]->data().Name, ".secret");
    // Children are read once: what appears later is not picked up.
    WriteAll(dir / "hidden-only" / "later", "l");
    EXPECT_TRUE(list.LoadChildren(list.topLevel(1)));
    EXPECT_EQ(list.topLevel(1).children().size(), 1u);
}

TEST_F(ShredListTest, SortingFlipsStartingDescendingAndIsStable) {
    std::filesystem::create_directory(dir / "Zeta");
    std::filesystem::create_directory(dir / "alpha");
    WriteAll(dir / "b.txt", std::string(10, 'x'));
    WriteAll(dir / "C.txt", std::string(30, 'x'));
    WriteAll(dir / "a.txt", std::string(20, 'x'));
    list.AddEntries({dir / "b.txt", dir / "Zeta", dir / "C.txt", dir / "alpha", dir / "a.txt"});
    Names();  // fills them all

    list.HeaderClick(SortColumn::Size);  // first click: descending
    EXPECT_EQ(Names(), (std::vector<std::string>{"C.txt", "a.txt", "b.txt", "Zeta", "alpha"}));
    list.HeaderClick(SortColumn::Name);  // flips: ascending, folders first
    EXPECT_EQ(Names(), (std::vector<std::string>{"alpha", "Zeta", "a.txt", "b.txt", "C.txt"}));
    list.HeaderClick(SortColumn::Name);  // descending: files first, reversed
    EXPECT_EQ(Names(), (std::vector<std::string>{"C.txt", "b.txt", "a.txt", "Zeta", "alpha"}));
}

TEST_F(ShredListTest, EqualEntriesKeepTheirOrderAndUnfilledOnesCompareEmpty) {
    WriteAll(dir / "same", "1");
    list.AddEntries({dir / "same", dir / "same", dir / "same"});
    const ShredListEntry* order[] = {&list.topLevel(0), &list.topLevel(1), &list.topLevel(2)};
    list.HeaderClick(SortColumn::Type);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(&list.topLevelUnfilled(i), order[i]);
    }
    list.AddEntries({dir / "zzz-unfilled"});
    list.HeaderClick(SortColumn::Name);  // ascending: the unfilled one ("") first
    EXPECT_FALSE(list.topLevelUnfilled(0).filled());
    EXPECT_EQ(list.topLevel(0).data().FullPath, dir / "zzz-unfilled");
}

TEST_F(ShredListTest, RemoveAllDeletesEveryKeyValueShownOrNot) {
    auto key = registry->openKey(shell::kShredListKey);
    ASSERT_NE(key, nullptr);
    key->writeString((dir / "shown").string(), "");
    key->writeString("/no/longer/exists", "");
    list.AddEntries({dir / "shown"});
    list.RemoveFromListKey(dir / "not-there");  // no error
    list.RemoveAllEntries();
    EXPECT_EQ(list.topLevelCount(), 0u);
    EXPECT_TRUE(key->valueNames().empty());
}

}  // namespace
}  // namespace quenlo::shredlist
