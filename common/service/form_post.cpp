#include "common/service/form_post.h"

#include <string>

#include "common/http/win_http_client.h"
#include "platform/codepage.h"

namespace service_form {

void PrepareFormPost(WinHttpClient& client, std::string_view formUtf8) {
  std::string body = platform::ToCodePage(formUtf8);
  client.additionalHeaders = "Content-Length: " + std::to_string(body.size()) +
                             "\r\nContent-Type: application/x-www-form-urlencoded\r\n";
  client.SetRequestBody(body);
}

}  // namespace service_form
