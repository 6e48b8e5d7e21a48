#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "app/ActiveSettings.h"
#include "app/ProgramRegistry.h"
#include "app/ShellContract.h"
#include "app/gui/Application.h"
#include "app/gui/FileChooser.h"
#include "app/gui/Forms.h"
#include "app/gui/TfrmMain.h"
#include "app/gui/TfrmAbout.h"
#include "platform/qt/QtShell.h"
#include "shredlist/TfrmFiles.h"
#include "tests/support/FakeShell.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempDir.h"
#include "wipe/ShredFile.h"
#include "wipe/ShredState.h"
#include "wipe/TfrmShred.h"

namespace quenlo::gui {
namespace {

using test::WriteAll;

// The plain-mode windows with the Shred list over a registry and a shell of
// the test's own.
class FilesWindow : public ::testing::Test {
protected:
    void SetUp() override {
        app::SetProgramRegistry(registry.get());
        TfrmFiles::setShellForTests(&shell);
        app::SetCurrentPrompts(&prompts);
        app::ActiveSettings = {};
        CreateFormsForMode(app::StartupMode::Plain);
        frmMain->resize(706, 458);
        frmMain->show();
        QApplication::processEvents();
        files = frmFiles;
    }
    void TearDown() override {
        DestroyForms();
        TfrmFiles::setShellForTests(nullptr);
        app::SetProgramRegistry(nullptr);
        app::SetCurrentPrompts(nullptr);
        FileChooser::setAnswers({}, {});
    }

    template <typename T>
    T* child(const char* name) {
        return frmMain->findChild<T*>(name);
    }
    std::size_t FilledCount() {
        std::size_t filled = 0;
        for (std::size_t i = 0; i < files->list().topLevelCount(); ++i) {
            filled += files->list().topLevelUnfilled(i).filled() ? 1u : 0u;
        }
        return filled;
    }
    std::vector<std::string> ShownNames() {
        std::vector<std::string> names;
        auto& model = files->model();
        for (int row = 0; row < model.rowCount(); ++row) {
            names.push_back(model.index(row, 0).data().toString().toStdString());
        }
        return names;
    }
    void Select(int row) { files->VST->setCurrentIndex(files->model().index(row, 0)); }
    std::unique_ptr<platform::RegistryKey> ListKey() {
        return registry->openKey(shell::kShredListKey);
    }

    test::TempDir dir;
    std::unique_ptr<platform::Registry> registry = platform::openRegistryStore(dir / "reg.sqlite3");
    test::FakeShell shell;
    test::ScriptedPrompts prompts;
    TfrmFiles* files = nullptr;
};

TEST_F(FilesWindow, IsDockedWithItsControlsAndColumns) {
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->parentWidget(), frmMain->panContainer);
    ASSERT_NE(child<QTreeView>("VST"), nullptr);
    ASSERT_NE(child<QPushButton>("bShred"), nullptr);
    EXPECT_EQ(child<QPushButton>("bShred")->text(), "Shred Files Now..");
    EXPECT_TRUE(child<QPushButton>("bShred")->font().bold());
    EXPECT_EQ(child<QPushButton>("bShred")->width(), child<QFrame>("panBottom")->width() - 10);
    const QStringList headers = {"Name", "Type", "Path", "Size"};
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(files->model().headerData(column, Qt::Horizontal, Qt::DisplayRole),
                  headers[column]);
    }
    EXPECT_EQ(files->VST->header()->sectionSize(0), 200);
    EXPECT_EQ(files->VST->header()->sectionSize(3), 90);
    files->VST->header()->resizeSection(0, 10);
    EXPECT_EQ(files->VST->header()->sectionSize(0), 155);
}

TEST_F(FilesWindow, LinksShowTheShortcutOverlay) {
    WriteAll(dir / "target", "t");
    std::filesystem::create_symlink(dir / "target", dir / "link");
    TfrmFiles::setShellForTests(nullptr);  // the real shell
    TfrmFiles window;
    TfrmFiles::setShellForTests(&shell);
    window.AddEntries({dir / "target", dir / "link"});
    auto& model = window.model();
    const auto plain = model.index(0, 0).data(Qt::DecorationRole).value<QIcon>();
    const auto link = model.index(1, 0).data(Qt::DecorationRole).value<QIcon>();
    EXPECT_FALSE(link.isNull());
    EXPECT_NE(plain.pixmap(16, 16).toImage(), link.pixmap(16, 16).toImage());
}

