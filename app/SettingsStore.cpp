#include "app/SettingsStore.h"

#include <charconv>

#include "app/ActiveSettings.h"
#include "app/ShellContract.h"
#include "wipe/WipeMethods.h"

namespace quenlo::app {
namespace {

constexpr std::string_view kFormVersion = "FormVersion";

std::string ValueName(std::string_view control, std::string_view property) {
    return std::string(control) + "_" + std::string(property);
}

std::optional<std::int64_t> ReadWholeNumber(std::string text) {
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    if (first == std::string::npos) {
        return std::nullopt;
    }
    text = text.substr(first, last - first + 1);
    std::size_t start = text[0] == '+' ? 1 : 0;
    std::int64_t value = 0;
    const auto* end = text.data() + text.size();
    const auto result = std::from_chars(text.data() + start, end, value);
    if (result.ec != std::errc() || result.ptr != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<bool> ReadBooleanText(const std::string& text) {
    std::string upper = text;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    for (std::string_view word : {"TRUE", "YES", "Y"}) {
        if (upper == word) {
            return true;
        }
    }
    for (std::string_view word : {"FALSE", "NO", "N"}) {
        if (upper == word) {
            return false;
        }
    }
    if (const auto number = ReadWholeNumber(text)) {
        return *number != 0;
    }
    return std::nullopt;
}

void ReadShellSettings(platform::Registry& registry) {
    TActiveSettings settings;
    settings.AskAlgorithm = true;
    if (auto key = registry.openKey(shell::kSettingsKey)) {
        auto boolean = [&](std::string_view box, bool fallback) {
            const auto text = key->readString(ValueName(box, "Checked"));
            if (!text) {
                return fallback;
            }
            if (const auto number = ReadWholeNumber(*text)) {
                return *number != 0;
            }
            std::string upper = *text;
            for (char& c : upper) {
                if (c >= 'a' && c <= 'z') {
                    c = static_cast<char>(c - 'a' + 'A');
                }
            }
            return upper == "TRUE" ? true : upper == "FALSE" ? false : fallback;
        };
        if (const auto index = key->readDword(ValueName(kSettingsList, "ItemIndex"))) {
            settings.DefaultAlgorithm = static_cast<std::int32_t>(*index);
        }
        settings.ConfirmShreddFiles = boolean("ConfirmShreddFiles", true);
        settings.ConfirmAddRemoveFiles = boolean("ConfirmAddRemoveFiles", true);
        settings.AskAlgorithm = boolean("AskAlgorithm", true);
    }
    ActiveSettings = settings;
}

void StoreSettings(platform::Registry& registry, const SettingsControls& controls) {
    if (auto program = registry.openKey(shell::kProgramKey)) {
        program->writeDword(kFormVersion, 0);
    }
    auto settings = registry.openKey(shell::kSettingsKey);
    if (!settings) {
        return;
    }
    for (std::string_view box : kSettingsCheckBoxes) {
        settings->writeString(ValueName(box, "Checked"), controls.checked(box) ? "TRUE" : "FALSE");
    }
    settings->writeDword(ValueName(kSettingsList, "ItemIndex"),
                         static_cast<std::uint32_t>(controls.itemIndex()));
}

void RestoreSettings(platform::Registry& registry, SettingsControls& controls) {
    try {
        auto program = registry.openKey(shell::kProgramKey);
        if (!program) {
            return;
        }
        const auto version = program->readDword(kFormVersion);
        if (version && static_cast<std::int32_t>(*version) < 0) {
            return;
        }
        auto settings = registry.openKey(shell::kSettingsKey);
        if (!settings) {
            return;
        }
        for (std::string_view box : kSettingsCheckBoxes) {
            try {
                const auto text = settings->readString(ValueName(box, "Checked"));
                if (!text) {
                    continue;
                }
                if (const auto state = ReadBooleanText(*text);
                    state && *state != controls.checked(box)) {
                    controls.setChecked(box, *state);
                }
            } catch (...) {
                // One value's failure (a registration that could not start)
                // never stops the others.
            }
        }
        const std::string indexName = ValueName(kSettingsList, "ItemIndex");
        std::optional<std::int64_t> index;
        if (const auto dword = settings->readDword(indexName)) {
            index = static_cast<std::int32_t>(*dword);
        } else if (const auto text = settings->readString(indexName)) {
            index = ReadWholeNumber(*text);
        }
        if (index) {
            const bool known = *index >= 0 && *index < wipe::kWipeMethodCount;
            controls.setItemIndex(known ? static_cast<std::int32_t>(*index)
                                        : wipe::kDefaultWipeMethod);
        }
    } catch (...) {
        // A restore never raises.
    }
}

}  // namespace quenlo::app
