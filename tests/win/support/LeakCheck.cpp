#include "tests/win/support/LeakCheck.h"

#include <gtest/gtest.h>

#include "core/WindowServices.h"

TLeakCheck::TLeakCheck() { Restart(); }

void TLeakCheck::Restart() {
    FGdi = GdiCounts();
    FTimers = Service<TTimerDriver>().LiveTimers();
}

std::string TLeakCheck::Differences() const {
    std::string out;
    auto add = [&out](const std::string& what, long before, long after) {
        if (before == after) return;
        if (!out.empty()) out += ", ";
        out += what + ": " + std::to_string(before) + " -> " + std::to_string(after);
    };
    const TGdiCounts now = GdiCounts();
    for (int i = 0; i < static_cast<int>(TGdiKind::Count); ++i) {
        const auto kind = static_cast<TGdiKind>(i);
        add(GdiKindName(kind), FGdi.Of(kind), now.Of(kind));
    }
    add("timer", FTimers, Service<TTimerDriver>().LiveTimers());
    return out;
}

void TLeakCheck::ExpectNone(const std::string& scenario) const {
    const std::string differences = Differences();
    EXPECT_TRUE(differences.empty()) << scenario
                                     << " left GDI objects or timers alive (before -> after): " << differences;
}

int ThreadTopLevelWindowCount() {
    int n = 0;
    EnumThreadWindows(
        GetCurrentThreadId(), [](HWND, LPARAM p) -> BOOL { return ++*reinterpret_cast<int*>(p), TRUE; },
        reinterpret_cast<LPARAM>(&n));
    return n;
}

int ThreadWindowCount() {
    int n = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            ++*reinterpret_cast<int*>(p);
            EnumChildWindows(w, [](HWND, LPARAM q) -> BOOL { return ++*reinterpret_cast<int*>(q), TRUE; }, p);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
}
