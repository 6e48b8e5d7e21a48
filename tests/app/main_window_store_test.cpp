#include <gtest/gtest.h>

#include "app/MainWindowStore.h"
#include "app/ShellContract.h"
#include "platform/Process.h"
#include "tests/support/TempDir.h"

namespace quenlo {
namespace {

namespace fs = std::filesystem;

class MainWindowStore : public ::testing::Test {
protected:
    test::TempDir dir;
    std::unique_ptr<platform::Registry> registry = platform::openRegistryStore(dir / "r.sqlite3");
};

TEST_F(MainWindowStore, LoadsExistingPathsInCaseInsensitiveOrderAndKeepsTheKey) {
    fs::create_directory(dir / "Beta folder");
    for (const char* name : {"alpha.txt", "Zeta.txt", "same", "Same"}) {
        test::WriteAll(dir / name, "x");
    }
    auto key = registry->openKey(shell::kShredListKey);
    for (const char* name : {"Zeta.txt", "gone.txt", "Beta folder", "same", "alpha.txt", "Same"}) {
        key->writeDword((dir / name).string(), 0);
    }
    const auto paths = app::ListedPathsToLoad(*registry, platform::systemFileSystem());
    // Names that differ only in letter case are two files here; both stay.
    EXPECT_EQ(paths, (std::vector<fs::path>{dir / "alpha.txt", dir / "Beta folder", dir / "Same",
                                            dir / "same", dir / "Zeta.txt"}));
    EXPECT_EQ(key->valueNames().size(), 6u);  // the missing one's value stays
}

TEST_F(MainWindowStore, AnEmptyKeyGivesNothing) {
    EXPECT_TRUE(app::ListedPathsToLoad(*registry, platform::systemFileSystem()).empty());
}

TEST_F(MainWindowStore, LocationIsTheRunningExecutable) {
    registry->openKey(shell::kProgramKey)->writeString(shell::kLocationValue, "old");
    app::SaveLocation(*registry);
    EXPECT_EQ(registry->openKey(shell::kProgramKey)->readString(shell::kLocationValue),
              platform::executablePath().string());
}

}  // namespace
}  // namespace quenlo
