#include <gtest/gtest.h>

#include "app/ActiveSettings.h"
#include "app/ShellContract.h"
#include "shredlist/ShredJob.h"
#include "tests/support/FakeShell.h"
#include "tests/support/PosixFixtures.h"
#include "tests/support/RecordingFileSystem.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempDir.h"
#include "wipe/ShredState.h"

namespace quenlo::shredlist {
namespace {

namespace fs = std::filesystem;
using test::WriteAll;

class RecordingJobProgress : public JobProgress {
public:
    std::vector<std::string> events;
    std::vector<std::int64_t> positions;
    std::vector<std::string> processed;
    std::function<void()> onMessages;

    void showWindow() override { events.push_back("show"); }
    void closeWindow() override { events.push_back("close"); }
    void startJobBar(std::int64_t count) override {
        events.push_back("bar " + std::to_string(count));
    }
    void setJobPosition(std::int64_t position) override { positions.push_back(position); }
    void resetPassPosition() override {}
    void setFolderText(const std::string& text) override { events.push_back(text); }
    void setTitleText(const std::string&) override {}
    void setProcessedText(const std::string& text) override { processed.push_back(text); }
    void processPendingMessages() override {
        if (onMessages) {
            onMessages();
        }
    }
};

class ShredJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::ActiveSettings = {};
        app::ActiveSettings.DefaultAlgorithm = wipe::wmSimpleOnePass;  // fast
        saved = wipe::CurrentShredServices();
        wipe::CurrentShredServices() = {&files, saved.clock, nullptr};
    }
    void TearDown() override {
        wipe::CurrentShredServices() = saved;
        wipe::ShredCancelled = false;
    }
    fs::path File(const fs::path& path, const std::string& content = "secret") {
        fs::create_directories(path.parent_path());
        WriteAll(path, content);
        return path;
    }
    std::vector<std::string> ListKey() {
        return registry->openKey(shell::kShredListKey)->valueNames();
    }

    test::TempDir dir;
    test::RecordingFileSystem files;
    test::FakeShell shell;
    std::unique_ptr<platform::Registry> registry = platform::openRegistryStore(dir / "r.sqlite3");
    ShredList list{platform::systemFileSystem(), shell, *registry};
    RecordingJobProgress progress;
    test::ScriptedPrompts prompts;
    ShredJob job{progress, prompts, files};
    wipe::ShredServices saved;
};

TEST_F(ShredJobTest, EmptyListStillAsksShowsAndCloses) {
    job.RunListJob(list);
    EXPECT_EQ(prompts.asked, std::vector<std::string>{"ok?Are you sure to shred file(s)?"});
    EXPECT_EQ(progress.events, (std::vector<std::string>{"bar 0", "Folder: ", "show", "close"}));
}

