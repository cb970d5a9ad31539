// Tests of the build tool ressum on the build machine, built with
// AddressSanitizer and UBSan: it finds the three checked dialog templates in
// the compiled resources, and it fails cleanly, without reading outside its
// input, on every truncation and on damaged entries.
//
//   ressum_input_test QXINET.RES
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#define RESSUM_NO_MAIN
#include "tools/ressum.cpp"

namespace {

int failures = 0;

void Check(bool condition, const std::string& what) {
  if (!condition) {
    ++failures;
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
  }
}

// Runs the tool's parser on a copy of exactly `size` bytes, so that the
// sanitizer sees every read past the end.
bool Sums(const std::vector<unsigned char>& file, std::size_t size, std::vector<ressum::DialogSum>& sums,
          std::string& error) {
  std::vector<unsigned char> copy(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
  unsigned char* heap = new unsigned char[size == 0 ? 1 : size];
  if (size > 0) std::memcpy(heap, copy.data(), size);
  bool ok = ressum::ComputeDialogSums(heap, size, sums, error);
  delete[] heap;
  return ok;
}

void PutU32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint32_t GetU32(const std::vector<unsigned char>& bytes, std::size_t at) {
  std::uint32_t value = 0;
  ressum::ReadU32(bytes.data(), bytes.size(), at, value);
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ressum_input_test QXINET.RES\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (file.empty()) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 2;
  }

  // The real file: three templates, named and ordered as the check expects.
  std::vector<ressum::DialogSum> whole;
  std::string error;
  Check(Sums(file, file.size(), whole, error), "the compiled resources parse: " + error);
  Check(whole.size() == 3, "three sums");
  if (whole.size() == 3) {
    Check(whole[0].name == "DLG_INFO" && whole[1].name == "DLG_LINK" && whole[2].name == "DLG_INPUT",
          "names and order of the sums");
    for (const auto& sum : whole) Check(sum.size > 0, sum.name + " has data");
  }
  const std::string source = ressum::FormatSource(whole, "qxinet.res");
  Check(source.find("kExpectedDialogs[kExpectedDialogCount]") != std::string::npos, "source defines the table");

  // The entries, to damage them one by one below.
  std::vector<ressum::ResourceEntry> entries;
  Check(ressum::ParseResourceFile(file.data(), file.size(), entries, error), "entries: " + error);
  std::vector<std::size_t> starts;
  for (const auto& entry : entries) {
    // The header starts HeaderSize bytes before the data.
    for (std::size_t start = 0; start < entry.dataOffset; start += 4) {
      if (GetU32(file, start + 4) == entry.dataOffset - start && GetU32(file, start) == entry.dataSize) {
        starts.push_back(start);
        break;
      }
    }
  }
  Check(starts.size() == entries.size(), "every entry's start found");

  // Every truncation either fails or, when it cuts only padding or entries
  // after the last checked template, gives the same sums.
  for (std::size_t size = 0; size < file.size(); ++size) {
    std::vector<ressum::DialogSum> sums;
    std::string why;
    if (Sums(file, size, sums, why)) {
      bool same = sums.size() == whole.size();
      for (std::size_t i = 0; same && i < sums.size(); ++i) {
        same = sums[i].size == whole[i].size && sums[i].checksum == whole[i].checksum;
      }
      Check(same, "truncation to " + std::to_string(size) + " bytes gives other sums");
    } else {
      Check(!why.empty(), "truncation to " + std::to_string(size) + " bytes fails with a reason");
    }
  }

  // Damaged sizes in every entry header.
  const std::uint32_t badValues[] = {0, 1, 7, 8, 0x1F, 0xFFFF, 0x7FFFFFFF, 0xFFFFFFF8, 0xFFFFFFFC, 0xFFFFFFFF};
  for (std::size_t start : starts) {
    for (int field = 0; field < 2; ++field) {
      for (std::uint32_t value : badValues) {
        std::vector<unsigned char> damaged = file;
        PutU32(damaged, start + 4 * field, value);
        std::vector<ressum::DialogSum> sums;
        std::string why;
        Sums(damaged, damaged.size(), sums, why);  // must not crash or read outside
      }
    }
  }

  // Every single byte of the file flipped in turn: no read outside the input.
  for (std::size_t at = 0; at < file.size(); ++at) {
    std::vector<unsigned char> damaged = file;
    damaged[at] ^= 0xFF;
    std::vector<ressum::DialogSum> sums;
    std::string why;
    Sums(damaged, damaged.size(), sums, why);
  }

  // A name without its terminating NUL inside the header.
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].name.isOrdinal || entries[i].name.text != u"DLG_LINK") continue;
    std::vector<unsigned char> damaged = file;
    const std::size_t start = starts[i];
    const std::size_t headerEnd = entries[i].dataOffset;
    for (std::size_t at = start + 8; at < headerEnd; ++at) damaged[at] = 'A';
    std::vector<ressum::DialogSum> sums;
    std::string why;
    Check(!Sums(damaged, damaged.size(), sums, why), "an unterminated name fails");
  }

  // One checked template missing: the tool must stop the build.
  for (const char* name : {"DLG_INFO", "DLG_LINK", "DLG_INPUT"}) {
    std::vector<unsigned char> without;
    bool removed = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      std::size_t end = i + 1 < starts.size() ? starts[i + 1] : file.size();
      bool skip = entries[i].type.isOrdinal && entries[i].type.ordinal == ressum::kDialogType &&
                  !entries[i].name.isOrdinal && ressum::SameName(entries[i].name.text, name);
      if (skip) {
        removed = true;
        continue;
      }
      without.insert(without.end(), file.begin() + static_cast<std::ptrdiff_t>(starts[i]),
                     file.begin() + static_cast<std::ptrdiff_t>(end));
    }
    Check(removed, std::string(name) + " found to remove");
    std::vector<ressum::DialogSum> sums;
    std::string why;
    Check(!Sums(without, without.size(), sums, why) && why.find(name) != std::string::npos,
          std::string("missing ") + name + " fails: " + why);
  }

  // A checked template present twice is ambiguous.
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].name.isOrdinal || entries[i].name.text != u"DLG_INPUT") continue;
    std::size_t end = i + 1 < starts.size() ? starts[i + 1] : file.size();
    std::vector<unsigned char> twice = file;
    twice.insert(twice.end(), file.begin() + static_cast<std::ptrdiff_t>(starts[i]),
                 file.begin() + static_cast<std::ptrdiff_t>(end));
    std::vector<ressum::DialogSum> sums;
    std::string why;
    Check(!Sums(twice, twice.size(), sums, why), "a doubled DLG_INPUT fails");
  }

  if (failures == 0) std::printf("ressum input tests passed\n");
  return failures == 0 ? 0 : 1;
}
