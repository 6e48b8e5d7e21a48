#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "tests/support/PosixFixtures.h"
#include "tests/wipe/ShredFixture.h"
#include "wipe/ShredFile.h"

namespace quenlo::wipe {
namespace {

using test::ReadAll;
using test::ShredFixture;

// The generator as documented, kept apart from the program's own so the
// expected patterns do not come from the code under test.
struct ReferenceRandom {
    std::uint32_t state;
    std::uint32_t below(std::uint32_t n) {
        state = state * 134775813u + 1u;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(state) * n) >> 32);
    }
};

std::string Tile(const std::string& block, std::size_t size) {
    std::string out;
    while (out.size() < size) {
        out += block.substr(0, std::min(block.size(), size - out.size()));
    }
    return out;
}

std::string Triple(const char (&bytes)[7]) {
    std::string block;
    for (int i = 0; i < 1000; ++i) {
        block.append(bytes, 6);
    }
    return block + std::string(2, '\0');
}

// What each pass of `method` must leave in a file of `size` bytes when the
// clock's counter is `counter`.
std::vector<std::string> ExpectedPasses(std::int32_t method, std::size_t size,
                                        std::uint32_t counter) {
    ReferenceRandom random{counter};
    auto fixed = [&](int value, std::size_t block) {
        return Tile(std::string(block, static_cast<char>(value)), size);
    };
    switch (method) {
        case wmSimpleOnePass:
            return {fixed(0xFF, 16384)};
        case wmSimpleTwoPass:
            return {fixed(0x00, 16384), fixed(0xFF, 16384)};
        case wmDoD: {
            std::string r1, complement, r2;
            for (int i = 0; i < 16384; ++i) {
                const auto c = random.below(255);
                r1 += static_cast<char>(c);
                complement += static_cast<char>(255 - c);
                r2 += static_cast<char>(random.below(255));
            }
            return {Tile(r1, size), Tile(complement, size), Tile(r2, size)};
        }
        case wmMilitary: {
            std::vector<std::string> passes;
            for (int value : {0x00, 0xFF, 0x55, 0xAA, 0xFF, 0x55, 0xAA, 0x00}) {
                passes.push_back(fixed(value, 32768));
            }
            return passes;
        }
        default: {
            const std::string triples[] = {
                Triple("\x19\x20\x49\x00\x24\x00"), Triple("\x49\x00\x24\x00\x19\x20"),
                Triple("\x24\x00\x19\x20\x49\x00"), Triple("\x6D\x00\xB6\x00\x55\x00"),
                Triple("\xB6\x00\x55\x00\x6D\x00"), Triple("\x55\x00\x6D\x00\xB6\x00")};
            const char* const kinds = "ARRRbbABCbbbbbbbbbbbbbbbbABCDEFRRRR";
            const int bytes[] = {0x55, 0xAA, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66,
                                 0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
            std::vector<std::string> passes;
            int nextByte = 0;
            for (int p = 0; p < 35; ++p) {
                const char kind = kinds[p];
                if (kind == 'R') {
                    passes.push_back(fixed(static_cast<int>(random.below(255)), 32768));
                } else if (kind == 'b') {
                    passes.push_back(fixed(bytes[nextByte++], 32768));
                } else {
                    passes.push_back(Tile(triples[kind - 'A'], size));
                }
            }
            return passes;
        }
    }
}

class ShredFileTest : public ShredFixture {};

// Every method, pass by pass, on a file that ends in a shorter piece for
// every block size (40000 = 2 * 16384 + 7232 = 32768 + 7232 = 6 * 6002 + 3988).
TEST_F(ShredFileTest, EveryPassLeavesItsPatternAndTheFileIsGone) {
    constexpr std::size_t kSize = 40000;
    for (std::int32_t method = 0; method < kWipeMethodCount; ++method) {
        SCOPED_TRACE("method " + std::to_string(method));
        files.events = {};
        progress = {};
        const auto file = MakeFile("victim.bin", std::string(kSize, 'Q'));
        ShredMethod = method;

        ASSERT_TRUE(ShredFile(file));

        const auto expected =
            ExpectedPasses(method, kSize, static_cast<std::uint32_t>(clock.counter));
        ASSERT_EQ(files.events.passes.size(), expected.size());
        for (std::size_t p = 0; p < expected.size(); ++p) {
            EXPECT_TRUE(files.events.passes[p] == expected[p]) << "pass " << p + 1;
        }
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

        const WipeMethodInfo& info = *FindWipeMethod(method);
        ASSERT_EQ(progress.texts.size(), expected.size());
        for (std::size_t p = 0; p < expected.size(); ++p) {
            EXPECT_EQ(progress.texts[p], PassProgressText(info, static_cast<int>(p + 1)));
            EXPECT_EQ(progress.maxima[p], 39);  // 40000 / 1024 = 39.06
            // Methods 0..3 fill the bar after the short last piece; 4 leaves it.
            EXPECT_EQ(progress.positions[p], method == wmGutmann ? std::vector<std::int64_t>{}
                                                                 : std::vector<std::int64_t>{39});
        }
    }
}

TEST_F(ShredFileTest, DoDBlocksAreComplementaryAndAvoidTheTopValues) {
    ShredMethod = wmDoD;
    ASSERT_TRUE(ShredFile(MakeFile("f", std::string(16384, 'x'))));
    const auto& passes = files.events.passes;
    ASSERT_EQ(passes.size(), 3u);
    for (std::size_t i = 0; i < 16384; ++i) {
        const auto r1 = static_cast<unsigned char>(passes[0][i]);
        const auto complement = static_cast<unsigned char>(passes[1][i]);
        const auto r2 = static_cast<unsigned char>(passes[2][i]);
        ASSERT_EQ(r1 + complement, 255);
        ASSERT_NE(r1, 0xFF);
        ASSERT_NE(r2, 0xFF);
        ASSERT_NE(complement, 0x00);
    }
    EXPECT_NE(passes[0], passes[2]);
}

TEST_F(ShredFileTest, SameSeedGivesSameRandomBlocks) {
    ShredMethod = wmDoD;
    ASSERT_TRUE(ShredFile(MakeFile("one", std::string(20000, 'a'))));
    const auto first = files.events.passes;
    files.events = {};
    ASSERT_TRUE(ShredFile(MakeFile("two", std::string(20000, 'b'))));
    EXPECT_EQ(files.events.passes, first);
}

TEST_F(ShredFileTest, EachPassIsFlushedBeforeTheNextStarts) {
    ShredMethod = wmMilitary;
    ASSERT_TRUE(ShredFile(MakeFile("f", std::string(100000, 'z'))));
    const auto& calls = files.events.calls;
    int seeks = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i] == "seek" && seeks++ > 0) {
            EXPECT_EQ(calls[i - 1], "flush") << "pass " << seeks << " started before a flush";
        }
    }
    EXPECT_EQ(seeks, 8);
    // The final flush, the cut and the close follow the last pass.
    const std::vector<std::string> tail(calls.end() - 4, calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"flush", "flush", "setSize", "close"}));
}

