#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Registry.h"
#include "tests/support/PosixFixtures.h"
#include "tests/support/TempDir.h"

namespace quenlo::platform {
namespace {

class RegistryTest : public ::testing::Test {
protected:
    std::filesystem::path storeFile() const { return dir / "registry.sqlite3"; }
    test::TempDir dir;
    std::unique_ptr<Registry> registry = openRegistryStore(storeFile());
};

TEST_F(RegistryTest, ValuesKeepTheirDataAndType) {
    auto key = registry->openKey("Software\\Quenlo\\Settings");
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->writeString("Text", "TRUE"));
    EXPECT_TRUE(key->writeString("Empty", ""));
    EXPECT_TRUE(key->writeDword("Number", 0xDEADBEEF));

    EXPECT_EQ(key->readString("Text"), "TRUE");
    EXPECT_EQ(key->readString("Empty"), "");
    EXPECT_EQ(key->readDword("Number"), 0xDEADBEEFu);
    EXPECT_EQ(key->valueType("Number"), RegistryValueType::Dword);
    // Reading a value as the other type fails, as on Windows.
    EXPECT_EQ(key->readDword("Text"), std::nullopt);
    EXPECT_EQ(key->readString("Number"), std::nullopt);
    EXPECT_EQ(key->readString("Missing"), std::nullopt);
    // Writing again replaces data and type.
    EXPECT_TRUE(key->writeDword("Text", 7));
    EXPECT_EQ(key->readDword("Text"), 7u);
    EXPECT_EQ(key->readString("Text"), std::nullopt);
}

TEST_F(RegistryTest, KeyPathsIgnoreCaseValueNamesDoNot) {
    auto key = registry->openKey("Software\\Quenlo\\{471DAF86-524B-4fab-9BFC-DE491FC0283A}");
    ASSERT_NE(key, nullptr);
    const std::string upper = "/home/u/File.txt";
    const std::string lower = "/home/u/file.txt";
    const std::string odd = "/home/u/odd\nname\xff\xfe";
    EXPECT_TRUE(key->writeString(upper, "1"));
    EXPECT_TRUE(key->writeString(lower, "2"));
    EXPECT_TRUE(key->writeDword(odd, 3));

    auto same = registry->openKey("SOFTWARE\\quenlo\\{471daf86-524b-4FAB-9bfc-de491fc0283a}");
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(same->readString(upper), "1");
    EXPECT_EQ(same->readString(lower), "2");
    EXPECT_EQ(same->readDword(odd), 3u);
    EXPECT_EQ(same->valueNames(), (std::vector<std::string>{upper, lower, odd}));
    // Another key holds values of its own.
    EXPECT_TRUE(registry->openKey("Software\\Quenlo")->valueNames().empty());
}

TEST_F(RegistryTest, DeleteAndEnumerate) {
    auto key = registry->openKey("Software\\Quenlo");
    ASSERT_NE(key, nullptr);
    for (const char* name : {"c", "a", "b"}) {
        ASSERT_TRUE(key->writeString(name, name));
    }
    EXPECT_TRUE(key->writeString("c", "again"));  // keeps its place
    EXPECT_EQ(key->valueNames(), (std::vector<std::string>{"c", "a", "b"}));
    EXPECT_TRUE(key->deleteValue("a"));
    EXPECT_FALSE(key->deleteValue("a"));
    EXPECT_EQ(key->valueNames(), (std::vector<std::string>{"c", "b"}));
}

TEST_F(RegistryTest, SubkeysOpeningWithoutCreatingAndDeletingATree) {
    // Key names with the wildcards of SQL's LIKE must not match their neighbours.
    for (const char* path : {"Software\\Quenlo\\Settings", "Software\\Quenlo\\b_c\\Deep",
                             "Software\\Quenlo\\bxc", "Software\\Quenlo%", "Software\\Other"}) {
        ASSERT_NE(registry->openKey(path), nullptr) << path;
    }
    registry->openKey("Software\\Quenlo\\b_c\\Deep")->writeString("v", "deep");
    registry->openKey("Software\\Quenlo%")->writeDword("kept", 1);
    EXPECT_EQ(registry->openKey("SOFTWARE\\quenlo")->subkeyNames(),
              (std::vector<std::string>{"b_c", "bxc", "Settings"}));
    EXPECT_TRUE(registry->openKey("Software\\Quenlo\\Settings")->subkeyNames().empty());

    EXPECT_EQ(registry->openExistingKey("Software\\Nowhere"), nullptr);
    EXPECT_EQ(registry->openExistingKey("Software\\Nowhere"), nullptr) << "and it was not created";
    ASSERT_NE(registry->openExistingKey("software\\QUENLO\\b_c"), nullptr);

    EXPECT_TRUE(registry->deleteKeyTree("Software\\QUENLO\\B_C"));
    EXPECT_FALSE(registry->deleteKeyTree("Software\\Quenlo\\b_c"));
    EXPECT_EQ(registry->openExistingKey("Software\\Quenlo\\b_c\\Deep"), nullptr);
    EXPECT_NE(registry->openExistingKey("Software\\Quenlo\\bxc"), nullptr);
    EXPECT_TRUE(registry->deleteKeyTree("Software\\Quenlo"));
    EXPECT_EQ(registry->openExistingKey("Software\\Quenlo\\Settings"), nullptr);
    EXPECT_EQ(registry->openExistingKey("Software\\Quenlo%")->readDword("kept"), 1u)
        << "a key whose name only begins like the deleted one stays";
    EXPECT_EQ(registry->openKey("Software")->subkeyNames(),
              (std::vector<std::string>{"Other", "Quenlo%"}));
}

TEST_F(RegistryTest, StoreSurvivesReopeningAndIsPrivate) {
    ASSERT_TRUE(registry->openKey("Software\\Quenlo")->writeDword("FormVersion", 0));
    registry.reset();
    auto again = openRegistryStore(storeFile());
    EXPECT_EQ(again->openKey("Software\\Quenlo")->readDword("FormVersion"), 0u);

    const auto nested = dir / "new-folder" / "registry.sqlite3";
    ASSERT_NE(openRegistryStore(nested)->openKey("Software"), nullptr);
    struct stat info {};
    ASSERT_EQ(::stat(nested.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(nested.parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(RegistryTest, NothingIsCreatedUntilAKeyIsOpened) {
    auto lazy = openRegistryStore(dir / "lazy.sqlite3");
    EXPECT_FALSE(std::filesystem::exists(dir / "lazy.sqlite3"));
    lazy->openKey("Software");
    EXPECT_TRUE(std::filesystem::exists(dir / "lazy.sqlite3"));
}

TEST_F(RegistryTest, UnusableStoreFailsQuietly) {
    test::WriteAll(dir / "not-a-folder", "");
    auto broken = openRegistryStore(dir / "not-a-folder" / "registry.sqlite3");
    EXPECT_EQ(broken->openKey("Software\\Quenlo"), nullptr);

    test::WriteAll(dir / "garbage.sqlite3", std::string(8192, 'g'));
    auto garbage = openRegistryStore(dir / "garbage.sqlite3");
    EXPECT_EQ(garbage->openKey("Software\\Quenlo"), nullptr);
}

// What other processes delete stays visible to a key held open, also after
// a second registry of the same file came and went in this process: a
// forked child (which must not use the parent's connection) and two runs of
// the registry tool.
TEST_F(RegistryTest, OtherProcessesChangesStayVisibleToAKeyHeldOpen) {
    auto held = openRegistryStore(storeFile())->openKey("Software\\Quenlo");
    ASSERT_NE(held, nullptr);
    for (const char* name : {"a", "b", "c"}) {
        ASSERT_TRUE(held->writeString(name, name));
    }
    openRegistryStore(storeFile())->openKey("Software\\Other")->writeDword("x", 0);
    EXPECT_EQ(held->valueNames().size(), 3u);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto own = openRegistryStore(storeFile());
        ::_exit(own->openKey("Software\\Quenlo")->deleteValue("a") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(held->readString("a"), std::nullopt);

    const std::string tool = "QUENLO_REGISTRY=" + test::Quote(storeFile()) + " " QNREG_EXECUTABLE
                             " delete 'HKCU\\Software\\Quenlo' /f /v ";
    EXPECT_FALSE(test::Run(tool + "a >/dev/null 2>&1")) << "already gone";
    EXPECT_TRUE(test::Run(tool + "b >/dev/null"));
    EXPECT_EQ(held->readString("b"), std::nullopt);
    EXPECT_EQ(held->valueNames(), std::vector<std::string>{"c"});
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kValues = 1000;
    registry.reset();
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = ::fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            auto own = openRegistryStore(storeFile());
            auto key = own->openKey("Software\\Quenlo\\{471DAF86-524B-4fab-9BFC-DE491FC0283A}");
            int failures = key ? 0 : 1;
            for (int i = 0; key && i < kValues; ++i) {
                const std::string name = "/p" + std::to_string(child) + "/" + std::to_string(i);
                failures += key->writeString(name, "x") ? 0 : 1;
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto check = openRegistryStore(storeFile());
    auto key = check->openKey("Software\\Quenlo\\{471DAF86-524B-4fab-9BFC-DE491FC0283A}");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->valueNames().size(), 2u * kValues);
}

}  // namespace
}  // namespace quenlo::platform
