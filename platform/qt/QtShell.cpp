#include "platform/qt/QtShell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPainter>
#include <QUrl>

namespace quenlo::platform {

IconCache& IconCache::instance() {
    static IconCache cache;
    return cache;
}

const QIcon& IconCache::icon(std::int32_t index) const {
    static const QIcon none;
    if (index < 0 || static_cast<std::size_t>(index) >= icons_.size()) {
        return none;
    }
    return icons_[static_cast<std::size_t>(index)];
}

const QIcon& IconCache::overlaid(std::int32_t index, Overlay overlay) {
    if (index < 0) {
        return icon(index);
    }
    const QString key =
        QString("%1:%2").arg(overlay == Overlay::Link ? "link" : "share").arg(index);
    const std::int32_t made = indexFor(key, [&] {
        QPixmap picture = icon(index).pixmap(16, 16);
        if (picture.isNull()) {
            picture = QPixmap(16, 16);
            picture.fill(Qt::transparent);
        }
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        // A small white square with an arrow (shortcut) or a hand-like dot (share).
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        painter.drawRect(0, 8, 7, 7);
        painter.setPen(
            QPen(overlay == Overlay::Link ? QColor(20, 60, 160) : QColor(20, 120, 40), 1.5));
        if (overlay == Overlay::Link) {
            painter.drawLine(QPointF(1.5, 13.5), QPointF(5.5, 9.5));
            painter.drawLine(QPointF(3, 9.5), QPointF(5.5, 9.5));
            painter.drawLine(QPointF(5.5, 9.5), QPointF(5.5, 12));
        } else {
            painter.drawEllipse(QPointF(3.5, 11.5), 1.5, 1.5);
        }
        return QIcon(picture);
    });
    return icon(made);
}

QString displayText(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

std::filesystem::path pathFromText(const QString& text) {
    return std::filesystem::path(QFile::encodeName(text).toStdString());
}

std::string QtShell::typeName(const std::filesystem::path& path) {
    // By the name alone, as the shell is asked to trust the given attributes.
    static const QMimeDatabase database;
    const QMimeType type =
        database.mimeTypeForFile(displayText(path.filename()), QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault()) {
        return {};
    }
    return type.comment().toStdString();
}

std::uint32_t QtShell::attributes(const std::filesystem::path& path) {
    namespace sa = ShellAttribute;
    const auto entry = files_.findEntry(path);
    if (!entry) {
        return 0;  // the shell cannot parse it: no attributes
    }
    std::uint32_t result = sa::FileSystem;
    const bool isLink = (entry->attributes & FileAttribute::ReparsePoint) != 0 &&
                        (entry->attributes & FileAttribute::Directory) == 0;
    if (isLink) {
        result |= sa::Link;
    }
    if ((entry->attributes & FileAttribute::Hidden) != 0) {
        result |= sa::Hidden;
    }
    if ((entry->attributes & FileAttribute::ReadOnly) != 0) {
        result |= sa::ReadOnly;
    }
    if ((entry->attributes & FileAttribute::Directory) != 0) {
        result |= sa::Folder | sa::FileSystemAncestor;
        if (auto search = files_.findFirst(path)) {
            FindData child;
            while (search->next(child)) {
                if ((child.attributes & FileAttribute::Directory) != 0) {
                    result |= sa::HasSubfolder;
                    break;
                }
            }
        }
    }
    return result;
}

std::int32_t QtShell::iconIndex(const std::filesystem::path& path, bool open) {
    static const QMimeDatabase database;
    const auto entry = files_.findEntry(path);
    if (!entry) {
        return -1;
    }
    const bool folder = (entry->attributes & FileAttribute::Directory) != 0;
    const QString text = displayText(path);
    if (folder) {
        const QString name = open ? "folder-open" : "folder";
        return IconCache::instance().indexFor(name, [&] {
            static const QFileIconProvider provider;
            return QIcon::fromTheme(name, provider.icon(QFileIconProvider::Folder));
        });
    }
    const QMimeType type = database.mimeTypeForFile(text, QMimeDatabase::MatchExtension);
    return IconCache::instance().indexFor(type.name(), [&] {
        static const QFileIconProvider provider;
        return QIcon::fromTheme(
            type.iconName(),
            QIcon::fromTheme(type.genericIconName(), provider.icon(QFileIconProvider::File)));
    });
}

bool QtShell::showInFileManager(const std::filesystem::path& path) {
    const QUrl url = QUrl::fromLocalFile(displayText(path));
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1",
                                                       "/org/freedesktop/FileManager1",
                                                       "org.freedesktop.FileManager1", "ShowItems");
    call << QStringList{url.toString()} << QString();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 3000);
    if (reply.type() == QDBusMessage::ReplyMessage) {
        return true;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(displayText(path.parent_path())));
}

bool QtShell::openWebAddress(std::string_view address) {
    return QDesktopServices::openUrl(
        QUrl(QString::fromUtf8(address.data(), static_cast<qsizetype>(address.size()))));
}

QtShell& programShell() {
    static QtShell shell;
    return shell;
}

}  // namespace quenlo::platform
