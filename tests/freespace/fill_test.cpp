#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>

#include "freespace/DiskWiper.h"
#include "tests/freespace/FillFixture.h"
#include "tests/support/PosixFixtures.h"
#include "tests/support/RecordingFileSystem.h"
#include "tests/support/TempDir.h"
#include "wipe/WipeMethods.h"

namespace quenlo::freespace {
namespace {

namespace fs = std::filesystem;
using test::RecordingFill;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<fs::path> TempFiles(const fs::path& root) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(root / "$clean_tmp")) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool Uniform(const std::string& chunk, unsigned char value) {
    return std::all_of(chunk.begin(), chunk.end(),
                       [value](char c) { return static_cast<unsigned char>(c) == value; });
}

bool UniformBelow255(const std::string& chunk) {
    return !chunk.empty() && static_cast<unsigned char>(chunk[0]) != 255 &&
           Uniform(chunk, static_cast<unsigned char>(chunk[0]));
}

std::string TripleChunk(const wipe::TriplePattern& pattern, std::size_t size) {
    std::string chunk;
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t unit = pattern[(i / 2) % 3];
        chunk += static_cast<char>(i % 2 == 0 ? unit & 0xFF : unit >> 8);
    }
    return chunk;
}

TEST(FillNames, TemporaryFileNamesAndRounding) {
    EXPECT_EQ(TempFileName(1), "tmp0001");
    EXPECT_EQ(TempFileName(9999), "tmp9999");
    EXPECT_EQ(TempFileName(10000), "tmp10000");
    EXPECT_EQ(TempFileName(123456), "tmp123456");
    const std::map<std::pair<std::int64_t, std::int64_t>, std::int64_t> cases = {
        {{5, 2}, 2}, {{7, 2}, 4}, {{1536, 1024}, 2}, {{2560, 1024}, 2}, {{2561, 1024}, 3},
        {{1023, 1024}, 1}, {{511, 1024}, 0}, {{0, 1024}, 0}};
    for (const auto& [operands, expected] : cases) {
        EXPECT_EQ(RoundedQuotient(operands.first, operands.second), expected)
            << operands.first << " / " << operands.second;
    }
}

// Free space handed in by the test: `figures` one after the other, the last
// one for every later measurement.
FillServices ScriptedSpace(const fs::path& root, std::vector<platform::DiskFreeSpace> figures) {
    FillServices services;
    services.rootPath = [root](char) { return std::optional<fs::path>(root); };
    auto index = std::make_shared<std::size_t>(0);
    services.freeSpace = [figures, index](char) {
        const auto& value = figures[std::min(*index, figures.size() - 1)];
        ++*index;
        return std::optional<platform::DiskFreeSpace>(value);
    };
    return services;
}

TEST(FillScripted, LessThanOneChunkGivesAnEmptyFolderAndNoStart) {
    test::TempDir dir;
    RecordingFill fill(ScriptedSpace(dir.path(), {{1023, 1'000'000, 1023}}));
    fill.DriveRoot = "E:\\";
    fill.FillSimpleOnePass();
    EXPECT_EQ(fill.started, 0);
    EXPECT_TRUE(fill.log.empty());
    EXPECT_TRUE(fill.Failure.empty()) << "a drive with no room is not a failure";
    ASSERT_TRUE(fs::is_directory(dir / "$clean_tmp"));
    EXPECT_TRUE(fs::is_empty(dir / "$clean_tmp"));
    fill.CleanTempFolder('E');
    EXPECT_FALSE(fs::exists(dir / "$clean_tmp"));
}

