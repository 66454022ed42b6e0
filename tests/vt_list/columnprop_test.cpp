#include "columnprop.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(ColumnPropList, IndexIsTheColumnAndRemoveHandsTheEntryBack) {
    TColumnPropList list;
    for (int maxLength : {10, 11, 12}) {
        list.add(std::make_unique<TColumnProp>(clSilver, clBlack, true, false, maxLength));
    }
    EXPECT_EQ(list.get(3), nullptr);
    EXPECT_EQ(list.get(-1), nullptr);

    const TColumnProp* second = list.get(1);
    EXPECT_EQ(second->maxLength, 11);
    // The caller now holds the very entry; the later one moved up.
    EXPECT_EQ(list.remove(1).get(), second);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.get(1)->maxLength, 12);

    EXPECT_EQ(list.remove(2), nullptr);
    EXPECT_EQ(list.remove(-1), nullptr);
    EXPECT_EQ(list.count(), 2);
}

}  // namespace
