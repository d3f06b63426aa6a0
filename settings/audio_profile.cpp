#include "settings/audio_profile.h"

#include "settings/atomic_write.h"
#include "settings/audio_profile_keys.h"
#include "settings/ini_file.h"
#include "settings/ini_lines.h"
#include "settings/regular_file.h"
#include "ui/control_properties.h"
#include "ui/typed_fields.h"
#include "ui/windows.h"

#include <optional>

namespace cantova::settings {

namespace {

const ui::Window& WindowOf(const ui::Windows& windows, ProfileWindow which) {
    if (which == ProfileWindow::Main) {
        return windows.frmMain;
    }
    return windows.frmPanelAudio;
}

constexpr std::string_view kTrackSection = "SOURCE";
constexpr std::string_view kTrackKey = "TRACK";

// The reader drops blanks around a value and one pair of enclosing quotes; a text that would
// lose characters that way is stored inside one more pair of quotes.
std::string StoredText(const std::string& text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted = text.size() >= 2 && text.front() == '"' && text.back() == '"';
    if (!text.empty() && (blank(text.front()) || blank(text.back()) || quoted)) {
        return '"' + text + '"';
    }
    return text;
}

std::optional<std::string> ValueOf(const ui::Windows& windows, const ProfileKey& row,
                                   ui::JobKind jobKind) {
    switch (row.value) {
    case ProfileValue::JobKind:
        return std::to_string(ui::NumberOf(jobKind));
    case ProfileValue::Codec:
        return std::string(CodecName(windows.frmMain.OptAudioCodec.chosen()));
    default:
        break;
    }
    const ui::Control* control = WindowOf(windows, row.window).find(std::string(row.control));
    if (control == nullptr) {
        return std::nullopt;
    }
    if (const auto* box = dynamic_cast<const ui::CheckBox*>(control)) {
        return std::to_string(box->value());
    }
    if (const auto* editable = dynamic_cast<const ui::EditableComboBox*>(control)) {
        return StoredText(editable->text());
    }
    if (const auto* list = dynamic_cast<const ui::ComboBox*>(control)) {
        return std::to_string(list->listIndex());
    }
    if (const auto* text = dynamic_cast<const ui::TextBox*>(control)) {
        return StoredText(text->text());
    }
    return std::nullopt;
}

// The output folder is stored only when it is set: files without it mean "beside the source".
bool IsOutputFolder(const ProfileKey& row) {
    return row.section == "OUTPUT";
}

bool Written(const ProfileKey& row, ui::JobKind jobKind, std::string_view codec) {
    return (row.codec.empty() || row.codec == codec) && SectionHeldForJobKind(row.section, jobKind);
}

class ProfileReader {
public:
    ProfileReader(ui::Windows& windows, std::string content)
        : windows_(windows), content_(std::move(content)), lines_(SplitIniLines(content_)) {}

    std::string read(const ProfileKey& row) const {
        return IniValueIn(lines_, std::string(row.section), std::string(row.key));
    }
    std::string readTrack() const {
        return IniValueIn(lines_, std::string(kTrackSection), std::string(kTrackKey));
    }
    bool present(const ProfileKey& row) const {
        return LocateIniKey(lines_, row.section, row.key).keyLine.has_value();
    }
    void skip(const ProfileKey& row) {
        result.skippedKeys.push_back(std::string(row.section) + "/" + std::string(row.key));
    }

    // Writes the stored value into the row's control, or skips the row.
    void apply(const ProfileKey& row) {
        ui::Control* control = WindowOf(windows_, row.window).find(std::string(row.control));
        if (control == nullptr) {
            skip(row);
            return;
        }
        if (row.value == ProfileValue::Text) {
            if (IsOutputFolder(row) && !present(row)) {
                dynamic_cast<ui::TextBox&>(*control).setText("");
                return;
            }
            if (!present(row) && row.textWhenMissing.empty()) {
                skip(row);
                return;
            }
            const std::string value = present(row) ? read(row) : std::string(row.textWhenMissing);
            // Whether a number suits the transcoder is checked where it is used (Add, paste): a
            // profile also holds the texts of fields the settings leave unused.
            if (ui::IsTypedField(row.control) && ui::TypedTextProblem(value)) {
                skip(row);
                return;
            }
            if (auto* editable = dynamic_cast<ui::EditableComboBox*>(control)) {
                editable->setText(value);
            } else if (auto* text = dynamic_cast<ui::TextBox*>(control)) {
                text->setText(value);
            } else {
                skip(row);
            }
            return;
        }
        const std::optional<int> number = ui::ParseDecimal(read(row));
        auto* box = dynamic_cast<ui::CheckBox*>(control);
        auto* list = dynamic_cast<ui::ComboBox*>(control);
        if (number && row.value == ProfileValue::Check && box != nullptr && *number >= 0 &&
            *number <= 1) {
            box->setValue(*number);
        } else if (number && row.value == ProfileValue::ListIndex && list != nullptr &&
                   *number >= -1 && *number < list->listCount()) {
            list->setListIndex(*number);
        } else {
            skip(row);
        }
    }