TEST(FillScripted, DivisorChangesAboveOneBillionBytes) {
    for (const auto& [total, divisor] :
         std::vector<std::pair<std::uint64_t, std::int32_t>>{{1'000'000'000, 1024},
                                                             {1'000'000'001, 10240}}) {
        test::TempDir dir;
        // Room for the start, then nothing: one empty file, flushed and closed.
        RecordingFill fill(ScriptedSpace(dir.path(), {{4096, total, 4096}, {0, total, 0}}));
        fill.DriveRoot = "E:\\";
        fill.FillDoD();
        EXPECT_EQ(fill.divisorAtStart, divisor) << total;
        EXPECT_EQ(fill.log, std::vector<std::string>{"Flushing disk buffers"});
        EXPECT_EQ(fs::file_size(dir / "$clean_tmp" / "tmp0001"), 0u);
    }
}

TEST(FillScripted, UnmeasurableDriveIsNotFilled) {
    test::TempDir dir;
    FillServices services;
    services.rootPath = [&](char) { return std::optional<fs::path>(dir.path()); };
    services.freeSpace = [](char) { return std::optional<platform::DiskFreeSpace>(); };
    RecordingFill fill(services);
    fill.DriveRoot = "E:\\";
    fill.FreeAvailable = 1 << 30;  // left over from a drive before
    fill.FillSimpleOnePass();
    EXPECT_EQ(fill.started, 0);
    EXPECT_TRUE(fs::is_empty(dir / "$clean_tmp"));
}

TEST(FillScripted, WriteErrorFinishesTheFileAndEndsTheFill) {
    test::TempDir dir;
    test::RecordingFileSystem files;
    files.failWriteFrom = 3;  // the third positional write and all after it
    FillServices services = ScriptedSpace(dir.path(), {{1 << 30, 1 << 30, 1 << 30}});
    services.files = &files;
    RecordingFill fill(services);
    fill.DriveRoot = "E:\\";
    fill.FillSimpleOnePass();
    EXPECT_EQ(fill.started, 1);
    ASSERT_EQ(files.created.size(), 1u) << "no further file after an error";
    EXPECT_EQ(fill.log, std::vector<std::string>{"Flushing disk buffers"});
    const auto& calls = files.events.calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "flush");
    EXPECT_EQ(calls.back(), "close");
    EXPECT_EQ(fill.Failure, "a write failed: " + std::make_error_code(std::errc::io_error).message())
        << "an ended fill is not a filled drive";
}

TEST(FillScripted, FileThatCannotBeCreatedEndsCleanly) {
    test::TempDir dir;
    test::RecordingFileSystem files;
    files.failCreateAlways = true;
    FillServices services = ScriptedSpace(dir.path(), {{1 << 30, 1 << 30, 1 << 30}});
    services.files = &files;
    RecordingFill fill(services);
    fill.DriveRoot = "E:\\";
    fill.FillGutmann();
    EXPECT_EQ(fill.started, 1);
    EXPECT_EQ(files.created.size(), 1u);
    EXPECT_TRUE(fill.log.empty()) << "nothing logged for a file never opened";
    EXPECT_TRUE(files.events.calls.empty());
    EXPECT_EQ(fill.Failure.rfind("a temporary file cannot be made: ", 0), 0u) << fill.Failure;
}

TEST(FillScripted, CleanTempFolderDeletesFilesButNeverFollowsALink) {
    test::TempDir dir;
    const fs::path folder = dir / "$clean_tmp";
    fs::create_directories(folder / "kept");
    test::WriteAll(folder / "users-own-file", "x");
    test::WriteAll(folder / "tmp0001", "y");
    RecordingFill fill(ScriptedSpace(dir.path(), {{0, 0, 0}}));
    fill.CleanTempFolder('E');
    EXPECT_FALSE(fs::exists(folder / "users-own-file"));
    EXPECT_FALSE(fs::exists(folder / "tmp0001"));
    EXPECT_TRUE(fs::exists(folder / "kept")) << "a subfolder keeps the folder";
    fs::remove(folder / "kept");
    fill.CleanTempFolder('E');
    EXPECT_FALSE(fs::exists(folder));

    // "$clean_tmp" as a link to the user's files: neither the clean-up nor
    // the fill reach through it.
    fs::create_directory(dir / "documents");
    test::WriteAll(dir / "documents" / "letter.txt", "keep me");
    fs::create_directory_symlink(dir / "documents", folder);
    fill.CleanTempFolder('E');
    EXPECT_EQ(ReadFile(dir / "documents" / "letter.txt"), "keep me");
    RecordingFill writer(ScriptedSpace(dir.path(), {{1 << 20, 1 << 20, 1 << 20}}));
    writer.DriveRoot = "E:\\";
    writer.FillSimpleOnePass();
    EXPECT_EQ(writer.started, 0);
    EXPECT_FALSE(fs::exists(dir / "documents" / "tmp0001"));
}

// A real small file system for the fills below.
class FillOnDrive : public ::testing::Test {
protected:
    void Mount(const std::string& type, int mib) {
        mount_ = std::make_unique<test::LoopMount>(type, mib);
        if (!mount_->mounted()) {
            GTEST_SKIP() << mount_->whyNot();
        }
        map_ = std::make_unique<test::DriveMap>("E=" + mount_->root().string());
    }
    std::unique_ptr<test::LoopMount> mount_;
    std::unique_ptr<test::DriveMap> map_;
};

class FillEveryMethod : public FillOnDrive, public ::testing::WithParamInterface<int> {};

// What the passes at one chunk position must be, in order.
void ExpectPassSequence(int method, const std::vector<std::string>& passes, std::size_t chunk) {
    const auto triple = [chunk](int index) { return TripleChunk(wipe::kTriplePatterns[static_cast<std::size_t>(index)], chunk); };
    switch (method) {
        case 0:
            ASSERT_EQ(passes.size(), 1u);
            EXPECT_TRUE(Uniform(passes[0], 0x00));
            break;
        case 1:
            ASSERT_EQ(passes.size(), 2u);
            EXPECT_TRUE(Uniform(passes[0], 0x00));
            EXPECT_TRUE(Uniform(passes[1], 0xFF));
            break;
        case 2:
            ASSERT_EQ(passes.size(), 3u);
            for (std::size_t i = 0; i < chunk; ++i) {
                const auto r1 = static_cast<unsigned char>(passes[0][i]);
                EXPECT_EQ(static_cast<unsigned char>(passes[1][i]), 255 - r1);
                EXPECT_LT(r1, 255);
                EXPECT_LT(static_cast<unsigned char>(passes[2][i]), 255);
            }
            EXPECT_NE(passes[0], passes[2]);
            break;
        case 3: {
            const unsigned char bytes[] = {0x00, 0xFF, 0x55, 0xAA, 0x00, 0xFF, 0x55, 0xAA};
            ASSERT_EQ(passes.size(), 8u);
            for (std::size_t p = 0; p < 8; ++p) {
                EXPECT_TRUE(Uniform(passes[p], bytes[p])) << "pass " << p + 1;
            }
            break;
        }
        case 4: {
            ASSERT_EQ(passes.size(), 35u);
            EXPECT_EQ(passes[0], triple(0));
            for (const int p : {2, 3, 4, 32, 33, 34, 35}) {
                EXPECT_TRUE(UniformBelow255(passes[static_cast<std::size_t>(p - 1)])) << "pass " << p;
            }
            EXPECT_TRUE(Uniform(passes[4], 0x55));
            EXPECT_TRUE(Uniform(passes[5], 0xAA));
            for (int p = 7; p <= 9; ++p) {
                EXPECT_EQ(passes[static_cast<std::size_t>(p - 1)], triple(p - 7)) << "pass " << p;
            }
            for (int p = 10; p <= 25; ++p) {
                EXPECT_TRUE(Uniform(passes[static_cast<std::size_t>(p - 1)], static_cast<unsigned char>((p - 10) * 0x11)))
                    << "pass " << p;
            }
            for (int p = 26; p <= 31; ++p) {
                EXPECT_EQ(passes[static_cast<std::size_t>(p - 1)], triple(p - 26)) << "pass " << p;
            }
            break;
        }
        default:
            FAIL();
    }
}

TEST_P(FillEveryMethod, FillsTheDriveAndCleansUp) {
    Mount("tmpfs", 4);
    if (IsSkipped()) {
        return;
    }
    const int method = GetParam();
    constexpr std::size_t kChunk = 1024;
    constexpr std::uint64_t kLimit = 1 << 20;
    test::RecordingFileSystem files;
    RecordingFill* fillPointer = nullptr;
    // The passes received by chunk position 300 of the first file.
    constexpr std::uint64_t kSample = 300 * kChunk;
    std::vector<std::string> samplePasses;
    files.onWriteAt = [&](std::uint64_t offset, const unsigned char* data, std::size_t size) {
        if (fillPointer->filesFinished == 0 && offset <= kSample && offset + size >= kSample + kChunk) {
            samplePasses.emplace_back(reinterpret_cast<const char*>(data + (kSample - offset)), kChunk);
        }
    };
    FillServices services;
    services.files = &files;
    services.fileSizeLimit = kLimit;
    RecordingFill fill(services);
    fillPointer = &fill;
    fill.DriveRoot = "E:\\";
    ASSERT_TRUE(fill.FillWithMethod(method));

    EXPECT_EQ(fill.started, 1);
    EXPECT_EQ(fill.divisorAtStart, 1024);
    ExpectPassSequence(method, samplePasses, kChunk);

    const auto temp = TempFiles(mount_->root());
    ASSERT_GE(temp.size(), 3u);
    EXPECT_EQ(fill.log.size(), temp.size()) << "one flush line per file";
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < temp.size(); ++i) {
        EXPECT_EQ(temp[i].filename(), TempFileName(static_cast<int>(i + 1)));
        const auto size = fs::file_size(temp[i]);
        total += size;
        if (i + 1 < temp.size()) {
            EXPECT_EQ(size, kLimit + kChunk) << temp[i];
        }
        // Every position ends with the method's last pass.
        const std::string content = ReadFile(temp[i]);
        const std::string first = content.substr(0, kChunk);
        for (std::size_t position = 0; position + kChunk <= content.size(); position += 97 * kChunk) {
            ASSERT_EQ(content.substr(position, kChunk), first) << temp[i] << " at " << position;
        }
        if (i == 0) {
            EXPECT_EQ(first, samplePasses.back());
        }
    }
    EXPECT_GE(fill.BytesWritten, static_cast<std::int64_t>(total));
    // The drive is full: what is left is less than what a file system keeps
    // for itself.
    const auto space = platform::GetDiskFreeSpaceEx('E');
    ASSERT_TRUE(space.has_value());
    EXPECT_LT(space->freeToCaller, 64u * 1024);
    EXPECT_GT(total, (4u << 20) - (64u << 10));

    fill.CleanTempFolder('E');
    EXPECT_FALSE(fs::exists(mount_->root() / "$clean_tmp"));
}

INSTANTIATE_TEST_SUITE_P(Methods, FillEveryMethod, ::testing::Range(0, 5));

TEST_F(FillOnDrive, TickCadenceOnFixedAndRemovableDrivesAcrossFiles) {
    Mount("tmpfs", 2);
    if (IsSkipped()) {
        return;
    }
    for (const bool removable : {false, true}) {
        test::RecordingFileSystem files;
        std::set<std::size_t> sizes;
        files.onWriteAt = [&](std::uint64_t, const unsigned char*, std::size_t size) { sizes.insert(size); };
        FillServices services;
        services.files = &files;
        services.fileSizeLimit = 100 * 1024;  // the tick counter runs on across files
        RecordingFill fill(services);
        fill.DriveRoot = "E:\\";
        fill.Removable = removable;
        fill.RemovableChunk = 64;
        fill.FillSimpleOnePass();
        const std::int64_t chunk = removable ? 64 : 1024;
        const std::int64_t interval = removable ? 16 : 256;
        EXPECT_EQ(fill.TickInterval, interval);
        ASSERT_GE(fill.tickBytes.size(), 3u);
        EXPECT_EQ(fill.tickBytes[0], (interval + 1) * chunk);
        for (std::size_t i = 1; i < fill.tickBytes.size(); ++i) {
            EXPECT_EQ(fill.tickBytes[i] - fill.tickBytes[i - 1], interval * chunk) << "tick " << i;
        }
        for (const std::size_t size : sizes) {
            EXPECT_EQ(size % static_cast<std::size_t>(chunk), 0u) << size;
        }
        const auto temp = TempFiles(mount_->root());
        ASSERT_GE(temp.size(), 2u);
        EXPECT_EQ(fs::file_size(temp[0]), 100u * 1024 / static_cast<std::uint64_t>(chunk) * static_cast<std::uint64_t>(chunk) + static_cast<std::uint64_t>(chunk));
        fill.CleanTempFolder('E');
    }
}

TEST_F(FillOnDrive, StopAtATickFinishesTheFileAndStartsNoOther) {
    Mount("tmpfs", 4);
    if (IsSkipped()) {
        return;
    }
    FillServices services;
    services.fileSizeLimit = 512 * 1024;
    RecordingFill fill(services);
    fill.DriveRoot = "E:\\";
    fill.cancelAtTick = 2;
    fill.FillDoD();
    EXPECT_EQ(fill.log, (std::vector<std::string>{"cancel", "Flushing disk buffers"}));
    const auto temp = TempFiles(mount_->root());
    ASSERT_EQ(temp.size(), 1u);
    EXPECT_EQ(fs::file_size(temp[0]), 513u * 1024);
    fill.CleanTempFolder('E');
}

TEST_F(FillOnDrive, DriveThatStillReportsFreeSpaceButTakesNothingEnds) {
    Mount("tmpfs", 1);
    if (IsSkipped()) {
        return;
    }
    FillServices services;
    // The drive keeps claiming a gigabyte free while it is full.
    services.freeSpace = [](char) {
        return std::optional<platform::DiskFreeSpace>({1 << 30, 1 << 30, 1 << 30});
    };
    RecordingFill fill(services);
    fill.DriveRoot = "E:\\";
    fill.FillSimpleOnePass();
    EXPECT_EQ(fill.started, 1);
    EXPECT_EQ(fill.log, std::vector<std::string>{"Flushing disk buffers"});
    EXPECT_EQ(TempFiles(mount_->root()).size(), 1u);
    fill.CleanTempFolder('E');
}

TEST_F(FillOnDrive, TemporaryFilesAreHiddenOnFat) {
    Mount("vfat", 8);
    if (IsSkipped()) {
        return;
    }
    FillServices services;
    services.fileSizeLimit = 1 << 20;
    RecordingFill fill(services);
    fill.DriveRoot = "E:\\";
    fill.FillSimpleOnePass();
    auto& files = platform::systemFileSystem();
    const fs::path folder = mount_->root() / "$clean_tmp";
    EXPECT_EQ(files.getAttributes(folder), platform::FileAttribute::Directory | 0x22u);
    EXPECT_EQ(files.getAttributes(folder / "tmp0001"), 0x22u);
    fill.CleanTempFolder('E');
    EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
}  // namespace quenlo::freespace