TEST_F(ShredFileTest, PassBarMaximumIsRoundedKilobytesHalvesToEven) {
    ShredMethod = wmSimpleOnePass;
    const std::pair<std::size_t, std::int64_t> cases[] = {
        {0, 0}, {1, 0}, {511, 0}, {512, 0}, {513, 1}, {1024, 1}, {1536, 2}, {2560, 2}, {2561, 3}};
    for (const auto& [size, maximum] : cases) {
        progress = {};
        ASSERT_TRUE(ShredFile(MakeFile("f", std::string(size, 'k'))));
        ASSERT_EQ(progress.maxima.size(), 1u);
        EXPECT_EQ(progress.maxima[0], maximum) << size << " bytes";
    }
}

TEST_F(ShredFileTest, EmptyOneByteAndExactMultipleFiles) {
    ShredMethod = wmSimpleTwoPass;
    struct Case {
        std::size_t size;
        std::vector<std::int64_t> positions;  // per pass
    };
    const Case cases[] = {
        {0, {}},              // nothing to write, nothing to move
        {1, {0}},             // one byte, then the bar is filled (max 0)
        {45 * 16384, {480}},  // the 30-block update stays; no end update
        {60 * 16384, {480, 960}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + " bytes");
        files.events = {};
        progress = {};
        const auto file = MakeFile("f", std::string(c.size, 'e'));
        ASSERT_TRUE(ShredFile(file));
        ASSERT_EQ(files.events.passes.size(), 2u);
        EXPECT_EQ(files.events.passes[0], std::string(c.size, '\0'));
        EXPECT_EQ(files.events.passes[1], std::string(c.size, '\xFF'));
        EXPECT_EQ(progress.positions[0], c.positions);
        EXPECT_FALSE(std::filesystem::exists(file));
    }
}

