#pragma once

#include "app/Prompts.h"

namespace quenlo::gui {

// The prompt service with real message boxes (through MessageBox, so tests
// can still answer them).
class QtPrompts final : public app::Prompts {
public:
    bool confirmOkCancel(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void warning(const std::string& text) override;
    void information(const std::string& text) override;
    void error(const std::string& text) override;
};

// Installs QtPrompts as the program's prompt service unless one is installed.
void InstallQtPrompts();

}  // namespace quenlo::gui
