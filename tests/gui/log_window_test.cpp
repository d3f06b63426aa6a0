// The transcoder log's window: long lines wrap, it opens at the end, and its text can be copied
// and saved.

#include "gui/log_viewer_dialog.h"
#include "gui/log_window.h"

#include "support/temp_folder.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QScrollBar>
#include <QtTest>

#include <memory>
#include <string>

using namespace cantova;

namespace {

// A log of many jobs, one of them with a command line far wider than the window.
std::string LongLog() {
    std::string log;
    for (int job = 1; job <= 300; ++job) {
        log += "job " + std::to_string(job) + " transcoded\n";
    }
    return log + "command: " + std::string(600, 'x') + "\nlast line\n";
}

ui::qt::LogWindow* ShownLogWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* log = dynamic_cast<ui::qt::LogWindow*>(window); log && log->isVisible()) {
            return log;
        }
    }
    return nullptr;
}

} // namespace

class LogWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { temp = std::make_unique<TempFolder>(); }
    void cleanup() { temp.reset(); }

    void itOpensWrappedAtTheEnd() {
        const std::string path = temp->File("Audio_Stream.log");
        WriteText(path, LongLog());
        ui::qt::LogViewerDialog viewer(nullptr);
        viewer.ShowLog(path);
        ui::qt::LogWindow* window = ShownLogWindow();
        QVERIFY(window != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QPlainTextEdit& view = window->view();
        QCOMPARE(view.lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(view.horizontalScrollBar()->maximum(), 0);
        QScrollBar& vertical = *view.verticalScrollBar();
        QVERIFY(vertical.maximum() > 0);
        QCOMPARE(vertical.value(), vertical.maximum());
    }

    void itCopiesTheSelectionOrAllAndSavesAs() {
        const std::string path = temp->File("Audio_Stream.log");
        WriteText(path, "first line\nsecond line\n");
        ui::qt::LogViewerDialog viewer(nullptr);
        viewer.ShowLog(path);
        ui::qt::LogWindow* window = ShownLogWindow();
        QVERIFY(window != nullptr);

        window->copy();
        QCOMPARE(QApplication::clipboard()->text(), QString("first line\nsecond line\n"));
        QTextCursor cursor(window->view().document());
        cursor.movePosition(QTextCursor::NextBlock);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        window->view().setTextCursor(cursor);
        window->copy();
        QCOMPARE(QApplication::clipboard()->text(), QString("second line"));

        // Save As asks for the file in a dialog that does not wait.
        window->saveAs();
        auto* dialog = window->findChild<QFileDialog*>();
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->isVisible());
        const QString copy = QString::fromStdString(temp->File("saved.log"));
        dialog->selectFile(copy);
        QMetaObject::invokeMethod(dialog, "accept");
        QCOMPARE(ReadText(copy.toStdString()), std::string("first line\nsecond line\n"));
        // A file that cannot be written is reported, not passed over.
        QVERIFY(!window->saveTo(QString::fromStdString(temp->File("no such folder/x.log"))));
    }

    // Each run shows its log; one window shows them, not one more per run.
    void theNextLogIsShownInTheWindowStillOpen() {
        while (ui::qt::LogWindow* earlier = ShownLogWindow()) {
            earlier->close();
        }
        const std::string first = temp->File("first.log");
        const std::string second = temp->File("second.log");
        WriteText(first, "first run\n");
        WriteText(second, "second run\n");
        ui::qt::LogViewerDialog viewer(nullptr);
        viewer.ShowLog(first);
        ui::qt::LogWindow* window = ShownLogWindow();
        QVERIFY(window != nullptr);
        viewer.ShowLog(second);
        QCOMPARE(ShownLogWindow(), window);
        int shown = 0;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            shown += dynamic_cast<ui::qt::LogWindow*>(top) != nullptr && top->isVisible() ? 1 : 0;
        }
        QCOMPARE(shown, 1);
        QCOMPARE(window->view().toPlainText(), QString("second run\n"));
        QCOMPARE(window->windowTitle(), QString::fromStdString(second));
        // Closed, it goes; the next log opens a window again.
        window->close();
        QTRY_VERIFY(ShownLogWindow() == nullptr);
        viewer.ShowLog(first);
        QVERIFY(ShownLogWindow() != nullptr);
        ShownLogWindow()->close();
    }

private:
    std::unique_ptr<TempFolder> temp;
};

QTEST_MAIN(LogWindowTest)
#include "log_window_test.moc"
