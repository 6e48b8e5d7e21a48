#include "app/gui/FileChooser.h"

#include <QFileDialog>

#include "platform/qt/QtShell.h"

namespace quenlo::gui {
namespace {
std::function<std::vector<std::filesystem::path>()> filesAnswer;
std::function<std::optional<std::filesystem::path>()> folderAnswer;
}  // namespace

std::vector<std::filesystem::path> FileChooser::chooseFiles(QWidget* parent) {
    if (filesAnswer) {
        return filesAnswer();
    }
    std::vector<std::filesystem::path> paths;
    for (const QString& name : QFileDialog::getOpenFileNames(parent)) {
        paths.push_back(platform::pathFromText(name));
    }
    return paths;
}

std::optional<std::filesystem::path> FileChooser::chooseFolder(QWidget* parent) {
    if (folderAnswer) {
        return folderAnswer();
    }
    const QString folder = QFileDialog::getExistingDirectory(parent);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return platform::pathFromText(folder);
}

void FileChooser::setAnswers(std::function<std::vector<std::filesystem::path>()> files,
                             std::function<std::optional<std::filesystem::path>()> folder) {
    filesAnswer = std::move(files);
    folderAnswer = std::move(folder);
}

}  // namespace quenlo::gui
