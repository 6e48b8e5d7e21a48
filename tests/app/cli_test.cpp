// quenlo-cli and qnreg end to end: the real executables in a temporary HOME
// with a store of their own.

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <sstream>
#include <thread>

#include "app/ShellContract.h"
#include "app/cli/CliOptions.h"
#include "app/cli/Commands.h"
#include "app/cli/StepQueue.h"
#include "freespace/DiskWiper.h"
#include "platform/Registry.h"
#include "shredlist/ShredJob.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/PosixFixtures.h"
#include "tests/support/TempDir.h"
#include "wipe/WipeMethods.h"

namespace quenlo::cli {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

class Cli : public ::testing::Test {
protected:
    std::map<std::string, std::string> Environment() const {
        return {{"HOME", home.path().string()},
                {"XDG_CONFIG_HOME", (home / "config").string()},
                {"QUENLO_REGISTRY", store.string()}};
    }
    test::Finished QuenloCli(const std::vector<std::string>& arguments,
                             const std::string& input = "", const fs::path& folder = {}) {
        return test::RunToEnd(QUENLO_CLI_EXECUTABLE, arguments, Environment(), input, folder);
    }
    test::Finished Qnreg(const std::vector<std::string>& arguments, const std::string& input = "") {
        return test::RunToEnd(QNREG_EXECUTABLE, arguments, Environment(), input);
    }
    std::unique_ptr<platform::Registry> Store() const { return platform::openRegistryStore(store); }

