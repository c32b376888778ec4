#pragma once
// The common shape of a property setter that tells of a change only when the
// value really changes:
//
//   void TAction::SetHint(const std::string& v) { if (SetIfChanged(FHint, v)) Changed(); }
#include <utility>

// Stores `value` in `field` when they differ; true when it did.
template <class T, class V>
[[nodiscard]] bool SetIfChanged(T& field, V&& value) {
    if (field == value) return false;
    field = std::forward<V>(value);
    return true;
}
