#pragma once

// The file intake on screen: files dropped anywhere on the main window, and the menu item that
// adds files chosen together as jobs. A drop of files on one of the window's fields goes to the
// intake as well, instead of being typed into the field as text. Many files are added a slice at a
// time from the event loop, with a progress window that can cancel the rest.

#include "jobs/file_intake.h"

#include <QAction>
#include <QMainWindow>
#include <QObject>

#include <memory>

namespace cantova::ui::qt {

class FileIntakeView final : public QObject {
public:
    FileIntakeView(QMainWindow& window, jobs::FileIntake& intake);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ownsTheDrop(QObject* watched) const;
    void showAdding(std::shared_ptr<jobs::JobAdding> adding);

    QMainWindow& window_;
    jobs::FileIntake& intake_;
    QAction* addFiles_;
};

} // namespace cantova::ui::qt
