#include "vbsock/dll/sstp_request.h"

namespace vbsock {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool ParsePort(std::string_view digits, uint16_t& port) {
  if (digits.empty() || digits.size() > 5) return false;
  uint32_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  if (value == 0 || value > 65535) return false;
  port = static_cast<uint16_t>(value);
  return true;
}

}  // namespace

bool ParseAddress(std::string_view address, Endpoint& endpoint) {
  address = TrimBlanks(address);
  Endpoint result;
  if (!address.empty() && address.front() == '[') {
    size_t close = address.find(']');
    if (close == std::string_view::npos) return false;
    result.host = std::string(address.substr(1, close - 1));
    std::string_view rest = address.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':' || !ParsePort(rest.substr(1), result.port)) return false;
    }
  } else {
    size_t colon = address.find(':');
    if (colon != std::string_view::npos && address.find(':', colon + 1) == std::string_view::npos) {
      result.host = std::string(address.substr(0, colon));
      if (!ParsePort(address.substr(colon + 1), result.port)) return false;
    } else {
      result.host = std::string(address);
    }
  }
  if (result.host.empty()) return false;
  endpoint = std::move(result);
  return true;
}

std::string OneLine(std::string_view value, std::string_view lineBreak) {
  std::string out;
  out.reserve(value.size());
  // Shift_JIS trail bytes never take the values of CR or LF, so a byte scan
  // cannot cut a double-byte character.
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '\r') {
      if (i + 1 < value.size() && value[i + 1] == '\n') ++i;
      out += lineBreak;
    } else if (c == '\n') {
      out += lineBreak;
    } else {
      out += c;
    }
  }
  return out;
}

std::string BuildSendRequest(std::string_view sender, std::string_view script,
                             std::string_view option) {
  std::string request = "SEND SSTP/1.1\r\n";
  request += "Sender: " + OneLine(sender, " ") + "\r\n";
  request += "Script: " + OneLine(script, "\\n") + "\r\n";
  if (!option.empty()) request += "Option: " + OneLine(option, " ") + "\r\n";
  request += "Charset: Shift_JIS\r\n";
  request += "\r\n";
  return request;
}

bool ResponseComplete(std::string_view received) {
  return received.find("\r\n\r\n") != std::string_view::npos ||
         received.find("\n\n") != std::string_view::npos;
}

}  // namespace vbsock
