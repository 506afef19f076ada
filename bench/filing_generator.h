#pragma once
// Builds a filing-like HTML document of about the requested size: headings,
// paragraphs and financial tables, as EDGAR filings are made of.
#include <string>

namespace tarlo::bench {

inline std::string GenerateFiling(std::size_t bytes) {
    std::string out = "<html>\r\n<head>\r\n<title>Annual report</title>\r\n</head>\r\n<body>\r\n";
    int section = 0;
    while (out.size() < bytes) {
        ++section;
        out += "<h2>Item " + std::to_string(section) + ". Management&#146;s Discussion</h2>\r\n";
        out +=
            "<p style=\"font-family:Times New Roman; font-size:10pt\">Net revenues for fiscal "
            "year " +
            std::to_string(2000 + section % 25) +
            " increased &#150; as described below &#150; compared with the prior year, "
            "driven by growth in the Company&#146;s core products.</p>\r\n";
        out += "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"100%\">\r\n";
        for (int row = 0; row < 12; ++row) {
            out += "<tr><td width=\"60%\"><font size=\"2\">Line item " + std::to_string(row) +
                   "</font></td><td align=\"right\"><font size=\"2\">$</font></td>"
                   "<td align=\"right\"><font size=\"2\">" +
                   std::to_string(1000 + section * 37 + row * 911) + "</font></td></tr>\r\n";
        }
        out += "</table>\r\n";
    }
    out += "</body>\r\n</html>\r\n";
    return out;
}

}  // namespace tarlo::bench
