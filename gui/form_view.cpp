#include "gui/form_view.h"

#include "gui/button_bindings.h"
#include "gui/form_scale.h"
#include "gui/frame_box.h"
#include "gui/list_bindings.h"
#include "gui/text_bindings.h"

#include <stdexcept>

namespace cantova::ui::qt {

namespace {

std::string QualifiedName(const ControlRow& row) {
    if (row.index < 0) {
        return row.name;
    }
    return row.name + "(" + std::to_string(row.index) + ")";
}

template <typename T> T& ModelControl(const Window& window, const std::string& name) {
    auto* control = dynamic_cast<T*>(window.find(name));
    if (control == nullptr) {
        throw std::logic_error(window.name() + " has no control " + name + " for its view");
    }
    return *control;
}

} // namespace

FormView::FormView(Window& window, QWidget* parent, const BindingFactories& factories)
    : QWidget(parent), window_(window) {
    setFont(FormFont());
    for (const ControlRow& row : window.form().controls) {
        build(row, factories);
    }
    placeTitleControls();
}

FormView::~FormView() = default;

QWidget* FormView::widgetOf(const std::string& qualifiedName) const {
    auto it = widgets_.find(qualifiedName);
    return it == widgets_.end() ? nullptr : it->second;
}

void FormView::build(const ControlRow& row, const BindingFactories& factories) {
    if (row.kind == ControlKind::Menu) {
        return;
    }
    const std::string name = QualifiedName(row);
    QWidget& parent = containerOf(row);
    std::unique_ptr<WidgetBinding> binding;
    if (const auto factory = factories.find(name); factory != factories.end()) {
        binding = factory->second(ModelControl<Control>(window_, name), parent);
        widgets_[name] = &binding->widget();
        bindings_.push_back(std::move(binding));
        return;
    }
    switch (row.kind) {
    case ControlKind::CheckBox:
        binding = std::make_unique<CheckBoxBinding>(ModelControl<CheckBox>(window_, name), parent);
        break;
    case ControlKind::OptionButton:
        binding = std::make_unique<OptionBinding>(ModelControl<OptionButton>(window_, name),
                                                  groupOf(row.name), parent);
        break;
    case ControlKind::ComboBox:
        binding = std::make_unique<ComboBinding>(ModelControl<ComboBox>(window_, name), parent);
        break;
    case ControlKind::EditableComboBox:
        binding = std::make_unique<EditableComboBinding>(
            ModelControl<EditableComboBox>(window_, name), parent);
        break;
    case ControlKind::TextBox:
        binding = std::make_unique<TextBinding>(ModelControl<TextBox>(window_, name), parent);
        break;
    case ControlKind::Label:
        binding = std::make_unique<LabelBinding>(ModelControl<Label>(window_, name), parent);
        break;
    case ControlKind::Button:
        binding = std::make_unique<ButtonBinding>(ModelControl<Button>(window_, name), parent);
        break;
    case ControlKind::ListBox:
        binding = std::make_unique<ListBoxBinding>(ModelControl<ListBox>(window_, name), parent);
        break;
    case ControlKind::Frame: {
        auto frame = std::make_unique<FrameBinding>(ModelControl<Frame>(window_, name), parent);
        frames_[name] = frame.get();
        binding = std::move(frame);
        break;
    }
    case ControlKind::Menu:
        return;
    }
    widgets_[name] = &binding->widget();
    bindings_.push_back(std::move(binding));
}

QWidget& FormView::containerOf(const ControlRow& row) {
    if (row.container.empty()) {
        return *this;
    }
    auto it = frames_.find(row.container);
    if (it == frames_.end()) {
        throw std::logic_error(row.name + " lies in " + row.container +
                               ", which the form does not list before it");
    }
    return it->second->box();
}

QButtonGroup& FormView::groupOf(const std::string& arrayName) {
    QButtonGroup*& group = groups_[arrayName];
    if (group == nullptr) {
        group = new QButtonGroup(this);
        group->setExclusive(false);
    }
    return *group;
}

// A frame without a caption whose check box sits on its top edge shows that
// check box as its title.
void FormView::placeTitleControls() {
    for (const auto& [frameName, frame] : frames_) {
        if (!frame->box().caption().isEmpty()) {
            continue;
        }
        for (Control* control : window_.controls()) {
            if (control != nullptr && control->container() == frameName &&
                control->kind() == ControlKind::CheckBox && control->geometry().top == 0) {
                frame->box().setTitleWidget(widgetOf(control->qualifiedName()));
                break;
            }
        }
    }
}

} // namespace cantova::ui::qt
