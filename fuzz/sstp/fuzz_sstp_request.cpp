// Whatever the caller's texts hold, the request keeps its shape: the request
// line, the header lines, one empty line, and nothing after it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vbsock/dll/sstp_request.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  // Three texts separated by NUL bytes, as C strings would end them.
  std::string_view parts[3];
  for (auto& part : parts) {
    size_t end = input.find('\0');
    part = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
  }

  std::string request = vbsock::BuildSendRequest(parts[0], parts[1], parts[2]);
  size_t lines = 0;
  for (size_t i = 0; i < request.size(); ++i) {
    if (request[i] == '\r' && (i + 1 >= request.size() || request[i + 1] != '\n')) std::abort();
    if (request[i] == '\n') {
      if (i == 0 || request[i - 1] != '\r') std::abort();
      ++lines;
    }
  }
  if (lines != (parts[2].empty() ? 5u : 6u)) std::abort();
  if (request.size() < 4 || request.compare(request.size() - 4, 4, "\r\n\r\n") != 0) std::abort();
  if (request.find("\r\n\r\n") != request.size() - 4) std::abort();

  vbsock::Endpoint endpoint;
  if (vbsock::ParseAddress(parts[0], endpoint)) {
    if (endpoint.host.empty() || endpoint.port == 0) std::abort();
  }
  vbsock::ResponseComplete(parts[1]);
  return 0;
}
