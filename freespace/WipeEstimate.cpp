#include "freespace/WipeEstimate.h"

#include <cmath>
#include <cstdio>

namespace quenlo::freespace {

void RecordWriteRate(platform::Registry& registry, std::uint64_t bytes,
                     std::uint64_t milliseconds) {
    if (bytes < kMinimumRecordedBytes || milliseconds == 0) {
        return;
    }
    const std::uint64_t kibPerSecond = bytes / 1024 * 1000 / milliseconds;
    if (auto key = registry.openKey(kWriteRateKey)) {
        key->writeDword(kWriteRateValue, static_cast<std::uint32_t>(
                                             std::min<std::uint64_t>(kibPerSecond, 0xFFFFFFFFu)));
    }
}

std::optional<double> StoredWriteRate(platform::Registry& registry) {
    auto key = registry.openKey(kWriteRateKey);
    const auto kib = key ? key->readDword(kWriteRateValue) : std::nullopt;
    if (!kib || *kib == 0) {
        return std::nullopt;
    }
    return static_cast<double>(*kib) * 1024.0;
}

std::string SizeText(std::uint64_t bytes) {
    static constexpr const char* kUnits[] = {"bytes", "KB", "MB", "GB", "TB", "PB"};
    double value = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
        value /= 1024.0;
        ++unit;
    }
    char text[32];
    if (unit == 0) {
        std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
    } else if (value < 100.0) {
        std::snprintf(text, sizeof text, "%.1f %s", std::floor(value * 10.0) / 10.0, kUnits[unit]);
    } else {
        std::snprintf(text, sizeof text, "%.0f %s", std::floor(value), kUnits[unit]);
    }
    return text;
}

namespace {

std::string Count(long long number, const char* unit) {
    return std::to_string(number) + " " + unit + (number == 1 ? "" : "s");
}

}  // namespace

std::string DurationText(double seconds) {
    const auto minutes = static_cast<long long>(std::llround(seconds / 60.0));
    if (minutes < 1) {
        return "less than a minute";
    }
    if (minutes < 60) {
        return "about " + Count(minutes, "minute");
    }
    const long long hours = minutes / 60;
    if (hours < 24) {
        const long long rest = minutes % 60;
        return "about " + Count(hours, "hour") + (rest ? " " + Count(rest, "minute") : "");
    }
    const long long rest = hours % 24;
    return "about " + Count(hours / 24, "day") + (rest ? " " + Count(rest, "hour") : "");
}

std::string EstimateText(std::uint64_t freeBytes, int passes,
                         std::optional<double> bytesPerSecond) {
    std::string text = "Free space to wipe: " + SizeText(freeBytes) + ". With " +
                       std::to_string(passes) + (passes == 1 ? " pass" : " passes");
    if (!bytesPerSecond || *bytesPerSecond <= 0.0) {
        return text + " the time it takes is not known yet.";
    }
    const double seconds = static_cast<double>(freeBytes) * passes / *bytesPerSecond;
    return text + " this takes " + DurationText(seconds) + ".";
}

}  // namespace quenlo::freespace
