#pragma once

// Draws a table cell as a progress bar: the percentage from the model's percent role, the text
// from its display role.

#include <QStyledItemDelegate>

namespace cantova::ui::qt {

class ProgressDelegate final : public QStyledItemDelegate {
public:
    ProgressDelegate(int percentRole, QObject* parent)
        : QStyledItemDelegate(parent), percentRole_(percentRole) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    int percentRole_;
};

} // namespace cantova::ui::qt
