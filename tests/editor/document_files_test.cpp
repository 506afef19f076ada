// The bytes a document is written as and read from, and the small decisions
// the document commands take on names and captions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "shell/document_files.h"
#include "support/corpus.h"

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
    // Windows-1252 bytes become characters; the line breaks stay the file's.
    EXPECT_EQ(DocumentTextFromBytes("caf\xE9\n<p>\x93q\x94</p>\n"),
              "caf\xC3\xA9\n<p>\xE2\x80\x9Cq\xE2\x80\x9D</p>");
    EXPECT_EQ(DocumentTextFromBytes("\xEF\xBB\xBF<p>x</p>"), "<p>x</p>");
    // Only one line break is taken back.
    EXPECT_EQ(DocumentTextFromBytes("a\r\n\r\n"), "a\r\n");
}

// Open then Save without an edit writes the bytes the file had: its
// encoding, its byte-order mark, every line break where it was, and its end.
TEST(DocumentFiles, EveryFormOfFileIsWrittenBackByteForByte) {
    using namespace std::string_literals;
    const std::string files[] = {
        "<p>a</p>\n<p>b</p>\n",              // LF, final break
        "<p>a</p>\n<p>b</p>",                // LF, none
        "<p>a</p>\r\n<p>b</p>\r\n",          // CR LF
        "<p>a</p>\r<p>b</p>\r",              // old Mac
        "a\r\nb\nc\rd\n\n",                  // mixed, a blank last line
        "<p>one line</p>",                   // no break at all
        "\n",                                // a single break
        "",                                  // empty
        "\xEF\xBB\xBF<p>\xC3\xA9</p>\r\n",   // UTF-8 with its mark
        "<p>\xC3\xA9 \xE2\x80\x93</p>\n",    // UTF-8 that would fit Windows-1252
        "<p>\xE9 \x96 \x81</p>\n",           // Windows-1252, an undefined byte too
        "\xFF\xFE<\0p\0>\0\xE9\0\r\0\n\0"s,  // UTF-16, little-endian
        "\xFE\xFF\0a\xD8\x3D\xDE\x00\0\n"s,  // UTF-16, big-endian, beyond the first plane
    };
    for (const std::string& bytes : files) {
        const DocumentRead read = ReadDocumentBytes(bytes);
        EXPECT_EQ(DocumentFileBytes(read.text, read.form), bytes) << bytes;
    }
    // What new line breaks are written as follows the file.
    EXPECT_EQ(ReadDocumentBytes("a\nb\r\nc\n").form.lineBreak, LineBreak::Lf);
    EXPECT_EQ(ReadDocumentBytes("a\r\nb\r\nc\n").form.lineBreak, LineBreak::CrLf);
    EXPECT_EQ(ReadDocumentBytes("one line\n").form.lineBreak, LineBreak::Lf);
    EXPECT_EQ(ReadDocumentBytes("one line").form.lineBreak, LineBreak::CrLf);
    // A new document: CR LF, and Windows-1252 when every character fits.
    EXPECT_EQ(DocumentFileBytes("a\r\nb"), "a\r\nb\r\n");
    EXPECT_EQ(DocumentFileBytes("caf\xC3\xA9"), "caf\xE9\r\n");
    // A UTF-8 file stays UTF-8 after an edit; a Windows-1252 one stays so
    // until a character it lacks is typed.
    FileForm utf8 = ReadDocumentBytes("\xC3\xA9\n").form;
    EXPECT_EQ(DocumentFileBytes("\xC3\xA9 \xC3\xA8", utf8), "\xC3\xA9 \xC3\xA8\n");
    FileForm cp = ReadDocumentBytes("\xE9\n").form;
    EXPECT_EQ(DocumentFileBytes("\xC3\xA9 \xC3\xA8", cp), "\xE9 \xE8\n");
    EXPECT_EQ(DocumentFileBytes("\xE2\x98\x83", cp), "\xE2\x98\x83\n");
}

TEST(DocumentFiles, CorpusFilingsAreWrittenBackByteForByte) {
    const std::filesystem::path corpus(TARLO_CORPUS_DIR);
    TARLO_NEED_CORPUS();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (entry.path().extension() != ".htm") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        const DocumentRead read = ReadDocumentBytes(bytes);
        EXPECT_TRUE(DocumentFileBytes(read.text, read.form) == bytes) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0);
}

TEST(DocumentFiles, LineBreaksTakeTheDocumentsKind) {
    EXPECT_EQ(WithLineBreaks("a\r\nb\nc\rd", LineBreak::Lf), "a\nb\nc\nd");
    EXPECT_EQ(WithLineBreaks("a\r\nb\nc\rd\r", LineBreak::CrLf), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(WithLineBreaks("\n\r\r\n", LineBreak::Cr), "\r\r\r");
    EXPECT_EQ(DominantLineBreak("a\rb\rc\r\n"), LineBreak::Cr);
    EXPECT_EQ(DominantLineBreak("a\nb\r\n"), LineBreak::CrLf);
    EXPECT_EQ(DominantLineBreak(""), LineBreak::CrLf);
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