TEST_F(ShredJobTest, DeclinedConfirmationChangesNothing) {
    const auto file = File(dir / "w" / "a");
    list.AddEntries({file});
    prompts.answers = {false};
    job.RunListJob(list);
    EXPECT_TRUE(fs::exists(file));
    EXPECT_TRUE(progress.events.empty());
    app::ActiveSettings.ConfirmShreddFiles = false;
    prompts.asked.clear();
    job.RunListJob(list);
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(ShredJobTest, UnshreddableMiddleFileStaysWithOneWarning) {
    const auto a = File(dir / "w" / "a"), b = File(dir / "w" / "b"), c = File(dir / "w" / "c");
    for (const auto& path : {a, b, c}) {
        registry->openKey(shell::kShredListKey)->writeString(path.string(), "");
    }
    list.AddEntries({a, b, c});
    // b cannot be opened for writing: the file layer refuses it.
    struct FailOne : test::RecordingFileSystem {
        fs::path refused;
        std::unique_ptr<platform::File> openExisting(const fs::path& path,
                                                     std::error_code& error) override {
            if (path == refused) {
                error = std::make_error_code(std::errc::text_file_busy);
                return nullptr;
            }
            return RecordingFileSystem::openExisting(path, error);
        }
    } failing;
    failing.refused = b;
    wipe::CurrentShredServices().files = &failing;

    job.RunListJob(list);

    EXPECT_FALSE(fs::exists(a));
    EXPECT_TRUE(fs::exists(b));
    EXPECT_FALSE(fs::exists(c));
    ASSERT_EQ(list.topLevelCount(), 1u);
    EXPECT_EQ(list.topLevel(0).data().FullPath, b);
    EXPECT_EQ(ListKey(), std::vector<std::string>{b.string()});
    EXPECT_EQ(progress.processed, (std::vector<std::string>{"1  of  3", "2  of  3", "3  of  3"}));
    EXPECT_EQ(std::count(prompts.asked.begin(), prompts.asked.end(),
                         std::string("warning:") + kShredWarning),
              1);
}

TEST_F(ShredJobTest, FolderOfTenAndAFileInBothJobs) {
    for (bool listJob : {true, false}) {
        SCOPED_TRACE(listJob ? "list job" : "hand-off job");
        progress = {};
        const auto folder = dir / "ten";
        for (int i = 0; i < 10; ++i) {
            File(folder / ("f" + std::to_string(i)));
        }
        const auto single = File(dir / "single");
        if (listJob) {
            list.AddEntries({folder, single});
            job.RunListJob(list);
            EXPECT_EQ(list.topLevelCount(), 0u);
            EXPECT_EQ(progress.positions, (std::vector<std::int64_t>{1, 1}));
        } else {
            job.RunHandOffJob({folder, single});
            EXPECT_EQ(progress.positions, (std::vector<std::int64_t>{1, 2}));
        }
        ASSERT_EQ(progress.processed.size(), 11u);
        EXPECT_EQ(progress.processed[0], "1  of  10");
        EXPECT_EQ(progress.processed[9], "10  of  10");
        EXPECT_EQ(progress.processed[10], "1  of  1");
        EXPECT_FALSE(fs::exists(folder));
        EXPECT_FALSE(fs::exists(single));
    }
}

TEST_F(ShredJobTest, NestedFoldersAreRenamedNumericallyAndRemovedKeyValueKept) {
    const auto folder = dir / "tree";
    File(folder / "x" / "y" / "deep.txt");
    File(folder / "top.txt");
    registry->openKey(shell::kShredListKey)->writeString(folder.string(), "");
    list.AddEntries({folder});
    job.RunListJob(list);
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_EQ(list.topLevelCount(), 0u);
    EXPECT_EQ(ListKey(), std::vector<std::string>{folder.string()});
    std::vector<std::string> renamedTo;
    for (const auto& [from, to] : files.moves) {
        renamedTo.push_back(to.filename().string());
    }
    ASSERT_GE(renamedTo.size(), 3u);  // two files' throw-away names, then three folders
    for (std::size_t i = renamedTo.size() - 3; i < renamedTo.size(); ++i) {
        EXPECT_EQ(renamedTo[i].find_first_not_of("0123456789"), std::string::npos) << renamedTo[i];
    }
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        EXPECT_EQ(entry.path().filename().string().rfind("r.sqlite3", 0), 0u) << entry.path();
    }
}

TEST_F(ShredJobTest, CancelDuringTheThirdFileOfAFolder) {
    const auto folder = dir / "five";
    for (int i = 0; i < 5; ++i) {
        File(folder / ("f" + std::to_string(i)), std::string(100000, 'c'));
    }
    list.AddEntries({folder});
    int seen = 0;
    progress.onMessages = [&] {
        if (++seen == 3) {
            wipe::ShredCancelled = true;
        }
    };
    job.RunListJob(list);
    EXPECT_TRUE(fs::exists(folder));
    EXPECT_EQ(list.topLevelCount(), 1u);
    std::size_t left = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        left += entry.is_regular_file() ? 1u : 0u;
    }
    EXPECT_EQ(left, 3u);  // the third stays (cut), the last two untouched
    EXPECT_EQ(prompts.asked.back(), std::string("warning:") + kShredWarning);
    EXPECT_EQ(progress.events.back(), "close");
}

TEST_F(ShredJobTest, VanishedAndDuplicatePathsCountAsShredded) {
    const auto file = File(dir / "twice");
    list.AddEntries({dir / "vanished", file, file});
    job.RunListJob(list);
    EXPECT_EQ(list.topLevelCount(), 0u);
    EXPECT_EQ(std::count_if(prompts.asked.begin(), prompts.asked.end(),
                            [](const std::string& s) { return s.rfind("warning:", 0) == 0; }),
              0);
}

TEST_F(ShredJobTest, LinksInsideAFolderAreRemovedAndTheirTargetsKept) {
    test::TempDir outside;
    File(outside / "inner" / "precious", "precious");
    const auto folder = dir / "with-link";
    File(folder / "own");
    fs::create_directory_symlink(outside / "inner", folder / "link-to-folder");
    fs::create_symlink(outside / "inner" / "precious", folder / "link-to-file");
    job.RunHandOffJob({folder});
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder)));
    EXPECT_EQ(test::ReadAll(outside / "inner" / "precious"), "precious");
}

TEST_F(ShredJobTest, MountPointInsideIsLeftAndCountsAsAFailure) {
    if (!test::IsRoot()) {
        GTEST_SKIP() << "needs root to mount a tmpfs";
    }
    const auto folder = dir / "has-mount";
    File(folder / "own");
    fs::create_directories(folder / "mnt");
    ASSERT_TRUE(test::Run("mount -t tmpfs -o size=1m tmpfs " + test::Quote(folder / "mnt")));
    File(folder / "mnt" / "other-fs", "other");
    list.AddEntries({folder});
    job.RunListJob(list);
    const std::string other = test::ReadAll(folder / "mnt" / "other-fs");
    test::Run("umount " + test::Quote(folder / "mnt"));
    EXPECT_EQ(other, "other");
    EXPECT_FALSE(fs::exists(folder / "own"));
    EXPECT_EQ(list.topLevelCount(), 1u);
    EXPECT_EQ(prompts.asked.back(), std::string("warning:") + kShredWarning);
}

