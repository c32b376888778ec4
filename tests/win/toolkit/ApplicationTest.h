#pragma once
// A fresh application for every toolkit test; every form made on it goes
// with it, and no answer to a modal window may be left waiting.
#include <gtest/gtest.h>

#include "tests/win/support/UiDriver.h"
#include "toolkit/Forms.h"

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        FApplication = new TApplication();
        Application->Initialize();
    }
    void TearDown() override {
        EXPECT_EQ(ui::PendingModalActions(), 0);
        delete FApplication;
    }

private:
    TApplication* FApplication = nullptr;
};
