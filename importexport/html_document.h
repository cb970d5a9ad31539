// The lines of the exported HTML document: a fixed head, one hyperlink line per
// entry, a fixed foot. Names and links go in as stored, unescaped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "addressdb/record.h"

// "<br><a href="link">name</a>"
std::string HtmlEntryLine(std::string_view link, std::string_view name);

struct HtmlDocumentSteps {
  std::function<void(std::string_view line)> writeLine;      // the line without its CR LF
  std::function<bool(std::uint8_t type)> passes;             // the type filter
  std::function<void(std::size_t index)> atRecord;           // before record index is handled
  std::function<void()> afterEntries;                        // between entries and foot
};

// Writes the whole document line by line from records 0 .. count-1.
void WriteHtmlDocument(const std::function<const AddressRecord&(std::size_t)>& record,
                       std::size_t count, const HtmlDocumentSteps& steps);
