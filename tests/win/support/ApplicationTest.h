#pragma once
// A fresh application for each test; what the test creates on it goes with
// it afterwards.
#include <gtest/gtest.h>

#include "toolkit/Forms.h"

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        FApplication = new TApplication();
        Application->Initialize();
    }
    void TearDown() override { delete FApplication; }

    TApplication* FApplication = nullptr;
};
