// The job table of the main window on a job queue filled by hand: what each column says for each
// target and status, and the selection shared with the list box, also across moves.

#include "gui/job_table_binding.h"
#include "gui/job_table_model.h"
#include "gui/run_status_bar.h"
#include "jobs/job_queue.h"
#include "ui/windows.h"

#include "support/temp_folder.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QtTest>

#include <string>

using namespace cantova;
using Model = ui::qt::JobTableModel;

namespace {

struct SilentMessages : ui::MessageBoxes {
    void Show(const std::string&, const std::string&, ui::MessageIcon) override {}
    void Ask(const std::string&, const std::string&, Answer answered) override { answered(false); }
};

jobs::Job MakeJob(int number, ui::Codec codec, int bitrate, const std::string& output) {
    jobs::Job job;
    job.number = number;
    job.source = "/films/Film " + std::to_string(number) + ".ac3";
    job.codec = codec;
    job.targetBitrate = bitrate;
    job.outputArgument = "\"/films/" + output + "\"";
    return job;
}

// Windows after their load step with a queue of four jobs: MP3, OGG, WAV and an AC3 copy.
struct Fixture {
    Fixture() {
        windows.frmMain.Form_Load();
        queue.append(MakeJob(1, ui::Codec::Mp3, 192, "Stream1.mp3"));
        queue.append(MakeJob(2, ui::Codec::Ogg, 96, "Stream2.ogg"));
        queue.append(MakeJob(3, ui::Codec::Wav, 56, "Stream3.wav"));
        jobs::Job copy = MakeJob(4, ui::Codec::Ac3, 448, "");
        copy.copy = true;
        copy.outputArgument = "\"" + copy.source + "\"";
        queue.append(copy);
    }
    SilentMessages messages;
    ui::Windows windows{messages};
    jobs::JobQueue queue{windows.frmMain};
    ui::qt::ProgressPace pace{queue};
};

QString Cell(const Model& model, int row, int column, int role = Qt::DisplayRole) {
    return model.data(model.index(row, column), role).toString();
}

} // namespace

class JobTableTest : public QObject {
    Q_OBJECT

private slots:
    void columnsShowTargetOutputStatusAndProgress() {
        Fixture f;
        Model model(f.queue, f.pace, nullptr);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(Cell(model, 0, Model::Source), QString("Film 1.ac3"));
        QCOMPARE(Cell(model, 0, Model::Source, Qt::ToolTipRole), QString("/films/Film 1.ac3"));
        QCOMPARE(Cell(model, 0, Model::Target), QString("MP3 192 kbit/s"));
        QCOMPARE(Cell(model, 1, Model::Target), QString("Ogg 96 kbit/s"));
        QCOMPARE(Cell(model, 2, Model::Target), QString("WAV"));
        QCOMPARE(Cell(model, 3, Model::Target), QString("AC3 copy"));
        QCOMPARE(Cell(model, 0, Model::Output), QString("Stream1.mp3"));
        QCOMPARE(Cell(model, 3, Model::Output), QString("Film 4.ac3"));
        QCOMPARE(Cell(model, 0, Model::Status), QString("queued"));

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        f.queue.update(1, [](jobs::Job& job) {
            job.status = jobs::JobStatus::Running;
            job.percent = 45;
        });
        f.queue.update(2, [](jobs::Job& job) {
            job.status = jobs::JobStatus::Failed;
            job.percent = 30;
            job.reason = "the transcoder failed (exit status 3)";
        });
        f.queue.update(3, [](jobs::Job& job) {
            job.status = jobs::JobStatus::Skipped;
            job.reason = "skipped, its settings file is missing";
        });
        f.queue.update(4, [](jobs::Job& job) {
            job.status = jobs::JobStatus::Stopped;
            job.reason = "stopped before it finished";
        });
        QVERIFY(changed.count() >= 4);
        QCOMPARE(Cell(model, 0, Model::Status), QString("running 45%"));
        QCOMPARE(model.data(model.index(0, Model::Progress), Model::PercentRole).toInt(), 45);
        QCOMPARE(Cell(model, 0, Model::Progress), QString("45%"));
        QCOMPARE(Cell(model, 1, Model::Status),
                 QString("failed: the transcoder failed (exit status 3)"));
        QCOMPARE(model.data(model.index(1, Model::Progress), Model::PercentRole).toInt(), 30);
        QCOMPARE(Cell(model, 2, Model::Status), QString("skipped, its settings file is missing"));
        QCOMPARE(Cell(model, 3, Model::Status), QString("stopped"));

        f.queue.remove(0);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(Cell(model, 0, Model::Output), QString("Stream2.ogg"));
    }

