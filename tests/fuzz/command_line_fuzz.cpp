// Arbitrary command lines: the program name is always a tail of the line that
// starts with neither a blank nor a tab.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "uninstaller/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Exactly the bytes, on the heap, so that any read past them is caught.
  const std::vector<char> bytes(data, data + size);
  const std::string_view line(bytes.data(), bytes.size());
  const std::string_view name = ProgramNameFromCommandLine(line);
  const bool blankFirst = !name.empty() && (name[0] == ' ' || name[0] == '\t');
  // A tail of the line, never the path itself.
  if (name.data() + name.size() != line.data() + line.size() || blankFirst || (name.size() == line.size() && size > 0))
    std::abort();
  return 0;
}
