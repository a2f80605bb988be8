// The IID that <downloadmgr.h> declares but MinGW's libuuid does not define.
// Alone in its file so that a program defining it itself does not pull this in.
#include "host_contract.h"

extern "C" const IID IID_IDownloadManager = {
    0x988934a4, 0x064b, 0x11d3, {0xbb, 0x80, 0x00, 0x10, 0x4b, 0x35, 0xe7, 0xf9}};
