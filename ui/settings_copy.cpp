#include "ui/settings_copy.h"

#include "ui/windows.h"

namespace cantova::ui {

namespace {

void CopyControl(const Control& from, Control& to) {
    to.setEnabled(from.enabled());
    to.setCaption(from.caption());
    if (const auto* box = dynamic_cast<const CheckBox*>(&from)) {
        static_cast<CheckBox&>(to).restoreValue(box->value());
    } else if (const auto* list = dynamic_cast<const ItemList*>(&from)) {
        static_cast<ItemList&>(to).restoreItems(list->items(), list->listIndex());
    } else if (const auto* text = dynamic_cast<const TextBox*>(&from)) {
        static_cast<TextBox&>(to).setText(text->text());
    }
    if (const auto* editable = dynamic_cast<const EditableComboBox*>(&from)) {
        static_cast<EditableComboBox&>(to).restoreText(editable->text());
    }
}

void CopyWindow(const Window& from, Window& to) {
    for (const Control* control : from.controls()) {
        const ControlKind kind = control->kind();
        if (kind == ControlKind::ListBox || kind == ControlKind::Frame ||
            kind == ControlKind::Menu) {
            continue;
        }
        Control* target = to.find(control->qualifiedName());
        if (target == nullptr || target->kind() != kind) {
            continue;
        }
        if (kind == ControlKind::OptionButton) {
            OptionArray& array = *to.findOptionArray(control->name());
            array.restoreChoice(from.findOptionArray(control->name())->chosen());
        }
        CopyControl(*control, *target);
    }
}

} // namespace

void CopySettings(const Windows& from, Windows& to) {
    to.program.Ac3Channels = from.program.Ac3Channels;
    to.program.Ac3Frequency = from.program.Ac3Frequency;
    to.frmMain.BitRateAC3 = from.frmMain.BitRateAC3;
    to.frmPanelAudio.SavePreviousAltPresetListIndex =
        from.frmPanelAudio.SavePreviousAltPresetListIndex;
    to.frmPanelAudio.isKeyDown = from.frmPanelAudio.isKeyDown;
    CopyWindow(from.frmMain, to.frmMain);
    CopyWindow(from.frmPanelAudio, to.frmPanelAudio);
}

} // namespace cantova::ui