TEST_F(FilesWindow, AddingFillsOnlyWhatIsDrawn) {
    std::vector<std::filesystem::path> paths;
    for (int i = 0; i < 5000; ++i) {
        paths.push_back(dir / ("file-" + std::to_string(i)));
    }
    files->AddEntries(paths);
    EXPECT_EQ(files->list().topLevelCount(), 5000u);
    files->VST->repaint();
    QApplication::processEvents();
    const std::size_t filled = FilledCount();
    EXPECT_GT(filled, 0u);
    EXPECT_LT(filled, 100u);  // one screen, not the list
    // Whatever order they are drawn in, each entry holds its own path.
    files->VST->scrollToBottom();
    QApplication::processEvents();
    EXPECT_EQ(files->list().topLevel(4999).data().FullPath, dir / "file-4999");
    EXPECT_EQ(files->list().topLevel(17).data().FullPath, dir / "file-17");
}

TEST_F(FilesWindow, ExpandingShowsHiddenFilesAndSubfolders) {
    std::filesystem::create_directory(dir / "hidden-only");
    WriteAll(dir / "hidden-only" / ".dot", "x");
    std::filesystem::create_directories(dir / "subs-only" / "inner");
    std::filesystem::create_directory(dir / "empty");
    files->AddEntries({dir / "hidden-only", dir / "subs-only", dir / "empty"});
    ShownNames();  // drawn, so filled
    auto& model = files->model();
    EXPECT_TRUE(model.hasChildren(model.index(0, 0)));
    EXPECT_TRUE(model.hasChildren(model.index(1, 0)));
    EXPECT_FALSE(model.hasChildren(model.index(2, 0)));
    files->VST->expand(model.index(0, 0));
    files->VST->expand(model.index(1, 0));
    QApplication::processEvents();
    ASSERT_EQ(model.rowCount(model.index(0, 0)), 1);
    EXPECT_EQ(model.index(0, 0, model.index(0, 0)).data().toString(), ".dot");
    ASSERT_EQ(model.rowCount(model.index(1, 0)), 1);
    EXPECT_EQ(model.index(0, 0, model.index(1, 0)).data().toString(), "inner");
}

TEST_F(FilesWindow, HeaderClicksSortFirstDescendingThenFlip) {
    WriteAll(dir / "small", std::string(10, 's'));
    WriteAll(dir / "large", std::string(5000, 'l'));
    std::filesystem::create_directory(dir / "folder");
    files->AddEntries({dir / "small", dir / "folder", dir / "large"});
    ShownNames();  // drawn, so filled
    files->VST->header()->sectionClicked(3);
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"large", "small", "folder"}));
    EXPECT_EQ(files->VST->header()->sortIndicatorSection(), 3);
    EXPECT_EQ(files->VST->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    files->VST->header()->sectionClicked(0);
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"folder", "large", "small"}));
    EXPECT_EQ(files->model().index(1, 3).data().toString(), "4.88 KB");
}

TEST_F(FilesWindow, ContextMenuEnabling) {
    files->PopupMenu1Popup();
    EXPECT_TRUE(files->AddFile1->isEnabled());
    EXPECT_TRUE(files->AddFolder1->isEnabled());
    EXPECT_FALSE(files->RemoveSelected1->isEnabled());
    EXPECT_FALSE(files->RemoveAll1->isEnabled());
    EXPECT_FALSE(files->LocateinExplorer1->isEnabled());

    files->AddEntries({dir / "a"});
    files->PopupMenu1Popup();
    EXPECT_FALSE(files->RemoveSelected1->isEnabled());
    EXPECT_TRUE(files->RemoveAll1->isEnabled());
    EXPECT_TRUE(files->LocateinExplorer1->isEnabled());
    Select(0);
    files->PopupMenu1Popup();
    EXPECT_TRUE(files->RemoveSelected1->isEnabled());
}

TEST_F(FilesWindow, LocateShowsExistingEntriesOnly) {
    WriteAll(dir / "here", "h");
    WriteAll(dir / "deleted", "d");
    files->AddEntries({dir / "here", dir / "deleted"});
    ShownNames();
    std::filesystem::remove(dir / "deleted");
    files->LocateinExplorer1Click();  // nothing selected: nothing happens
    Select(1);
    files->LocateinExplorer1Click();
    Select(0);
    files->LocateinExplorer1Click();
    EXPECT_EQ(shell.shown, std::vector<std::filesystem::path>{dir / "here"});
}

