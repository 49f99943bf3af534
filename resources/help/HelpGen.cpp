// Writes the program's help file from its text source: tarvex-helpgen SOURCE OUTPUT
#include <fstream>
#include <iostream>
#include <iterator>

#include "HelpFile.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: tarvex-helpgen SOURCE OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << argv[1] << ": cannot be read\n";
    return 1;
  }
  const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  try {
    const std::vector<std::uint8_t> bytes = WriteHelpFile(ParseHelpSource(source));
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out.flush()) {
      std::cerr << argv[2] << ": cannot be written\n";
      return 1;
    }
  } catch (const std::exception& e) {
    std::cerr << argv[1] << ": " << e.what() << "\n";
    return 1;
  }
  return 0;
}
