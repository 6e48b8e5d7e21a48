#pragma once

// The pattern blocks the passes write, made once and written again and again.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "wipe/WipeMethods.h"

namespace quenlo::wipe {

// Writes the pattern's three code units, 16-bit little-endian, into cells
// 3k, 3k+1 and 3k+2 for k = 0..999 of a 6002-byte triple block. Cell 3000
// (the last two bytes) is left as it is.
void FillTriplePattern(const TriplePattern& pattern,
                       std::span<std::uint8_t, kTripleBlockBytes> block);

// The blocks of one run of a method's pass sequence.
class PatternBlocks {
public:
    explicit PatternBlocks(const WipeMethodInfo& method);

    // Makes what each repetition of the sequence needs: for DoD the three
    // random blocks, drawn c, d, c, d, ... position by position (R1 = c,
    // complement = 255 - c, R2 = d). Other methods draw nothing here.
    void prepareRepetition();

    // The block pass `pass` (1-based) writes, made ready; a random-byte pass
    // draws its value now.
    std::span<const std::uint8_t> blockForPass(int pass);

private:
    const WipeMethodInfo& method_;
    std::vector<std::uint8_t> write_;       // byte and random-byte passes; R1 for DoD
    std::vector<std::uint8_t> complement_;  // DoD only
    std::vector<std::uint8_t> second_;      // DoD only
    std::vector<std::uint8_t> triple_;      // Gutmann only
};

}  // namespace quenlo::wipe
