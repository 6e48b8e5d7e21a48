#pragma once

// The group bar: captioned groups of commands stacked down a gradient, every
// group open. Qt has no such control; this is the program's one.

#include <QColor>
#include <QFrame>
#include <QIcon>
#include <QAbstractButton>
#include <QWidget>
#include <functional>

namespace quenlo::gui {

// One command of a group: its icon and its caption, which wraps when the
// bar is too narrow for it; underlined under the pointer.
class GroupItem : public QAbstractButton {
    Q_OBJECT
public:
    GroupItem(const QString& caption, const QIcon& icon, QWidget* parent);
    QSize sizeHint() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int kIconSize = 16;
    static constexpr int kPadding = 2;
    QRect textRect(int width) const;
};

class GroupBar : public QWidget {
    Q_OBJECT
public:
    // The background runs from `top` to `bottom`; captions and items are
    // drawn in `flat`.
    GroupBar(QColor top, QColor bottom, QColor flat, QWidget* parent = nullptr);

    // A new group at the end; `name` is its object name.
    QFrame* addGroup(const QString& name, const QString& caption);
    // A new item at the end of `group`; `name` is its object name.
    QAbstractButton* addItem(QFrame* group, const QString& name, const QString& caption,
                         const QIcon& icon, std::function<void()> handler);

    QColor gradientTop() const { return top_; }
    QColor gradientBottom() const { return bottom_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor top_;
    QColor bottom_;
    QColor flat_;
};

}  // namespace quenlo::gui
