#pragma once

// Every question and notice of the program goes through this service: modal
// boxes with fixed texts. The windows install the real one; tests install a
// scripted one that records the texts and answers.

#include <string>

namespace quenlo::app {

class Prompts {
public:
    virtual ~Prompts() = default;
    // OK / Cancel; true for OK. Closing the box counts as Cancel.
    virtual bool confirmOkCancel(const std::string& text) = 0;
    // Yes / No; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
    virtual void warning(const std::string& text) = 0;
    virtual void information(const std::string& text) = 0;
    // The default handler of an error that escaped a window handler.
    virtual void error(const std::string& text) = 0;
};

// The program's prompt service; null until one is installed.
Prompts* CurrentPrompts();
void SetCurrentPrompts(Prompts* prompts);

}  // namespace quenlo::app
