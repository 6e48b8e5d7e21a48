#pragma once

// The file and folder choosers of the program, answerable by tests.

#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace quenlo::gui {

class FileChooser {
public:
    // Several files, no filter; empty when cancelled.
    static std::vector<std::filesystem::path> chooseFiles(QWidget* parent);
    // One folder; empty when cancelled.
    static std::optional<std::filesystem::path> chooseFolder(QWidget* parent);

    // Tests: answer instead of a dialog (empty functions: real dialogs again).
    static void setAnswers(std::function<std::vector<std::filesystem::path>()> files,
                           std::function<std::optional<std::filesystem::path>()> folder);
};

}  // namespace quenlo::gui
