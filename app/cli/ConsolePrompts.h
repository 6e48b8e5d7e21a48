#pragma once

// The program's questions and notices on a console: a question is asked on
// standard error and answered with a line on standard input ("y" or "yes"
// for OK / Yes, anything else, end of input included, for Cancel / No);
// warnings and errors go to standard error, marked as such.

#include <istream>
#include <string>

#include "app/Prompts.h"
#include "app/cli/ConsoleOutput.h"

namespace quenlo::cli {

class ConsolePrompts : public app::Prompts {
public:
    ConsolePrompts(ConsoleOutput& output, std::istream& answers, std::ostream& questions,
                   std::string program);

    bool confirmOkCancel(const std::string& text) override { return ask(text); }
    bool askYesNo(const std::string& text) override { return ask(text); }
    void warning(const std::string& text) override;
    void information(const std::string& text) override;
    void error(const std::string& text) override;

    // A warning or an error was given.
    bool complained() const { return complained_; }

private:
    bool ask(const std::string& text);

    ConsoleOutput& output_;
    std::istream& answers_;
    std::ostream& questions_;
    std::string program_;
    bool complained_ = false;
};

// A message box's text as console lines: its line breaks ("\r", "\r\n")
// become newlines.
std::string ConsoleText(const std::string& text);

}  // namespace quenlo::cli
