// A one-connection-at-a-time SSTP server on 127.0.0.1 for tests: records
// each request's bytes up to its empty line, then answers or stays silent.
#pragma once
#include <winsock2.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SstpTestServer {
 public:
  // answer: bytes sent back after the request, then the connection closes.
  // silent: nothing is sent back and the connection stays open until the
  // server is destroyed.
  // port 0 takes any free port.
  explicit SstpTestServer(std::string answer, bool silent = false, unsigned short port = 0);
  ~SstpTestServer();

  bool ok() const { return listener_ != INVALID_SOCKET; }
  unsigned short port() const { return port_; }
  std::wstring Address() const;  // "127.0.0.1:port"

  // Requests seen so far, waiting up to timeoutMs for at least count.
  std::vector<std::string> Requests(size_t count = 0, int timeoutMs = 3000);
  int Connections() const { return connections_; }

  static constexpr const char* kOk = "SSTP/1.1 200 OK\r\nCharset: Shift_JIS\r\n\r\n";

 private:
  void Run();
  void Serve(SOCKET client);

  std::string answer_;
  bool silent_;
  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens: bound, then released.
unsigned short ClosedPort();
