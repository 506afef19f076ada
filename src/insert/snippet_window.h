#pragma once
// The four snippet dialogs: keywords (frmSEO), marquee (frmMarquee), layer
// (frmLayer) and web search form (frmGoogle). Each explains where to put the
// caret, offers at most one text box and a "&Submit" button that inserts the
// snippet at the code view's caret and closes the dialog. They open centred
// on the screen, above the main window.
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarlo {

class Editor;

enum class SnippetKind { Keywords, Marquee, Layer, SearchForm };

class frmSnippet : public QWidget {
    Q_OBJECT
  public:
    frmSnippet(Editor& editor, SnippetKind kind);

    SnippetKind kind() const { return kind_; }

    // Builds the snippet from the text box, inserts it at the caret (the
    // selection collapses to its start first) and closes the dialog.
    void cmdSubmit_Click();
    // The snippet as the dialog would insert it now.
    std::string Snippet() const;

    QLabel* lblHint = nullptr;
    QLabel* lblBox = nullptr;    // keywords only: what goes into the box
    QLineEdit* input = nullptr;  // txtWords or Text1; null for layer and search form
    QPushButton* cmdSubmit = nullptr;
    QPushButton* cmdCancel = nullptr;

  private:
    Editor& editor_;
    SnippetKind kind_;
};

}  // namespace tarlo
