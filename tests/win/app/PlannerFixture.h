#pragma once
// A fresh program folder and application per test; the main window is
// created on demand, after the test has written the data files it needs.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/EditDialog.h"
#include "app/FMain.h"
#include "app/FTask.h"
#include "core/ExceptionHook.h"
#include "core/FileIO.h"
#include "tests/native/model/SamplePlan.h"
#include "tests/win/support/ApplicationTest.h"
#include "tests/win/support/UiDriver.h"

class PlannerTest : public ApplicationTest {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Folder = ui::FreshFolder(std::string(info->test_suite_name()) + "." + info->name());
        SetProgramFolderOverride(Folder);
        ApplicationTest::SetUp();
    }
    void TearDown() override {
        EXPECT_EQ(ui::PendingModalActions(), 0) << "a dialog or message that was expected never opened";
        ApplicationTest::TearDown();
        SetProgramFolderOverride("");
    }

    TfrmMain* Start() {
        Application->CreateForm(frmMain);
        frmMain->Show();
        ui::Pump(30);
        return frmMain;
    }
    // Closes the main window as the user does, ends the program and begins
    // the next one on the same folder; Start() then opens its main window.
    void CloseAndRestart() {
        SendMessageA(frmMain->Handle(), WM_CLOSE, 0, 0);
        delete FApplication;
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        FApplication = new TApplication();
        Application->Initialize();
    }
    void Write(const std::string& name, const std::string& bytes) { ui::WriteFile(Folder + name, bytes); }
#ifdef PLANDESK_GRAPHITE_PACKAGE
    // The dark built-in skin beside the program for the next start; the
    // skin file is read with the branding file.
    void UseGraphite() {
        const std::string package = ui::ReadFile(PLANDESK_GRAPHITE_PACKAGE);
        ASSERT_FALSE(package.empty());
        Write("dbskin.dat", package);
        Write("dbconfig.dat", "[Settings]\r\n");
    }
    // Starts the planner in each built-in skin in turn and runs `test` on its
    // main window; `skin` names the pictures the test saves.
    template <class Test>
    void InBothSkins(Test test) {
        for (const char* skin : {"modern", "graphite"}) {
            SCOPED_TRACE(skin);
            if (std::string(skin) == "graphite") UseGraphite();
            TfrmMain* w = Start();
            test(w, std::string(skin));
            frmMain->Release();
            frmMain = nullptr;
            if (HasFatalFailure()) return;
        }
    }
#endif
    std::string Read(const std::string& name) { return ui::ReadFile(Folder + name); }
    // The names of the files in the program folder, sorted.
    std::vector<std::string> Files() {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((Folder + "*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs `check` on the task dialog that opens next.
    static void OnTaskDialog(std::function<void(TfrmTask*)> check) {
        ui::OnNextModal([check](TForm* form) {
            auto* d = dynamic_cast<TfrmTask*>(form);
            ASSERT_NE(d, nullptr) << "the task dialog did not open";
            check(d);
        });
    }

    // Clicks the tree node with this text (the first such node).
    void SelectNode(const std::string& text) {
        for (const auto& node : frmMain->tvwMain->Nodes())
            if (node->Text == text) {
                RECT r = frmMain->tvwMain->NodeRect(node.get());
                ui::ClickAt(frmMain->tvwMain->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
                return;
            }
        ADD_FAILURE() << "no node " << text;
    }
    void SelectNode(TTreeNode* node) {
        RECT r = frmMain->tvwMain->NodeRect(node);
        ui::ClickAt(frmMain->tvwMain->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // Clicks a row of a list view (in its first column).
    static void ClickRow(TListView* list, int row) {
        SendMessageA(list->Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        RECT r = list->ItemRect(row);
        ui::ClickAt(list->Handle(), r.left + 30, (r.top + r.bottom) / 2);
    }
    // Clicks the check box of a task row.
    static void ClickCheckBox(TListView* list, int row) {
        SendMessageA(list->Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        RECT r = list->ItemRect(row);
        LVHITTESTINFO hit{};
        hit.pt = POINT{r.left + 8, (r.top + r.bottom) / 2};
        SendMessageA(list->Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON) << "the point is not on the check box";
        ui::ClickAt(list->Handle(), hit.pt.x, hit.pt.y);
    }

    std::string Folder;
};

// Counts the errors that reach the application's error display while it
// lives (the display itself stays quiet).
class ErrorCount {
public:
    ErrorCount() {
        Errors() = 0;
        SetExceptionManager([](const std::exception*, void*) {
            ++Errors();
            return false;
        });
    }
    ~ErrorCount() { SetExceptionManager(nullptr); }
    int Count() const { return Errors(); }

private:
    static int& Errors() {
        static int errors = 0;
        return errors;
    }
};
