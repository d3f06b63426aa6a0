#include "gui/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace cantova::ui::qt {

namespace {

QString Jobs(int count) {
    return count == 1 ? QString("1 job") : QString("%1 jobs").arg(count);
}

struct NotificationText {
    QString summary;
    QString body;
};

// What the notification says about a run with that many jobs done and not done.
NotificationText RunEndedText(int doneJobs, int unfinishedJobs) {
    if (unfinishedJobs == 0) {
        return {"Cantova: " + Jobs(doneJobs) + " done", "The run has ended; every job was done."};
    }
    return {QString("Cantova: %1 done, %2 not done").arg(doneJobs).arg(unfinishedJobs),
            Jobs(unfinishedJobs) + (unfinishedJobs == 1 ? " was" : " were") +
                " not done: failed, stopped, skipped or not started."};
}

} // namespace

void DesktopNotifier::RunEnded(int doneJobs, int unfinishedJobs) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    const NotificationText text = RunEndedText(doneJobs, unfinishedJobs);
    QDBusMessage notify = QDBusMessage::createMethodCall("org.freedesktop.Notifications",
                                                         "/org/freedesktop/Notifications",
                                                         "org.freedesktop.Notifications", "Notify");
    // Application name, id to replace (none), icon, summary, body, actions, hints, timeout (the
    // server's default).
    notify << QString("CantovaGUI") << 0u << QString() << text.summary << text.body << QStringList()
           << QVariantMap() << -1;
    // Sent without waiting: the answer (the notification's id, or an error) is of no use.
    bus.send(notify);
}

} // namespace cantova::ui::qt
