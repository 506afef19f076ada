#pragma once
// The one document the editor holds. Its text lives in the code view (the
// view is the text's storage, reached through `CodeText`); the document owns
// everything else about it: the file it came from, what was last opened or
// saved, whether the code is current with the page, the undo history, and
// the refresh options. Every command and tool window works on this object,
// never on the main window.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "document/undo_history.h"
#include "text/colour.h"
#include "text/document_bytes.h"

namespace tarlo {

// Which of the two views is current: after a refresh the code is; once the
// visual view gains or loses the focus the page may hold edits the code has
// not caught up with.
enum class DocumentStatus { Awaiting, Accurate, Stale };

// The code view, as the document keeps its text in it.
class CodeText {
  public:
    virtual ~CodeText() = default;
    virtual std::string TextUtf8() const = 0;
    // Replaces the whole text; the view raises its change, as for typing.
    virtual void SetTextUtf8(std::string_view text) = 0;
    // Replaces [start, start + length) as one change; the view raises its
    // change, as for typing.
    virtual void ReplaceRange(int start, int length, std::string_view text) {
        std::string all = TextUtf8();
        all.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(length), text);
        SetTextUtf8(all);
    }
    virtual int Length() const = 0;  // bytes
    // Every character in one colour and size; typed text takes them too.
    virtual void PaintAll(WinColor colour, double pointSize) = 0;
    // Every character at one size, its colour kept.
    virtual void ResizeAll(WinColor colour, double pointSize) = 0;
    // What Enter writes from now on.
    virtual void SetLineBreak(LineBreak kind) = 0;
};

// How the code looks: the window mode and the code font size.
struct CodeLook {
    // The code view's plain colour: white in dark mode, black in light mode.
    WinColor ForegroundColor = kWhite;
    // Uses of the window-colour toggle: even = dark, odd = light.
    std::int16_t WindowColorCount = 0;
    std::int16_t CodeFontSize = 9;
    ColourSettings Colours;
};

class Document {
  public:
    explicit Document(CodeText& code) : code_(code) {}
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // --- the text, held by the code view
    CodeText& Code() const { return code_; }
    std::string Text() const { return code_.TextUtf8(); }
    int Length() const { return code_.Length(); }

    // --- the file
    // The file Save writes to; empty until the document has one of ours.
    std::string DocumentPath;
    // The file opened last, whatever its kind.
    std::string OpenedFileName;
    // The folder pictures and the preview's links resolve in: the document
    // file's folder, empty for a new document.
    std::string BaseFolder;

    // How the file is written: its encoding and line breaks as they were
    // read, so that Save changes only what the user changed. New sets the
    // form of a new document.
    const FileForm& Form() const { return form_; }
    void SetForm(FileForm form) {
        form_ = std::move(form);
        code_.SetLineBreak(form_.lineBreak);
    }
    // Text the editor makes (a refresh, the formatter, the clean-up, an
    // inserted snippet) with its line breaks as the document writes them.
    std::string InOwnLineBreaks(std::string_view text) const {
        return WithLineBreaks(text, form_.lineBreak);
    }

    // --- which document it is
    // New, Open and a dropped file put another document in the editor: what
    // was found in the one before (an error report's places) no longer
    // applies. Tells every listener, in the order they were added.
    void StartAnotherDocument();
    // A listener lives as long as the document or checks that its own
    // object still does.
    void AddReplacedListener(std::function<void()> listener) {
        replacedListeners_.push_back(std::move(listener));
    }

    // --- what was last opened or saved
    // Open, Save, Save As and New set it; listeners are told, in the order
    // they were added (the recovery copy goes once nothing is unsaved).
    void SetSavedText(std::string text);
    void AddSavedListener(std::function<void()> listener) {
        savedListeners_.push_back(std::move(listener));
    }
    // True when the code differs from what was last opened or saved.
    bool CodeDiffersFromSaved() const { return code_.TextUtf8() != saved_; }
    bool DiffersFromSaved(std::string_view text) const { return text != saved_; }

    // --- whether the code is current with the page
    DocumentStatus Status() const { return status_; }
    void MarkCodeAccurate() { SetStatus(DocumentStatus::Accurate); }
    void MarkCodeStale() { SetStatus(DocumentStatus::Stale); }
    // Told of every status set (the status box shows it).
    void SetStatusListener(std::function<void(DocumentStatus)> listener) {
        statusListener_ = std::move(listener);
    }

    // --- the undo history of the code
    UndoHistory& History() { return history_; }
    const UndoHistory& History() const { return history_; }
    // Set while the history loads a step back into the code view, so that
    // the load itself is not recorded as a new step.
    bool RestoringUndo = false;

    // --- what a refresh does after taking the page's HTML
    bool AutoFormat = false;
    bool AutoColorize = false;

    // --- how the code looks
    CodeLook Look;

  private:
    void SetStatus(DocumentStatus status) {
        status_ = status;
        if (statusListener_) statusListener_(status);
    }

    CodeText& code_;
    FileForm form_;
    std::string saved_;
    DocumentStatus status_ = DocumentStatus::Awaiting;
    std::function<void(DocumentStatus)> statusListener_;
    std::vector<std::function<void()>> replacedListeners_;
    std::vector<std::function<void()>> savedListeners_;
    UndoHistory history_;
};

}  // namespace tarlo
