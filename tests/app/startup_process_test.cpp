// Starts the real executable.

#include <gtest/gtest.h>

#include <chrono>

#include "app/ShellContract.h"
#include "platform/Registry.h"
#include "tests/support/PosixFixtures.h"
#include "tests/support/TempDir.h"

namespace quenlo::app {
namespace {

// Runs quenlo with `arguments` and its store in `store`; returns the exit
// status, or -1 when it had not ended after `seconds`.
int RunQuenlo(const std::string& arguments, const std::filesystem::path& store, int seconds) {
    const std::string command = "QT_QPA_PLATFORM=offscreen QUENLO_REGISTRY=" + test::Quote(store) +
                                " timeout " + std::to_string(seconds) + " " QUENLO_EXECUTABLE " " +
                                arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    const int code = WEXITSTATUS(status);
    return code == 124 ? -1 : code;
}

TEST(StartupProcess, UnrecognisedFirstArgumentEndsAtOnceTouchingNothing) {
    for (const char* argument : {"-LIST", "list", "-shellx", "''", "/tmp/some-file"}) {
        test::TempDir dir;
        const auto store = dir / "registry.sqlite3";
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(RunQuenlo(argument, store, 10), 0) << argument;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << argument;
        EXPECT_FALSE(std::filesystem::exists(store)) << argument;
        EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << argument;
    }
}

TEST(StartupProcess, ShellModeEndsByItselfWithExitCodeZero) {
    test::TempDir dir;
    // No question: the stored settings switch the confirmation off, and the
    // hand-off key is empty, so the job runs over nothing.
    platform::openRegistryStore(dir / "registry.sqlite3")
        ->openKey(shell::kSettingsKey)
        ->writeString("ConfirmShreddFiles_Checked", "FALSE");
    EXPECT_EQ(RunQuenlo("-shell", dir / "registry.sqlite3", 20), 0);
    EXPECT_EQ(RunQuenlo("-shell -list", dir / "registry.sqlite3", 20), 0);
}

TEST(StartupProcess, PlainAndListModeRunUntilTheMainWindowCloses) {
    test::TempDir dir;
    EXPECT_EQ(RunQuenlo("", dir / "registry.sqlite3", 3), -1);
    EXPECT_EQ(RunQuenlo("-list extra arguments", dir / "registry.sqlite3", 3), -1);
}

}  // namespace
}  // namespace quenlo::app

namespace quenlo::app {
namespace {

// The file-manager hand-off end to end: qnshell writes the hand-off key and
// starts "quenlo -shell", which shreds without a question and ends.
TEST(StartupProcess, HandOffThroughTheHelperShredsAndEnds) {
    test::TempDir dir;
    const auto store = dir / "registry.sqlite3";
    platform::openRegistryStore(store)
        ->openKey(shell::kSettingsKey)
        ->writeString("ConfirmShreddFiles_Checked", "FALSE");
    std::filesystem::create_directories(dir / "folder" / "sub");
    test::WriteAll(dir / "folder" / "sub" / "inner", "inner");
    test::WriteAll(dir / "one file", "one");
    test::WriteAll(dir / "two\nfile", "two");
    const std::string command = "QT_QPA_PLATFORM=offscreen QUENLO_REGISTRY=" + test::Quote(store) +
                                " " QNSHELL_EXECUTABLE " shred " + test::Quote(dir / "folder") +
                                " " + test::Quote(dir / "one file") + " " +
                                test::Quote(dir / "two\nfile");
    ASSERT_TRUE(test::Run(command));
    for (int i = 0; i < 100 && std::filesystem::exists(dir / "one file"); ++i) {
        test::Run("sleep 0.1");
    }
    test::Run("sleep 0.5");
    EXPECT_FALSE(std::filesystem::exists(dir / "folder"));
    EXPECT_FALSE(std::filesystem::exists(dir / "one file"));
    EXPECT_FALSE(std::filesystem::exists(dir / "two\nfile"));
    const auto names =
        platform::openRegistryStore(store)->openKey(shell::kHandOffKey)->valueNames();
    EXPECT_EQ(names.size(), 3u);  // the program never empties the key
}

}  // namespace
}  // namespace quenlo::app
