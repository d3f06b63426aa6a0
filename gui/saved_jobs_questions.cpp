#include "gui/saved_jobs_questions.h"

#include "gui/window_placement.h"
#include "jobs/job_files.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace cantova::ui::qt {

using jobs::FileNamePart;

namespace {

// A question box that deletes itself once answered; nothing waits for it.
QMessageBox* OpenQuestion(QWidget* owner, const QString& caption, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Question, caption, text, QMessageBox::NoButton, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    return box;
}

QString JobsText(int jobs) {
    return jobs == 1 ? QStringLiteral("1 job") : QStringLiteral("%1 jobs").arg(jobs);
}

} // namespace

void QtExitQuestion::AskAboutJobs(int jobs, bool running,
                                  std::function<void(app::ExitChoice)> answer) {
    const QString counted = JobsText(jobs) + (jobs == 1 ? " is" : " are");
    QMessageBox* box = OpenQuestion(
        owner_, QStringLiteral("Exit"),
        running ? QStringLiteral("Jobs are still running, and Exit stops the run first. %1 not "
                                 "done: keep them for the next start (a stopped job starts "
                                 "again from its beginning), or discard them and their settings "
                                 "files?")
                      .arg(counted)
                : QStringLiteral("%1 in the list. Keep them for the next start, or discard them "
                                 "and their settings files?")
                      .arg(counted));
    QPushButton* keep =
        box->addButton(QStringLiteral("&Keep for Next Start"), QMessageBox::AcceptRole);
    QPushButton* discard = box->addButton(QStringLiteral("&Discard"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(QMessageBox::Cancel);
    keep->setObjectName("KeepJobs");
    discard->setObjectName("DiscardJobs");
    box->setDefaultButton(keep);
    box->setEscapeButton(cancel);
    QObject::connect(box, &QMessageBox::finished, box, [box, keep, discard, answer] {
        const QAbstractButton* clicked = box->clickedButton();
        answer(clicked == keep      ? app::ExitChoice::Keep
               : clicked == discard ? app::ExitChoice::Discard
                                    : app::ExitChoice::Cancel);
    });
    box->open();
}

app::ExitChoice QtExitQuestion::TellNotKept(int jobs, const std::string& why) {
    auto* box = new QMessageBox(
        QMessageBox::Warning, QStringLiteral("Exit"),
        QStringLiteral("The %1 could not be kept for the next start (%2). %3 still in the list: "
                       "Exit again to discard them, or make room and keep them then.")
            .arg(jobs == 1 ? QStringLiteral("job") : JobsText(jobs), QString::fromStdString(why),
                 jobs == 1 ? QStringLiteral("It is") : QStringLiteral("They are")),
        QMessageBox::Ok, owner_);
    box->setObjectName("JobsNotKept");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
    return app::ExitChoice::Cancel;
}

void AskOutputFolder(QWidget* owner, const std::string& source,
                     std::function<void(std::string)> chosen) {
    auto* dialog = new QFileDialog(
        owner, QStringLiteral("The folder of %1 cannot be written: choose an output folder")
                   .arg(QString::fromStdString(FileNamePart(source))));
    dialog->setObjectName("OutputFolderDialog");
    FitDialogToScreen(*dialog, dialog->sizeHint());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, chosen](int result) {
        const QStringList folders = dialog->selectedFiles();
        chosen(result == QDialog::Accepted && !folders.isEmpty() ? folders.front().toStdString()
                                                                 : std::string());
    });
    dialog->open();
}

void OfferLeftJobs(QWidget* owner, app::Program& program) {
    if (!program.keeper || program.keeper->leftJobCount() == 0) {
        return;
    }
    const int jobs = program.keeper->leftJobCount();
    QMessageBox* box = OpenQuestion(
        owner, QStringLiteral("Jobs of an Earlier Session"),
        QStringLiteral("%1 of an earlier session %2 not done (the program ended before it could "
                       "run them, or they were kept at Exit). Take them back into the job list?")
            .arg(JobsText(jobs), jobs == 1 ? "is" : "are"));
    QPushButton* takeBack = box->addButton(QStringLiteral("&Take Back"), QMessageBox::AcceptRole);
    QPushButton* discard = box->addButton(QStringLiteral("&Discard"), QMessageBox::DestructiveRole);
    QPushButton* later = box->addButton(QStringLiteral("&Later"), QMessageBox::RejectRole);
    takeBack->setObjectName("TakeBackJobs");
    discard->setObjectName("DiscardJobs");
    box->setDefaultButton(takeBack);
    box->setEscapeButton(later);
    QObject::connect(box, &QMessageBox::finished, box, [box, takeBack, discard, &program] {
        if (box->clickedButton() == takeBack) {
            program.TakeBackLeftJobs();
        } else if (box->clickedButton() == discard) {
            program.keeper->DiscardLeft();
        }
    });
    box->open();
}

} // namespace cantova::ui::qt