TEST_F(ShredFileTest, ThrowAwayNameIsDigitsAboveTheTickCountWithZzzInTheSameFolder) {
    ShredMethod = wmSimpleOnePass;
    const auto file = MakeFile("name.txt", "abc");
    ASSERT_TRUE(ShredFile(file));
    ASSERT_EQ(files.moves.size(), 1u);
    const auto& [from, to] = files.moves[0];
    EXPECT_EQ(from, file);
    EXPECT_EQ(to.parent_path(), dir.path());
    EXPECT_EQ(to.extension(), ".ZZZ");
    const std::string digits = to.stem().string();
    ASSERT_FALSE(digits.empty());
    EXPECT_EQ(digits.find_first_not_of("0123456789"), std::string::npos);
    const auto number = std::stoll(digits);
    EXPECT_GE(number, std::int64_t{clock.tick} + 1000);
    EXPECT_LT(number, std::int64_t{clock.tick} + 9000);
    EXPECT_EQ(files.deletes, std::vector<std::filesystem::path>{to});
}

TEST_F(ShredFileTest, TickCountNearTheTopDoesNotWrapTheName) {
    ShredMethod = wmSimpleOnePass;
    clock.tick = 0xFFFFFFF0u;
    ASSERT_TRUE(ShredFile(MakeFile("f", "x")));
    ASSERT_EQ(files.moves.size(), 1u);
    EXPECT_GT(std::stoll(files.moves[0].second.stem().string()), 0xFFFFFFFFLL);
}

TEST_F(ShredFileTest, ExistingFileWithTheThrowAwayNameSurvives) {
    ShredMethod = wmSimpleOnePass;
    // Method 0 draws nothing during its passes, so the name's random part is
    // the first draw after seeding from the counter.
    ReferenceRandom random{static_cast<std::uint32_t>(clock.counter)};
    const auto number = 1000 + random.below(8000) + std::int64_t{clock.tick};
    const auto bystander = MakeFile(std::to_string(number) + ".ZZZ", "not yours");
    const auto file = MakeFile("victim", "secret");

    EXPECT_TRUE(ShredFile(file));

    EXPECT_EQ(ReadAll(bystander), "not yours");
    EXPECT_FALSE(std::filesystem::exists(file));
}

struct OutcomeCase {
    const char* name;
    std::int32_t method;
    std::int32_t repeatCount;
    bool failOpen, failMove, failDelete;
    bool expectedResult;
    // What stays in the folder: "" nothing, "own" the file under its name,
    // "other" one file under another name.
    const char* left;
    std::int64_t leftSize;  // -1: the original size
    std::size_t passesWritten;
};

void PrintTo(const OutcomeCase& c, std::ostream* out) {
    *out << c.name;
}

