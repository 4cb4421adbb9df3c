// VBSOCK.dll: one SSTP SEND request per call, over a TCP connection that is
// opened, used and closed within the call. Every wait is bounded, so a host
// that does not answer cannot hold the caller's window for long.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "vbsock/dll/sstp_request.h"
#include "vbsock/include/vbsock.h"

namespace {

constexpr ULONGLONG kConnectTimeoutMs = 3000;
// From the end of the connect until the answer is complete, sending included.
constexpr ULONGLONG kResponseTimeoutMs = 5000;
// An SSTP answer is a status line and a few header lines.
constexpr size_t kMaxResponseBytes = 64 * 1024;

// Results of vbsock_sendSstpSend (listed in vbsock/README.md).
enum SendResult : int32_t {
  kSent = 0,
  kNoAnswer = 1,
  kBadArgument = -1,
  kBadAddress = -2,
  kNetworkUnavailable = -3,
  kHostNotFound = -4,
  kConnectFailed = -5,
  kSendFailed = -6,
};

SRWLOCK g_lock = SRWLOCK_INIT;
std::string g_sendData;  // what vbsock_getSendData delivers next

void StoreSendData(std::string data) {
  AcquireSRWLockExclusive(&g_lock);
  g_sendData = std::move(data);
  ReleaseSRWLockExclusive(&g_lock);
}

// The request announces Shift_JIS; texts come in the caller's ANSI code page.
std::string ToShiftJis(const char* text) {
  std::string bytes = text;
  if (bytes.empty() || GetACP() == 932) return bytes;
  int wide =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring unicode(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), unicode.data(),
                      wide);
  int n = WideCharToMultiByte(932, 0, unicode.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(932, 0, unicode.data(), wide, out.data(), n, nullptr, nullptr);
  return out;
}

class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~WinsockSession() {
    if (ok_) WSACleanup();
  }
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

class Socket {
 public:
  explicit Socket(SOCKET s) : s_(s) {}
  ~Socket() {
    if (s_ != INVALID_SOCKET) closesocket(s_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  SOCKET get() const { return s_; }

 private:
  SOCKET s_;
};

ULONGLONG Remaining(ULONGLONG deadline) {
  ULONGLONG now = GetTickCount64();
  return now >= deadline ? 0 : deadline - now;
}

timeval ToTimeval(ULONGLONG ms) {
  timeval tv;
  tv.tv_sec = static_cast<long>(ms / 1000);
  tv.tv_usec = static_cast<long>((ms % 1000) * 1000);
  return tv;
}

enum class Wait { kReady, kTimedOut, kFailed };

Wait WaitFor(SOCKET s, bool forWrite, ULONGLONG deadline) {
  fd_set ready, failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(s, &ready);
  FD_SET(s, &failed);
  timeval tv = ToTimeval(Remaining(deadline));
  int n = select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, &failed, &tv);
  if (n == 0) return Wait::kTimedOut;
  if (n < 0 || FD_ISSET(s, &failed)) return Wait::kFailed;
  return Wait::kReady;
}

// A non-blocking connect to one of the host's addresses, all of them
// together within the connect timeout.
SOCKET Connect(const vbsock::Endpoint& endpoint) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  std::string port = std::to_string(endpoint.port);
  if (getaddrinfo(endpoint.host.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
    WSASetLastError(WSAHOST_NOT_FOUND);
    return INVALID_SOCKET;
  }
  ULONGLONG deadline = GetTickCount64() + kConnectTimeoutMs;
  SOCKET connected = INVALID_SOCKET;
  for (addrinfo* a = found; a && connected == INVALID_SOCKET && Remaining(deadline) > 0;
       a = a->ai_next) {
    SOCKET s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (s == INVALID_SOCKET) continue;
    u_long nonBlocking = 1;
    bool ok = ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
    if (ok && connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) != 0) {
      ok = WSAGetLastError() == WSAEWOULDBLOCK && WaitFor(s, true, deadline) == Wait::kReady;
      if (ok) {
        int error = 0;
        int length = sizeof(error);
        ok = getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 &&
             error == 0;
      }
    }
    if (ok) {
      connected = s;
    } else {
      closesocket(s);
    }
  }
  freeaddrinfo(found);
  if (connected == INVALID_SOCKET) WSASetLastError(WSAECONNREFUSED);
  return connected;
}

bool SendAll(SOCKET s, const std::string& bytes, ULONGLONG deadline) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    int n = send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (n > 0) {
      sent += static_cast<size_t>(n);
    } else if (WSAGetLastError() != WSAEWOULDBLOCK || WaitFor(s, true, deadline) != Wait::kReady) {
      return false;
    }
  }
  return true;
}

// Reads until the answer is complete, the server closes, or the deadline.
std::string ReceiveAnswer(SOCKET s, ULONGLONG deadline) {
  std::string answer;
  char buffer[4096];
  while (answer.size() < kMaxResponseBytes && !vbsock::ResponseComplete(answer)) {
    int n = recv(s, buffer, sizeof(buffer), 0);
    if (n > 0) {
      answer.append(buffer, static_cast<size_t>(n));
    } else if (n == 0 || WSAGetLastError() != WSAEWOULDBLOCK ||
               WaitFor(s, false, deadline) != Wait::kReady) {
      break;
    }
  }
  if (answer.size() > kMaxResponseBytes) answer.resize(kMaxResponseBytes);
  return answer;
}

}  // namespace

extern "C" int32_t VBSOCK_CALL vbsock_sendSstpSend(const char* address, const char* sender,
                                                   const char* script, const char* option) {
  // Whatever happens, the text delivered afterwards belongs to this call.
  StoreSendData({});
  if (!address || !sender || !script) return kBadArgument;
  vbsock::Endpoint endpoint;
  if (!vbsock::ParseAddress(address, endpoint)) return kBadAddress;
  std::string request = vbsock::BuildSendRequest(ToShiftJis(sender), ToShiftJis(script),
                                                 option ? ToShiftJis(option) : std::string());

  WinsockSession winsock;
  if (!winsock.ok()) return kNetworkUnavailable;
  Socket socket(Connect(endpoint));
  if (socket.get() == INVALID_SOCKET) {
    return WSAGetLastError() == WSAHOST_NOT_FOUND ? kHostNotFound : kConnectFailed;
  }
  ULONGLONG deadline = GetTickCount64() + kResponseTimeoutMs;
  if (!SendAll(socket.get(), request, deadline)) return kSendFailed;
  std::string answer = ReceiveAnswer(socket.get(), deadline);
  bool answered = !answer.empty();
  StoreSendData(std::move(answer));
  return answered ? kSent : kNoAnswer;
}

extern "C" int32_t VBSOCK_CALL vbsock_getSendDataSize(void) {
  AcquireSRWLockShared(&g_lock);
  auto size = static_cast<int32_t>(g_sendData.size());
  ReleaseSRWLockShared(&g_lock);
  return size;
}

extern "C" int32_t VBSOCK_CALL vbsock_getSendData(SendDataRecord* record) {
  if (!record || !record->Text) return -1;
  AcquireSRWLockShared(&g_lock);
  size_t size = g_sendData.size();
  std::memcpy(record->Text, g_sendData.data(), size);
  record->Text[size] = '\0';
  ReleaseSRWLockShared(&g_lock);
  return static_cast<int32_t>(size);
}
