// What Folderwise relies on from Internet Explorer, its host, in one place.
// Code that depends on one of these behaviours includes this header, so a
// change in the host shows up here first. Background: docs/host-contract.md.
#pragma once
#include "host_places.h"
#include "win.h"
#include <objbase.h>
#include <urlmon.h>
#include <downloadmgr.h>

namespace fw {

// 1. The download user interface. The browser reads kDownloadUiValue under
//    HKEY_LOCAL_MACHINE\kIeKey, creates that in-process class from the DLL of
//    its own bitness and calls IDownloadManager::Download once per download,
//    on its own thread, with the download's moniker and bind context.
//    IDownloadManager and IID_IDownloadManager come from <downloadmgr.h>;
//    MinGW's import libraries lack the IID's definition, so fw_handler_win
//    supplies it (host_contract_win.cpp).
//
// 2. Declining. Download returning this makes the browser go on with its own
//    download dialog.
inline constexpr HRESULT kDeclineDownload = E_NOTIMPL;

// 3. The Save dialog's starting folder: the places in host_places.h
//    ("Download Directory" up to version 8, the LastVisitedPidlMRU record of
//    iexplore.exe from version 9 on, told apart by "Version").
//
// 4. URL monikers. A binding made with CreateURLMoniker and run by
//    IMoniker::BindToStorage without BINDF_ASYNCHRONOUS ends within the
//    BindToStorage call, on the calling thread, with every callback made
//    there. Its BINDSTATUS_BEGINDOWNLOADDATA report carries as status text
//    the address the data comes from after all redirects. IBinding::Abort
//    ends the binding.
inline constexpr ULONG kBeginDownloadData = BINDSTATUS_BEGINDOWNLOADDATA;

// 5. Protected mode. kProtectedModeExport in kProtectedModeDll has this
//    shape and returns S_OK with the BOOL set. Such a process can write only
//    below HKEY_CURRENT_USER\kHandOffPrefix + the user's SID text, not the
//    places of item 3, and can send a window message to a normal-integrity
//    process only when that process admitted it (ChangeWindowMessageFilter).
//    A missing library or export counts as "not in protected mode".
typedef HRESULT(WINAPI* IEIsProtectedModeProcessFn)(BOOL* result);

}  // namespace fw
