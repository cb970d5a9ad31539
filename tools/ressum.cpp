// ressum: a build tool that runs on the build machine. It reads the compiled
// resources of the address manager (a 32-bit .res file as the resource
// compiler writes it with "-O res") and writes a C++ source file that defines
// kExpectedDialogs (manager/resource_check.h): name, size and Checksum32 of the
// dialog templates DLG_INFO, DLG_LINK and DLG_INPUT. The program compares its
// loaded templates with these values at start.
//
//   ressum INPUT.res [OUTPUT.cpp]     (without OUTPUT.cpp the source goes to stdout)
//
// Exit code 0 on success; 1 when the input is unreadable, damaged or truncated,
// or lacks one of the three templates (or holds one twice), so that the build
// stops. Every read of the input is bounds-checked.
//
// Layout of the input: a sequence of entries, each beginning on a 4-byte
// boundary:
//   DWORD DataSize, DWORD HeaderSize,
//   TYPE, NAME  (each: WORD 0xFFFF and a WORD ordinal, or a NUL-terminated
//                UTF-16LE string), padding to a 4-byte boundary,
//   DWORD DataVersion, WORD MemoryFlags, WORD LanguageId, DWORD Version,
//   DWORD Characteristics,
// then, at HeaderSize bytes from the entry's start, DataSize bytes of data,
// padded to a 4-byte boundary.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "manager/checksum.h"

