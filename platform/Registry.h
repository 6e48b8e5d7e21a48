#pragma once

// The current user's registry (HKEY_CURRENT_USER): keys by path such as
// "Software\Quenlo\Settings", REG_SZ and REG_DWORD values.
//
// Key paths compare case-insensitively, as on Windows. Value names are kept
// exactly, byte for byte: the program uses file paths as value names, and
// two paths that differ only in letter case are two different files.
// Names and string data are byte strings in the platform's narrow encoding
// (see PathText.h for turning paths into names and back).
//
// Failures are quiet by design: a read that fails gives no value, a write
// that fails returns false, and nothing throws.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenlo::platform {

enum class RegistryValueType : std::uint32_t {
    String = 1,  // REG_SZ
    Dword = 4,   // REG_DWORD
};

// An open key (HKEY).
class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    // RegQueryValueExW. Empty when the value is missing, or has the other type.
    virtual std::optional<std::string> readString(std::string_view name) = 0;
    virtual std::optional<std::uint32_t> readDword(std::string_view name) = 0;
    virtual std::optional<RegistryValueType> valueType(std::string_view name) = 0;

    // RegSetValueExW: creates or replaces the value, with its new type.
    virtual bool writeString(std::string_view name, std::string_view data) = 0;
    virtual bool writeDword(std::string_view name, std::uint32_t data) = 0;

    // RegEnumValueW over the whole key: every value name, oldest first.
    virtual std::vector<std::string> valueNames() = 0;

    // RegDeleteValueW. False when there was no such value or on an error.
    virtual bool deleteValue(std::string_view name) = 0;

    // RegEnumKeyExW over the whole key: the names of the keys directly
    // below it, in the order of their names with letter case folded.
    virtual std::vector<std::string> subkeyNames() = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    // RegCreateKeyExW under HKEY_CURRENT_USER: opens the key, creating it
    // (and the keys above it) when missing. Null when the store is unusable.
    virtual std::unique_ptr<RegistryKey> openKey(std::string_view keyPath) = 0;

    // RegOpenKeyExW under HKEY_CURRENT_USER: opens the key only when it
    // exists. Null when it is missing or the store is unusable.
    virtual std::unique_ptr<RegistryKey> openExistingKey(std::string_view keyPath) = 0;

    // RegDeleteTreeW, then RegDeleteKeyW: removes the key, its values and
    // every key below it, in one step. False when there was no such key or
    // on an error (then nothing was removed).
    virtual bool deleteKeyTree(std::string_view keyPath) = 0;
};

// The current user's registry. Nothing is opened or created until the first
// key is opened.
Registry& currentUserRegistry();

// A registry kept in a store file of its own (as RegLoadAppKey loads a
// private hive): for tools and tests that must not touch the user's store.
// Opened lazily, like the user's.
std::unique_ptr<Registry> openRegistryStore(const std::filesystem::path& storeFile);

}  // namespace quenlo::platform
