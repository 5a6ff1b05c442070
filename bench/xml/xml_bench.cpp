// Loading documents shaped like the user file and like web answers, about 1 MB and 20 MB, with
// XmlDocument and with pugixml side by side. Reports throughput and the peak heap held during a
// load per input byte.
//   build/bench/xml/xml_bench
#include <malloc.h>

#include <cstdlib>
#include <new>
#include <string>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include "common/xml/xml_document.h"

// ---- heap accounting -------------------------------------------------------------------------

// The replacement operators below hand out malloc memory and give it back with free on purpose.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

// Counting costs time of its own, so it is on only for the one load that measures the peak.
bool g_counting = false;
size_t g_current = 0;
size_t g_peak = 0;

void* Counted(void* p) {
  if (!p || !g_counting) return p;
  g_current += malloc_usable_size(p);
  if (g_current > g_peak) g_peak = g_current;
  return p;
}

void Uncounted(void* p) {
  if (p && g_counting) g_current -= malloc_usable_size(p);
  std::free(p);
}

void* PugiAllocate(size_t size) { return Counted(std::malloc(size)); }
void PugiDeallocate(void* p) { Uncounted(p); }

}  // namespace

void* operator new(size_t size) {
  void* p = Counted(std::malloc(size ? size : 1));
  if (!p) std::abort();
  return p;
}
void operator delete(void* p) noexcept { Uncounted(p); }
void operator delete(void* p, size_t) noexcept { Uncounted(p); }
// Aligned blocks do not go through the plain operator new, so they are counted here as well.
void* operator new(size_t size, std::align_val_t alignment) {
  auto align = static_cast<size_t>(alignment);
  void* p = Counted(std::aligned_alloc(align, (size + align - 1) / align * align));
  if (!p) std::abort();
  return p;
}
void operator delete(void* p, std::align_val_t) noexcept { Uncounted(p); }
void operator delete(void* p, size_t, std::align_val_t) noexcept { Uncounted(p); }

// ---- inputs ----------------------------------------------------------------------------------

namespace {

std::string UserFile(size_t targetBytes) {
  std::string text(XmlDocument::kStandardDeclaration);
  text += "\r\n<UserList>\r\n";
  for (int user = 0; text.size() < targetBytes; ++user) {
    text += "\t<user_res>\r\n";
    auto value = [&](const char* name, const std::string& v) {
      text += "\t\t<" + std::string(name) + ">\r\n\t\t\t" + v + "\r\n\t\t</" + name + ">\r\n";
    };
    value("uid", std::to_string(100000 + user));
    value("logincode", "c0ffee" + std::to_string(user));
    value("uname", "\xD5\xC5\xC8\xFD" + std::to_string(user));
    value("account", "user" + std::to_string(user) + "@example.org");
    value("password", "p&amp;ss");
    for (const char* flag : {"autologin", "jizhumima", "scalepinless", "steppinless", "pace700pinless", "autoclear",
                             "haiyoutixing", "yaoqingtixing", "sixingtixing", "huifutixing", "tongzhitixing"}) {
      value(flag, "1");
    }
    value("scalesn", "W1ABCDEF");
    value("standardweight", "65.5");
    text += "\t\t<datalist>\r\n";
    for (int reading = 0; reading < 40; ++reading) {
      text += "\t\t\t<scaledata weight=\"65." + std::to_string(reading % 10) +
              "\" time=\"2026-12-08\" exacttime=\"2026-12-08-07-30-" + std::to_string(10 + reading) + "\"/>\r\n";
    }
    text += "\t\t</datalist>\r\n\t</user_res>\r\n";
  }
  text += "</UserList>\r\n";
  return text;
}

std::string WebAnswer(size_t targetBytes) {
  std::string text(XmlDocument::kStandardDeclaration);
  text += "<answers>";
  for (int i = 0; text.size() < targetBytes; ++i) {
    text += "<user_res><uid>" + std::to_string(i) +
            "</uid><logincode>abc</logincode><uname>&#x5F20;&#x4E09;</uname><level>3</level><sex>1</sex>"
            "<age>30</age><heigh>175</heigh><weight>70</weight><stepvalue>75</stepvalue>"
            "<head_url>http://127.0.0.1:8360/head/" + std::to_string(i) + ".jpg</head_url>"
            "<hards><hard><hardtype>1</hardtype><hardcode>W1AB</hardcode></hard>"
            "<hard><hardtype>0</hardtype><hardcode>A10000000042</hardcode></hard></hards>"
            "<tasks><task><value>70000</value><unit>1</unit></task></tasks>"
            "<msgs><all>3</all><fri>1</fri><ivi>0</ivi><msg>2</msg><reshare>0</reshare><notice>0</notice></msgs>"
            "</user_res>";
  }
  text += "</answers>";
  return text;
}

const std::string& Input(int shape, int megabytes) {
  static std::string cache[2][2];
  std::string& slot = cache[shape][megabytes > 1];
  if (slot.empty()) slot = shape == 0 ? UserFile(size_t(megabytes) << 20) : WebAnswer(size_t(megabytes) << 20);
  return slot;
}

template <typename Load>
void Measure(benchmark::State& state, Load load) {
  const std::string& text = Input(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  // Segments an earlier load left in the pool would be taken without being counted.
  XmlArena::ReleasePooledSegments();
  g_current = g_peak = 0;
  g_counting = true;
  load(text);  // everything it allocates is freed (or pooled) again before it returns
  g_counting = false;
  double peak = static_cast<double>(g_peak);
  for (auto _ : state) load(text);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["peak_heap_per_input_byte"] = peak / static_cast<double>(text.size());
  state.SetLabel(state.range(0) == 0 ? "user file" : "web answers");
}

void BM_XmlDocument(benchmark::State& state) {
  Measure(state, [](const std::string& text) {
    XmlDocument document;
    document.LoadText(text);
    benchmark::DoNotOptimize(document.Root().ChildCount());
  });
}

void BM_Pugixml(benchmark::State& state) {
  Measure(state, [](const std::string& text) {
    pugi::xml_document document;
    pugi::xml_parse_result result = document.load_buffer(text.data(), text.size());
    benchmark::DoNotOptimize(result.status);
  });
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int shape : {0, 1}) {
    for (int megabytes : {1, 20}) b->Args({shape, megabytes});
  }
  b->ArgNames({"shape", "MB"})->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_XmlDocument)->Apply(Sizes);
BENCHMARK(BM_Pugixml)->Apply(Sizes);

int main(int argc, char** argv) {
  pugi::set_memory_management_functions(PugiAllocate, PugiDeallocate);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
