#include "gui/file_intake_view.h"

#include "gui/jobs_menu.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QTimer>
#include <QUrl>

namespace cantova::ui::qt {

namespace {

// How long one slice of a large add may keep the event loop from other work.
constexpr qint64 kAddingSliceMs = 30;

std::vector<std::string> LocalPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (data == nullptr) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
        }
    }
    return paths;
}

} // namespace

FileIntakeView::FileIntakeView(QMainWindow& window, jobs::FileIntake& intake)
    : window_(window), intake_(intake) {
    window_.setAcceptDrops(true);
    // Fields that take dropped text are asked before the window: the filter sees them first.
    qApp->installEventFilter(this);

    QMenu& menu = JobsMenu(window_);
    addFiles_ = menu.addAction("&Add Files as Jobs ...");
    QObject::connect(addFiles_, &QAction::triggered, this, [this] { intake_.ChooseFilesAsJobs(); });
    QObject::connect(&menu, &QMenu::aboutToShow, this,
                     [this] { addFiles_->setEnabled(intake_.accepting()); });
    intake_.setAddDriver(
        [this](std::shared_ptr<jobs::JobAdding> adding) { showAdding(std::move(adding)); });
}

void FileIntakeView::showAdding(std::shared_ptr<jobs::JobAdding> adding) {
    // Modal for the window (nothing else is done to the list meanwhile), without a loop of its
    // own: the slices come from the program's event loop.
    auto* progress =
        new QProgressDialog("Adding files as jobs ...", "Cancel", 0, adding->total(), &window_);
    progress->setObjectName("AddingJobs");
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setAutoReset(false);
    progress->setAutoClose(false);
    auto* slices = new QTimer(progress);
    QObject::connect(slices, &QTimer::timeout, progress, [adding, progress] {
        QElapsedTimer slice;
        slice.start();
        while (!adding->finished() && slice.elapsed() < kAddingSliceMs) {
            adding->addNext(1);
        }
        progress->setValue(adding->done());
        progress->setLabelText(
            QString("Adding files as jobs: %1 of %2 ...").arg(adding->done()).arg(adding->total()));
        if (adding->finished()) {
            progress->close();
        }
    });
    // Cancel, and closing the window (which Qt reports as cancel too), stop the add.
    QObject::connect(progress, &QProgressDialog::canceled, progress, [adding, progress] {
        if (!adding->finished()) {
            adding->cancel();
        }
        progress->close();
    });
    slices->start(0);
    progress->open();
}

bool FileIntakeView::ownsTheDrop(QObject* watched) const {
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget != nullptr && widget->window() == &window_;
}

bool FileIntakeView::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return false;
    }
    auto* drop = static_cast<QDropEvent*>(event);
    const std::vector<std::string> paths = LocalPaths(drop->mimeData());
    if (paths.empty() || !ownsTheDrop(watched)) {
        return false;
    }
    if (!intake_.accepting()) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) {
        // The drag ends first, so that the program the files came from is not kept waiting; the
        // files are taken when the event loop is back.
        QMetaObject::invokeMethod(
            this, [this, paths] { intake_.Drop(paths); }, Qt::QueuedConnection);
    }
    return true;
}

} // namespace cantova::ui::qt
