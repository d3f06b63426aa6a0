// The GUI's launcher under a child's faults: a process it leaves behind holding its output, a
// crash, and what the child wrote to its error output.

#include "gui/qt_process_launcher.h"
#include "tests/gui/run_to_end.h"

#include <QtTest>

#include <csignal>
#include <optional>

#include <string>
#include <vector>

using cantova::jobs::LaunchResult;
using cantova::ui::qt::QtProcessLauncher;

using cantova::test::RunToEnd;

class QtLauncherFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void aProcessLeftBehindDoesNotKeepTheWait() {
        qputenv("CANTOVA_TEST_LINGER_MS", "120000");
        qputenv("CANTOVA_TEST_PROGRESS", "1");
        std::vector<std::string> lines;
        const LaunchResult result = RunToEnd(
            launcher, transcoder, [&](std::string_view line) { lines.emplace_back(line); });
        QVERIFY(result.started && !result.stopped);
        QCOMPARE(lines, (std::vector<std::string>{"progress 0%", "progress 100%"}));
    }

    void aCrashAndTheErrorOutputAreReported() {
        qputenv("CANTOVA_TEST_CRASH", "1");
        const LaunchResult crashed = RunToEnd(launcher, transcoder);
        QCOMPARE(crashed.signal, SIGSEGV);
        QVERIFY(!crashed.stopped);
        qunsetenv("CANTOVA_TEST_CRASH");
        qputenv("CANTOVA_TEST_FAIL_OUTPUT", "Stream7");
        const LaunchResult failed = RunToEnd(launcher, transcoder + " -output Stream7.mp3");
        QCOMPARE(failed.exitStatus, 3);
        QCOMPARE(failed.errorOutput, std::string("Cantova: failed: no luck with Stream7.mp3"));
    }

private:
    const std::string transcoder = "\"" CANTOVA_RECORDING_TRANSCODER "\" -core( )";
    QtProcessLauncher launcher;
};

QTEST_GUILESS_MAIN(QtLauncherFaultsTest)
#include "qt_launcher_faults_test.moc"
