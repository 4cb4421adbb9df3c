// The C interface of VBSOCK.dll. Texts are NUL-terminated ANSI bytes.
#pragma once
#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define VBSOCK_CALL __stdcall
#else
#define VBSOCK_CALL
#endif

#if defined(VBSOCK_BUILDING_DLL) && defined(_WIN32)
#define VBSOCK_API __declspec(dllexport)
#else
#define VBSOCK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct SendDataRecord {
  int32_t Reserved;  // passed as 0
  char* Text;        // caller's buffer of vbsock_getSendDataSize() + 1 bytes
} SendDataRecord;

#ifdef __cplusplus
static_assert(offsetof(SendDataRecord, Text) == sizeof(void*), "SendDataRecord layout");
static_assert(sizeof(SendDataRecord) == 2 * sizeof(void*), "SendDataRecord layout");
#endif

VBSOCK_API int32_t VBSOCK_CALL vbsock_sendSstpSend(const char* address, const char* sender,
                                                   const char* script, const char* option);
VBSOCK_API int32_t VBSOCK_CALL vbsock_getSendDataSize(void);
VBSOCK_API int32_t VBSOCK_CALL vbsock_getSendData(SendDataRecord* record);

#ifdef __cplusplus
}
#endif
