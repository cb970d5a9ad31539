// Arbitrary bytes as the uninstaller's command line: the program name is the
// end of the line itself, never starts with a blank or tab, and is found
// without reading past the line.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "uninstaller/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::vector<char> copy(bytes, bytes + size);  // exactly the line, on the heap
  const std::string_view line(copy.data(), copy.size());
  const std::string_view name = ProgramNameFromCommandLine(line);
  if (name.size() > line.size() || name.data() != line.data() + (line.size() - name.size()) ||
      (!name.empty() && (name[0] == ' ' || name[0] == '\t')))
    std::abort();
  return 0;
}
