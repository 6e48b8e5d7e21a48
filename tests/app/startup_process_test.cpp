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
