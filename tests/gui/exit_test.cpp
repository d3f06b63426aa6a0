// The E&xit button ends the program as the title bar's close does: the application's event loop
// returns. Driven through the real widgets, by mouse and by its access key.

#include "gui/gui_program.h"
#include "settings/file_dialogs.h"

#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace cantova;

namespace {

// Runs the application's event loop with the action queued as its first event; the exit code
// of the loop, or -1 when it was still running after ten seconds.
int ExecAfter(const std::function<void()>& action) {
    QTimer::singleShot(0, qApp, action);
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(-1); });
    return QApplication::exec();
}

} // namespace

class ExitTest : public QObject {
    Q_OBJECT

private slots:
    void clickingExitEndsTheApplication() {
        settings::ScriptedFileDialogs dialogs;
        ui::qt::GuiProgram program(&dialogs);
        program.show();
        auto* exit = qobject_cast<QPushButton*>(program.view().form().widgetOf("cmdExit"));
        QVERIFY(exit != nullptr);
        QCOMPARE(ExecAfter([exit] { QTest::mouseClick(exit, Qt::LeftButton); }), 0);
        QVERIFY(!program.view().isVisible());
        QVERIFY(program.windows().program.ended);
    }

    void altXEndsTheApplication() {
        settings::ScriptedFileDialogs dialogs;
        ui::qt::GuiProgram program(&dialogs);
        program.show();
        QVERIFY(QTest::qWaitForWindowActive(&program.view()));
        QCOMPARE(ExecAfter([&] { QTest::keyClick(&program.view(), Qt::Key_X, Qt::AltModifier); }),
                 0);
        QVERIFY(program.windows().program.ended);
    }
};

QTEST_MAIN(ExitTest)
#include "exit_test.moc"
