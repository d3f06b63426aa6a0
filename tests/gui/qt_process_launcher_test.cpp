// The GUI's launcher with a real child: output lines while it runs, a quit of the
// application during the wait, and a child that will not end on SIGTERM.
// Each function runs in a process of its own (a quit stays in force for the process).

#include "gui/qt_process_launcher.h"
#include "tests/gui/run_to_end.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <optional>

#include <string>
#include <vector>

using cantova::jobs::LaunchResult;
using cantova::ui::qt::QtProcessLauncher;

using cantova::test::RunToEnd;

class QtProcessLauncherTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        qunsetenv("CANTOVA_TEST_PROGRESS");
        qunsetenv("CANTOVA_TEST_IGNORE_TERM");
    }

    void progressLinesArriveWhileTheChildRuns() {
        qputenv("CANTOVA_TEST_SLEEP_MS", "800");
        qputenv("CANTOVA_TEST_PROGRESS", "4");
        QElapsedTimer clock;
        clock.start();
        std::vector<std::string> lines;
        qint64 firstLineAt = -1;
        const LaunchResult result = RunToEnd(launcher, transcoder, [&](std::string_view line) {
            if (lines.empty()) {
                firstLineAt = clock.elapsed();
            }
            lines.emplace_back(line);
        });
        const qint64 endedAt = clock.elapsed();
        QVERIFY(result.started && !result.stopped);
        QCOMPARE(result.exitStatus, 0);
        QCOMPARE(lines, (std::vector<std::string>{"progress 0%", "progress 25%", "progress 50%",
                                                  "progress 75%", "progress 100%"}));
        QVERIFY2(firstLineAt < endedAt - 400, "the first line comes while the child still runs");
    }

    void aQuitOfTheApplicationStopsTheJobInsteadOfPassingItAsDone() {
        qputenv("CANTOVA_TEST_SLEEP_MS", "20000");
        // The application's own loop runs the job, as a click on Start does, and is told to end.
        std::optional<LaunchResult> result;
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &launcher,
                         [this] { launcher.StopAllAndWait(); });
        QTimer::singleShot(0, QCoreApplication::instance(), [&] {
            launcher.Start(transcoder, {[](std::string_view) {},
                                        [&](const LaunchResult& ended) { result = ended; }});
            QTimer::singleShot(200, QCoreApplication::instance(),
                               [] { QCoreApplication::exit(0); });
        });
        QCoreApplication::exec();
        QVERIFY(result.has_value());
        QVERIFY(result->started);
        QVERIFY(result->stopped);
        QCOMPARE(result->signal, SIGTERM); // ended by SIGTERM, not by the end of its work
    }

    void aChildIgnoringTerminationIsKilledAfterTheGracePeriod() {
        qputenv("CANTOVA_TEST_SLEEP_MS", "20000");
        qputenv("CANTOVA_TEST_IGNORE_TERM", "1");
        // The next process to start is the one RunToEnd starts.
        QTimer::singleShot(200, QCoreApplication::instance(), [this] { launcher.Terminate(1); });
        const LaunchResult result = RunToEnd(launcher, transcoder);
        QVERIFY(result.started && result.stopped);
        QCOMPARE(result.signal, SIGKILL);
    }

    void aChildReadingItsInputGetsItsEndInsteadOfWaiting() {
        std::vector<std::string> lines;
        const LaunchResult result =
            RunToEnd(launcher, "/bin/sh -c \"read line; echo read:$?\"",
                     [&](std::string_view line) { lines.emplace_back(line); });
        QVERIFY(result.started);
        QCOMPARE(lines, std::vector<std::string>{"read:1"});
    }

    void aMissingProgramIsNotStarted() {
        const LaunchResult result = RunToEnd(launcher, "/nonexistent/Cantova -core(");
        QVERIFY(!result.started);
    }

private:
    const std::string transcoder = "\"" CANTOVA_RECORDING_TRANSCODER "\" -core( )";
    QtProcessLauncher launcher;
};

QTEST_GUILESS_MAIN(QtProcessLauncherTest)
#include "qt_process_launcher_test.moc"
