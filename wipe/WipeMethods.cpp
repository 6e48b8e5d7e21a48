#include "wipe/WipeMethods.h"

namespace quenlo::wipe {
namespace {

constexpr PassPattern byte(std::uint8_t value) {
    return {PatternKind::Byte, value};
}
constexpr PassPattern triple(char letter) {
    return {PatternKind::Triple, static_cast<std::uint8_t>(letter - 'A')};
}
constexpr PassPattern kRandomByte{PatternKind::RandomByte};

constexpr PassPattern kOnePass[] = {byte(0xFF)};
constexpr PassPattern kTwoPass[] = {byte(0x00), byte(0xFF)};
constexpr PassPattern kDoD[] = {
    {PatternKind::RandomBlock}, {PatternKind::ComplementBlock}, {PatternKind::SecondRandomBlock}};
// Eight passes, although the list text speaks of seven.
constexpr PassPattern kMilitary[] = {byte(0x00), byte(0xFF), byte(0x55), byte(0xAA),
                                     byte(0xFF), byte(0x55), byte(0xAA), byte(0x00)};
constexpr PassPattern kGutmann[] = {
    triple('A'), kRandomByte, kRandomByte, kRandomByte, byte(0x55),  byte(0xAA),   // 1-6
    triple('A'), triple('B'), triple('C'),                                         // 7-9
    byte(0x00),  byte(0x11),  byte(0x22),  byte(0x33),  byte(0x44),  byte(0x55),   // 10-15
    byte(0x66),  byte(0x77),  byte(0x88),  byte(0x99),  byte(0xAA),  byte(0xBB),   // 16-21
    byte(0xCC),  byte(0xDD),  byte(0xEE),  byte(0xFF),                             // 22-25
    triple('A'), triple('B'), triple('C'), triple('D'), triple('E'), triple('F'),  // 26-31
    kRandomByte, kRandomByte, kRandomByte, kRandomByte,                            // 32-35
};

constexpr WipeMethodInfo kMethods[] = {
    {wmSimpleOnePass, "Simple One Pass", "Wiping Method: Simple One Pass  (pass ", 16384, true,
     true, kOnePass},
    {wmSimpleTwoPass, "Simple Two Pass", "Wiping Method: Simple Two Pass  (pass ", 16384, true,
     true, kTwoPass},
    {wmDoD, "DoD 5220-22.M", "Wiping Method DOD 5220-22M  (pass ", 16384, true, true, kDoD},
    {wmMilitary, "Secure earsing algorithm with 7 passes",
     "Wiping Method: Millitary Standard  (pass ", 32768, true, true, kMilitary},
    {wmGutmann, "Guttman algorithm 35 passes", "Wiping Method: Guttman Method 35 passes(pass ",
     32768, false, false, kGutmann},
};

static_assert(std::size(kGutmann) == 35);

}  // namespace

std::span<const WipeMethodInfo> WipeMethods() {
    return kMethods;
}

const WipeMethodInfo* FindWipeMethod(std::int32_t index) {
    if (index < 0 || index >= kWipeMethodCount) {
        return nullptr;
    }
    return &kMethods[index];
}

std::string PassProgressText(const WipeMethodInfo& method, int pass) {
    std::string text(method.progressPrefix);
    text += std::to_string(pass);
    text += ')';
    return text;
}

}  // namespace quenlo::wipe
