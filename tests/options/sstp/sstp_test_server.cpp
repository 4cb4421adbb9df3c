#include "sstp_test_server.h"

#include <ws2tcpip.h>

#include <chrono>

namespace {

struct WinsockInit {
  WinsockInit() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
} g_winsock;

bool Readable(SOCKET s, int ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval tv{ms / 1000, (ms % 1000) * 1000};
  return select(0, &set, nullptr, nullptr, &tv) > 0;
}

SOCKET Listen(unsigned short& port) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return s;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(port);
  int length = sizeof(addr);
  if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || listen(s, 4) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  port = ntohs(addr.sin_port);
  return s;
}

}  // namespace

SstpTestServer::SstpTestServer(std::string answer, bool silent, unsigned short port)
    : answer_(std::move(answer)), silent_(silent), port_(port) {
  listener_ = Listen(port_);
  if (ok()) thread_ = std::thread([this] { Run(); });
}

SstpTestServer::~SstpTestServer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ != INVALID_SOCKET) closesocket(listener_);
}

std::wstring SstpTestServer::Address() const { return L"127.0.0.1:" + std::to_wstring(port_); }

std::vector<std::string> SstpTestServer::Requests(size_t count, int timeoutMs) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                    [&] { return requests_.size() >= count; });
  return requests_;
}

void SstpTestServer::Run() {
  while (!stop_) {
    if (!Readable(listener_, 50)) continue;
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    ++connections_;
    Serve(client);
    closesocket(client);
  }
}

void SstpTestServer::Serve(SOCKET client) {
  std::string request;
  char buffer[1024];
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!stop_ && request.find("\r\n\r\n") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    if (!Readable(client, 50)) continue;
    int n = recv(client, buffer, sizeof(buffer), 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<size_t>(n));
  }
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
  }
  changed_.notify_all();
  if (silent_) {
    while (!stop_) Sleep(20);
    return;
  }
  if (!answer_.empty()) send(client, answer_.data(), static_cast<int>(answer_.size()), 0);
}

unsigned short ClosedPort() {
  unsigned short port = 0;
  SOCKET s = Listen(port);
  if (s != INVALID_SOCKET) closesocket(s);
  return port;
}