TEST_F(FilesWindow, DropsAreAddedInDropOrderAtTheEnd) {
    WriteAll(dir / "z", "");
    WriteAll(dir / "a", "");
    std::filesystem::create_directory(dir / "m");
    files->AddEntries({dir / "first"});
    files->VST->header()->sectionClicked(0);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(platform::displayText(dir / "z")),
                  QUrl::fromLocalFile(platform::displayText(dir / "a")),
                  QUrl::fromLocalFile(platform::displayText(dir / "m"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(files->VST->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(files->VST->viewport(), &drop);
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"first", "z", "a", "m"}));
}

TEST_F(FilesWindow, RemoveCommandsAskAndKeepTheKeyInStep) {
    auto key = ListKey();
    key->writeString((dir / "one").string(), "");
    key->writeString((dir / "two").string(), "");
    key->writeString("/gone/long/ago", "");
    files->AddEntries({dir / "one", dir / "two"});

    Select(0);
    prompts.answers = {false};
    frmMain->gFilesItems2Click();
    EXPECT_EQ(files->list().topLevelCount(), 2u);
    EXPECT_EQ(prompts.asked.back(), "yes?Are you sure to remove selected file(s)?");

    prompts.answers = {true};
    frmMain->gFilesItems2Click();
    EXPECT_EQ(ShownNames(), std::vector<std::string>{"two"});
    EXPECT_EQ(key->valueNames(),
              (std::vector<std::string>{(dir / "two").string(), "/gone/long/ago"}));

    app::ActiveSettings.ConfirmAddRemoveFiles = false;
    prompts.asked.clear();
    frmMain->gFilesItems3Click();
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(files->list().topLevelCount(), 0u);
    EXPECT_TRUE(key->valueNames().empty());
}

TEST_F(FilesWindow, AddCommandsUseTheChooser) {
    FileChooser::setAnswers(
        [this] {
            return std::vector<std::filesystem::path>{dir / "b", dir / "a"};
        },
        [this] { return std::optional<std::filesystem::path>(dir / "f"); });
    frmMain->gFilesItems0Click();
    frmMain->gFilesItems1Click();
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"b", "a", "f"}));
    FileChooser::setAnswers([] { return std::vector<std::filesystem::path>{}; },
                            [] { return std::nullopt; });
    frmMain->gFilesItems0Click();
    frmMain->gFilesItems1Click();
    EXPECT_EQ(files->list().topLevelCount(), 3u);
}

TEST(ProgressWindow, CancelWhileALargeFileIsShredded) {
    test::TempDir dir;
    const auto file = dir / "large.bin";
    WriteAll(file, std::string(std::size_t{64} << 20, 'L'));
    TfrmShred window;
    window.show();
    ASSERT_EQ(wipe::CurrentShredServices().progress, &window);
    EXPECT_EQ(window.windowTitle(), "Quenlo");
    EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
    std::vector<QString> textsSeen;
    int barMaximum = 0;
    // Cancel at the first message processing after pass 1 has set up its
    // bar, which comes after its first block: the cancel lands in pass 1
    // however fast the disk is.
    QObject::connect(window.ProgressBar1, &QProgressBar::valueChanged, &window, [&] {
        if (!textsSeen.empty()) {
            return;
        }
        textsSeen.push_back(window.labMetod->text());
        barMaximum = window.ProgressBar1->maximum();
        QTimer::singleShot(0, &window, [&] {
            window.btnCancel->click();
            window.btnCancel->click();  // a second click changes nothing
        });
    });
    wipe::ShredMethod = wipe::wmMilitary;
    wipe::ShredRepeatCount = 1;
    wipe::ShredCancelled = false;

    EXPECT_FALSE(wipe::ShredFile(file));

    EXPECT_TRUE(wipe::ShredCancelled.load());
    ASSERT_EQ(textsSeen.size(), 1u);
    EXPECT_EQ(textsSeen[0], "Wiping Method: Millitary Standard  (pass 1)");
    EXPECT_EQ(barMaximum, 65536);
    EXPECT_EQ(window.labMetod->text(), "Wiping Method: Millitary Standard  (pass 8)");
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.btnCancel->isEnabled());
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    wipe::ShredCancelled = false;
}

TEST(ProgressWindow, BarBeyondItsRangeIsScaled) {
    TfrmShred window;
    const std::int64_t kb = 3LL << 31;  // a 6 TiB file in KB
    window.startPassBar(kb);
    window.setPassPosition(kb / 2);
    EXPECT_GT(window.ProgressBar1->maximum(), 0);
    EXPECT_NEAR(static_cast<double>(window.ProgressBar1->value()) / window.ProgressBar1->maximum(),
                0.5, 0.01);
    window.setPassPosition(kb);
    EXPECT_EQ(window.ProgressBar1->value(), window.ProgressBar1->maximum());
}

}  // namespace
}  // namespace quenlo::gui
