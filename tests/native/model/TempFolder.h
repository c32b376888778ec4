#pragma once
// A fresh folder under /tmp for each test, removed afterwards, with whole
// files read and written by name and the folder's sorted listing.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/plandesk-model-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        FRoot = name;
        Folder = FRoot + "/";
    }
    void TearDown() override { std::filesystem::remove_all(FRoot); }

    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(Folder + name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) {
        std::ifstream in(Folder + name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    std::vector<std::string> Files() {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(FRoot)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string FRoot;   // without a trailing separator
    std::string Folder;  // with one
};
