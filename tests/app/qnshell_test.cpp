// The file-manager helper and the process launcher, run for real.

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "app/ShellContract.h"
#include "app/ShellRegistration.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "tests/support/PosixFixtures.h"
#include "tests/support/TempDir.h"

namespace quenlo::app {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        if (!it->is_directory() || it->is_symlink()) {
            files[it->path().lexically_relative(root).string()] =
                it->is_symlink() ? "link" : test::ReadAll(it->path());
        }
    }
    return files;
}

// A copy of qnshell in a folder of its own, beside a stand-in "quenlo" that
// writes down how it was started, with HOME and the store pointed there.
class Helper : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(home);
        fs::copy_file(QNSHELL_EXECUTABLE, dir / "qnshell");
        test::WriteAll(dir / "quenlo", "#!/bin/sh\necho \"$@\" >> \"$(dirname \"$0\")/started\"\n");
        fs::permissions(dir / "quenlo", fs::perms::owner_all);
        savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        test::SetEnvironment("HOME", home);
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("XDG_CONFIG_HOME");
        test::SetEnvironment("QUENLO_REGISTRY", dir / "registry.sqlite3");
    }
    void TearDown() override {
        test::SetEnvironment("HOME", savedHome);
        ::unsetenv("QUENLO_REGISTRY");
    }
    void RunHelper(const std::vector<std::string>& arguments) {
        platform::ProcessLauncher launcher;
        launcher.start(dir / "qnshell", arguments);
        launcher.wait();
    }

    test::TempDir dir;
    fs::path home = dir / "home";
    std::string savedHome;
};

TEST_F(Helper, RegisterThenUnregisterLeavesExactlyTheUsersFiles) {
    test::WriteAll(home / "keep-me", "mine");
    fs::create_directories(home / ".config" / "Thunar");
    test::WriteAll(home / ".config" / "Thunar" / "uca.xml", "<actions><action/></actions>");
    fs::create_directories(home / ".local" / "share" / "kio" / "servicemenus");
    test::WriteAll(home / ".local" / "share" / "kio" / "servicemenus" / "other.desktop", "other");
    const auto before = Snapshot(home);

    RunHelper({"--register", "--quiet"});
    RunHelper({"--register", "--quiet"});  // idempotent
    const auto installed = Snapshot(home);
    EXPECT_TRUE(installed.count(".local/share/kio/servicemenus/quenlo.desktop"));
    EXPECT_TRUE(installed.count(".local/share/nautilus/scripts/Shred with Quenlo"));
    EXPECT_TRUE(installed.count(".local/share/nemo/actions/quenlo-shred.nemo_action"));
    EXPECT_EQ(installed.at(".config/Thunar/uca.xml"), "<actions><action/></actions>");
    const std::string menu = installed.at(".local/share/kio/servicemenus/quenlo.desktop");
    EXPECT_NE(menu.find("Name=Shred with Quenlo"), std::string::npos);
    EXPECT_NE(menu.find(" shred %F"), std::string::npos);

    RunHelper({"--unregister", "--quiet"});
    EXPECT_EQ(Snapshot(home), before);
}

TEST_F(Helper, ShredHandsOverExactlyTheNamesAndExecutesNothing) {
    const std::vector<std::string> names = {"with space", "quo\"te's",   "$(touch pwned)",
                                            "new\nline",  "bad\xff\xfe", "a;b"};
    fs::create_directory(dir / "work");
    std::vector<std::string> arguments{"shred"};
    std::set<std::string> expected;
    for (const auto& name : names) {
        arguments.push_back((dir / "work" / name).string());
        expected.insert((dir / "work" / name).string());
    }
    auto store = platform::openRegistryStore(dir / "registry.sqlite3");
    store->openKey(shell::kHandOffKey)->writeString("/stale/entry", "");

    RunHelper(arguments);

    const auto values = store->openKey(shell::kHandOffKey)->valueNames();
    EXPECT_EQ(std::set<std::string>(values.begin(), values.end()), expected);
    EXPECT_FALSE(fs::exists(dir / "work" / "pwned"));
    EXPECT_FALSE(fs::exists(fs::current_path() / "pwned"));
    for (int i = 0; i < 50 && !fs::exists(dir / "started"); ++i) {
        test::Run("sleep 0.1");
    }
    EXPECT_EQ(test::ReadAll(dir / "started"), "-shell\n");
}

TEST_F(Helper, ListAddsToTheShredListKey) {
    auto store = platform::openRegistryStore(dir / "registry.sqlite3");
    store->openKey(shell::kShredListKey)->writeString("/already/listed", "");
    RunHelper({"list", (dir / "x").string()});
    EXPECT_EQ(store->openKey(shell::kShredListKey)->valueNames(),
              (std::vector<std::string>{"/already/listed", (dir / "x").string()}));
}

TEST(ProcessLauncher, OneCommandAtATime) {
    platform::ProcessLauncher launcher;
    bool ended = false;
    launcher.start("sleep", {"0.3"}, [&] { ended = true; });
    EXPECT_TRUE(launcher.running());
    try {
        launcher.start("true", {});
        ADD_FAILURE() << "a second command started";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Cannot perform this operation when process is running");
    }
    launcher.wait();
    EXPECT_FALSE(launcher.running());
    EXPECT_TRUE(ended);
    EXPECT_THROW(launcher.start("/no/such/program", {}), std::system_error);
    EXPECT_FALSE(launcher.running());
}

TEST(ShellRegistration, CommandLines) {
    EXPECT_EQ(RegistrationCommandLine("C:\\Program Files\\Quenlo", true),
              "regsvr32.exe \"C:\\Program Files\\Quenlo\\qnshell.dll\" /s");
    EXPECT_EQ(RegistrationCommandLine("C:\\Program Files\\Quenlo\\", false),
              "regsvr32.exe \"C:\\Program Files\\Quenlo\\qnshell.dll\" /u /s");
    const Command command = RegistrationCommand("/opt/quenlo", false);
    EXPECT_EQ(command.program, "/opt/quenlo/qnshell");
    EXPECT_EQ(command.arguments, (std::vector<std::string>{"--unregister", "--quiet"}));
}

}  // namespace
}  // namespace quenlo::app
