// UTF-8 decoding (strict, as Unicode describes it) and the Windows-1252 table.
#include "importexport/cp1252.h"

#include <array>
#include <cstdint>

#include "importexport/imported_link.h"

namespace {

// The code points that Windows-1252 places at 0x80 to 0x9F; 0 where the code
// page has no character.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char ToCp1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] != 0 && kHighControls[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes one character at data[i]; returns the number of bytes taken (at
// least 1) and sets ok to false for a malformed sequence.
std::size_t Decode(std::string_view data, std::size_t i, char32_t& c, bool& ok) {
  const unsigned char b0 = static_cast<unsigned char>(data[i]);
  ok = false;
  if (b0 < 0x80) {
    c = b0;
    ok = true;
    return 1;
  }
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
    c = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    c = b0 & 0x0F;
    if (b0 == 0xE0) low = 0xA0;   // no overlong forms
    if (b0 == 0xED) high = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    c = b0 & 0x07;
    if (b0 == 0xF0) low = 0x90;
    if (b0 == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  } else {
    return 1;
  }
  for (std::size_t k = 1; k < length; ++k) {
    if (i + k >= data.size()) return k;
    const unsigned char b = static_cast<unsigned char>(data[i + k]);
    if (k == 1 ? (b < low || b > high) : !IsContinuation(b)) return k;
    c = (c << 6) | (b & 0x3F);
  }
  ok = true;
  return length;
}

}  // namespace

bool DeclaresUtf8(std::string_view data) {
  if (data.size() >= 3 && data.substr(0, 3) == "\xEF\xBB\xBF") return true;
  for (std::size_t i = 0; i + 5 <= data.size(); ++i) {
    if (data[i] != '<' || !MatchesAsciiWord(data.data() + i + 1, "meta", 4)) continue;
    std::size_t end = data.find('>', i);
    if (end == std::string_view::npos) end = data.size();
    const std::string_view tag = data.substr(i, end - i);
    for (std::size_t k = 0; k + 8 <= tag.size(); ++k) {
      if (!MatchesAsciiWord(tag.data() + k, "charset=", 8)) continue;
      std::size_t v = k + 8;
      if (v < tag.size() && (tag[v] == '"' || tag[v] == '\'')) ++v;
      if (v + 5 <= tag.size() && MatchesAsciiWord(tag.data() + v, "utf-8", 5)) return true;
    }
    // A "<meta" inside this tag ends at the same ">" and so holds nothing this
    // one did not: going on behind the tag keeps hostile files linear.
    i = end;
  }
  return false;
}

std::size_t Utf8ToCp1252(char* data, std::size_t size) {
  const std::string_view text(data, size);
  std::size_t i = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  // Every character, however many bytes it took, becomes one byte, so the
  // output never overtakes the input it is written over.
  std::size_t out = 0;
  while (i < size) {
    char32_t c = 0;
    bool ok = false;
    i += Decode(text, i, c, ok);
    data[out++] = ok ? ToCp1252(c) : '?';
  }
  return out;
}

std::string Utf16ToCp1252(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    // A surrogate pair is one character beyond the code page; a lone half is none at all.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF)
      ++i;
    out += ToCp1252(c >= 0xD800 && c <= 0xDFFF ? char32_t{0xFFFD} : char32_t{c});
  }
  return out;
}

std::u16string Cp1252ToUtf16(std::string_view text) {
  std::u16string out;
  for (char c : text) {
    const unsigned char b = static_cast<unsigned char>(c);
    const char32_t high = b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : 0;
    out += static_cast<char16_t>(high != 0 ? high : b);
  }
  return out;
}
