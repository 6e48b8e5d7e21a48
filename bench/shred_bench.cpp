// Shreds one file with one Wipe method and prints what it took:
//   quenlo_shred_bench METHOD FILE
// prints "passes=P bytes=B wall=S cpu=S" on one line; the file is gone
// afterwards. bench/shred_bench.sh runs it beside GNU shred and dd.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "wipe/ShredFile.h"
#include "wipe/ShredState.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s METHOD FILE\n", argv[0]);
        return 2;
    }
    using namespace quenlo::wipe;
    const int method = std::atoi(argv[1]);
    const WipeMethodInfo* info = FindWipeMethod(method);
    if (info == nullptr) {
        std::fprintf(stderr, "no Wipe method %s\n", argv[1]);
        return 2;
    }
    const std::filesystem::path file = argv[2];
    std::error_code error;
    const auto bytes = std::filesystem::file_size(file, error);
    if (error) {
        std::fprintf(stderr, "%s: %s\n", argv[2], error.message().c_str());
        return 2;
    }
    ShredMethod = method;
    ShredRepeatCount = 1;
    const std::clock_t cpuStart = std::clock();
    const auto wallStart = std::chrono::steady_clock::now();
    const bool shredded = ShredFile(file);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::printf("passes=%zu bytes=%ju wall=%.3f cpu=%.3f\n", info->passes.size(),
                static_cast<std::uintmax_t>(bytes), wall, cpu);
    return shredded ? 0 : 1;
}