class ShredOutcome : public ShredFixture, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(ShredOutcome, FileAndResultAfterwards) {
    const OutcomeCase& c = GetParam();
    ShredMethod = c.method;
    ShredRepeatCount = c.repeatCount;
    files.failOpen = c.failOpen;
    files.failMove = c.failMove;
    files.failDelete = c.failDelete;
    const std::string content(5000, 'c');
    const auto file = MakeFile("target.doc", content);
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);  // read-only

    EXPECT_EQ(ShredFile(file), c.expectedResult);

    std::vector<std::filesystem::path> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        left.push_back(entry.path());
    }
    EXPECT_EQ(files.events.passes.size(), c.passesWritten);
    const std::string what = c.left;
    if (what.empty()) {
        EXPECT_TRUE(left.empty());
        return;
    }
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0] == file, what == "own");
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(left[0]));
    EXPECT_EQ(size, c.leftSize < 0 ? static_cast<std::int64_t>(content.size()) : c.leftSize);
    if (c.leftSize < 0) {
        EXPECT_EQ(ReadAll(left[0]), content);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, ShredOutcome,
    ::testing::Values(
        OutcomeCase{"completed", wmDoD, 1, false, false, false, true, "", 0, 3},
        OutcomeCase{"renamedButNotDeleted", wmDoD, 1, false, false, true, true, "other", 0, 3},
        OutcomeCase{"neitherRenamedNorDeleted", wmDoD, 1, false, true, true, false, "own", 0, 3},
        OutcomeCase{"openFailed", wmDoD, 1, true, false, false, false, "own", -1, 0},
        OutcomeCase{"methodBelowRange", -1, 1, false, false, false, false, "own", -1, 0},
        OutcomeCase{"methodAboveRange", 5, 1, false, false, false, false, "own", -1, 0},
        OutcomeCase{"repeatCountZero", wmMilitary, 0, false, false, false, true, "", 0, 0},
        OutcomeCase{"repeatCountTwo", wmSimpleTwoPass, 2, false, false, false, true, "", 0, 4},
        OutcomeCase{"gutmannIgnoresRepeatCount", wmGutmann, 3, false, false, false, true, "", 0,
                    35}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(ShredFileTest, OpenFailureStillClearsReadOnly) {
    files.failOpen = true;
    const auto file = MakeFile("locked", "data");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    EXPECT_FALSE(ShredFile(file));
    EXPECT_EQ(ReadAll(file), "data");
    EXPECT_NE(std::filesystem::status(file).permissions() & std::filesystem::perms::owner_write,
              std::filesystem::perms::none);
}

TEST_F(ShredFileTest, WriteFailureKeepsTheFileAndReportsIt) {
    files.failWriteFrom = 2;  // the first block goes through, then the medium fails
    const auto file = MakeFile("f", std::string(50000, 'w'));
    EXPECT_FALSE(ShredFile(file));
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::file_size(file), 50000u);  // not cut: it can be shredded again
    EXPECT_TRUE(files.moves.empty());
    EXPECT_TRUE(files.deletes.empty());
}

TEST_F(ShredFileTest, CancelInFirstPassOfMilitary) {
    ShredMethod = wmMilitary;
    constexpr std::size_t kSize = 100 * 32768;
    const auto file = MakeFile("big", std::string(kSize, 'm'));
    progress.onMessages = [this] {
        if (progress.messageRuns == 3) {  // text shown, two blocks written
            ShredCancelled = true;
        }
    };

    EXPECT_FALSE(ShredFile(file));

    const auto& passes = files.events.passes;
    ASSERT_EQ(passes.size(), 8u);
    EXPECT_EQ(passes[0].size(), 3u * 32768);
    for (std::size_t p = 1; p < 8; ++p) {
        EXPECT_EQ(passes[p].size(), 32768u) << "pass " << p + 1;
    }
    EXPECT_EQ(progress.texts.size(), 8u);
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    EXPECT_TRUE(files.moves.empty());
}

TEST_F(ShredFileTest, FileShorterThanABlockIsOverwrittenWholeDespiteCancel) {
    ShredMethod = wmSimpleTwoPass;
    ShredCancelled = true;
    const auto file = MakeFile("small", std::string(1000, 's'));
    EXPECT_FALSE(ShredFile(file));
    ASSERT_EQ(files.events.passes.size(), 2u);
    EXPECT_EQ(files.events.passes[1], std::string(1000, '\xFF'));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
}

TEST_F(ShredFileTest, NoProgressWindowNoReports) {
    wipe::CurrentShredServices().progress = nullptr;
    const auto file = MakeFile("quiet", std::string(70000, 'q'));
    EXPECT_TRUE(ShredFile(file));
    EXPECT_TRUE(progress.texts.empty());
    EXPECT_EQ(progress.messageRuns, 0);
}

TEST_F(ShredFileTest, LinkIsRemovedItselfAndItsTargetKeepsItsBytes) {
    test::TempDir outside;
    const auto target = outside / "precious";
    test::WriteAll(target, "precious bytes");
    std::filesystem::create_directory(outside / "folder");
    const auto fileLink = dir / "link";
    const auto folderLink = dir / "folderlink";
    std::filesystem::create_symlink(target, fileLink);
    std::filesystem::create_directory_symlink(outside / "folder", folderLink);

    EXPECT_TRUE(ShredFile(fileLink));
    EXPECT_TRUE(ShredFile(folderLink));

    EXPECT_FALSE(std::filesystem::is_symlink(fileLink));
    EXPECT_FALSE(std::filesystem::is_symlink(folderLink));
    EXPECT_EQ(ReadAll(target), "precious bytes");
    EXPECT_TRUE(std::filesystem::is_directory(outside / "folder"));
    EXPECT_TRUE(files.events.passes.empty());
}

TEST_F(ShredFileTest, FifoIsRefusedAtOnce) {
    const auto fifo = dir / "pipe";
    ASSERT_TRUE(test::MakeFifo(fifo));
    auto result = std::async(std::launch::async, [&] { return ShredFile(fifo); });
    if (result.wait_for(std::chrono::seconds(1)) != std::future_status::ready) {
        ADD_FAILURE() << "ShredFile blocked on a FIFO";
        // Unblock it so the test can end: a reader lets the open finish.
        test::Run("cat " + test::Quote(fifo) + " >/dev/null &");
        return;
    }
    EXPECT_FALSE(result.get());
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_TRUE(files.events.passes.empty());
}

TEST_F(ShredFileTest, MissingFileCountsAsGone) {
    EXPECT_TRUE(ShredFile(dir / "never-there"));
}

TEST_F(ShredFileTest, AwkwardNamesAreShreddedAndNothingElseIsTouched) {
    const std::string names[] = {" with spaces ", "new\nline", "-leading-dash", "bad\xff\xfeutf8",
                                 std::string(255, 'n')};
    test::WriteAll(dir / "keep", "keep");
    for (const std::string& name : names) {
        const auto file = MakeFile(name, "content of " + name);
        EXPECT_TRUE(ShredFile(file)) << name;
        EXPECT_FALSE(std::filesystem::exists(file)) << name;
    }
    std::vector<std::filesystem::path> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        left.push_back(entry.path().filename());
    }
    EXPECT_EQ(left, std::vector<std::filesystem::path>{"keep"});
    EXPECT_EQ(ReadAll(dir / "keep"), "keep");
}

