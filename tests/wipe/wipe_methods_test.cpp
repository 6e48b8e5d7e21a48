#include <gtest/gtest.h>

#include <array>

#include "wipe/PatternBlocks.h"
#include "wipe/WipeMethods.h"

namespace quenlo::wipe {
namespace {

TEST(WipeMethods, CatalogueAsOffered) {
    struct Row {
        WipeMethod method;
        const char* listText;
        const char* passTwoText;
        std::size_t passes;
        std::size_t blockSize;
    };
    const Row rows[] = {
        {wmSimpleOnePass, "Simple One Pass", "Wiping Method: Simple One Pass  (pass 2)", 1, 16384},
        {wmSimpleTwoPass, "Simple Two Pass", "Wiping Method: Simple Two Pass  (pass 2)", 2, 16384},
        {wmDoD, "DoD 5220-22.M", "Wiping Method DOD 5220-22M  (pass 2)", 3, 16384},
        {wmMilitary, "Secure earsing algorithm with 7 passes",
         "Wiping Method: Millitary Standard  (pass 2)", 8, 32768},
        {wmGutmann, "Guttman algorithm 35 passes",
         "Wiping Method: Guttman Method 35 passes(pass 2)", 35, 32768},
    };
    ASSERT_EQ(WipeMethods().size(), std::size(rows));
    for (const Row& row : rows) {
        const WipeMethodInfo* info = FindWipeMethod(row.method);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->method, row.method);
        EXPECT_EQ(info->listText, row.listText);
        EXPECT_EQ(PassProgressText(*info, 2), row.passTwoText);
        EXPECT_EQ(info->passes.size(), row.passes);
        EXPECT_EQ(info->blockSize, row.blockSize);
    }
    EXPECT_EQ(kDefaultWipeMethod, 2);
    EXPECT_EQ(FindWipeMethod(-1), nullptr);
    EXPECT_EQ(FindWipeMethod(5), nullptr);
}

TEST(WipeMethods, GutmannSequenceRowByRow) {
    // 'A'..'F' triple patterns, 'R' random byte, otherwise the fixed byte.
    const char* const kinds = "ARRRbbABCbbbbbbbbbbbbbbbbABCDEFRRRR";
    const std::array<int, 35> bytes = {0,    0,    0,    0,    0x55, 0xAA, 0,    0,    0,
                                       0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88,
                                       0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0,    0,
                                       0,    0,    0,    0,    0,    0,    0,    0};
    const auto passes = FindWipeMethod(wmGutmann)->passes;
    ASSERT_EQ(passes.size(), 35u);
    for (std::size_t i = 0; i < passes.size(); ++i) {
        SCOPED_TRACE("pass " + std::to_string(i + 1));
        const char kind = kinds[i];
        if (kind == 'R') {
            EXPECT_EQ(passes[i].kind, PatternKind::RandomByte);
        } else if (kind == 'b') {
            EXPECT_EQ(passes[i].kind, PatternKind::Byte);
            EXPECT_EQ(passes[i].value, bytes[i]);
        } else {
            EXPECT_EQ(passes[i].kind, PatternKind::Triple);
            EXPECT_EQ(passes[i].value, kind - 'A');
        }
    }
}

TEST(WipeMethods, TripleBlocksHoldThousandRepetitionsAndKeepTheLastCell) {
    const std::array<std::array<std::uint8_t, 6>, 6> repetitions = {{
        {0x19, 0x20, 0x49, 0x00, 0x24, 0x00},
        {0x49, 0x00, 0x24, 0x00, 0x19, 0x20},
        {0x24, 0x00, 0x19, 0x20, 0x49, 0x00},
        {0x6D, 0x00, 0xB6, 0x00, 0x55, 0x00},
        {0xB6, 0x00, 0x55, 0x00, 0x6D, 0x00},
        {0x55, 0x00, 0x6D, 0x00, 0xB6, 0x00},
    }};
    for (std::size_t p = 0; p < kTriplePatterns.size(); ++p) {
        std::array<std::uint8_t, kTripleBlockBytes> block;
        block.fill(0xEE);
        FillTriplePattern(kTriplePatterns[p], block);
        for (std::size_t i = 0; i < 6000; ++i) {
            ASSERT_EQ(block[i], repetitions[p][i % 6]) << "pattern " << p << " byte " << i;
        }
        EXPECT_EQ(block[6000], 0xEE);
        EXPECT_EQ(block[6001], 0xEE);
    }
    EXPECT_EQ(kTripleBlockBytes, 6002u);
}

}  // namespace
}  // namespace quenlo::wipe
