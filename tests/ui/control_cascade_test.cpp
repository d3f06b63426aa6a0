#include "ui/control.h"

#include <gtest/gtest.h>

namespace cantova::ui {
namespace {

TEST(ControlCascade, CheckBoxAndListReactOnlyToARealChange) {
    CheckBox box("ChkA", "");
    ComboBox list("CmbA", "");
    list.addItem("x");
    list.addItem("y");
    int clicks = 0, picks = 0;
    box.onClick([&] { ++clicks; });
    list.onClick([&] { ++picks; });
    box.setValue(0);
    box.setValue(1);
    box.setValue(1);
    list.setListIndex(1);
    list.setListIndex(1);
    list.clear();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(picks, 1);
    EXPECT_EQ(list.listIndex(), -1);
}

TEST(ControlCascade, NestedReactionRunsBeforeTheNextAssignment) {
    CheckBox outer("ChkOuter", ""), inner("ChkInner", "");
    std::vector<std::string> order;
    inner.onClick([&] { order.push_back("inner"); });
    outer.onClick([&] {
        inner.setValue(1);
        order.push_back("outer");
    });
    outer.setValue(1);
    EXPECT_EQ(order, (std::vector<std::string>{"inner", "outer"}));
}

TEST(ControlCascade, EditableListTextSelectsTheMatchingItem) {
    EditableComboBox list("CmbQ", "");
    list.addItem("0.100");
    list.addItem("0.400");
    int changes = 0;
    list.onClick([&] { ++changes; });
    list.setText("0.400");
    EXPECT_EQ(list.listIndex(), 1);
    list.setText("0.45");
    EXPECT_EQ(list.listIndex(), -1);
    list.setListIndex(0);
    EXPECT_EQ(list.text(), "0.100");
    list.setText("0.100");
    EXPECT_EQ(changes, 3);
}

TEST(ControlCascade, OptionArrayChoosesOnceAndClears) {
    OptionArray array("Opt");
    array.add(0, "");
    array.add(1, "");
    std::vector<int> chosen;
    array.onClick([&](int i) { chosen.push_back(i); });
    array[1].setValue(true);
    array[1].setValue(true);
    array[0].setValue(false);
    EXPECT_EQ(array.chosen(), 1);
    array[1].setValue(false);
    EXPECT_EQ(array.chosen(), -1);
    EXPECT_EQ(chosen, std::vector<int>{1});
}

TEST(ControlCascade, KeyPressRunsTheHandlerThenMovesLikeADropDown) {
    ComboBox list("CmbK", "");
    for (const char* item : {"a", "b", "c"}) {
        list.addItem(item);
    }
    std::vector<std::string> events;
    list.onKeyDown([&](int code) { events.push_back("key " + std::to_string(code)); });
    list.onClick([&] { events.push_back("pick " + std::to_string(list.listIndex())); });
    list.pressKey(38); // nothing selected: the first item
    list.pressKey(37); // already at the first item
    list.pressKey(40);
    list.pressKey(39);
    list.pressKey(39); // already at the last item
    list.pressKey(65);
    EXPECT_EQ(events, (std::vector<std::string>{"key 38", "pick 0", "key 37", "key 40", "pick 1",
                                                "key 39", "pick 2", "key 39", "key 65"}));
    list.setEnabled(false);
    list.pressKey(38);
    EXPECT_EQ(events.size(), 9u);
    EXPECT_EQ(list.listIndex(), 2);
}

} // namespace
} // namespace cantova::ui
