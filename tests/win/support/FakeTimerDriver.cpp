#include "tests/win/support/FakeTimerDriver.h"

#include <vector>

bool TFakeTimerDriver::Set(HWND window, UINT_PTR id, UINT milliseconds) {
    ++FSetCalls;
    FLive[{window, id}] = milliseconds;
    return true;
}

void TFakeTimerDriver::Kill(HWND window, UINT_PTR id) { FLive.erase({window, id}); }

UINT TFakeTimerDriver::Interval(HWND window, UINT_PTR id) const {
    auto it = FLive.find({window, id});
    return it == FLive.end() ? 0 : it->second;
}

bool TFakeTimerDriver::Fire(HWND window, UINT_PTR id) {
    if (!FLive.count({window, id})) return false;
    SendMessageA(window, WM_TIMER, id, 0);
    return true;
}

int TFakeTimerDriver::FireAll() {
    // A handler may kill or set timers; fire the ones live now.
    std::vector<std::pair<HWND, UINT_PTR>> live;
    for (const auto& entry : FLive) live.push_back(entry.first);
    int fired = 0;
    for (const auto& [window, id] : live) fired += Fire(window, id) ? 1 : 0;
    return fired;
}
