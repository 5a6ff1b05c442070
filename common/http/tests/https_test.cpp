// https against a loopback server whose certificate is made here: self-signed, for another name
// and already expired, so it fails every check a careful client makes.

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>

#include "testing/loopback_server.h"
#include "common/http/win_http_client.h"

namespace {

struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertFree {
  void operator()(X509* cert) const { X509_free(cert); }
};

struct Credentials {
  std::unique_ptr<EVP_PKEY, KeyFree> key;
  std::unique_ptr<X509, CertFree> cert;
};

Credentials MakeBadCertificate() {
  Credentials made;
  made.key.reset(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
  made.cert.reset(X509_new());
  if (!made.key || !made.cert) return made;
  X509* cert = made.cert.get();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
  X509_gmtime_adj(X509_getm_notBefore(cert), -3 * 86400);
  X509_gmtime_adj(X509_getm_notAfter(cert), -86400);  // expired yesterday
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("elsewhere.invalid"), -1,
                             -1, 0);
  X509_set_issuer_name(cert, name);
  X509_set_pubkey(cert, made.key.get());
  if (X509_sign(cert, made.key.get(), EVP_sha256()) == 0) made.cert.reset();
  return made;
}

TEST(WinHttpClientHttps, AcceptsABadCertificateUnlessAskedToCheckIt) {
  Credentials credentials = MakeBadCertificate();
  ASSERT_TRUE(credentials.key && credentials.cert);
  testing_support::BasicLoopbackServer<httplib::SSLServer> server(credentials.cert.get(), credentials.key.get());
  ASSERT_TRUE(server.server().is_valid());
  server.server().Post("/api", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content("secure " + req.body, "text/plain; charset=utf-8");
  });
  ASSERT_GT(server.Start(), 0);

  WinHttpClient lenient(server.Url("/api"));
  lenient.SetRequestBody("a=1");
  ASSERT_TRUE(lenient.SendRequest("POST", true)) << lenient.GetLastErrorCode();
  EXPECT_EQ(lenient.GetResponseText(), "secure a=1");

  WinHttpClient strict(server.Url("/api"));
  strict.requireValidCertificate = true;
  strict.timeouts = {0, 1000, 1000, 1000};
  EXPECT_FALSE(strict.SendRequest("POST", true));
  EXPECT_EQ(server.SeenCount(), 1u);
}

TEST(WinHttpClientHttps, ARequestThatStartsSecureIsNeverRedirectedToPlainHttpInAnySchemeCase) {
  Credentials credentials = MakeBadCertificate();
  ASSERT_TRUE(credentials.key && credentials.cert);
  testing_support::LoopbackServer plain;
  plain.server().Get("/down", [](const httplib::Request&, httplib::Response& res) { res.set_content("plain", "text/plain"); });
  ASSERT_GT(plain.Start(), 0);
  testing_support::BasicLoopbackServer<httplib::SSLServer> secure(credentials.cert.get(), credentials.key.get());
  ASSERT_TRUE(secure.server().is_valid());
  const std::string down = plain.Url("/down");
  secure.server().Get("/up", [&down](const httplib::Request&, httplib::Response& res) { res.set_redirect(down); });
  ASSERT_GT(secure.Start(), 0);

  const std::string path = secure.Url("/up").substr(std::string("https").size());
  for (const char* scheme : {"https", "HTTPS", "Https"}) {
    SCOPED_TRACE(scheme);
    WinHttpClient client(scheme + path);
    client.timeouts = {0, 1000, 1000, 1000};
    EXPECT_FALSE(client.SendRequest("GET", false));
  }
  EXPECT_EQ(plain.SeenCount(), 0u);
}

}  // namespace
