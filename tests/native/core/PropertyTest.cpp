// The property setters' shape: a change is stored and reported once, the
// same value again is neither stored nor reported, and a value handed over by
// move is taken only when it is stored.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "core/Property.h"

TEST(Property, SetIfChangedStoresAndReportsOnlyRealChanges) {
    std::string field = "Save";
    std::string same = "Save";
    EXPECT_FALSE(SetIfChanged(field, std::move(same)));
    EXPECT_EQ(same, "Save") << "an equal value is left with its owner";
    std::string other = "Save as a copy under another name";
    EXPECT_TRUE(SetIfChanged(field, std::move(other)));
    EXPECT_EQ(field, "Save as a copy under another name");

    int index = 3, reports = 0;
    for (int v : {3, 4, 4, 1, 1, 1}) reports += SetIfChanged(index, v);
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(index, 1);
}
