#pragma once
// Builds a filing as a word processor saves it as a web page: Office
// paragraph classes and inline styles, o:p marks, spans, smart tags,
// conditional comments and spreadsheet cells with x:num.
#include <string>

namespace tarlo::bench {

inline std::string GenerateWordFiling(std::size_t bytes) {
    std::string out =
        "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\">\r\n<head>\r\n"
        "<meta name=ProgId content=Word.Document>\r\n<meta name=Generator content=\"Microsoft "
        "Word 9\">\r\n<title>Annual report</title>\r\n<!--[if gte mso 9]><xml><o:Pages>12"
        "</o:Pages></xml><![endif]-->\r\n</head>\r\n<body lang=EN-US style='tab-interval:.5in'>"
        "\r\n<div class=Section1>\r\n";
    int section = 0;
    while (out.size() < bytes) {
        ++section;
        out +=
            "<p class=MsoNormal style='margin-top:6.0pt'><b><span style='font-size:11.0pt'>"
            "Item " +
            std::to_string(section) +
            ". Management\u2019s Discussion<o:p></o:p></span></b></p>\r\n";
        out +=
            "<p class=MsoBodyText>Net revenues for fiscal year <st1:date Year=\"2001\">"
            "2001</st1:date> increased \u2013 as described below \u2013 in <st1:place>"
            "<st1:City>Wilmington</st1:City></st1:place><span style='mso-spacerun:yes'>"
            "&nbsp; </span>and elsewhere\u2026<o:p></o:p></p>\r\n";
        out +=
            "<table border=0 cellspacing=0 cellpadding=0 style='border-collapse:collapse'>"
            "\r\n";
        for (int row = 0; row < 8; ++row) {
            out +=
                " <tr style='height:12.75pt'>\r\n  <td width=300 class=xl24 "
                "style='width:3.0in'><p class=MsoNormal>Line item " +
                std::to_string(row) +
                "<o:p></o:p></p></td>\r\n  <td class=xl25 align=right x:num=\"" +
                std::to_string(1000 + section * 37 + row * 911) + "\">" +
                std::to_string(1000 + section * 37 + row * 911) + "</td>\r\n </tr>\r\n";
        }
        out +=
            "</table>\r\n<p class=MsoNormal><![if !supportEmptyParas]>&nbsp;<![endif]>"
            "<o:p></o:p></p>\r\n";
    }
    out += "</div>\r\n</body>\r\n</html>\r\n";
    return out;
}

}  // namespace tarlo::bench
