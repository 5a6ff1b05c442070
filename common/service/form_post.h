#pragma once
// How every program posts a form to the web service: the form text goes in the code page, with its
// length and the form content type, and is sent as it is (no URL encoding).

#include <string_view>

class WinHttpClient;

namespace service_form {

// Sets client's body to formUtf8 in the code page and the headers that describe it. The client
// then only needs SendRequest("POST", ...).
void PrepareFormPost(WinHttpClient& client, std::string_view formUtf8);

}  // namespace service_form
