#include "app/cli/ConsolePrompts.h"

#include <algorithm>
#include <cctype>

namespace quenlo::cli {

std::string ConsoleText(const std::string& text) {
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            lines += text[i];
        }
    }
    return lines;
}

ConsolePrompts::ConsolePrompts(ConsoleOutput& output, std::istream& answers,
                               std::ostream& questions, std::string program)
    : output_(output), answers_(answers), questions_(questions), program_(std::move(program)) {}

bool ConsolePrompts::ask(const std::string& text) {
    output_.clearStatus();
    questions_ << ConsoleText(text) << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(answers_, answer)) {
        questions_ << '\n';
        return false;
    }
    std::transform(answer.begin(), answer.end(), answer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    answer.erase(0, answer.find_first_not_of(" \t"));
    answer.erase(answer.find_last_not_of(" \t\r") + 1);
    return answer == "y" || answer == "yes";
}

void ConsolePrompts::warning(const std::string& text) {
    complained_ = true;
    output_.errorLine(program_ + ": warning: " + ConsoleText(text));
}

void ConsolePrompts::information(const std::string& text) {
    output_.line(ConsoleText(text));
}

void ConsolePrompts::error(const std::string& text) {
    complained_ = true;
    output_.errorLine(program_ + ": " + ConsoleText(text));
}

}  // namespace quenlo::cli
