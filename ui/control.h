#pragma once

// The control model: every control of a window owns its value, enabled and
// visible state, caption, items and geometry. Assigning a value runs the
// control's reaction at once, but only when the value really changes (the
// cascade rule); enabling, disabling and captions run nothing.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cantova::ui {

enum class ControlKind {
    CheckBox,
    OptionButton,
    ComboBox,
    EditableComboBox,
    TextBox,
    Label,
    Button,
    ListBox,
    Frame,
    Menu,
};

// Left, top, width and height in twips, relative to the container.
struct Geometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Geometry&) const = default;
};

// What changed, so that a view can refresh only that part of its widget.
enum class ControlChange { Value, Items, Enabled, Visible, Caption, Geometry, Border };

class Control {
public:
    using Observer = std::function<void(ControlChange)>;
    using Reaction = std::function<void()>;

    Control(ControlKind kind, std::string name, int index, std::string container);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    ControlKind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    // Element number within a control array, -1 for a single control.
    int index() const { return index_; }
    // "Name" or "Name(i)" for array elements.
    std::string qualifiedName() const;
    // Name of the frame holding the control, empty when it sits on the window.
    const std::string& container() const { return container_; }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    const Geometry& geometry() const { return geometry_; }
    void setGeometry(const Geometry& geometry);
    void setLeft(int left);
    void setTop(int top);

    bool bold() const { return bold_; }
    bool underline() const { return underline_; }
    void setFont(bool bold, bool underline);

    // Views subscribe to learn about every change; the returned id unsubscribes.
    int subscribe(Observer observer);
    void unsubscribe(int id);

protected:
    void notify(ControlChange change);
    static void run(const Reaction& reaction);

private:
    struct Subscription {
        int id;
        Observer observer;
    };
    ControlKind kind_;
    std::string name_;
    int index_;
    std::string container_;
    bool enabled_ = true;
    bool visible_ = true;
    std::string caption_;
    Geometry geometry_;
    bool bold_ = false;
    bool underline_ = false;
    std::vector<Subscription> observers_;
    int nextObserverId_ = 1;
};

// Value 0 unticked, 1 ticked, 2 grayed.
class CheckBox : public Control {
public:
    CheckBox(std::string name, std::string container);
    int value() const { return value_; }
    // The design-time value, set before any reaction is attached.
    void setDesignValue(int value) { value_ = value; }
    // Runs the click reaction when the value changes. Values outside 0..2 are refused.
    bool setValue(int value);
    void onClick(Reaction reaction) { click_ = std::move(reaction); }
    // Takes the value back from a saved state: no reaction runs.
    void restoreValue(int value);

private:
    int value_ = 0;
    Reaction click_;
};

class OptionArray;

// One element of an option button array; exactly the chosen element has value true.
class OptionButton : public Control {
public:
    OptionButton(OptionArray& array, int index, std::string container);
    bool value() const;
    // Choosing clears the other elements and runs the array's reaction when the
    // element becomes chosen; clearing the chosen element leaves none chosen.
    void setValue(bool value);

private:
    friend class OptionArray;
    OptionArray& array_;
};

class OptionArray {
public:
    using Reaction = std::function<void(int index)>;
    explicit OptionArray(std::string name) : name_(std::move(name)) {}
    OptionArray(const OptionArray&) = delete;
    OptionArray& operator=(const OptionArray&) = delete;
    const std::string& name() const { return name_; }
    OptionButton& add(int index, std::string container);
    OptionButton& operator[](int index);
    const OptionButton& operator[](int index) const;
    int count() const { return static_cast<int>(elements_.size()); }
    // Index of the chosen element, -1 when none is chosen.
    int chosen() const { return chosen_; }
    // The design-time choice, set before any reaction is attached.
    void setDesignChoice(int index) { chosen_ = index; }
    void onClick(Reaction reaction) { click_ = std::move(reaction); }
    // Takes the choice back from a saved state (-1 for none): no reaction runs.
    void restoreChoice(int index);

private:
    friend class OptionButton;
    void choose(int index);
    void clear(int index);

