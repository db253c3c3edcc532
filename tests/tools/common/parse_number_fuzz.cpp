// The tools' number parser against the C library's, on any text: where the
// text is a plain number that strtoll, strtoull or strtod read whole and in
// range, ParseWhole, ParseHex and ParseDecimal must give the same value; where
// they refuse, the value must be left as it was.
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

#include "tests/support/fuzz_target.h"
#include "base/parse_number.h"

namespace {

bool AllOf(const std::string& text, size_t from, const char* allowed) {
  return from < text.size() && text.find_first_not_of(allowed, from) == std::string::npos;
}

// strtod accepts more than a plain decimal: spaces, '+', hexadecimal, inf, nan.
bool PlainDecimal(const std::string& text) {
  const size_t from = !text.empty() && text[0] == '-' ? 1 : 0;
  return AllOf(text, from, "0123456789.eE-+") && text[from] != '+' && text[from] != '-';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::setlocale(LC_NUMERIC, "C");
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string_view view(text);
  const bool noNul = text.find('\0') == std::string::npos;

  long long whole = 7;
  const bool wholeRead = ParseWhole(view, whole);
  FuzzExpect(wholeRead || whole == 7, "ParseWhole changed the value of a text it refused");
  if (noNul && AllOf(text, text[0] == '-' ? 1 : 0, "0123456789")) {
    errno = 0;
    const long long expected = std::strtoll(text.c_str(), nullptr, 10);
    FuzzExpect(wholeRead == (errno == 0), "ParseWhole and strtoll differ on a whole number");
    FuzzExpect(!wholeRead || whole == expected, "ParseWhole reads another value than strtoll");
  } else {
    FuzzExpect(!wholeRead, "ParseWhole took a text that is no whole number");
  }

  uint64_t hex = 1;
  const bool hexRead = ParseHex(view, hex);
  FuzzExpect(hexRead || hex == 1, "ParseHex changed the value of a text it refused");
  if (noNul && AllOf(text, 0, "0123456789abcdefABCDEF")) {
    errno = 0;
    const unsigned long long expected = std::strtoull(text.c_str(), nullptr, 16);
    FuzzExpect(hexRead == (errno == 0), "ParseHex and strtoull differ on hexadecimal digits");
    FuzzExpect(!hexRead || hex == expected, "ParseHex reads another value than strtoull");
  } else {
    FuzzExpect(!hexRead, "ParseHex took a text that is not hexadecimal digits");
  }

  double decimal = 0.5;
  const bool decimalRead = ParseDecimal(view, decimal);
  FuzzExpect(decimalRead || decimal == 0.5, "ParseDecimal changed the value of a text it refused");
  FuzzExpect(!decimalRead || (std::isfinite(decimal) && PlainDecimal(text)),
             "ParseDecimal took a text that is no finite plain decimal");
  if (decimalRead) {
    char* end = nullptr;
    const double expected = std::strtod(text.c_str(), &end);
    FuzzExpect(end == text.c_str() + text.size() && expected == decimal,
               "ParseDecimal reads another value than strtod");
  }
  return 0;
}
