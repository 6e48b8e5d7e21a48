#pragma once

// What the command-line tools print: whole lines on standard output or
// standard error, and on a terminal one live status line at the bottom that
// is cleared before a line is printed and drawn again after it.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace quenlo::cli {

class ConsoleOutput {
public:
    // `live`: `error` is a terminal `columns` wide that shows the status line.
    ConsoleOutput(std::ostream& out, std::ostream& error, bool live, int columns = 80);
    ~ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    bool live() const { return live_; }

    // A line on standard output / standard error.
    void line(std::string_view text);
    void errorLine(std::string_view text);

    // Replaces the status line (live only; cut to the terminal's width).
    void status(std::string_view text);
    void clearStatus();

private:
    std::ostream& out_;
    std::ostream& error_;
    bool live_;
    int columns_;
    bool statusShown_ = false;
};

// "3:07" or "1:02:03"; "--:--" for a negative (unknown) duration.
std::string ClockText(double seconds);
// "[=======>      ]" `width` wide for `fraction` 0..1.
std::string BarText(double fraction, int width);
// Control characters of a name shown as "?", so a file name cannot move the
// cursor or clear the screen.
std::string Printable(std::string_view text);

}  // namespace quenlo::cli
