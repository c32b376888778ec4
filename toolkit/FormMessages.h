#pragma once
// The messages of the layers above the toolkit (WM_USER and on) that a form
// does not know itself: one handler, installed by such a layer, sees each
// of them on every form before the form's default handling. The skin layer
// relays skin notices that reach a form straight to its controls this way.
#include "toolkit/Forms.h"

// True when the handler used the message (the form then leaves it alone).
using TFormMessageHandler = bool (*)(TForm& form, TMessage& m);
void SetFormMessageHandler(TFormMessageHandler handler);
