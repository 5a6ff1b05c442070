#pragma once
// Reading a request body the way the client writes it: "method=NAME" and then the method's fields
// in a fixed order, each as "&name=value", values not URL-encoded. A value may hold "&" and even
// text that looks like a following field, so a body can have several readings; the caller keeps
// the one whose signature verifies. The bytes stay in the client's code page.

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace service {

// The name after a leading "method=", up to the first "&"; nothing when the body does not start so.
std::optional<std::string_view> MethodNameOf(std::string_view body);

// One reading: values[i] belongs to fields[i] of the layout it was read with (values[0] is the method).
struct FormReading {
  std::vector<std::string_view> values;  // views into the body
};

struct FormReadings {
  // Earliest field boundaries first: ordered by where the second field starts, then the third, ...
  std::vector<FormReading> readings;
  bool truncated = false;  // the body has more readings than were asked for
  // Field boundaries the search looked at; never more than fields × (body size + maxReadings + 1),
  // however the body is made.
  size_t work = 0;
};

// Every reading of body as "method=" + method followed by the fields in this order, each introduced
// by "&name=", up to maxReadings of them. No readings when the body does not have that shape at all.
// fields[0] must be "method". The last field starts at the last place its name appears, since the
// last value of every method (a signature, hex digits or a fixed word) never holds "&".
FormReadings ReadForm(std::string_view body, std::string_view method, const std::vector<std::string_view>& fields,
                      size_t maxReadings);

}  // namespace service
