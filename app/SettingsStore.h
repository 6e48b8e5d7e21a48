#pragma once

// The settings store: the seven settings controls of the settings dialog and
// their values under "Software\Quenlo\Settings" (value name = control name +
// "_" + property), with "FormVersion" under "Software\Quenlo".

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace quenlo::app {

// The check boxes, in the order they are stored.
inline constexpr std::array<std::string_view, 6> kSettingsCheckBoxes = {
    "AskAlgorithm", "ConfirmAddRemoveFiles", "ConfirmShreddFiles",
    "TopTitle",     "WindowsShell",          "Maximized"};
inline constexpr std::string_view kSettingsList = "DefaultAlgorithm";

// The controls that hold the settings. setChecked on a box whose state
// changes must run its click handler, as a user's click would; it may throw
// (a failed registration), which a restore swallows.
class SettingsControls {
public:
    virtual ~SettingsControls() = default;
    virtual bool checked(std::string_view box) const = 0;
    virtual void setChecked(std::string_view box, bool checked) = 0;
    virtual std::int32_t itemIndex() const = 0;
    virtual void setItemIndex(std::int32_t index) = 0;
};

// Writes "FormVersion" = 0, then all seven values from the controls, the
// boxes as REG_SZ "TRUE"/"FALSE", the list index as REG_DWORD. Failures are
// silent.
void StoreSettings(platform::Registry& registry, const SettingsControls& controls);

// Sets the controls from the store: nothing when "FormVersion" is below 0;
// a missing or unreadable value leaves its control as it is; one failing
// value never stops the others. A list index outside 0..4 selects the
// default method. Never throws.
void RestoreSettings(platform::Registry& registry, SettingsControls& controls);

// "-shell" mode: fills ActiveSettings from the stored settings directly.
// Each value on its own; a missing or unreadable one gives its default
// (method 2, confirmations on, AskAlgorithm on). Booleans: a number (non-zero
// is true), else "True"/"False" in any letter case.
void ReadShellSettings(platform::Registry& registry);

// A stored text as a check box state: "TRUE", "YES", "Y" / "FALSE", "NO",
// "N" in any letter case, or a whole number (non-zero is checked); empty for
// anything else.
std::optional<bool> ReadBooleanText(const std::string& text);

}  // namespace quenlo::app
