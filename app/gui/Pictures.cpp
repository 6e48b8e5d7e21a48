#include "app/gui/Pictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <map>

namespace quenlo::gui {
namespace {

// The drawing of each imgMenu index the program uses.
const std::map<int, const char*> kMenuPictures = {
    {0, "menu-add"},        {1, "menu-remove"},   {5, "menu-help"},
    {6, "menu-wipe-disk"},  {7, "menu-about"},    {9, "menu-remove-all"},
    {11, "menu-updates"},   {13, "menu-settings"}, {15, "menu-related"},
};

QIcon IconOf(const char* name) {
    QIcon icon;
    for (const int side : {16, 32}) {
        icon.addPixmap(Picture(name, QSize(side, side)));
    }
    return icon;
}

}  // namespace

QPixmap Picture(const char* name, QSize size) {
    QSvgRenderer renderer(QString(":/pictures/%1.svg").arg(name));
    if (!renderer.isValid()) {
        return {};
    }
    if (size.isEmpty()) {
        size = renderer.defaultSize();
    }
    const qreal ratio = qApp != nullptr ? qApp->devicePixelRatio() : 1.0;
    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return picture;
}

QIcon MenuIcon(int index) {
    const auto it = kMenuPictures.find(index);
    return it == kMenuPictures.end() ? QIcon() : IconOf(it->second);
}

QIcon LogIcon(int index) {
    return IconOf(index == 1 ? "log-warning" : "log-information");
}

}  // namespace quenlo::gui
