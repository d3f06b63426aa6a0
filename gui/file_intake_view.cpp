#include "gui/file_intake_view.h"

#include "gui/jobs_menu.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

namespace cantova::ui::qt {

namespace {

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
