// The notification at the end of a run, sent to a notification service on a private session bus
// that the test starts; and a run on a machine without a session bus, which ends as before.

#include "gui/desktop_notifier.h"
#include "gui/gui_program.h"
#include "settings/file_dialogs.h"

#include "support/temp_folder.h"
#include "tests/gui/temp_home.h"

#include <QDBusConnection>
#include <QProcess>
#include <QtTest>

#include <filesystem>
#include <memory>

using namespace cantova;

// Stands in for the desktop's notification service: keeps what it is asked to show.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown {
        QString application, summary, body;
    };
    std::vector<Shown> shown;

public slots:
    uint Notify(const QString& application, uint, const QString&, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap&, int) {
        shown.push_back({application, summary, body});
        return static_cast<uint>(shown.size());
    }
};

namespace {

// A session bus of the test's own, gone with the object.
class PrivateBus {
public:
    explicit PrivateBus(const std::string& folder) {
        const std::string config = folder + "/bus.conf";
        WriteText(config, "<busconfig><type>session</type><listen>unix:dir=" + folder +
                              "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                              "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                              "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>");
        daemon_.start("dbus-daemon", {"--config-file=" + QString::fromStdString(config),
                                      "--print-address", "--nofork"});
        if (daemon_.waitForReadyRead(10000)) {
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        }
    }
    ~PrivateBus() {
        daemon_.kill();
        daemon_.waitForFinished();
    }
    const QString& address() const { return address_; }

private:
    QProcess daemon_;
    QString address_;
};

struct Gui {
    Gui() {
        windows.program.TranscoderPath = CANTOVA_RECORDING_TRANSCODER;
        program.show();
    }
    void addAndStart(const std::string& source, int jobs) {
        QVERIFY(program.program().sources.Select(source));
        for (int i = 0; i < jobs; ++i) {
            program.program().jobList.AddJob();
        }
        program.program().runner.Start();
    }
    settings::ScriptedFileDialogs dialogs;
    ui::qt::GuiProgram program{&dialogs};
    ui::Windows& windows = program.windows();
};

} // namespace

class DesktopNotifierTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        temp = TempFolderAsHome();
        source = temp->File("film.mpa");
        WriteText(source, "stream");
    }
    void cleanup() { temp.reset(); }

    void theEndOfARunIsNotifiedWithItsCounts() {
        PrivateBus bus(temp->Path().string());
        QVERIFY2(!bus.address().isEmpty(), "dbus-daemon started");
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
        FakeNotifications service;
        QDBusConnection serviceSide = QDBusConnection::connectToBus(bus.address(), "service");
        QVERIFY(serviceSide.registerObject("/org/freedesktop/Notifications", &service,
                                           QDBusConnection::ExportAllSlots));
        QVERIFY(serviceSide.registerService("org.freedesktop.Notifications"));

        qputenv("CANTOVA_TEST_FAIL_OUTPUT", "Stream3");
        Gui gui;
        gui.addAndStart(source, 3);
        QTRY_COMPARE_WITH_TIMEOUT(service.shown.size(), std::size_t{1}, 10000);
        QCOMPARE(service.shown[0].application, QString("CantovaGUI"));
        QCOMPARE(service.shown[0].summary, QString("Cantova: 2 done, 1 not done"));
        QVERIFY(service.shown[0].body.startsWith("1 job was not done"));

        qunsetenv("CANTOVA_TEST_FAIL_OUTPUT");
        gui.program.program().runner.RetryFailed();
        QTRY_COMPARE_WITH_TIMEOUT(service.shown.size(), std::size_t{2}, 10000);
        QCOMPARE(service.shown[1].summary, QString("Cantova: 1 job done"));
        QDBusConnection::disconnectFromBus("service");
    }

    void withoutASessionBusARunEndsAsBefore() {
        qputenv("DBUS_SESSION_BUS_ADDRESS",
                QByteArray::fromStdString("unix:path=" + temp->File("no-bus")));
        Gui gui;
        gui.addAndStart(source, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!gui.program.program().runner.InProgress(), 10000);
        QCOMPARE(gui.program.program().queue.count(), 0);
    }

private:
    std::unique_ptr<TempFolder> temp;
    std::string source;
};

QTEST_MAIN(DesktopNotifierTest)
#include "desktop_notifier_test.moc"
