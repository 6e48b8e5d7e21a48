#pragma once

// The desktop shell's services on Linux, with Qt: type names from the MIME
// database, icons from the icon theme in one shared cache, shell attributes
// from the file system, "show in file manager" through the freedesktop
// FileManager1 interface.

#include <QIcon>
#include <QString>
#include <map>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Shell.h"

namespace quenlo::platform {

// The program's one list of small icons; entries are referred to by index
// and never copied out of it.
class IconCache {
public:
    static IconCache& instance();
    // The index of the icon for `key`, making it with `make` the first time.
    template <typename Make>
    std::int32_t indexFor(const QString& key, Make make) {
        const auto it = indexes_.find(key);
        if (it != indexes_.end()) {
            return it->second;
        }
        const auto index = static_cast<std::int32_t>(icons_.size());
        icons_.push_back(make());
        indexes_.emplace(key, index);
        return index;
    }
    // The icon at `index`; an empty icon for -1 or an unknown index.
    const QIcon& icon(std::int32_t index) const;

    enum class Overlay { Share, Link };
    // The icon at `index` with the shared-item or shortcut overlay drawn on
    // it, made once and kept like any other icon.
    const QIcon& overlaid(std::int32_t index, Overlay overlay);

private:
    std::vector<QIcon> icons_;
    std::map<QString, std::int32_t> indexes_;
};

class QtShell final : public Shell {
public:
    explicit QtShell(FileSystem& files = systemFileSystem()) : files_(files) {}

    std::string typeName(const std::filesystem::path& path) override;
    std::uint32_t attributes(const std::filesystem::path& path) override;
    std::int32_t iconIndex(const std::filesystem::path& path, bool open) override;
    bool showInFileManager(const std::filesystem::path& path) override;
    bool openWebAddress(std::string_view address) override;

private:
    FileSystem& files_;
};

// The program's shell.
QtShell& programShell();

// A path as text for display, and back (file names are bytes; Qt decodes
// them the way the system does).
QString displayText(const std::filesystem::path& path);
std::filesystem::path pathFromText(const QString& text);

}  // namespace quenlo::platform
