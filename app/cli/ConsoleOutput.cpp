#include "app/cli/ConsoleOutput.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quenlo::cli {

ConsoleOutput::ConsoleOutput(std::ostream& out, std::ostream& error, bool live, int columns)
    : out_(out), error_(error), live_(live), columns_(std::max(columns, 20)) {}

ConsoleOutput::~ConsoleOutput() {
    clearStatus();
}

void ConsoleOutput::line(std::string_view text) {
    clearStatus();
    out_ << text << '\n' << std::flush;
}

void ConsoleOutput::errorLine(std::string_view text) {
    clearStatus();
    out_ << std::flush;
    error_ << text << '\n' << std::flush;
}

void ConsoleOutput::status(std::string_view text) {
    if (!live_) {
        return;
    }
    // One column short of the width, so the terminal never wraps the line.
    const std::string shown = Printable(text).substr(0, static_cast<std::size_t>(columns_ - 1));
    error_ << '\r' << shown << "\x1b[K" << std::flush;
    statusShown_ = true;
}

void ConsoleOutput::clearStatus() {
    if (statusShown_) {
        error_ << "\r\x1b[K" << std::flush;
        statusShown_ = false;
    }
}

std::string ClockText(double seconds) {
    if (!(seconds >= 0.0) || seconds > 1e9) {
        return "--:--";
    }
    const auto whole = static_cast<long long>(std::llround(seconds));
    char text[32];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                      whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    }
    return text;
}

std::string BarText(double fraction, int width) {
    const int inner = std::max(width - 2, 1);
    const double clamped = std::clamp(std::isfinite(fraction) ? fraction : 0.0, 0.0, 1.0);
    const int filled = static_cast<int>(clamped * inner);
    std::string bar = "[";
    bar.append(static_cast<std::size_t>(filled), '=');
    if (filled < inner) {
        bar += '>';
        bar.append(static_cast<std::size_t>(inner - filled - 1), ' ');
    }
    return bar + "]";
}

std::string Printable(std::string_view text) {
    std::string shown(text);
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    return shown;
}

}  // namespace quenlo::cli
