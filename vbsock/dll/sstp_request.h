// The SSTP side of VBSOCK.dll that needs no socket: where to connect and the
// exact bytes of a SEND request. Texts are bytes in Shift_JIS.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vbsock {

// The port SSTP servers listen on when the address names none.
inline constexpr uint16_t kDefaultSstpPort = 9801;

struct Endpoint {
  std::string host;
  uint16_t port = kDefaultSstpPort;
};

// Reads "host", "host:port", "[v6-address]" or "[v6-address]:port"; a bare
// IPv6 address (more than one colon) is taken whole. Surrounding blanks are
// ignored. False for an empty host or a port outside 1..65535.
bool ParseAddress(std::string_view address, Endpoint& endpoint);

// A header value on one line: each CR LF, lone CR or lone LF becomes
// lineBreak, so a text can never start a header line of its own.
std::string OneLine(std::string_view value, std::string_view lineBreak);

// "SEND SSTP/1.1" with Sender, Script, Option (only when not empty) and
// Charset lines, CR LF line ends and the closing empty line. Line breaks in
// the script become the script escape "\n" (a line break on the mascot's
// balloon); in the sender and option they become a space.
std::string BuildSendRequest(std::string_view sender, std::string_view script,
                             std::string_view option);

// Whether the bytes received hold a whole answer: the status line and the
// header lines up to the empty line that ends them.
bool ResponseComplete(std::string_view received);

}  // namespace vbsock
