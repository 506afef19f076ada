#include "pageview/page_capacity.h"

#include "shell/document_files.h"

namespace tarlo {

namespace {

std::string_view WhyItEnded(PageEnd how) {
    switch (how) {
        case PageEnd::Killed:
            return "its renderer was stopped by the system, most likely because it ran out of "
                   "memory";
        case PageEnd::Crashed:
            return "its renderer crashed, most likely because it ran out of memory";
        case PageEnd::Abnormal:
            return "its renderer ended abnormally";
        case PageEnd::Normal:
            break;
    }
    return "its renderer ended";
}

}  // namespace

std::string CodeOnlyNote(std::uint64_t bytes, std::uint64_t limit) {
    return "This document (" + MegabytesText(bytes) +
           ") is larger than the visual editor can show (" + MegabytesText(limit) +
           "): it is open in the code view only.";
}

std::string PageLostNote() {
    return "The visual editor stopped: the page is empty until it is shown again. The code "
           "is intact and can be saved.";
}

std::string PageLostQuestion(std::string_view name, std::uint64_t bytes, PageEnd how) {
    std::string what =
        name.empty() ? std::string("this document") : "\"" + std::string(name) + "\"";
    return "The visual editor stopped while showing " + what + " (" + MegabytesText(bytes) +
           "): " + std::string(WhyItEnded(how)) +
           ".\n\nThe code is intact in the code view and can be saved. Any edit made in the "
           "visual editor since the last refresh went with it.\n\nShow the page again?";
}

}  // namespace tarlo
