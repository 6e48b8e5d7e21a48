#include <gtest/gtest.h>

#include <vector>

#include "app/StartupMode.h"

namespace quenlo::app {
namespace {

StartupMode ModeOf(std::vector<const char*> args) {
    args.insert(args.begin(), "quenlo");
    return ChooseStartupMode(static_cast<int>(args.size()), args.data());
}

TEST(StartupMode, OnlyTheFirstArgumentCountsExactly) {
    const std::pair<std::vector<const char*>, StartupMode> cases[] = {
        {{}, StartupMode::Plain},
        {{"-list"}, StartupMode::List},
        {{"-list", "/etc/passwd", "-shell"}, StartupMode::List},
        {{"-shell"}, StartupMode::Shell},
        {{"-shell", "-list"}, StartupMode::Shell},
        {{"-LIST"}, StartupMode::None},
        {{"list"}, StartupMode::None},
        {{"/list"}, StartupMode::None},
        {{"-shellx"}, StartupMode::None},
        {{"--shell"}, StartupMode::None},
        {{""}, StartupMode::None},
        {{"/home/user/file.txt"}, StartupMode::None},
    };
    for (const auto& [args, mode] : cases) {
        EXPECT_EQ(ModeOf(args), mode) << (args.empty() ? "(none)" : args[0]);
    }
}

}  // namespace
}  // namespace quenlo::app