    AudioProfileLoad result;

private:
    ui::Windows& windows_;
    std::string content_;
    std::vector<IniLine> lines_;
};

const ProfileKey& Row(std::string_view section, std::string_view key, std::string_view codec) {
    for (const ProfileKey& row : ProfileKeys()) {
        if (row.section == section && row.key == key && row.codec == codec) {
            return row;
        }
    }
    return ProfileKeys().front();
}

std::string ReadProblem(RegularFileRead::Status status) {
    switch (status) {
    case RegularFileRead::Status::Read:
        return {};
    case RegularFileRead::Status::CannotOpen:
        return "it is missing or cannot be opened";
    case RegularFileRead::Status::NotARegularFile:
        return "it is not an ordinary file";
    case RegularFileRead::Status::TooLarge:
        return "it is larger than a profile can be (1 MiB)";
    }
    return {};
}

} // namespace

std::optional<std::string> AudioProfileText(const ui::Windows& windows, ui::JobKind jobKind) {
    const std::string_view codec = CodecName(windows.frmMain.OptAudioCodec.chosen());
    std::vector<IniEntry> entries;
    for (const ProfileKey& row : ProfileKeys()) {
        if (!Written(row, jobKind, codec)) {
            continue;
        }
        const std::optional<std::string> value = ValueOf(windows, row, jobKind);
        if (!value) {
            return std::nullopt;
        }
        if (IsOutputFolder(row) && value->empty()) {
            continue;
        }
        entries.push_back({std::string(row.section), std::string(row.key), *value});
    }
    // The track of a container source, from 1, is stored only for such a source.
    if (const int track = windows.frmMain.ChosenSourceTrack(); track > 0) {
        entries.push_back(
            {std::string(kTrackSection), std::string(kTrackKey), std::to_string(track)});
    }
    bool complete = false;
    std::string text = FormatIniFile(entries, &complete);
    if (!complete) {
        return std::nullopt;
    }
    return text;
}

bool SaveAudioProfile(const ui::Windows& windows, const std::string& path, ui::JobKind jobKind) {
    const std::optional<std::string> text = AudioProfileText(windows, jobKind);
    return text && ReplaceFileAtomically(path, *text);
}

AudioProfileLoad LoadAudioProfile(ui::Windows& windows, const std::string& path) {
    RegularFileRead file = ReadRegularFile(path, kMaxSettingsFileSize);
    if (file.status != RegularFileRead::Status::Read) {
        AudioProfileLoad unread;
        unread.problem = ReadProblem(file.status);
        return unread;
    }
    return ApplyAudioProfileText(windows, std::move(file.content));
}

AudioProfileLoad ApplyAudioProfileText(ui::Windows& windows, std::string text) {
    ProfileReader reader(windows, std::move(text));
    reader.result.readable = true;
    ui::MainWindow& main = windows.frmMain;

    // The track first, so that the target stored below stays chosen whatever the track's
    // reaction does. It applies only to a container source that has such a track: a profile
    // made for another source leaves the chosen track as it is.
    const std::optional<int> track = ui::ParseDecimal(reader.readTrack());
    if (track && windows.program.SourceIsContainer && *track >= 1 &&
        *track <= main.CmbSourceTrack.listCount()) {
        main.CmbSourceTrack.setListIndex(*track - 1);
    }

    // The codec first: its reaction refills the lists and resets the panel.
    const ProfileKey& codecRow = Row("SETTING", "CODEC", "");
    const std::string codec = reader.read(codecRow);
    int choice = -1;
    for (int i = 0; !CodecName(i).empty(); ++i) {
        if (CodecName(i) == codec) {
            choice = i;
        }
    }
    if (choice < 0) {
        reader.skip(codecRow);
    } else {
        main.OptAudioCodec[choice].setValue(true);
        if (codec == "WAV") {
            reader.apply(Row("WAVMODE", "NBRCHANNEL", "WAV"));
        }
    }
    reader.apply(Row("SETTING", "BITRATE", ""));
    if (codec == "MP3" || codec == "OGG") {
        reader.apply(Row("SETTING", "MODE", codec));
    }

    const ProfileKey& panelRow = Row("SETTING", "PANEL", "");
    const std::optional<int> number = ui::ParseDecimal(reader.read(panelRow));
    const std::optional<ui::JobKind> jobKind =
        number ? ui::JobKindFromNumber(*number) : std::nullopt;
    if (!jobKind) {
        reader.skip(panelRow);
    }
    reader.result.jobKind = jobKind;
    for (const ProfileKey& row : ProfileKeys()) {
        if (row.section == "SETTING" || row.section == "WAVMODE" ||
            !SectionHeldForJobKind(row.section, jobKind)) {
            continue;
        }
        reader.apply(row);
    }
    return reader.result;
}

} // namespace cantova::settings