namespace ressum {

constexpr std::uint16_t kDialogType = 5;  // RT_DIALOG

// The templates whose values the program checks, in this order.
const char* const kCheckedDialogs[] = {"DLG_INFO", "DLG_LINK", "DLG_INPUT"};
constexpr std::size_t kCheckedDialogCount = sizeof(kCheckedDialogs) / sizeof(kCheckedDialogs[0]);

// A type or name of an entry: an ordinal or a UTF-16 string.
struct ResourceId {
  bool isOrdinal = false;
  std::uint16_t ordinal = 0;
  std::u16string text;
};

struct ResourceEntry {
  ResourceId type;
  ResourceId name;
  std::uint16_t language = 0;
  std::size_t dataOffset = 0;  // into the file
  std::uint32_t dataSize = 0;
};

struct DialogSum {
  std::string name;
  std::uint32_t size = 0;
  std::uint32_t checksum = 0;
};

// Bounds-checked little-endian reads: false when the bytes lie outside [0, end).
inline bool ReadU16(const unsigned char* bytes, std::size_t end, std::size_t at, std::uint16_t& value) {
  if (at > end || end - at < 2) return false;
  value = static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
  return true;
}

inline bool ReadU32(const unsigned char* bytes, std::size_t end, std::size_t at, std::uint32_t& value) {
  if (at > end || end - at < 4) return false;
  value = static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
          (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
          (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
  return true;
}

// Reads a TYPE or NAME field at `at`, which must end before `end`; moves `at`
// past it.
inline bool ReadId(const unsigned char* bytes, std::size_t end, std::size_t& at, ResourceId& id) {
  std::uint16_t first = 0;
  if (!ReadU16(bytes, end, at, first)) return false;
  if (first == 0xFFFF) {
    id.isOrdinal = true;
    id.text.clear();
    if (!ReadU16(bytes, end, at + 2, id.ordinal)) return false;
    at += 4;
    return true;
  }
  id.isOrdinal = false;
  id.ordinal = 0;
  id.text.clear();
  for (;;) {
    std::uint16_t unit = 0;
    if (!ReadU16(bytes, end, at, unit)) return false;  // no terminating NUL inside the header
    at += 2;
    if (unit == 0) return true;
    id.text.push_back(static_cast<char16_t>(unit));
  }
}

inline std::size_t AlignUp4(std::size_t n) { return (n + 3) & ~static_cast<std::size_t>(3); }

// Splits a whole .res file into its entries. On failure returns false and
// describes the fault in `error`; `entries` then holds the entries read so far.
inline bool ParseResourceFile(const unsigned char* bytes, std::size_t size,
                              std::vector<ResourceEntry>& entries, std::string& error) {
  entries.clear();
  std::size_t at = 0;
  while (at < size) {
    const std::size_t start = at;
    std::uint32_t dataSize = 0, headerSize = 0;
    if (!ReadU32(bytes, size, start, dataSize) || !ReadU32(bytes, size, start + 4, headerSize)) {
      error = "truncated entry header at offset " + std::to_string(start);
      return false;
    }
    if (headerSize < 8 || headerSize > size - start) {
      error = "entry header size " + std::to_string(headerSize) + " at offset " + std::to_string(start) +
              " does not fit the file";
      return false;
    }
    const std::size_t headerEnd = start + headerSize;
    ResourceEntry entry;
    std::size_t field = start + 8;
    if (!ReadId(bytes, headerEnd, field, entry.type) || !ReadId(bytes, headerEnd, field, entry.name)) {
      error = "damaged type or name in the entry at offset " + std::to_string(start);
      return false;
    }
    field = start + AlignUp4(field - start);
    // DataVersion (4), MemoryFlags (2), LanguageId (2), Version (4), Characteristics (4).
    if (field > headerEnd || headerEnd - field < 16) {
      error = "entry header at offset " + std::to_string(start) + " is too short";
      return false;
    }
    ReadU16(bytes, headerEnd, field + 6, entry.language);
    if (dataSize > size - headerEnd) {
      error = "data of the entry at offset " + std::to_string(start) + " is truncated";
      return false;
    }
    entry.dataOffset = headerEnd;
    entry.dataSize = dataSize;
    entries.push_back(entry);
    // The padding after the last entry's data may be missing at the end of the file.
    const std::size_t dataEnd = headerEnd + dataSize;
    at = start + AlignUp4(dataEnd - start);
    if (at > size) at = size;
  }
  return true;
}

// Resource names are compared as the platform's resource functions do it:
// without regard to the case of the ASCII letters.
inline bool SameName(const std::u16string& text, const char* name) {
  std::size_t i = 0;
  for (; name[i] != '\0'; ++i) {
    if (i >= text.size()) return false;
    char16_t a = text[i];
    char16_t b = static_cast<unsigned char>(name[i]);
    if (a >= u'a' && a <= u'z') a = static_cast<char16_t>(a - u'a' + u'A');
    if (b >= u'a' && b <= u'z') b = static_cast<char16_t>(b - u'a' + u'A');
    if (a != b) return false;
  }
  return i == text.size();
}

// Finds the checked dialog templates in a .res file and computes their sums,
// in the order of kCheckedDialogs. False, with `error` set, when the file is
// damaged or a template is missing or present more than once.
inline bool ComputeDialogSums(const unsigned char* bytes, std::size_t size, std::vector<DialogSum>& sums,
                              std::string& error) {
  sums.clear();
  std::vector<ResourceEntry> entries;
  if (!ParseResourceFile(bytes, size, entries, error)) return false;
  for (const char* name : kCheckedDialogs) {
    const ResourceEntry* found = nullptr;
    for (const ResourceEntry& entry : entries) {
      if (!entry.type.isOrdinal || entry.type.ordinal != kDialogType) continue;
      if (entry.name.isOrdinal || !SameName(entry.name.text, name)) continue;
      if (found != nullptr) {
        error = std::string("dialog ") + name + " is present more than once";
        return false;
      }
      found = &entry;
    }
    if (found == nullptr) {
      error = std::string("dialog ") + name + " is missing";
      return false;
    }
    DialogSum sum;
    sum.name = name;
    sum.size = found->dataSize;
    sum.checksum = Checksum32(bytes + found->dataOffset, found->dataSize);
    sums.push_back(sum);
  }
  return true;
}

// The generated C++ source with the table kExpectedDialogs.
inline std::string FormatSource(const std::vector<DialogSum>& sums, const std::string& inputName) {
  std::string out;
  out += "// Expected sizes and checksums of the dialog templates that the address\n";
  out += "// manager checks at start. Generated by tools/ressum from " + inputName + ";\n";
  out += "// the build writes this file anew, so do not edit it.\n";
  out += "#include \"manager/resource_check.h\"\n\n";
  out += "const ExpectedDialog kExpectedDialogs[kExpectedDialogCount] = {\n";
  for (const DialogSum& sum : sums) {
    char line[128];
    std::snprintf(line, sizeof line, "    {\"%s\", %luu, 0x%08lXu},\n", sum.name.c_str(),
                  static_cast<unsigned long>(sum.size), static_cast<unsigned long>(sum.checksum));
    out += line;
  }
  out += "};\n";
  return out;
}

}  // namespace ressum

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: ressum INPUT.res [OUTPUT.cpp]\n");
    return 1;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "ressum: cannot open %s\n", argv[1]);
    return 1;
  }
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    std::fprintf(stderr, "ressum: cannot read %s\n", argv[1]);
    return 1;
  }
  std::vector<ressum::DialogSum> sums;
  std::string error;
  if (!ressum::ComputeDialogSums(bytes.data(), bytes.size(), sums, error)) {
    std::fprintf(stderr, "ressum: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  std::string inputName = argv[1];
  std::size_t slash = inputName.find_last_of("/\\");
  if (slash != std::string::npos) inputName.erase(0, slash + 1);
  const std::string source = ressum::FormatSource(sums, inputName);

  if (argc == 2) {
    std::fputs(source.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  // Written beside the target and renamed over it, so that a failed run
  // leaves no half-written source behind.
  const std::string temporary = std::string(argv[2]) + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << source;
    out.close();
    if (!out) {
      std::fprintf(stderr, "ressum: cannot write %s\n", temporary.c_str());
      std::remove(temporary.c_str());
      return 1;
    }
  }
  if (std::rename(temporary.c_str(), argv[2]) != 0) {
    std::fprintf(stderr, "ressum: cannot rename %s to %s\n", temporary.c_str(), argv[2]);
    std::remove(temporary.c_str());
    return 1;
  }
  return 0;
}