    // The transcoder reports its percentage up to a hundred times a job; the views repaint for
    // it at most once a second.
    void newPercentagesAreShownAtOnceAfterAQuietSecondOtherwiseAtItsEnd() {
        Fixture f;
        Model model(f.queue, f.pace, nullptr);
        f.queue.update(1, [](jobs::Job& job) { job.status = jobs::JobStatus::Running; });
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        const auto percent = [&f](int value) { f.queue.setPercent(1, value); };
        percent(10);
        QCOMPARE(changed.count(), 2); // the status and the progress cell of the row
        percent(20);
        percent(30);
        QCOMPARE(changed.count(), 2);
        // A repaint before the pace shows what the title and the status bar show.
        QCOMPARE(Cell(model, 0, Model::Status), QString("running 10%"));
        QCOMPARE(model.data(model.index(0, Model::Progress), Model::PercentRole).toInt(), 10);
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 4, 2000);
        QCOMPARE(Cell(model, 0, Model::Status), QString("running 30%"));
        QTest::qWait(1500);
        QCOMPARE(changed.count(), 4);
        // A new status is shown at once.
        f.queue.update(1, [](jobs::Job& job) {
            job.status = jobs::JobStatus::Done;
            job.percent = 100;
        });
        percent(100);
        QCOMPARE(changed.count(), 6);
    }

    void theTableAndTheListBoxShareTheSelection() {
        Fixture f;
        QWidget container;
        ui::qt::JobTableBinding binding(f.windows.frmMain.LstJobAudio(0), container, f.queue,
                                        f.pace);
        QTreeView& view = binding.view();
        int told = 0;
        f.queue.subscribe([&](const jobs::JobListChange&) { ++told; });

        view.setCurrentIndex(binding.model().index(2, Model::Target));
        QCOMPARE(f.windows.frmMain.LstJobAudio(0).listIndex(), 2);
        QVERIFY2(told > 0, "the queue's followers learn of a choice in the table");

        f.queue.select(1);
        QCOMPARE(view.currentIndex().row(), 1);
        QVERIFY(view.selectionModel()->isRowSelected(1, {}));

        // The selection goes with the job when it moves.
        QVERIFY(f.queue.move(1, +1));
        QCOMPARE(f.windows.frmMain.LstJobAudio(0).listIndex(), 2);
        QCOMPARE(view.currentIndex().row(), 2);
        QCOMPARE(Cell(binding.model(), 2, Model::Output), QString("Stream2.ogg"));

        // Removing the selected job leaves nothing selected, in the table as in the list box.
        f.queue.remove(2);
        QCOMPARE(f.windows.frmMain.LstJobAudio(0).listIndex(), -1);
        QVERIFY(!view.selectionModel()->hasSelection());

        f.windows.frmMain.LstJobAudio(0).setEnabled(false);
        QVERIFY(!view.isEnabled());
    }

    // Views keep their selection and scroll position only if the model never resets.
    void rowsAreInsertedMovedAndRemovedNeverReset() {
        Fixture f;
        QWidget container;
        ui::qt::JobTableBinding binding(f.windows.frmMain.LstJobAudio(0), container, f.queue,
                                        f.pace);
        Model& model = binding.model();
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);

        f.queue.select(2); // Stream3.wav
        f.queue.append(MakeJob(5, ui::Codec::Mp3, 128, "Stream5.mp3"));
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(1).toInt(), 4);
        QCOMPARE(Cell(model, 4, Model::Output), QString("Stream5.mp3"));
        QVERIFY(f.queue.move(4, -1));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(Cell(model, 3, Model::Output), QString("Stream5.mp3"));
        QCOMPARE(Cell(model, 4, Model::Target), QString("AC3 copy"));

        // Removing a job above the selected one keeps the same job selected.
        f.queue.remove(0);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(f.windows.frmMain.LstJobAudio(0).listIndex(), 1);
        QCOMPARE(binding.view().currentIndex().row(), 1);
        QCOMPARE(Cell(model, 1, Model::Output), QString("Stream3.wav"));

        // Jobs leaving together in several runs of rows: each run is announced; rows and
        // selection still match the queue.
        QCOMPARE(f.queue.removeIf(
                     [](const jobs::Job& job) { return job.number == 2 || job.number == 4; }),
                 2);
        QCOMPARE(removed.count(), 3);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(Cell(model, 0, Model::Output), QString("Stream3.wav"));
        QCOMPARE(Cell(model, 1, Model::Output), QString("Stream5.mp3"));
        QCOMPARE(binding.view().currentIndex().row(), 0);
        QCOMPARE(f.windows.frmMain.LstJobAudio(0).list(0), std::string("Film 3.ac3"));
        QCOMPARE(f.windows.frmMain.LstJobAudio(0).itemData(1), 1);
        QCOMPARE(resets.count(), 0);
    }

    void theGainColumnShowsTheModeOrWhatTheJobLeavesOut() {
        Fixture f;
        f.queue.update(1, [](jobs::Job& job) { job.gain = "Loudness -16 LUFS / -1 dBTP"; });
        f.queue.update(3, [](jobs::Job& job) { job.notApplied = "Boost, Sample Rate"; });
        Model model(f.queue, f.pace, nullptr);
        QCOMPARE(Cell(model, 0, Model::Gain), QString("Loudness -16 LUFS / -1 dBTP"));
        QCOMPARE(Cell(model, 1, Model::Gain), QString());
        QCOMPARE(Cell(model, 2, Model::Gain), QString("not applied: Boost, Sample Rate"));
        QVERIFY(Cell(model, 2, Model::Gain, Qt::ToolTipRole).contains("not AC3"));
    }

    // Done jobs leave the queue when their run ends; the table keeps them, greyed, with what the
    // transcoder measured, until the next run starts.
    void finishedJobsStayGreyedWithTheirReportUntilTheNextRun() {
        Fixture f;
        QWidget container;
        ui::qt::JobTableBinding binding(f.windows.frmMain.LstJobAudio(0), container, f.queue,
                                        f.pace);
        Model& model = binding.model();
        for (const int number : {1, 3}) {
            f.queue.update(number, [](jobs::Job& job) {
                job.status = jobs::JobStatus::Done;
                job.percent = 100;
                job.sound = jobs::SoundReport{-1.0, -0.8, -18.0, 6.0, 0};
            });
        }
        f.queue.update(2, [](jobs::Job& job) { job.status = jobs::JobStatus::Failed; });
        f.queue.removeIf([](const jobs::Job& job) { return job.status == jobs::JobStatus::Done; });
        QCOMPARE(f.queue.count(), 2);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.finishedCount(), 2);
        QCOMPARE(Cell(model, 0, Model::Output), QString("Stream1.mp3"));
        QCOMPARE(Cell(model, 1, Model::Output), QString("Stream3.wav"));
        QCOMPARE(Cell(model, 1, Model::Status), QString("done, -18.0 LUFS, true peak -0.8 dBTP"));
        QCOMPARE(model.flags(model.index(0, Model::Source)), Qt::NoItemFlags);
        QVERIFY(model.flags(model.index(2, Model::Source)) & Qt::ItemIsSelectable);
        QCOMPARE(Cell(model, 2, Model::Output), QString("Stream2.ogg"));

        // The selection of the list box is the job's row below the finished ones.
        f.queue.select(1);
        QCOMPARE(binding.view().currentIndex().row(), 3);
        binding.view().setCurrentIndex(model.index(2, Model::Target));
        QCOMPARE(f.windows.frmMain.LstJobAudio(0).listIndex(), 0);
        f.queue.update(4, [](jobs::Job& job) { job.status = jobs::JobStatus::Queued; });
        QCOMPARE(Cell(model, 3, Model::Status), QString("queued"));

        // A job deleted that was not done just goes.
        f.queue.remove(1);
        QCOMPARE(model.rowCount(), 3);
        f.queue.update(2, [](jobs::Job& job) { job.status = jobs::JobStatus::Running; });
        QCOMPARE(model.finishedCount(), 0);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(Cell(model, 0, Model::Status), QString("running 0%"));
        QCOMPARE(binding.view().currentIndex().row(), 0);
    }

    void columnsFitTheirTextAndWidthsTheUserGaveAreKept() {
        TempFolder config;
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.Path().string()));
        Fixture f;
        jobs::Job wide = MakeJob(5, ui::Codec::Ogg, 160, "A rather long output name.ogg");
        wide.target = "Ogg VBR ~160 kbit/s (q 0.525)";
        wide.channels = "5.1 \u2192 2.0";
        f.queue.append(wide);
        QWidget container;
        {
            ui::qt::JobTableBinding binding(f.windows.frmMain.LstJobAudio(0), container, f.queue,
                                            f.pace);
            QTreeView& view = binding.view();
            const QFontMetrics metrics = view.fontMetrics();
            for (const int column : {Model::Target, Model::Output}) {
                QVERIFY2(view.header()->sectionSize(column) >=
                             metrics.horizontalAdvance(Cell(binding.model(), 4, column)),
                         qPrintable(Cell(binding.model(), 4, column)));
            }
            // A status that grows widens its column.
            const int statusWidth = view.header()->sectionSize(Model::Status);
            f.queue.update(2, [](jobs::Job& job) {
                job.status = jobs::JobStatus::Failed;
                job.reason = "the transcoder failed (exit status 3): no room left on the disk";
            });
            QVERIFY(view.header()->sectionSize(Model::Status) > statusWidth);
            // As a drag of the header's edge does.
            view.header()->resizeSection(Model::Source, 333);
        }
        ui::qt::JobTableBinding again(f.windows.frmMain.LstJobAudio(0), container, f.queue, f.pace);
        QCOMPARE(again.view().header()->sectionSize(Model::Source), 333);
        qunsetenv("XDG_CONFIG_HOME");
    }

    // A new job comes into view at the bottom; the table scrolls up and down only.
    void aNewRowScrollsIntoViewAndNothingScrollsSideways() {
        Fixture f;
        QWidget container;
        ui::qt::JobTableBinding binding(f.windows.frmMain.LstJobAudio(0), container, f.queue,
                                        f.pace);
        QTreeView& view = binding.view();
        view.resize(160, 120);
        container.show();
        QVERIFY(QTest::qWaitForWindowExposed(&container));
        QScrollBar& sideways = *view.horizontalScrollBar();
        QVERIFY(sideways.maximum() > 0);
        sideways.setValue(sideways.maximum() / 2);
        const int left = sideways.value();
        for (int number = 5; number < 30; ++number) {
            f.queue.append(
                MakeJob(number, ui::Codec::Mp3, 128, "Stream" + std::to_string(number) + ".mp3"));
        }
        QCoreApplication::processEvents();
        const QRect last = view.visualRect(binding.model().index(28, Model::Source));
        QVERIFY(last.top() >= 0 && last.bottom() < view.viewport()->height());
        QCOMPARE(sideways.value(), left);
        f.queue.update(29, [](jobs::Job& job) { job.status = jobs::JobStatus::Running; });
        QCOMPARE(sideways.value(), left);
    }

    void timeLeftReadsAsHoursMinutesAndSeconds() {
        using std::chrono::seconds;
        QCOMPARE(ui::qt::TimeLeftText(seconds(0)), QString("0:00 left"));
        QCOMPARE(ui::qt::TimeLeftText(seconds(245)), QString("4:05 left"));
        QCOMPARE(ui::qt::TimeLeftText(seconds(3723)), QString("1:02:03 left"));
    }
};

QTEST_MAIN(JobTableTest)
#include "job_table_test.moc"
