#include "app/batch_session.h"

namespace cantova::app {

void PrintedMessageBoxes::Show(const std::string& text, const std::string& caption,
                               ui::MessageIcon) {
    out_ << "message: " << caption << ": " << text << '\n';
}

bool PrintedMessageBoxes::Ask(const std::string& text, const std::string& caption) {
    out_ << "message: " << caption << ": " << text << '\n';
    return false;
}

BatchSession::BatchSession(std::ostream& out, bool dryRun) : out(out), dryRun(dryRun) {
    windows.frmMain.Form_Load();
}

} // namespace cantova::app