    std::string name_;
    std::vector<std::unique_ptr<OptionButton>> elements_;
    int chosen_ = -1;
    Reaction click_;
};

struct ListItem {
    std::string text;
    int data = 0;
    bool operator==(const ListItem&) const = default;
};

// Items with item data and a selection; base of drop-down lists and list boxes.
class ItemList : public Control {
public:
    using Control::Control;
    int listCount() const { return static_cast<int>(items_.size()); }
    const std::string& list(int i) const { return items_.at(i).text; }
    int itemData(int i) const { return items_.at(i).data; }
    void setItemData(int i, int data);
    const std::vector<ListItem>& items() const { return items_; }
    int listIndex() const { return listIndex_; }
    // Item data of the selected item; false when nothing is selected.
    bool selectedData(int& data) const;
    // Caption of the selected item, empty when nothing is selected.
    std::string selectedText() const;

    // Item data defaults to the item's position.
    void addItem(std::string text);
    void addItem(std::string text, int data);
    void removeItem(int i);
    // Empties the list and its selection without running the reaction.
    void clear();
    // Takes the items and the selection back from a saved state: no reaction runs.
    void restoreItems(const std::vector<ListItem>& items, int listIndex);

protected:
    // Stores the selection; true when it changed.
    bool storeListIndex(int index);
    std::vector<ListItem> items_;
    int listIndex_ = -1;
};

// Drop-down list that cannot be edited: the setting is ListIndex.
class ComboBox : public ItemList {
public:
    ComboBox(std::string name, std::string container);
    // Runs the click reaction when the index changes; an index outside -1..count-1 is refused.
    virtual bool setListIndex(int index);
    // A key press as a person's: the key handler first, then the list moves its
    // selection as a drop-down list does (37/38 up, 39/40 down, an arrow with
    // nothing selected selects the first item). A disabled list ignores keys.
    void pressKey(int keyCode);
    void onClick(Reaction reaction) { click_ = std::move(reaction); }
    // Runs the click reaction without a change of the index, as a direct call of the handler does.
    void click() { run(click_); }
    void onKeyDown(std::function<void(int)> handler) { keyDown_ = std::move(handler); }
    std::string text() const { return selectedText(); }

protected:
    ComboBox(ControlKind kind, std::string name, std::string container);
    Reaction click_;
    std::function<void(int)> keyDown_;
};

// Editable list: the setting is its Text; picking an item sets the text.
class EditableComboBox : public ComboBox {
public:
    EditableComboBox(std::string name, std::string container);
    const std::string& text() const { return text_; }
    // Runs the reaction when the text changes; selects the item with exactly that text, else none.
    void setText(std::string text);
    // Selecting an item also takes its text; runs the reaction when the index changes.
    bool setListIndex(int index) override;
    // Takes the text back from a saved state: no reaction runs.
    void restoreText(std::string text);

private:
    std::string text_;
};

class TextBox : public Control {
public:
    TextBox(std::string name, std::string container);
    const std::string& text() const { return text_; }
    // Text assignments run nothing.
    void setText(std::string text);
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

private:
    std::string text_;
    bool readOnly_ = false;
};

class Label : public Control {
public:
    Label(std::string name, std::string container);
};

// Push buttons and menu items: pressing runs the click reaction of an enabled control.
class Button : public Control {
public:
    Button(ControlKind kind, std::string name, std::string container);
    void press();
    void onClick(Reaction reaction) { click_ = std::move(reaction); }

private:
    Reaction click_;
};

// A list box; its selection runs nothing.
class ListBox : public ItemList {
public:
    ListBox(std::string name, int index, std::string container);
    bool setListIndex(int index);
};

class Frame : public Control {
public:
    Frame(std::string name, std::string container);
    bool border() const { return border_; }
    void setBorder(bool border);

private:
    bool border_ = true;
};

} // namespace cantova::ui
