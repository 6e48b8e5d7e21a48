// Fills the free space of one mounted file system with a Wipe method, as a
// Free-space wipe does for one drive, then clears it again, and prints the
// bytes written to the temporary files and the time taken (fill + flush).
//
// Usage: quenlo_fill_bench MOUNT_POINT METHOD

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "freespace/FreeSpaceFill.h"

namespace {

class QuietFill final : public quenlo::freespace::FreeSpaceFill {
protected:
    void FillStarted() override {}
    void FillProgress() override {}
    void FillLogLine(std::string_view, int) override {}
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s MOUNT_POINT METHOD\n", argv[0]);
        return 2;
    }
    const std::string map = std::string("E=") + argv[1];
    ::setenv("QUENLO_DRIVES", map.c_str(), 1);
    const int method = std::atoi(argv[2]);
    QuietFill fill;
    fill.DriveRoot = "E:\\";
    fill.CleanTempFolder('E');
    const auto start = std::chrono::steady_clock::now();
    if (!fill.FillWithMethod(method)) {
        std::fprintf(stderr, "no such method or drive\n");
        return 2;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    fill.CleanTempFolder('E');
    std::printf("%lld %.3f\n", static_cast<long long>(fill.BytesWritten), seconds);
    return 0;
}
