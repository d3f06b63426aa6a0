#include "gui/command_lines_window.h"

#include "gui/window_placement.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace cantova::ui::qt {

namespace {

QString JoinedProblems(const std::vector<std::string>& problems) {
    QStringList texts;
    for (const std::string& problem : problems) {
        texts.append(QString::fromStdString(problem));
    }
    return texts.join('\n');
}

} // namespace

CommandLinesWindow::CommandLinesWindow(const jobs::CommandLines& commandLines,
                                       jobs::Clipboard& clipboard, QWidget* owner)
    : QDialog(owner), commandLines_(commandLines), clipboard_(clipboard),
      list_(new QListWidget(this)), status_(new QLabel(this)) {
    setObjectName("CommandLines");
    setWindowTitle(tr("Command Lines"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list_->setWordWrap(false);
    status_->setWordWrap(true);

    auto* copyButtons = new QHBoxLayout;
    const auto addCopy = [&](const QString& text, const char* name, cmdline::CommandForm form) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, form] { copy(form); });
        copyButtons->addWidget(button);
    };
    addCopy(tr("Copy &Lines"), "CopyLines", cmdline::CommandForm::Line);
    addCopy(tr("Copy as &Shell Commands"), "CopyShell", cmdline::CommandForm::Shell);
    addCopy(tr("Copy as &JSON"), "CopyJson", cmdline::CommandForm::Json);
    copyButtons->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* refreshButton = buttons->addButton(tr("&Refresh"), QDialogButtonBox::ActionRole);
    connect(refreshButton, &QPushButton::clicked, this, &CommandLinesWindow::refresh);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Each job's command line as the transcoder receives it. The "
                                    "buttons copy the selected lines, or all of them."),
                                 this));
    layout->addWidget(list_);
    layout->addLayout(copyButtons);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    FitDialogToScreen(*this, QSize(900, 360));
}

void CommandLinesWindow::refresh() {
    listing_ = commandLines_.List();
    list_->clear();
    for (const jobs::ListedCommand& command : listing_.commands) {
        auto* item = new QListWidgetItem(QString::fromStdString(command.line), list_);
        item->setToolTip(QString::fromStdString(command.label));
    }
    status_->setText(JoinedProblems(listing_.problems));
}

void CommandLinesWindow::copy(cmdline::CommandForm form) {
    jobs::CommandListing chosen{{}, {}};
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->selectedItems().isEmpty() || list_->item(row)->isSelected()) {
            chosen.commands.push_back(listing_.commands[static_cast<std::size_t>(row)]);
        }
    }
    const jobs::CommandListing converted = jobs::InForm(chosen, form);
    std::vector<std::string> lines;
    for (const jobs::ListedCommand& command : converted.commands) {
        lines.push_back(command.line);
    }
    if (!lines.empty()) {
        clipboard_.CopyLines(lines);
    }
    status_->setText(converted.problems.empty()
                         ? tr("%n line(s) copied.", nullptr, static_cast<int>(lines.size()))
                         : JoinedProblems(converted.problems));
}

} // namespace cantova::ui::qt