TEST_F(ShredJobTest, FileSystemRootIsRefused) {
    job.RunHandOffJob({"/"});
    EXPECT_TRUE(files.moves.empty());
    EXPECT_TRUE(files.deletes.empty());
    EXPECT_EQ(prompts.asked.back(), std::string("warning:") + kShredWarning);
}

TEST_F(ShredJobTest, MethodOutOfRangeMeansTheDefault) {
    app::ActiveSettings.DefaultAlgorithm = 7;
    const auto folder = dir / "m";
    File(folder / "f", std::string(10, 'q'));
    job.RunHandOffJob({folder});
    EXPECT_EQ(wipe::ShredMethod, wipe::kDefaultWipeMethod);
    EXPECT_EQ(files.events.passes.size(), 3u);  // DoD's three passes really written
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(ShredJobTest, ListJobLeavesNoMarkerOnTheDevice) {
    test::LoopMount mount("ext4", 32);
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.whyNot();
    }
    app::ActiveSettings.DefaultAlgorithm = wipe::wmDoD;
    const std::string marker = "<<quenlo-job-marker-51c2>>";
    std::string content;
    while (content.size() < 100'000) {
        content += marker;
    }
    const auto folder = mount.root() / "secrets";
    for (int i = 0; i < 4; ++i) {
        File(folder / ("nested" + std::to_string(i % 2)) / ("f" + std::to_string(i)), content);
    }
    ASSERT_TRUE(test::Run("sync"));
    list.AddEntries({folder});
    job.RunListJob(list);
    EXPECT_FALSE(fs::exists(folder));
    ASSERT_TRUE(mount.unmount());
    const std::string image = test::ReadAll(mount.image());
    EXPECT_EQ(image.find(marker), std::string::npos);
}

}  // namespace
}  // namespace quenlo::shredlist

namespace quenlo::shredlist {
namespace {

TEST_F(ShredJobTest, AwkwardNamesAndATreeBeyondTheLongestPath) {
    const auto folder = dir / "awkward";
    File(folder / "new\nline");
    File(folder / "bad\xff\xfe");
    File(folder / "-dash");
    const std::string name(20, 'd');
    ASSERT_TRUE(test::MakeDeepTree(folder, name, 300, "bottom"));
    list.AddEntries({folder});

    job.RunListJob(list);  // ends, whatever it could not reach

    EXPECT_FALSE(fs::exists(folder / "new\nline"));
    EXPECT_FALSE(fs::exists(folder / "bad\xff\xfe"));
    EXPECT_FALSE(fs::exists(folder / "-dash"));
    // The file beyond the longest path cannot be opened, so it is not
    // reported shredded: the folder stays listed and the warning shows.
    EXPECT_EQ(list.topLevelCount(), 1u);
    EXPECT_EQ(prompts.asked.back(), std::string("warning:") + kShredWarning);
    EXPECT_EQ(progress.events.back(), "close");
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        if (entry.is_directory()) {
            test::RemoveDeepTree(entry.path(), name, 300, "bottom");
        }
    }
}

}  // namespace
}  // namespace quenlo::shredlist

namespace quenlo::shredlist {
namespace {

TEST_F(ShredJobTest, ImmutableFileAndReadOnlySubfolderInsideAFolder) {
    test::LoopMount mount("ext4", 16);
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.whyNot();
    }
    const auto folder = mount.root() / "mixed";
    File(folder / "plain", "plain");
    File(folder / "frozen", "frozen");
    File(folder / "ro" / "inside", "inside");
    fs::permissions(folder / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    ASSERT_TRUE(test::SetImmutable(folder / "frozen", true));
    list.AddEntries({folder});

    job.RunListJob(list);

    // Whatever the folder is called now, the immutable file is there, whole.
    std::vector<fs::path> frozen;
    for (const auto& entry : fs::recursive_directory_iterator(mount.root())) {
        if (entry.path().filename() == "frozen") {
            frozen.push_back(entry.path());
        }
    }
    ASSERT_EQ(frozen.size(), 1u);
    EXPECT_EQ(test::ReadAll(frozen[0]), "frozen");
    test::SetImmutable(frozen[0], false);
    EXPECT_EQ(list.topLevelCount(), 1u);
    EXPECT_EQ(prompts.asked.back(), std::string("warning:") + kShredWarning);
    EXPECT_FALSE(fs::exists(fs::path(frozen[0]).parent_path() / "plain"));
}

}  // namespace
}  // namespace quenlo::shredlist
