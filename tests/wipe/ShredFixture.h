#pragma once

#include <gtest/gtest.h>

#include "tests/support/RecordingFileSystem.h"
#include "tests/support/TempDir.h"
#include "wipe/ShredState.h"

namespace quenlo::test {

// Puts a recording file layer, a standing clock and a recording progress
// window in place of the real ones, and resets the shred state.
class ShredFixture : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = wipe::CurrentShredServices();
        wipe::CurrentShredServices() = {&files, &clock, &progress};
        wipe::ShredMethod = wipe::kDefaultWipeMethod;
        wipe::ShredRepeatCount = 1;
        wipe::ShredCancelled = false;
    }
    void TearDown() override {
        wipe::CurrentShredServices() = saved_;
        wipe::ShredCancelled = false;
    }

    std::filesystem::path MakeFile(const std::string& name, const std::string& content) {
        const auto file = dir / name;
        WriteAll(file, content);
        return file;
    }

    TempDir dir;
    RecordingFileSystem files;
    FixedClock clock;
    RecordingProgress progress;

private:
    wipe::ShredServices saved_;
};

}  // namespace quenlo::test
