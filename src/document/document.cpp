#include "document/document.h"

namespace tarlo {

void Document::StartAnotherDocument() {
    // A listener may add another while it is told; those hear of the next one.
    const std::size_t count = replacedListeners_.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::function<void()> listener = replacedListeners_[i];
        if (listener) listener();
    }
}

void Document::SetSavedText(std::string text) {
    saved_ = std::move(text);
    const std::size_t count = savedListeners_.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::function<void()> listener = savedListeners_[i];
        if (listener) listener();
    }
}

}  // namespace tarlo
