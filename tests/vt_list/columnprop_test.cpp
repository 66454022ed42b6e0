#include <gtest/gtest.h>

#include <memory>

#include "columnprop.h"

namespace {

std::unique_ptr<TColumnProp> Prop(int maxLength) {
    return std::make_unique<TColumnProp>(clSilver, clBlack, true, false, maxLength);
}

TEST(ColumnPropList, IndexIsTheColumnAndRemoveHandsTheEntryBack) {
    TColumnPropList list;
    EXPECT_EQ(list.get(0), nullptr);
    list.add(Prop(10));
    list.add(Prop(11));
    list.add(Prop(12));
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.get(1)->maxLength, 11);
    EXPECT_EQ(list.get(3), nullptr);
    EXPECT_EQ(list.get(-1), nullptr);

    const TColumnProp* second = list.get(1);
    std::unique_ptr<TColumnProp> removed = list.remove(1);
    // The caller now holds the very entry; the later one moved up.
    EXPECT_EQ(removed.get(), second);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.get(1)->maxLength, 12);

    EXPECT_EQ(list.remove(2), nullptr);
    EXPECT_EQ(list.remove(-1), nullptr);
    EXPECT_EQ(list.count(), 2);
}

TEST(ColumnProp, FieldsKeepConstructorOrder) {
    const TColumnProp prop(0x123456, 0xABCDEF, false, true, 160);
    EXPECT_EQ(prop.brushColor, 0x123456u);
    EXPECT_EQ(prop.fontColor, 0xABCDEFu);
    EXPECT_FALSE(prop.editable);
    EXPECT_TRUE(prop.clickable);
    EXPECT_EQ(prop.maxLength, 160);
}

}  // namespace
