// The bytes a document is written as and read from, and the small decisions
// the document commands take on names and captions.
#include <gtest/gtest.h>

#include "editor/document_files.h"

namespace tarlo {
namespace {

TEST(DocumentFiles, WritesWindows1252WhenItFitsElseUtf8AlwaysEndingInOneCrLf) {
    EXPECT_EQ(DocumentFileBytes(""), "\r\n");
    EXPECT_EQ(DocumentFileBytes("<p>a</p>"), "<p>a</p>\r\n");
    // A text that already ends in CR LF still gets its own.
    EXPECT_EQ(DocumentFileBytes("<p>a</p>\r\n"), "<p>a</p>\r\n\r\n");
    // caf\u00e9 \u2013 \u20ac fit the code page: one byte each.
    EXPECT_EQ(DocumentFileBytes("caf\xC3\xA9 \xE2\x80\x93 \xE2\x82\xAC"), "caf\xE9 \x96 \x80\r\n");
    // A snowman does not: the whole text stays UTF-8, nothing replaced.
    EXPECT_EQ(DocumentFileBytes("caf\xC3\xA9 \xE2\x98\x83"), "caf\xC3\xA9 \xE2\x98\x83\r\n");
    // No byte-order mark in either case.
    EXPECT_NE(DocumentFileBytes("\xE2\x98\x83").substr(0, 3), "\xEF\xBB\xBF");
}

TEST(DocumentFiles, ReadingUndoesWritingSoThatRoundTripsDoNotGrow) {
    for (const std::string& text : {std::string("<p>a</p>"), std::string("<p>a</p>\r\n<p>b</p>"),
                                    std::string("caf\xC3\xA9 \xE2\x80\x93"),
                                    std::string("\xE2\x98\x83 snow"), std::string()}) {
        const std::string once = DocumentTextFromBytes(DocumentFileBytes(text));
        EXPECT_EQ(once, text);
        EXPECT_EQ(DocumentTextFromBytes(DocumentFileBytes(once)), text);
    }
    // Files from elsewhere: Windows-1252 bytes, bare line feeds, a BOM.
    EXPECT_EQ(DocumentTextFromBytes("caf\xE9\n<p>\x93q\x94</p>\n"),
              "caf\xC3\xA9\r\n<p>\xE2\x80\x9Cq\xE2\x80\x9D</p>");
    EXPECT_EQ(DocumentTextFromBytes("\xEF\xBB\xBF<p>x</p>"), "<p>x</p>");
    // Only one line break is taken back.
    EXPECT_EQ(DocumentTextFromBytes("a\r\n\r\n"), "a\r\n");
}

TEST(DocumentFiles, OnlyLowerCaseHtmlExtensionsNameADocument) {
    EXPECT_TRUE(IsHtmlDocumentName("/home/f/report.htm"));
    EXPECT_TRUE(IsHtmlDocumentName("/home/f/report.html"));
    EXPECT_FALSE(IsHtmlDocumentName("/home/f/report.HTML"));
    EXPECT_FALSE(IsHtmlDocumentName("/home/f/report.Htm"));
    EXPECT_FALSE(IsHtmlDocumentName("/home/f/report.txt"));
    EXPECT_FALSE(IsHtmlDocumentName("/home/f/report.html.bak"));
    EXPECT_FALSE(IsHtmlDocumentName("htm"));
}

TEST(DocumentFiles, AttachmentNameComesFromTheCaption) {
    EXPECT_TRUE(CaptionHasNoFile(kStartCaption));
    EXPECT_TRUE(CaptionHasNoFile(kNewCaption));
    EXPECT_FALSE(CaptionHasNoFile("/home/f/Tarlo/report.htm"));

    EXPECT_EQ(AttachmentNameFromCaption("/home/f/sub/report.htm"), "report.htm");
    EXPECT_EQ(AttachmentNameFromCaption("C:\\filings\\q3\\10-Q.html"), "10-Q.html");
    EXPECT_EQ(AttachmentNameFromCaption("report.htm"), std::nullopt);
    EXPECT_EQ(AttachmentNameFromCaption("/home/f/"), std::nullopt);
    EXPECT_EQ(AttachmentNameFromCaption("/home/f/.."), std::nullopt);
    // At most 99 characters, counted as characters, not bytes.
    const std::string longName(120, 'x');
    EXPECT_EQ(AttachmentNameFromCaption("/d/" + longName), std::string(99, 'x'));
    std::string accented;
    for (int i = 0; i < 100; ++i) accented += "\xC3\xA9";
    const auto cut = AttachmentNameFromCaption("/d/" + accented);
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(*cut, accented.substr(0, 198));
}

TEST(DocumentFiles, UnicodeTextFromWindowsEditorsOpensAsText) {
    using namespace std::string_literals;
    // "<p>\u00e9</p>" and a CR LF, little-endian with its mark.
    const std::string le = "\xFF\xFE<\0p\0>\0\xE9\0<\0/\0p\0>\0\r\0\n\0"s;
    EXPECT_EQ(CheckDocumentFile(le.size(), le), OpenCheck::Ok);
    EXPECT_EQ(DocumentTextFromBytes(le), "<p>\xC3\xA9</p>");
    // Big-endian, a character beyond the first plane, and a lone surrogate.
    const std::string be = "\xFE\xFF\0a\xD8\x3D\xDE\x00\xDC\x00\0b"s;
    EXPECT_EQ(DocumentTextFromBytes(be),
              "a\xF0\x9F\x98\x80\xEF\xBF\xBD"
              "b");
    // A mark followed by an odd number of bytes is no such text.
    const std::string odd = "\xFF\xFE<\0p"s;
    EXPECT_EQ(CheckDocumentFile(odd.size(), odd), OpenCheck::Binary);
}

TEST(DocumentFiles, EmailBodyAndWhichFilesOpen) {
    const std::string body = EmailBody();
    EXPECT_EQ(body.substr(0, 5), "\r\r\r\r\r");
    EXPECT_EQ(body.substr(5, 48), std::string(47, '_') + "\r");
    EXPECT_EQ(body.substr(53), "Emailed from Tarlo at " + std::string(kWebAddress) +
                                   "\rThe best HTML editor for coders!");
    EXPECT_EQ(body.find('\n'), std::string::npos);

    EXPECT_EQ(CheckDocumentFile(10, "<p>x</p>"), OpenCheck::Ok);
    EXPECT_EQ(CheckDocumentFile(0, ""), OpenCheck::Ok);
    EXPECT_EQ(CheckDocumentFile(8, std::string_view("GIF8\0\0\1\2", 8)), OpenCheck::Binary);
    EXPECT_EQ(CheckDocumentFile(kMaxDocumentBytes, "x"), OpenCheck::Ok);
    EXPECT_EQ(CheckDocumentFile(kMaxDocumentBytes + 1, "x"), OpenCheck::TooLarge);
    EXPECT_EQ(MegabytesText(3 * 1024 * 1024 / 2), "1.5 MB");
}

}  // namespace
}  // namespace tarlo
