#include "app/gui/GroupBar.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

namespace quenlo::gui {
namespace {

// The border around and between the groups.
constexpr int kGroupBorder = 8;

}  // namespace

GroupBar::GroupBar(QColor top, QColor bottom, QColor flat, QWidget* parent)
    : QWidget(parent), top_(top), bottom_(bottom), flat_(flat) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kGroupBorder, kGroupBorder, kGroupBorder, kGroupBorder);
    layout->setSpacing(kGroupBorder);
    layout->addStretch(1);
    setStyleSheet(QString("QFrame[group=\"true\"] { background: rgba(255, 255, 255, 150);"
                          " border: 1px solid rgba(255, 255, 255, 200); border-radius: 4px; }"
                          "QLabel[caption=\"true\"] { color: %1; font-weight: bold;"
                          " padding: 2px 4px; background: transparent; border: none; }"
                          )
                      .arg(flat_.name()));
}

QFrame* GroupBar::addGroup(const QString& name, const QString& caption) {
    auto* group = new QFrame(this);
    group->setObjectName(name);
    group->setProperty("group", true);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(3, 4, 3, 6);
    layout->setSpacing(1);
    auto* title = new QLabel(caption, group);
    title->setObjectName(name + "Caption");
    title->setProperty("caption", true);
    layout->addWidget(title);
    auto* bar = static_cast<QVBoxLayout*>(this->layout());
    bar->insertWidget(bar->count() - 1, group);  // before the closing stretch
    return group;
}

GroupItem::GroupItem(const QString& caption, const QIcon& icon, QWidget* parent)
    : QAbstractButton(parent) {
    setText(caption);
    setIcon(icon);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QRect GroupItem::textRect(int width) const {
    const int left = kIconSize + 2 * kPadding + 2;
    return fontMetrics().boundingRect(QRect(left, kPadding, std::max(1, width - left - kPadding), 1000),
                                      Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text());
}

int GroupItem::heightForWidth(int width) const {
    return std::max(kIconSize, textRect(width).height()) + 2 * kPadding;
}

QSize GroupItem::sizeHint() const {
    const int width = kIconSize + 3 * kPadding + 2 + fontMetrics().horizontalAdvance(text());
    return {width, heightForWidth(width)};
}

void GroupItem::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    icon().paint(&painter, QRect(kPadding, kPadding, kIconSize, kIconSize));
    QFont font = this->font();
    font.setUnderline(underMouse());
    painter.setFont(font);
    painter.setPen(isDown() ? QColor(64, 96, 192) : palette().color(QPalette::WindowText));
    painter.drawText(textRect(width()), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text());
}

QAbstractButton* GroupBar::addItem(QFrame* group, const QString& name, const QString& caption,
                                   const QIcon& icon, std::function<void()> handler) {
    auto* item = new GroupItem(caption, icon, group);
    item->setObjectName(name);
    QPalette colours = item->palette();
    colours.setColor(QPalette::WindowText, flat_);
    item->setPalette(colours);
    connect(item, &QAbstractButton::clicked, this, [handler = std::move(handler)] { handler(); });
    group->layout()->addWidget(item);
    return item;
}

void GroupBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, top_);
    gradient.setColorAt(1, bottom_);
    painter.fillRect(rect(), gradient);
}

}  // namespace quenlo::gui
