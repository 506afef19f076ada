#pragma once
// The code view's text store: the document's text, stretches of it, the
// selection and searches, read and written through the view's own breaks
// (soft_breaks.h), so that what goes in and out is the document as written.
#include <Qsci/qsciscintillabase.h>

#include <string>

#include "codeview/soft_breaks.h"

namespace tarlo {

// The component's text of view range [from, to), breaks included.
std::string ViewRange(const QsciScintillaBase& component, int from, int to);

class CodeViewText {
  public:
    CodeViewText(QsciScintillaBase& component, const SoftBreakMap& breaks);
    CodeViewText(const CodeViewText&) = delete;
    CodeViewText& operator=(const CodeViewText&) = delete;

    int ViewLength() const;
    int Length() const;  // bytes of the document
    std::string TextRange(int start, int length) const;

    int SelStart() const;
    int CaretPosition() const;
    int SelLength() const;
    void SetSel(int start, int length);

    // The first occurrence of `text` at or after `start` (no wrap-around),
    // with the component's search flags (case, whole words).
    struct Match {
        int pos = -1;
        int length = 0;
    };
    Match Find(const std::string& text, int start, int flags);

  private:
    // An occurrence the view shows across one of its breaks, in
    // [from, before), or -1.
    int FindAcrossBreak(const std::string& text, int from, int before, int flags);

    QsciScintillaBase& component_;
    const SoftBreakMap& breaks_;
    QsciScintillaBase* scratch_ = nullptr;  // searches the text around a break
};

}  // namespace tarlo
