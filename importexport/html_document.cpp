// The fixed lines of the HTML document and the order in which they are written.
#include "importexport/html_document.h"

#include <array>

namespace {

constexpr std::string_view kRule = "<hr align=center width=100% size=3>";

constexpr std::array<std::string_view, 8> kHead = {
    "<html>",
    "<!-- Erzeugt von QX Internet -->",
    "<head><title>Links aus QX Internet</title></head>",
    "<body bgcolor=#c0c0c0>",
    "<basefont size=2  face=\"Arial\",\"MS Sans Serife\">",
    "<font size=3  face=\"Arial\",\"MS Sans Serife\">Links aus QX Internet</font>",
    kRule,
    "",
};

constexpr std::array<std::string_view, 4> kFoot = {"", kRule, "</body>", "</html>"};

}  // namespace

std::string HtmlEntryLine(std::string_view link, std::string_view name) {
  std::string line = "<br><a href=\"";
  line.append(link);
  line += "\">";
  line.append(name);
  line += "</a>";
  return line;
}

void WriteHtmlDocument(const std::function<const AddressRecord&(std::size_t)>& record,
                       std::size_t count, const HtmlDocumentSteps& steps) {
  for (std::string_view line : kHead) steps.writeLine(line);
  for (std::size_t i = 0; i < count; ++i) {
    steps.atRecord(i);
    const AddressRecord& r = record(i);
    if (steps.passes(r.type)) steps.writeLine(HtmlEntryLine(FieldText(r.link), FieldText(r.name)));
  }
  steps.afterEntries();
  for (std::string_view line : kFoot) steps.writeLine(line);
}
