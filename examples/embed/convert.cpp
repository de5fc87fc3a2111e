// Converts one legacy template file to standard output with the C++ header:
//   convert_cpp old.json > new.json
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include <lumiflow/lumiflow.hpp>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: convert_cpp LEGACY.json\n";
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  const std::string text(std::istreambuf_iterator<char>(file), {});
  const lumiflow::Result converted = lumiflow::convert(text);
  if (!converted.ok()) {
    std::cerr << argv[1] << ": " << converted.code() << ": " << converted.message() << '\n';
    return 1;
  }
  std::cout << converted.output();
  return 0;
}
