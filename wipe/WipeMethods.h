#pragma once

// The catalogue of the five Wipe methods and their pass patterns, as data.
// Everything that offers, stores or runs a Wipe method refers to it by its
// index 0..4 in this catalogue.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quenlo::wipe {

enum WipeMethod : std::int32_t {
    wmSimpleOnePass = 0,
    wmSimpleTwoPass = 1,
    wmDoD = 2,
    wmMilitary = 3,
    wmGutmann = 4,
};

inline constexpr std::int32_t kWipeMethodCount = 5;
inline constexpr std::int32_t kDefaultWipeMethod = wmDoD;

// What one pass writes; see PatternBlocks.h for how each kind is made.
enum class PatternKind : std::uint8_t {
    Byte,               // every byte holds `value`
    RandomBlock,        // DoD: the first random block R1
    ComplementBlock,    // DoD: 255 - R1, byte by byte
    SecondRandomBlock,  // DoD: the second random block R2
    RandomByte,         // one value drawn by RandomBelow(255) when the pass starts
    Triple,             // the triple pattern number `value` (0 = A .. 5 = F)
};

struct PassPattern {
    PatternKind kind;
    std::uint8_t value = 0;
};

struct WipeMethodInfo {
    WipeMethod method;
    std::string_view listText;        // as offered in the method lists
    std::string_view progressPrefix;  // the pass text is prefix + pass number + ")"
    std::size_t blockSize;            // the block of byte and random passes
    bool honoursRepeatCount;          // false: the sequence runs once whatever the count
    bool barFilledAtPassEnd;          // the pass bar is set to its maximum after a short last piece
    std::span<const PassPattern> passes;
};

// The triple-pattern block: 3001 cells of 16 bits; cells 0..2999 hold the
// pattern's three code units 1000 times.
inline constexpr std::size_t kTripleCells = 3001;
inline constexpr std::size_t kTripleBlockBytes = kTripleCells * 2;  // 6002
inline constexpr std::size_t kTripleRepetitions = 1000;

using TriplePattern = std::array<char16_t, 3>;
inline constexpr std::array<TriplePattern, 6> kTriplePatterns = {{
    {u'\u2019', u'I', u'$'},  // A
    {u'I', u'$', u'\u2019'},  // B
    {u'$', u'\u2019', u'I'},  // C
    {u'm', u'\u00B6', u'U'},  // D
    {u'\u00B6', u'U', u'm'},  // E
    {u'U', u'm', u'\u00B6'},  // F
}};

// All five methods, in index order.
std::span<const WipeMethodInfo> WipeMethods();

// The method of an index, or null for an index outside 0..4.
const WipeMethodInfo* FindWipeMethod(std::int32_t index);

// The progress text of pass `pass` (1-based): prefix, the number, ")".
std::string PassProgressText(const WipeMethodInfo& method, int pass);

}  // namespace quenlo::wipe