TEST_F(ShredFileTest, FileInAFolderThatForbidsRemovalIsCutButReportedLeft) {
    // As root permissions do not stop a rename, so the folder is made
    // immutable on a small ext4 file system instead.
    test::LoopMount mount("ext4", 16);
    std::filesystem::path folder = dir / "locked";
    if (test::IsRoot()) {
        if (!mount.mounted()) {
            GTEST_SKIP() << mount.whyNot();
        }
        folder = mount.root() / "locked";
    }
    std::filesystem::create_directory(folder);
    const auto file = folder / "inside";
    test::WriteAll(file, std::string(3000, 'i'));
    if (test::IsRoot()) {
        ASSERT_TRUE(test::SetImmutable(folder, true));
    } else {
        std::filesystem::permissions(
            folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    }

    const bool result = ShredFile(file);

    if (test::IsRoot()) {
        test::SetImmutable(folder, false);
    } else {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    }
    EXPECT_FALSE(result);
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    EXPECT_EQ(files.events.passes.size(), 3u);
}

TEST_F(ShredFileTest, ImmutableFileIsLeftUntouched) {
    test::LoopMount mount("ext4", 16);
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.whyNot();
    }
    const auto file = mount.root() / "frozen";
    test::WriteAll(file, "frozen content");
    ASSERT_TRUE(test::SetImmutable(file, true));

    const bool result = ShredFile(file);

    test::SetImmutable(file, false);
    EXPECT_FALSE(result);
    EXPECT_EQ(ReadAll(file), "frozen content");
}

}  // namespace
}  // namespace quenlo::wipe
