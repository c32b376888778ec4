#pragma once
// A fresh application for every toolkit test, as every Win32 test has one;
// here no answer to a modal window may be left waiting either.
#include "tests/win/support/ApplicationTest.h"
#include "tests/win/support/UiDriver.h"

class ToolkitApplicationTest : public ApplicationTest {
protected:
    void TearDown() override {
        EXPECT_EQ(ui::PendingModalActions(), 0);
        ApplicationTest::TearDown();
    }
};
