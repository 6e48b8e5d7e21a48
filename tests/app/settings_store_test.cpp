#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "app/SettingsStore.h"
#include "app/ShellContract.h"
#include "tests/support/TempDir.h"

namespace quenlo::app {
namespace {

// Controls with the dialog's built-in defaults that record every click.
class FakeControls : public SettingsControls {
public:
    std::map<std::string, bool, std::less<>> boxes = {
        {"AskAlgorithm", true}, {"ConfirmAddRemoveFiles", true}, {"ConfirmShreddFiles", true},
        {"TopTitle", true},     {"WindowsShell", true},          {"Maximized", false}};
    std::int32_t index = 2;
    std::vector<std::string> clicks;
    bool failWindowsShell = false;

    bool checked(std::string_view box) const override { return boxes.find(box)->second; }
    void setChecked(std::string_view box, bool state) override {
        boxes.find(box)->second = state;
        clicks.emplace_back(box);
        if (failWindowsShell && box == "WindowsShell") {
            throw std::runtime_error("cannot start");
        }
    }
    std::int32_t itemIndex() const override { return index; }
    void setItemIndex(std::int32_t value) override { index = value; }
};

class SettingsStoreTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::unique_ptr<platform::Registry> registry = platform::openRegistryStore(dir / "r.sqlite3");
    FakeControls controls;
    std::unique_ptr<platform::RegistryKey> settings() {
        return registry->openKey(shell::kSettingsKey);
    }
};

TEST_F(SettingsStoreTest, StoreWritesSevenValuesAndTheFormVersion) {
    controls.boxes["Maximized"] = true;
    controls.boxes["AskAlgorithm"] = false;
    controls.index = 4;
    StoreSettings(*registry, controls);
    EXPECT_EQ(registry->openKey(shell::kProgramKey)->readDword("FormVersion"), 0u);
    auto key = settings();
    EXPECT_EQ(key->valueNames(),
              (std::vector<std::string>{"AskAlgorithm_Checked", "ConfirmAddRemoveFiles_Checked",
                                        "ConfirmShreddFiles_Checked", "TopTitle_Checked",
                                        "WindowsShell_Checked", "Maximized_Checked",
                                        "DefaultAlgorithm_ItemIndex"}));
    EXPECT_EQ(key->readString("AskAlgorithm_Checked"), "FALSE");
    EXPECT_EQ(key->readString("Maximized_Checked"), "TRUE");
    EXPECT_EQ(key->readString("TopTitle_Checked"), "TRUE");
    EXPECT_EQ(key->readDword("DefaultAlgorithm_ItemIndex"), 4u);
}

TEST_F(SettingsStoreTest, RestoreReadsTheWordTable) {
    auto key = settings();
    key->writeString("TopTitle_Checked", "no");
    key->writeString("Maximized_Checked", "1");
    key->writeString("ConfirmShreddFiles_Checked", "maybe");
    key->writeString("ConfirmAddRemoveFiles_Checked", "n");
    key->writeString("AskAlgorithm_Checked", "0");
    key->writeString("DefaultAlgorithm_ItemIndex", "3");
    RestoreSettings(*registry, controls);
    EXPECT_FALSE(controls.boxes["TopTitle"]);
    EXPECT_TRUE(controls.boxes["Maximized"]);
    EXPECT_TRUE(controls.boxes["ConfirmShreddFiles"]);  // unchanged
    EXPECT_FALSE(controls.boxes["ConfirmAddRemoveFiles"]);
    EXPECT_FALSE(controls.boxes["AskAlgorithm"]);
    EXPECT_EQ(controls.index, 3);
    // Only boxes whose state changed were clicked.
    EXPECT_EQ(controls.clicks, (std::vector<std::string>{"AskAlgorithm", "ConfirmAddRemoveFiles",
                                                         "TopTitle", "Maximized"}));
}

TEST_F(SettingsStoreTest, WordsAndNumbers) {
    const std::pair<const char*, std::optional<bool>> cases[] = {
        {"TRUE", true}, {"yes", true}, {"Y", true},  {"False", false}, {"NO", false},
        {"n", false},   {"1", true},   {"-7", true}, {"0", false},     {" 2 ", true},
        {"maybe", {}},  {"", {}},      {"1.5", {}},  {"T", {}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ReadBooleanText(text), expected) << '"' << text << '"';
    }
}

TEST_F(SettingsStoreTest, NegativeFormVersionRestoresNothing) {
    registry->openKey(shell::kProgramKey)->writeDword("FormVersion", 0xFFFFFFFFu);
    settings()->writeString("TopTitle_Checked", "FALSE");
    RestoreSettings(*registry, controls);
    EXPECT_TRUE(controls.boxes["TopTitle"]);
    EXPECT_TRUE(controls.clicks.empty());
}

TEST_F(SettingsStoreTest, IndexOutOfRangeSelectsTheDefault) {
    controls.index = 0;
    settings()->writeDword("DefaultAlgorithm_ItemIndex", 9);
    RestoreSettings(*registry, controls);
    EXPECT_EQ(controls.index, 2);
    settings()->writeDword("DefaultAlgorithm_ItemIndex", 0xFFFFFFFFu);
    controls.index = 0;
    RestoreSettings(*registry, controls);
    EXPECT_EQ(controls.index, 2);
}

TEST_F(SettingsStoreTest, OneFailingValueNeverStopsTheOthers) {
    controls.failWindowsShell = true;
    settings()->writeString("WindowsShell_Checked", "FALSE");
    settings()->writeString("Maximized_Checked", "TRUE");
    settings()->writeDword("DefaultAlgorithm_ItemIndex", 1);
    RestoreSettings(*registry, controls);
    EXPECT_TRUE(controls.boxes["Maximized"]);
    EXPECT_EQ(controls.index, 1);
}

TEST_F(SettingsStoreTest, EmptyStoreChangesNothing) {
    const auto before = controls.boxes;
    RestoreSettings(*registry, controls);
    EXPECT_EQ(controls.boxes, before);
    EXPECT_EQ(controls.index, 2);
    auto broken = platform::openRegistryStore(dir / "r.sqlite3" / "not-a-folder");
    RestoreSettings(*broken, controls);
    StoreSettings(*broken, controls);  // silent
    EXPECT_EQ(controls.boxes, before);
}

}  // namespace
}  // namespace quenlo::app
