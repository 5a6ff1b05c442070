#pragma once
// Decimal numbers in the text of files, requests, answers and the service's database. printf and
// strtod follow the locale of the process, and a desktop in German or French makes them write and
// read a decimal comma (GTK takes the locale from the environment at start-up); these always use a
// point.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// value with exactly decimals digits after a point, rounded as "%.*f" rounds: "68.4", "-0.5", "70".
std::string FixedText(double value, int decimals);

// The decimal number at the start of text after leading blanks ("68.4kg" gives 68.4), in the C
// locale's syntax with an optional leading '+'; nothing when text does not start with a finite number.
std::optional<double> LeadingDecimal(std::string_view text);

}  // namespace platform
