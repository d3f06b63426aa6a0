#pragma once

// A window model built from its form: owns every control, keeps them in form
// order and finds them by name. Window-level state (caption, outer size,
// visibility) is observable like a control's.

#include "ui/control.h"
#include "ui/form.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace cantova::ui {

enum class WindowChange { Visible, Size, Caption };

class Window {
public:
    using Observer = std::function<void(WindowChange)>;

    explicit Window(const FormTable& form);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() = default;

    const FormTable& form() const { return form_; }
    const std::string& name() const { return form_.name; }
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

    bool visible() const { return visible_; }
    void show();
    void hide();

    // Outer size in twips; starts as the design client area.
    int width() const { return width_; }
    int height() const { return height_; }
    void setSize(int width, int height);

    // Every control in form order (array elements created later come last).
    const std::vector<Control*>& controls() const { return order_; }
    // By qualified name ("ChkUseBoost", "OptAudioCodec(2)"); nullptr when unknown.
    Control* find(const std::string& qualifiedName) const;
    OptionArray* findOptionArray(const std::string& name) const;

    // Views subscribe to learn about window changes; the returned id unsubscribes.
    int subscribe(Observer observer);
    void unsubscribe(int id);

protected:
    CheckBox& checkBox(const std::string& name) const;
    ComboBox& comboBox(const std::string& name) const;
    EditableComboBox& editableComboBox(const std::string& name) const;
    TextBox& textBox(const std::string& name) const;
    Label& label(const std::string& name) const;
    Button& button(const std::string& name) const;
    Frame& frame(const std::string& name) const;
    ListBox& listBox(const std::string& qualifiedName) const;
    OptionArray& optionArray(const std::string& name) const;

    // Creates a further element of a list box array, hidden, at the geometry of element 0.
    ListBox& addListBoxElement(const std::string& name, int index);
    void removeListBoxElement(const std::string& name, int index);

private:
    template <typename T> T& typed(const std::string& qualifiedName) const;
    void build(const ControlRow& row);
    void adopt(std::unique_ptr<Control> control, const ControlRow& row);
    void notify(WindowChange change);

    const FormTable& form_;
    std::string caption_;
    bool visible_ = false;
    int width_;
    int height_;
    std::vector<std::unique_ptr<Control>> owned_;
    std::map<std::string, std::unique_ptr<OptionArray>> optionArrays_;
    std::vector<Control*> order_;
    std::map<std::string, Control*> byName_;
    std::vector<std::pair<int, Observer>> observers_;
    int nextObserverId_ = 1;
};

} // namespace cantova::ui
