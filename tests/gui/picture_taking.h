#pragma once

// What the programs that take the README's pictures share: the form's font, letting the window
// settle, saving a window's picture, and waiting for a job of the run.

#include "app/program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <iostream>
#include <string_view>

namespace cantova::test {

// The font the forms are drawn for.
inline void UseFormFont() {
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    QApplication::setFont(font);
}

inline void Settle(int milliseconds = 300) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

// Saves the window's picture once it has settled and prints the file's name; says on stderr,
// under the taker's name, what could not be taken.
inline bool SavePicture(QWidget& window, const QString& file, std::string_view taker) {
    Settle();
    if (!window.isVisible() || !window.grab().save(file)) {
        std::cerr << taker << ": could not take " << file.toStdString() << '\n';
        return false;
    }
    std::cout << file.toStdString() << '\n';
    return true;
}

// Waits, for as long as the run goes, until a job of the queue is as the test wants it.
template <typename JobTest> bool WaitForJob(app::Program& program, JobTest wanted) {
    while (program.runner.InProgress()) {
        for (const jobs::Job& job : program.queue.jobs()) {
            if (wanted(job)) {
                return true;
            }
        }
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return false;
}

inline void WaitForRunEnd(app::Program& program) {
    while (program.runner.InProgress()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

} // namespace cantova::test
