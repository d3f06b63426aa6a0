#include "gui/job_table_binding.h"

#include "gui/job_table_model.h"
#include "gui/progress_delegate.h"

#include <QHeaderView>

namespace cantova::ui::qt {

namespace {

// Widths in pixels of the columns that do not stretch; the status takes what is left.
constexpr int kColumnWidths[JobTableModel::ColumnCount] = {150, 96, 86, 0, 64};

} // namespace

JobTableBinding::JobTableBinding(ListBox& list, QWidget& parent, jobs::JobQueue& queue,
                                 ProgressPace& pace)
    : WidgetBinding(list, *new QTreeView(&parent)), list_(list), queue_(queue),
      widget_(static_cast<QTreeView&>(widget())), model_(new JobTableModel(queue, pace, &widget_)) {
    widget_.setObjectName("JobTable");
    widget_.setModel(model_);
    widget_.setRootIsDecorated(false);
    widget_.setUniformRowHeights(true);
    widget_.setAllColumnsShowFocus(true);
    widget_.setSelectionMode(QAbstractItemView::SingleSelection);
    widget_.setSelectionBehavior(QAbstractItemView::SelectRows);
    widget_.setEditTriggers(QAbstractItemView::NoEditTriggers);
    widget_.setTextElideMode(Qt::ElideMiddle);
    widget_.setItemDelegateForColumn(JobTableModel::Progress,
                                     new ProgressDelegate(JobTableModel::PercentRole, &widget_));
    QHeaderView& header = *widget_.header();
    header.setStretchLastSection(false);
    header.setSectionsMovable(false);
    for (int column = 0; column < JobTableModel::ColumnCount; ++column) {
        if (column == JobTableModel::Status) {
            header.setSectionResizeMode(column, QHeaderView::Stretch);
        } else {
            header.resizeSection(column, kColumnWidths[column]);
        }
    }
    QObject::connect(widget_.selectionModel(), &QItemSelectionModel::currentRowChanged, &widget_,
                     [this](const QModelIndex& current) { userSelected(current.row()); });
    // The list box learns of jobs added, removed or moved before the table does; the current
    // row follows it once the table has the same rows, and the view stays where it was scrolled.
    const auto follow = [this] { showCurrentRow(false); };
    QObject::connect(model_, &QAbstractItemModel::rowsInserted, &widget_, follow);
    QObject::connect(model_, &QAbstractItemModel::rowsRemoved, &widget_, follow);
    QObject::connect(model_, &QAbstractItemModel::rowsMoved, &widget_, follow);
    start();
}

JobTableBinding::~JobTableBinding() = default;

void JobTableBinding::userSelected(int row) {
    // While rows change the view moves its current row with them: no choice of the user's.
    if (showing_ || model_->changingRows()) {
        return;
    }
    // Through the queue, so that whoever follows the queue learns of the new selection.
    userAction([this, row] { queue_.select(row); });
}

void JobTableBinding::showValue() {
    showCurrentRow(true);
}

void JobTableBinding::showCurrentRow(bool scroll) {
    const int row = list_.listIndex();
    const bool wasShowing = showing_;
    showing_ = true;
    if (row >= 0 && row < model_->rowCount()) {
        const QModelIndex current = model_->index(row, 0);
        widget_.selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect |
                                                               QItemSelectionModel::Rows);
        if (scroll) {
            widget_.scrollTo(current);
        }
    } else {
        widget_.selectionModel()->clearSelection();
        widget_.selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    }
    showing_ = wasShowing;
}

} // namespace cantova::ui::qt