    // A tree with nested folders, hidden and awkwardly named files, and a
    // link to a file outside it that must survive.
    fs::path MakeTree(const std::string& name) {
        const fs::path tree = work / name;
        fs::create_directories(tree / "sub" / ".hidden dir");
        test::WriteAll(tree / "a.txt", std::string(70'000, 'a'));
        test::WriteAll(tree / "sub" / "b \"quoted\" \\ name", "b");
        test::WriteAll(tree / "sub" / ".hidden dir" / "new\nline", "c");
        test::WriteAll(tree / "sub" / std::string("\xff\xfe bytes"), "d");
        fs::create_symlink(outside, tree / "sub" / "link");
        return tree;
    }

    test::TempDir home;
    test::TempDir work;
    fs::path store = home / "registry.sqlite3";
    fs::path outside = [this] {
        test::WriteAll(home / "outside.txt", "keep me");
        return home / "outside.txt";
    }();
};

TEST_F(Cli, ShredsATreeAndAFileWithEveryMethod) {
    for (std::size_t method = 0; method < kMethodNames.size(); ++method) {
        SCOPED_TRACE(kMethodNames[method]);
        const fs::path tree = MakeTree("tree" + std::to_string(method));
        const fs::path file = work / ("-file" + std::to_string(method));
        test::WriteAll(file, std::string(5000, 'f'));
        const auto run = QuenloCli({"shred", "--yes", "--method", std::string(kMethodNames[method]),
                                    "--", tree.string(), file.filename().string()},
                                   "", work.path());
        EXPECT_EQ(run.status, 0) << run.errors;
        EXPECT_EQ(run.errors, "");
        EXPECT_FALSE(fs::exists(fs::symlink_status(tree)));
        EXPECT_FALSE(fs::exists(fs::symlink_status(file)));
        EXPECT_EQ(test::ReadAll(outside), "keep me");
        EXPECT_NE(
            run.output.find("Wipe method: " +
                            std::string(wipe::FindWipeMethod(static_cast<int>(method))->listText)),
            std::string::npos)
            << run.output;
    }
    EXPECT_TRUE(fs::is_empty(work.path())) << "nothing left behind, no renamed leftovers";
}

TEST_F(Cli, MethodComesFromTheStoreUnlessGiven) {
    Store()->openKey(shell::kSettingsKey)->writeDword("DefaultAlgorithm_ItemIndex", 1);
    test::WriteAll(work / "one", "1");
    auto run = QuenloCli({"shred", "-y", (work / "one").string()});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.output.find("Wipe method: Simple Two Pass"), std::string::npos) << run.output;
    // A stored index that names no method means the default one.
    Store()->openKey(shell::kSettingsKey)->writeDword("DefaultAlgorithm_ItemIndex", 9);
    test::WriteAll(work / "two", "2");
    run = QuenloCli({"shred", "-y", (work / "two").string()});
    EXPECT_NE(run.output.find("Wipe method: DoD 5220-22.M"), std::string::npos) << run.output;
    test::WriteAll(work / "three", "3");
    run = QuenloCli({"shred", "-y", "--method=0", (work / "three").string()});
    EXPECT_NE(run.output.find("Wipe method: Simple One Pass"), std::string::npos) << run.output;
}

TEST_F(Cli, PartlyUnshreddableWorkEndsWithTheWarningAndTheRestDone) {
    const fs::path tree = MakeTree("tree");
    const fs::path fifo = work / "pipe";
    ASSERT_TRUE(test::MakeFifo(fifo));
    const auto run =
        QuenloCli({"shred", "--yes", tree.string(), fifo.string(), (work / "missing").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("no such file or folder: '" + (work / "missing").string() + "'"),
              std::string::npos)
        << run.errors;
    EXPECT_NE(run.errors.find("warning: Some files can't be shredded because it's in use\n or you "
                              "don't have required privileges."),
              std::string::npos)
        << run.errors;
    EXPECT_NE(run.errors.find("not shredded: '" + fifo.string() + "'"), std::string::npos);
    EXPECT_FALSE(fs::exists(tree)) << "the shreddable part is done";
    EXPECT_TRUE(fs::exists(fs::symlink_status(fifo)));
}

TEST_F(Cli, BadUsageEndsWithStatusTwoAndNamesTheArgument) {
    test::WriteAll(work / "kept", "kept");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no command given"},
        {{"frobnicate"}, "'frobnicate'"},
        {{"shred"}, "no path given"},
        {{"shred", "--method", "7", (work / "kept").string()}, "'7'"},
        {{"shred", "--method"}, "'--method'"},
        {{"shred", "--force", (work / "kept").string()}, "'--force'"},
        {{"shred", "-y", "."}, "'.' or '..'"},
        {{"methods", "extra"}, "'extra'"},
        {{"drives", "--yes"}, "'--yes'"},
        {{"wipe-free", "-y", "Q"}, "Q:"},
    };
    for (const auto& [arguments, named] : cases) {
        SCOPED_TRACE(arguments.empty() ? "(none)" : arguments.front());
        const auto run = QuenloCli(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(Lines(run.errors).size(), 1u) << run.errors;
        EXPECT_NE(run.errors.find(named), std::string::npos) << run.errors;
    }
    EXPECT_EQ(test::ReadAll(work / "kept"), "kept");
    EXPECT_EQ(QuenloCli({"--help"}).status, 0);
}

TEST_F(Cli, WithoutATerminalNothingIsShreddedUnlessAskedNotToAsk) {
    test::WriteAll(work / "kept", "kept");
    const auto run = QuenloCli({"shred", (work / "kept").string()}, "y\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("--yes"), std::string::npos) << run.errors;
    EXPECT_EQ(test::ReadAll(work / "kept"), "kept") << "refused, nothing touched";

    // Settings that switch the question off are a decision made beforehand.
    Store()->openKey(shell::kSettingsKey)->writeString("ConfirmShreddFiles_Checked", "FALSE");
    EXPECT_EQ(QuenloCli({"shred", "--quiet", (work / "kept").string()}).status, 0);
    EXPECT_FALSE(fs::exists(work / "kept"));
}

TEST_F(Cli, QuietPrintsNothingButErrors) {
    test::WriteAll(work / "file", std::string(100'000, 'q'));
    auto run = QuenloCli({"shred", "-q", "-y", (work / "file").string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, "");
    run = QuenloCli({"shred", "-q", "-y", (work / "file").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "");
    EXPECT_NE(run.errors, "");
}

// The question on a terminal, answered both ways (in process: a test has no
// terminal to give a child).
TEST_F(Cli, TerminalQuestionIsAskedAndHonoured) {
    test::SetEnvironment("QUENLO_REGISTRY", store);
    test::WriteAll(work / "file", "file");
    for (const bool yes : {false, true}) {
        std::istringstream answers(yes ? "y\n" : "no\n");
        std::ostringstream out, error;
        Console console{answers, out, error};
        console.inputIsTerminal = true;
        const int status = RunCommandLine({"shred", (work / "file").string()}, console);
        EXPECT_NE(error.str().find(std::string(shredlist::kShredQuestion) + " [y/N] "),
                  std::string::npos);
        EXPECT_EQ(status, yes ? 0 : 1);
        EXPECT_EQ(fs::exists(work / "file"), !yes);
    }
    ::unsetenv("QUENLO_REGISTRY");
}

TEST_F(Cli, CtrlCStopsAShredAndSaysWhatIsLeft) {
    const fs::path big = work / "big";
    test::WriteAll(big, std::string(std::size_t{96} << 20, 'B'));
    test::WriteAll(work / "later", "later");
    test::ChildProcess run(
        QUENLO_CLI_EXECUTABLE,
        {"shred", "--yes", "-m", "gutmann", big.string(), (work / "later").string()},
        Environment());
    // The method line comes once Ctrl-C is caught, before the first pass.
    ASSERT_TRUE(run.waitForOutput("Wipe method: "));
    run.signal(SIGINT);
    EXPECT_EQ(run.wait(), 1);
    EXPECT_NE(run.errors().find("cancelled by the user"), std::string::npos) << run.errors();
    EXPECT_NE(run.errors().find("not shredded: '" + (work / "later").string() + "'"),
              std::string::npos)
        << "the job ends at the cancel, and says so";
    EXPECT_EQ(test::ReadAll(work / "later"), "later");
}

TEST_F(Cli, RootsOfFileSystemsAndWhatIsMountedInsideAFolderAreLeftAlone) {
    test::LoopMount drive("tmpfs", 4);
    if (!drive.mounted()) {
        GTEST_SKIP() << drive.whyNot();
    }
    test::WriteAll(drive.root() / "on the drive", "kept");
    auto run = QuenloCli({"shred", "--yes", drive.root().string() + "/"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("not shredded: '" + drive.root().string() + "'"), std::string::npos)
        << run.errors;
    EXPECT_EQ(test::ReadAll(drive.root() / "on the drive"), "kept");

    // A folder with another file system mounted inside it: its own files
    // go, the other file system and the folders above it stay.
    fs::create_directories(work / "folder" / "mounted");
    test::WriteAll(work / "folder" / "own", "own");
    ASSERT_TRUE(test::Run("mount --bind " + test::Quote(drive.root()) + " " +
                          test::Quote(work / "folder" / "mounted")));
    run = QuenloCli({"shred", "--yes", (work / "folder").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(fs::exists(work / "folder" / "own"));
    EXPECT_EQ(test::ReadAll(work / "folder" / "mounted" / "on the drive"), "kept");
    test::Run("umount " + test::Quote(work / "folder" / "mounted"));
}

TEST_F(Cli, MethodsAndDrives) {
    auto run = QuenloCli({"methods"});
    ASSERT_EQ(run.status, 0);
    const auto methods = Lines(run.output);
    ASSERT_EQ(methods.size(), 5u);
    EXPECT_EQ(methods[2].rfind("2  dod", 0), 0u) << methods[2];
    EXPECT_NE(methods[2].find("DoD 5220-22.M"), std::string::npos);
    EXPECT_NE(methods[4].find("35 passes"), std::string::npos);

    fs::create_directories(work / "disk");
    fs::create_directories(work / "stick");
    auto environment = Environment();
    environment["QUENLO_DRIVES"] = "C=" + (work / "disk").string() +
                                   ";D=" + (work / "cd").string() +
                                   ":cdrom;E=" + (work / "stick").string() + ":removable";
    run = test::RunToEnd(QUENLO_CLI_EXECUTABLE, {"drives"}, environment);
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto drives = Lines(run.output);
    ASSERT_EQ(drives.size(), 2u) << run.output;
    EXPECT_EQ(drives[0].rfind("C:  " + (work / "disk").string(), 0), 0u) << drives[0];
    EXPECT_NE(drives[0].find("fixed"), std::string::npos);
    EXPECT_NE(drives[0].find("LOCAL DISK"), std::string::npos);
    EXPECT_EQ(drives[1].rfind("E:  " + (work / "stick").string(), 0), 0u) << drives[1];
    EXPECT_NE(drives[1].find("removable"), std::string::npos);
    EXPECT_NE(drives[1].find("Removable Disk"), std::string::npos);
}

TEST_F(Cli, WipeFreeWithCtrlCStopsCleansUpAndFinishes) {
    test::LoopMount drive("tmpfs", 256);
    if (!drive.mounted()) {
        GTEST_SKIP() << drive.whyNot();
    }
    auto environment = Environment();
    environment["QUENLO_DRIVES"] = "E=" + drive.root().string() + ":fixed";

    // A whole run first, given by its mount point.
    auto whole = test::RunToEnd(QUENLO_CLI_EXECUTABLE,
                                {"wipe-free", "--yes", "-m", "one-pass", drive.root().string()},
                                environment);
    EXPECT_EQ(whole.status, 0) << whole.errors;
    const auto lines = Lines(whole.output);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Wipe finshed.");
    EXPECT_NE(whole.output.find("Start Wiping disk E:\\\n"), std::string::npos);
    EXPECT_NE(whole.output.find("Disk wiped E:\\\n"), std::string::npos);
    EXPECT_EQ(whole.output.find("warning:"), std::string::npos);

    // Output into a pipe that is closed at once ends nothing early.
    test::ChildProcess unread(QUENLO_CLI_EXECUTABLE, {"wipe-free", "E", "-y", "-m", "two-pass"},
                              environment, "", {}, true);
    EXPECT_EQ(unread.wait(), 0) << unread.errors();
    EXPECT_FALSE(fs::exists(drive.root() / "$clean_tmp"));

    // Then Ctrl-C in the middle of a 35-pass fill.
    test::ChildProcess run(QUENLO_CLI_EXECUTABLE,
                           {"wipe-free", "--yes", "--method", "gutmann", "e"}, environment);
    ASSERT_TRUE(run.waitForOutput("Start Wiping disk E:\\"));
    for (int i = 0; i < 2000 && !fs::exists(drive.root() / "$clean_tmp" / "tmp0001"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.signal(SIGINT);
    EXPECT_EQ(run.wait(), 1) << run.errors();
    const auto stopped = Lines(run.output());
    ASSERT_FALSE(stopped.empty());
    EXPECT_EQ(stopped.back(), "Wipe finshed.");
    EXPECT_NE(run.output().find("warning: Wipe cancelled by user\n"), std::string::npos)
        << run.output();
    EXPECT_NE(run.errors().find("stopping"), std::string::npos);
    EXPECT_FALSE(fs::exists(drive.root() / "$clean_tmp")) << "no temporary files left";
    EXPECT_FALSE(
        Store()->openKey(freespace::kPolicyKey)->readDword(freespace::kPolicyValue).has_value());
}

// Value names and data as a script might write them.
TEST_F(Cli, QnregRoundTripsBothTypesAndAwkwardNames) {
    const std::string key = "HKCU\\Software\\Quenlo\\Settings";
    const std::vector<std::string> names = {"plain",         "with spaces", "with \"quotes\"",
                                            "back\\slash\\", "new\nline",   ""};
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(i);
        auto run =
            Qnreg({"add", key, "/v", names[i], "/t", "REG_SZ", "/d", "data " + names[i], "/f"});
        EXPECT_EQ(run.status, 0) << run.errors;
        EXPECT_EQ(run.output, "The operation completed successfully.\n");
        EXPECT_EQ(Store()->openKey("Software\\Quenlo\\Settings")->readString(names[i]),
                  "data " + names[i]);
        run = Qnreg({"query", "HKEY_CURRENT_USER\\Software\\Quenlo\\Settings", "/v", names[i]});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.output, "\nHKEY_CURRENT_USER\\Software\\Quenlo\\Settings\n    " + names[i] +
                                  "    REG_SZ    data " + names[i] + "\n\n");
    }
    EXPECT_EQ(Qnreg({"add", key, "/v", "DefaultAlgorithm_ItemIndex", "/t", "REG_DWORD", "/d",
                     "0x1F", "/f"})
                  .status,
              0);
    EXPECT_EQ(
        Store()->openKey("Software\\Quenlo\\Settings")->readDword("DefaultAlgorithm_ItemIndex"),
        31u);
    EXPECT_EQ(
        Qnreg({"add", key, "/v", "count", "/t", "reg_dword", "/d", "4294967295", "/f"}).status, 0);
    EXPECT_EQ(Store()->openKey("Software\\Quenlo\\Settings")->readDword("count"), 0xFFFFFFFFu);

    // The whole key, in reg's layout, values in the order they were made.
    Store()->openKey("Software\\Quenlo\\Settings\\Sub");
    auto run = Qnreg({"query", "hkcu\\Software\\Quenlo\\Settings"});
    std::string expected = "\nHKEY_CURRENT_USER\\Software\\Quenlo\\Settings\n";
    for (const std::string& name : names) {
        expected += "    " + name + "    REG_SZ    data " + name + "\n";
    }
    expected +=
        "    DefaultAlgorithm_ItemIndex    REG_DWORD    0x1f\n"
        "    count    REG_DWORD    0xffffffff\n\n"
        "HKEY_CURRENT_USER\\Software\\Quenlo\\Settings\\Sub\n";
    EXPECT_EQ(run.output, expected);

    // Overwriting asks; "n" keeps the value.
    run = Qnreg({"add", key, "/v", "count", "/t", "REG_DWORD", "/d", "1"}, "n\n");
    EXPECT_NE(run.output.find("Value count exists, overwrite(Yes/No)?"), std::string::npos);
    EXPECT_EQ(Store()->openKey("Software\\Quenlo\\Settings")->readDword("count"), 0xFFFFFFFFu);
}

TEST_F(Cli, QnregDeletesAndReportsWhatIsMissing) {
    const auto registry = Store();  // outlives the keys opened in it
    auto settings = registry->openKey("Software\\Quenlo\\Settings");
    settings->writeString("a", "1");
    settings->writeString("b", "2");
    Store()->openKey("Software\\Quenlo")->writeDword("FormVersion", 0);

    EXPECT_EQ(Qnreg({"delete", "HKCU\\Software\\Quenlo\\Settings", "/v", "a", "/f"}).status, 0);
    EXPECT_EQ(settings->valueNames(), std::vector<std::string>{"b"});
    auto run = Qnreg({"delete", "HKCU\\Software\\Quenlo\\Settings", "/v", "a", "/f"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors,
              "ERROR: The system was unable to find the specified registry key or value.\n");
    run = Qnreg({"delete", "HKCU\\Software\\Quenlo\\Settings", "/va"}, "y\n");
    EXPECT_EQ(run.status, 0) << run.output << run.errors;
    EXPECT_TRUE(settings->valueNames().empty()) << "seen by a key held open meanwhile";

    run = Qnreg({"delete", "HKCU\\Software\\Quenlo"}, "n\n");
    EXPECT_NE(Store()->openExistingKey("Software\\Quenlo\\Settings"), nullptr) << "declined";
    EXPECT_EQ(Qnreg({"delete", "HKCU\\Software\\Quenlo", "/f"}).status, 0);
    EXPECT_EQ(Store()->openExistingKey("Software\\Quenlo"), nullptr);
    EXPECT_EQ(Store()->openExistingKey("Software\\Quenlo\\Settings"), nullptr);
    EXPECT_EQ(Qnreg({"query", "HKCU\\Software\\Quenlo"}).status, 1);
    EXPECT_EQ(Store()->openExistingKey("Software\\Quenlo"), nullptr) << "a query creates nothing";

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"add", "HKLM\\Software\\x"},
          {"add", "HKCU\\"},
          {"query", "HKCU"},
          {"add", "HKCU\\x", "/v", "n", "/t", "REG_DWORD", "/d", "twelve"},
          {"add", "HKCU\\x", "/v", "n", "/t", "REG_BINARY"},
          {"frob"},
          {"query"}}) {
        run = Qnreg(bad);
        EXPECT_EQ(run.status, 1) << bad.front();
        EXPECT_EQ(run.errors.rfind("ERROR: ", 0), 0u) << run.errors;
    }
    EXPECT_EQ(Store()->openExistingKey("x"), nullptr);
}

// The console's window thread: a worker's steps run on the thread that owns
// the queue, in order, and an error of a step reaches the worker.
TEST(StepQueue, RunsAWorkersStepsInOrderOnItsOwnThreadAndHandsBackErrors) {
    StepQueue queue;
    std::vector<std::thread::id> ranOn;
    std::vector<int> order;
    bool rethrown = false;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        for (int step = 1; step <= 3; ++step) {
            queue.runAndWait([&, step] {
                order.push_back(step);
                ranOn.push_back(std::this_thread::get_id());
            });
        }
        try {
            queue.runAndWait([] { throw std::runtime_error("step failed"); });
        } catch (const std::runtime_error&) {
            rethrown = true;
        }
        finished = true;
    });
    int idles = 0;
    queue.runUntil([&] { return finished.load(); }, [&] { ++idles; }, std::chrono::milliseconds(5));
    worker.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(ranOn, std::vector<std::thread::id>(3, std::this_thread::get_id()));
    EXPECT_TRUE(rethrown);
    EXPECT_GT(idles, 0);
}

TEST(CliOptions, MethodsByIndexAndNameOptionsAnywhereAndTheEndOfOptions) {
    EXPECT_EQ(ParseMethod("3"), 3);
    EXPECT_EQ(ParseMethod("Gutmann"), 4);
    EXPECT_EQ(ParseMethod("5"), std::nullopt);
    EXPECT_EQ(ParseMethod("dod5220"), std::nullopt);
    const Options options =
        ParseArguments({"shred", "a", "-m", "two-pass", "-q", "--", "-y", "--quiet"});
    EXPECT_EQ(options.command, Command::Shred);
    EXPECT_EQ(options.method, 1);
    EXPECT_TRUE(options.quiet);
    EXPECT_FALSE(options.yes);
    EXPECT_EQ(options.operands, (std::vector<std::string>{"a", "-y", "--quiet"}));
    EXPECT_EQ(ParseArguments({"wipe-free", "-", "E"}).operands,
              (std::vector<std::string>{"-", "E"}));
    EXPECT_EQ(ParseArguments({"shred", "x", "--help"}).command, Command::Help);
    try {
        ParseArguments({"shred", "--\n-bad"});
        FAIL() << "accepted";
    } catch (const UsageError& error) {
        EXPECT_EQ(std::string(error.what()).find('\n'), std::string::npos) << "one line";
    }
}

}  // namespace
}  // namespace quenlo::cli
