// The program's binding to VBSOCK.dll, loaded from the program's folder the
// first time an SSTP send needs it.
#pragma once
#include "vbsock/include/vbsock.h"
#include "win/seam.h"

struct VbsockApi {
  decltype(&vbsock_sendSstpSend) sendSstpSend = nullptr;
  decltype(&vbsock_getSendDataSize) getSendDataSize = nullptr;
  decltype(&vbsock_getSendData) getSendData = nullptr;
};

enum class VbsockLoad { kLoaded, kLibraryMissing, kFunctionMissing };

// Loads the library once per process; later calls return the first outcome
// when it succeeded and try again when it did not.
VbsockLoad LoadVbsock();

// Valid after LoadVbsock() returned kLoaded.
extern win::Seam<VbsockApi> g_vbsock;
