// What the editor says when a document is too large for the page or the
// page's renderer ends, and where the page's limit lies.
#include <gtest/gtest.h>

#include "shell/document_files.h"
#include "pageview/page_capacity.h"

namespace tarlo {
namespace {

TEST(PageCapacity, LimitAndTextsNameTheDocumentAndWhatHappened) {
    // Filings of tens of megabytes still open (in the code view); the largest
    // real filing of the corpus (4 MB) shows many times over; and the page
    // is never given more than it was measured to answer within a call's
    // time limit (25 MB).
    EXPECT_LT(kMaxPageBytes, kMaxDocumentBytes);
    EXPECT_GE(kMaxPageBytes, 16ULL << 20);
    EXPECT_LT(kMaxPageBytes, 25ULL << 20);
    EXPECT_TRUE(PageCanShow(kMaxPageBytes, kMaxPageBytes));
    EXPECT_FALSE(PageCanShow(kMaxPageBytes + 1, kMaxPageBytes));

    const std::uint64_t size = 60ULL << 20;
    EXPECT_EQ(CodeOnlyNote(size, 32ULL << 20),
              "This document (60.0 MB) is larger than the visual editor can show (32.0 MB): "
              "it is open in the code view only.");

    const std::string killed = PageLostQuestion("10-K.htm", size, PageEnd::Killed);
    EXPECT_NE(killed.find("\"10-K.htm\" (60.0 MB)"), std::string::npos) << killed;
    EXPECT_NE(killed.find("out of memory"), std::string::npos);
    EXPECT_NE(killed.find("intact"), std::string::npos);
    EXPECT_NE(killed.find("can be saved"), std::string::npos);
    EXPECT_EQ(killed.substr(killed.size() - 20), "Show the page again?");
    const std::string unnamed = PageLostQuestion("", 1024, PageEnd::Abnormal);
    EXPECT_NE(unnamed.find("this document (0.0 MB)"), std::string::npos) << unnamed;
    EXPECT_NE(unnamed.find("abnormally"), std::string::npos);
    EXPECT_EQ(PageLostQuestion("", 1, PageEnd::Crashed).find("abnormally"), std::string::npos);
}

}  // namespace
}  // namespace tarlo
