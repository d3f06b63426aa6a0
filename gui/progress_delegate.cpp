#include "gui/progress_delegate.h"

#include <QApplication>
#include <QStyleOptionProgressBar>

namespace cantova::ui::qt {

void ProgressDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    // The row's selection and focus are drawn as for any other cell.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);

    QStyleOptionProgressBar bar;
    bar.state = (option.state & QStyle::State_Enabled) | QStyle::State_Horizontal;
    bar.direction = option.direction;
    bar.palette = option.palette;
    bar.fontMetrics = option.fontMetrics;
    bar.rect = option.rect.adjusted(1, 1, -1, -1);
    bar.minimum = 0;
    bar.maximum = 100;
    bar.progress = index.data(percentRole_).toInt();
    bar.text = index.data(Qt::DisplayRole).toString();
    bar.textVisible = true;
    bar.textAlignment = Qt::AlignCenter;
    style->drawControl(QStyle::CE_ProgressBar, &bar, painter, option.widget);
}

} // namespace cantova::ui::qt
