// table-tool load FILE                  loads a record table (either form); prints its row count
// table-tool ini FILE                   reads an ini file; prints its section and key counts
// table-tool gen-xml ROWS FILE          an XML table of ROWS rows of the grid's fields, all empty
// table-tool gen-list ROWS FILE         a binary viewer list of ROWS rows
// table-tool gen-ini KEYS FILE          an ini file of KEYS keys in one section
// Exit code 0 on success, 1 with the error on stderr.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "framework/base/Exception.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TIniFile.h"
#include "framework/base/TStringList.h"
#include "framework/base/TablePacket.h"

namespace {

void Write(const std::string& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw Exception("Cannot write \"" + file + "\"");
}

std::string Hex8(std::uint32_t v) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", v);
  return text;
}

// Written from the XML form's layout, with the checksum over the bytes between the root's tags.
std::string EmptyRowsXml(std::size_t rows) {
  std::string body = "\r\n<FIELDS>\r\n";
  for (const char* name : {"CG", "A1", "A2", "size"})
    body += std::string("<FIELD name=\"") + name + "\" type=\"integer\" kind=\"data\"/>\r\n";
  body += "<FIELD name=\"Name\" type=\"string\" size=\"255\" kind=\"data\"/>\r\n";
  body += "<FIELD name=\"Type\" type=\"string\" size=\"20\" kind=\"data\"/>\r\n";
  body += "</FIELDS>\r\n<ROWS>\r\n";
  for (std::size_t i = 1; i <= rows; ++i) body += "<ROW id=\"" + std::to_string(i) + "\"/>\r\n";
  body += "</ROWS>\r\n";
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<TARVEXTABLE version=\"1\" crc=\"" +
         Hex8(TableCrc32(body.data(), body.size())) + "\">" + body + "</TARVEXTABLE>\r\n";
}

// The binary form: magic, version, flags, fields, rows, checksum; little-endian.
std::string ViewerListBinary(std::size_t rows) {
  std::string out = "TVXTABLE";
  auto le = [&out](std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  le(1, 2);
  le(0, 2);
  le(2, 4);
  for (auto [name, size] : {std::pair<const char*, int>{"Program", 128}, {"Parameters", 20}}) {
    le(1, 1);  // string
    le(0, 1);  // data
    le(static_cast<std::uint64_t>(size), 4);
    le(std::strlen(name), 2);
    out += name;
  }
  le(rows, 4);
  for (std::size_t i = 1; i <= rows; ++i) {
    le(i, 8);
    const std::string program = "C:\\Tools\\viewer" + std::to_string(i) + ".exe";
    le(1, 1);
    le(program.size(), 4);
    out += program;
    le(1, 1);
    le(2, 4);
    out += "%s";
  }
  le(TableCrc32(out.data(), out.size()), 4);
  return out;
}

std::string ManyKeysIni(std::size_t keys) {
  std::string out = "[Environment]\r\n";
  for (std::size_t i = 0; i < keys; ++i) out += "k" + std::to_string(i) + "=1\r\n";
  return out;
}

int Run(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (argc == 3 && command == "load") {
    TClientDataSet table;
    table.LoadFromFile(argv[2]);
    std::printf("%d rows\n", table.RecordCount());
    return 0;
  }
  if (argc == 3 && command == "ini") {
    const TIniFile ini(argv[2]);
    if (!ini.LoadError().empty()) throw Exception(ini.LoadError());
    TStringList sections, keys;
    ini.ReadSections(sections);
    std::size_t count = 0;
    for (int i = 0; i < sections.Count(); ++i) {
      ini.ReadSection(sections[i], keys);
      count += static_cast<std::size_t>(keys.Count());
    }
    std::printf("%d sections, %zu keys\n", sections.Count(), count);
    return 0;
  }
  if (argc == 4 && command.rfind("gen-", 0) == 0) {
    const std::size_t n = std::stoull(argv[2]);
    if (command == "gen-xml") Write(argv[3], EmptyRowsXml(n));
    else if (command == "gen-list") Write(argv[3], ViewerListBinary(n));
    else if (command == "gen-ini") Write(argv[3], ManyKeysIni(n));
    else return 2;
    return 0;
  }
  std::fprintf(stderr, "usage: table-tool load|ini FILE | gen-xml|gen-list|gen-ini COUNT FILE\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "table-tool: %s\n", e.what());
    return 1;
  }
}
