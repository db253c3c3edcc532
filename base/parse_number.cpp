#include "base/parse_number.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

template <typename Number, typename... Base>
bool ParseAll(std::string_view text, Number& value, Base... base) {
  Number parsed{};
  const char* end = text.data() + text.size();
  const auto [stop, fault] = std::from_chars(text.data(), end, parsed, base...);
  if (text.empty() || fault != std::errc() || stop != end) return false;
  value = parsed;
  return true;
}

}  // namespace

bool ParseWhole(std::string_view text, long long& value) { return ParseAll(text, value); }

bool ParseHex(std::string_view text, uint64_t& value) { return ParseAll(text, value, 16); }

bool ParseDecimal(std::string_view text, double& value) {
  double parsed = 0.0;
  if (!ParseAll(text, parsed) || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}
