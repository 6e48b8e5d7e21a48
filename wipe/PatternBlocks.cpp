#include "wipe/PatternBlocks.h"

#include <algorithm>

#include "wipe/RandomSource.h"

namespace quenlo::wipe {

void FillTriplePattern(const TriplePattern& pattern,
                       std::span<std::uint8_t, kTripleBlockBytes> block) {
    for (std::size_t cell = 0; cell < kTripleRepetitions * 3; ++cell) {
        const char16_t unit = pattern[cell % 3];
        block[cell * 2] = static_cast<std::uint8_t>(unit & 0xFF);
        block[cell * 2 + 1] = static_cast<std::uint8_t>(unit >> 8);
    }
}

PatternBlocks::PatternBlocks(const WipeMethodInfo& method)
    : method_(method), write_(method.blockSize, 0) {
    if (method.method == wmDoD) {
        complement_.resize(method.blockSize);
        second_.resize(method.blockSize);
    }
    if (method.method == wmGutmann) {
        // The last cell is never written by a pattern; it stays zero.
        triple_.assign(kTripleBlockBytes, 0);
    }
}

void PatternBlocks::prepareRepetition() {
    if (method_.method != wmDoD) {
        return;
    }
    for (std::size_t i = 0; i < write_.size(); ++i) {
        const auto c = static_cast<std::uint8_t>(RandomBetween(0, 255));
        write_[i] = c;
        complement_[i] = static_cast<std::uint8_t>(255 - c);
        second_[i] = static_cast<std::uint8_t>(RandomBetween(0, 255));
    }
}

std::span<const std::uint8_t> PatternBlocks::blockForPass(int pass) {
    const PassPattern& pattern = method_.passes[static_cast<std::size_t>(pass - 1)];
    switch (pattern.kind) {
        case PatternKind::Byte:
            std::fill(write_.begin(), write_.end(), pattern.value);
            return write_;
        case PatternKind::RandomByte:
            std::fill(write_.begin(), write_.end(), static_cast<std::uint8_t>(RandomBelow(255)));
            return write_;
        case PatternKind::RandomBlock:
            return write_;
        case PatternKind::ComplementBlock:
            return complement_;
        case PatternKind::SecondRandomBlock:
            return second_;
        case PatternKind::Triple:
            FillTriplePattern(kTriplePatterns.at(pattern.value),
                              std::span<std::uint8_t, kTripleBlockBytes>(triple_));
            return triple_;
    }
    return write_;
}

}  // namespace quenlo::wipe
