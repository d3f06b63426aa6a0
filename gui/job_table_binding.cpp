#include "gui/job_table_binding.h"

#include "gui/job_table_model.h"
#include "gui/loudness_dialog.h"
#include "gui/progress_delegate.h"
#include "jobs/job_files.h"
#include "jobs/job_outputs.h"
#include "jobs/loudness_curves.h"

#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>

#include <algorithm>

namespace cantova::ui::qt {

namespace {

// The progress bar's column is as wide as this many of the font's average characters.
constexpr int kProgressCharacters = 10;

// The curves files are small; a larger one is no such file.
constexpr qint64 kMaxCurvesFile = 4 * 1024 * 1024;

QString OutputName(const jobs::Job& job) {
    return QString::fromStdString(jobs::FileNamePart(jobs::OutputPathOf(job.outputArgument)));
}

// The picture of the curves in file, or a message saying why there is none.
void ShowLoudnessPicture(QWidget& owner, const QString& output, const std::string& file) {
    QFile in(QString::fromStdString(file));
    std::optional<jobs::LoudnessCurves> curves;
    if (in.open(QIODevice::ReadOnly) && in.size() <= kMaxCurvesFile) {
        curves = jobs::ParseLoudnessCurves(in.readAll().toStdString());
    }
    if (!curves) {
        auto* box =
            new QMessageBox(QMessageBox::Warning, "Loudness Picture",
                            "The loudness curves of " + output + " could not be read from \"" +
                                QString::fromStdString(file) + "\".",
                            QMessageBox::Ok, owner.window());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    auto* dialog = new LoudnessDialog("Loudness of " + output, std::move(*curves), owner.window());
    dialog->show();
}

QString Title(const JobTableModel& model, int column) {
    return model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

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
    widget_.setAutoScroll(false);
    QHeaderView& header = *widget_.header();
    header.setStretchLastSection(false);
    header.setSectionsMovable(false);
    header.setSectionResizeMode(QHeaderView::Interactive);
    userWidths_ = LoadColumnWidths(ColumnWidthsPath());
    fitColumns();
    QObject::connect(&header, &QHeaderView::sectionResized, &widget_,
                     [this](int column, int, int width) { userResized(column, width); });
    QObject::connect(widget_.selectionModel(), &QItemSelectionModel::currentRowChanged, &widget_,
                     [this](const QModelIndex& current) { userSelected(current.row()); });
    // The list box learns of jobs added, removed or moved before the table does; the current
    // row follows it once the table has the same rows, and the view stays where it was scrolled,
    // except that a new job's row comes into view.
    const auto follow = [this] {
        showCurrentRow(false);
        fitColumns();
    };
    QObject::connect(model_, &QAbstractItemModel::rowsInserted, &widget_,
                     [this, follow](const QModelIndex&, int, int last) {
                         follow();
                         scrollToRow(last);
                     });
    QObject::connect(model_, &QAbstractItemModel::rowsRemoved, &widget_, follow);
    QObject::connect(model_, &QAbstractItemModel::rowsMoved, &widget_, follow);
    QObject::connect(model_, &QAbstractItemModel::dataChanged, &widget_, [this] { fitColumns(); });
    widget_.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&widget_, &QWidget::customContextMenuRequested, &widget_,
                     [this](const QPoint& at) { showContextMenu(at); });
    start();
}

JobTableBinding::~JobTableBinding() = default;

void JobTableBinding::userSelected(int row) {
    // While rows change the view moves its current row with them: no choice of the user's.
    if (showing_ || model_->changingRows()) {
        return;
    }
    const int index = model_->queueIndexOfRow(row);
    if (index < 0) {
        return;
    }
    // Through the queue, so that whoever follows the queue learns of the new selection.
    userAction([this, index] { queue_.select(index); });
}

void JobTableBinding::scrollToRow(int row) {
    QScrollBar& sideways = *widget_.horizontalScrollBar();
    const int left = sideways.value();
    widget_.scrollTo(model_->index(row, 0));
    sideways.setValue(left);
}

void JobTableBinding::fitColumns() {
    const QHeaderView& header = *widget_.header();
    const bool wasFitting = fitting_;
    fitting_ = true;
    for (int column = 0; column < JobTableModel::ColumnCount; ++column) {
        const auto user = userWidths_.find(Title(*model_, column).toStdString());
        int width = 0;
        if (user != userWidths_.end()) {
            width = user->second;
        } else if (column == JobTableModel::Progress) {
            width = std::max(header.sectionSizeHint(column),
                             kProgressCharacters * widget_.fontMetrics().averageCharWidth());
        } else {
            // The tree view hides what every item view tells.
            const QAbstractItemView& view = widget_;
            width = std::max(header.sectionSizeHint(column), view.sizeHintForColumn(column));
        }
        if (header.sectionSize(column) != width) {
            widget_.header()->resizeSection(column, width);
        }
    }
    fitting_ = wasFitting;
}

void JobTableBinding::userResized(int column, int width) {
    if (fitting_) {
        return;
    }
    userWidths_[Title(*model_, column).toStdString()] = width;
    SaveColumnWidths(ColumnWidthsPath(), userWidths_);
}

void JobTableBinding::showContextMenu(const QPoint& at) {
    const jobs::Job* job = model_->jobOfRow(widget_.indexAt(at).row());
    const bool drawn = job != nullptr && !job->curvesFile.empty();
    if (model_->finishedCount() == 0 && !drawn) {
        return;
    }
    auto* menu = new QMenu(&widget_);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (drawn) {
        menu->addAction(QStringLiteral("Loudness Picture ..."), &widget_,
                        [this, output = OutputName(*job), file = job->curvesFile] {
                            ShowLoudnessPicture(widget_, output, file);
                        });
    }
    if (model_->finishedCount() > 0) {
        menu->addAction(QStringLiteral("Clear Finished Jobs"), &widget_,
                        [this] { model_->clearFinished(); });
    }
    menu->popup(widget_.viewport()->mapToGlobal(at));
}

void JobTableBinding::showValue() {
    showCurrentRow(true);
}

void JobTableBinding::showCurrentRow(bool scroll) {
    const int index = list_.listIndex();
    const int row = model_->rowOfQueueIndex(index);
    const bool wasShowing = showing_;
    showing_ = true;
    if (index >= 0 && row < model_->rowCount()) {
        const QModelIndex current = model_->index(row, 0);
        widget_.selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect |
                                                               QItemSelectionModel::Rows);
        if (scroll) {
            scrollToRow(row);
        }
    } else {
        widget_.selectionModel()->clearSelection();
        widget_.selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    }
    showing_ = wasShowing;
}

} // namespace cantova::ui::qt
