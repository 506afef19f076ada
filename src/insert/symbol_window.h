#pragma once
// "Special Symbols" (frmSpecial): a palette of 33 characters EDGAR filings
// need as numeric references. One click puts the symbol's code at the code
// view's caret and hands the keyboard back to the code view, so the user can
// type on and click further symbols; the palette stays open above the main
// window.
#include <QLabel>
#include <vector>

class QFrame;
class QLineEdit;

namespace tarlo {

class Editor;
struct SymbolCell;

// One clickable cell of the palette. It takes the keyboard focus with Tab,
// and Space or Enter clicks it.
class SymbolLabel : public QLabel {
    Q_OBJECT
  public:
    SymbolLabel(const SymbolCell& cell, QWidget* parent);
    const SymbolCell& cell() const { return cell_; }

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    const SymbolCell& cell_;
    bool pressed_ = false;
};

class frmSpecial : public QWidget {
    Q_OBJECT
  public:
    explicit frmSpecial(Editor& editor);

    // A cell was clicked: remember its code, then insert it.
    void Symbol_Click(const SymbolCell& cell);
    // Collapses the code view's selection to its start, focuses the code
    // view and inserts the last chosen code there.
    void InsertSymbol();

    QLabel* lblInstruction = nullptr;
    QFrame* Frame1 = nullptr;
    // The last chosen code; kept out of sight.
    QLineEdit* txtSymbol = nullptr;
    std::vector<SymbolLabel*> cells;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    Editor& editor_;
};

}  // namespace tarlo
