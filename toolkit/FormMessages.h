#pragma once
// The messages of the layers above the toolkit (WM_USER and on) that a form
// does not know itself: one handler, installed by such a layer, sees each
// of them on every form before the form's default handling. The skin layer
// relays skin notices that reach a form straight to its controls this way.
#include "toolkit/Forms.h"

// Sent to a form after it was laid out again at another DPI (WParam),
// through its window when it has one: the layers above then bring what
// they gave its controls (a skin's sizes and fonts) to that DPI. The
// layout scales every length it holds, those included, so they are
// given again rather than scaled.
constexpr UINT TM_FORMSCALED = WM_APP + 0x3E11;

// True when the handler used the message (the form then leaves it alone).
using TFormMessageHandler = bool (*)(TForm& form, TMessage& m);
void SetFormMessageHandler(TFormMessageHandler handler);
