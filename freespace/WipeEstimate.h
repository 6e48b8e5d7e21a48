#pragma once

// What a Free-space wipe will cost, said before it starts: the free space of
// the chosen drives and a rough duration for the method, so that nobody
// starts 35 passes over a large drive by surprise.
//
// The duration rests on a write rate: the one the last finished fill on this
// machine reached, kept in the registry, or else a short measured write.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace quenlo::freespace {

// Where the rate is kept: KiB per second as a REG_DWORD.
inline constexpr std::string_view kWriteRateKey = "Software\\Quenlo\\Free space";
inline constexpr std::string_view kWriteRateValue = "WriteRate";

// Fills shorter than this say more about the disk cache than the disk and
// are not kept.
inline constexpr std::uint64_t kMinimumRecordedBytes = std::uint64_t{64} << 20;
// The size of the measured write.
inline constexpr std::uint64_t kMeasuredWriteBytes = std::uint64_t{16} << 20;

// Keeps the rate of a finished fill: `bytes` written (all passes) in
// `milliseconds`. Ignored below kMinimumRecordedBytes or without time.
void RecordWriteRate(platform::Registry& registry, std::uint64_t bytes,
                     std::uint64_t milliseconds);

// The kept rate in bytes per second; nothing when none was kept.
std::optional<double> StoredWriteRate(platform::Registry& registry);

// "12.4 GB": bytes in the largest binary unit that leaves at least 1, one
// decimal below 100.
std::string SizeText(std::uint64_t bytes);

// "less than a minute", "about 25 minutes", "about 3 hours 10 minutes",
// "about 2 days 4 hours".
std::string DurationText(double seconds);

// The wizard's estimate line, e.g. "Free space to wipe: 12.4 GB. With 3
// passes this takes about 25 minutes." Without a rate the duration is said
// to be unknown.
std::string EstimateText(std::uint64_t freeBytes, int passes,
                         std::optional<double> bytesPerSecond);

}  // namespace quenlo::freespace
