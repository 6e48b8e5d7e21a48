#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/Prompts.h"

namespace quenlo::test {

// Answers questions from a script (true when it runs dry) and records every text.
class ScriptedPrompts : public app::Prompts {
public:
    std::deque<bool> answers;
    std::vector<std::string> asked;

    bool confirmOkCancel(const std::string& text) override { return answer("ok?" + text); }
    bool askYesNo(const std::string& text) override { return answer("yes?" + text); }
    void warning(const std::string& text) override { asked.push_back("warning:" + text); }
    void information(const std::string& text) override { asked.push_back("info:" + text); }
    void error(const std::string& text) override { asked.push_back("error:" + text); }

private:
    bool answer(const std::string& text) {
        asked.push_back(text);
        if (answers.empty()) {
            return true;
        }
        const bool next = answers.front();
        answers.pop_front();
        return next;
    }
};

}  // namespace quenlo::test
