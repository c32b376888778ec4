#include <windows.h>

#include "skin/data/vlSkinData.h"
#include "toolkit/Forms.h"

void PlatformBroadcastSkinMessage(TvlSkinData& sender, unsigned msg) {
    if (!Application) return;
    auto send = [&](TForm* form) {
        if (form && form->Handle())
            SendMessageA(form->Handle(), msg, reinterpret_cast<WPARAM>(&sender), SkinMessageParam);
    };
    TForm* owner = dynamic_cast<TForm*>(sender.Owner());
    send(owner);
    // A receiver may create or free forms; walk a copy of the list.
    std::vector<TForm*> forms = Application->Forms();
    for (TForm* form : forms)
        if (form != owner) send(form);
}

std::string BuiltInSkinStream() {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, "VL_BUILTIN_SKIN", MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!resource) return {};
    HGLOBAL data = LoadResource(module, resource);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) return {};
    return std::string(static_cast<const char*>(bytes), SizeofResource(module, resource));
}
