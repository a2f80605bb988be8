// What the download-handler object needs from its module (fwise_dll_win.cpp):
// the lock count that DllCanUnloadNow reports, and the type information of
// IFwiseObj, loaded once and kept by the module until it is unloaded.
#pragma once
#include "win.h"
#include <oaidl.h>

namespace fw {

void ModuleLock();
void ModuleUnlock();
LONG ModuleLockCount();

// The type information of IFwiseObj with a reference added for the caller,
// loaded from the registered type library on first use. On failure *info is
// null and the loading error comes back.
HRESULT ModuleTypeInfo(LCID lcid, ITypeInfo** info);

}  // namespace fw
