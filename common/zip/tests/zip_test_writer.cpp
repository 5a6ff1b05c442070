#include "zip_test_writer.h"

#include <zlib.h>

#include <cstdlib>

namespace zip_test {
namespace {

void Put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::string RawDeflate(const std::string& data) {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, data.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

}  // namespace

std::string BuildZip(const std::vector<Entry>& entries, const Layout& layout) {
  std::string body;
  std::string directory;
  for (const Entry& e : entries) {
    std::string packed = e.method == 8 ? RawDeflate(e.data) : e.data;
    const std::uint32_t trueCrc =
        static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
    const std::uint32_t crc = e.crc.value_or(trueCrc);
    const auto compressed = static_cast<std::uint32_t>(packed.size());
    const std::uint32_t uncompressed = e.uncompressedSize.value_or(static_cast<std::uint32_t>(e.data.size()));
    if (e.truncateDataTo && *e.truncateDataTo < packed.size()) packed.resize(*e.truncateDataTo);
    const auto offset = e.localHeaderOffset.value_or(static_cast<std::uint32_t>(body.size()));

    if (!e.localHeaderOffset) {
      Put32(body, 0x04034b50);
      Put16(body, 20);
      Put16(body, e.flags);
      Put16(body, e.localMethod.value_or(e.method));
      Put32(body, e.dosDateTime);
      Put32(body, e.localCrc.value_or(crc));
      Put32(body, compressed);
      Put32(body, uncompressed);
      Put16(body, e.localNameLength.value_or(static_cast<std::uint16_t>(e.name.size())));
      Put16(body, static_cast<std::uint32_t>(e.localExtra.size()));
      body += e.name + e.localExtra + packed;
    }

    Put32(directory, 0x02014b50);
    Put16(directory, e.versionMadeBy);
    Put16(directory, 20);
    Put16(directory, e.flags);
    Put16(directory, e.method);
    Put32(directory, e.dosDateTime);
    Put32(directory, crc);
    Put32(directory, compressed);
    Put32(directory, uncompressed);
    Put16(directory, static_cast<std::uint32_t>(e.name.size()));
    Put16(directory, 0);  // extra
    Put16(directory, 0);  // comment
    Put16(directory, 0);  // disk start
    Put16(directory, 0);  // internal attributes
    Put32(directory, e.externalAttributes);
    Put32(directory, offset);
    directory += e.name;
  }
  std::string end;
  Put32(end, 0x06054b50);
  Put16(end, layout.thisDisk);
  Put16(end, layout.directoryDisk);
  Put16(end, layout.entriesOnThisDisk.value_or(static_cast<std::uint16_t>(entries.size())));
  Put16(end, static_cast<std::uint32_t>(entries.size()));
  Put32(end, static_cast<std::uint32_t>(directory.size()));
  Put32(end, layout.directoryOffset.value_or(static_cast<std::uint32_t>(body.size())));
  Put16(end, 0);  // comment length
  return layout.prefix + body + directory + end + layout.trailer;
}

std::string LocalRecord(const std::string& name, const std::string& data) {
  return BuildZip({{.name = name, .data = data, .method = 0}}).substr(0, 30 + name.size() + data.size());
}

std::string ExtendedTimestamp(std::uint8_t flags, const std::vector<std::uint32_t>& times) {
  std::string block;
  Put16(block, 0x5455);
  Put16(block, static_cast<std::uint32_t>(1 + 4 * times.size()));
  block.push_back(static_cast<char>(flags));
  for (std::uint32_t t : times) Put32(block, t);
  return block;
}

bool Run(const std::string& commandLine) { return std::system(commandLine.c_str()) == 0; }

}  // namespace zip_test
