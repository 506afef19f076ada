#pragma once
// The "Inline XBRL Facts" window: every fact of the open document, one row
// each (concept, the text shown, the value it stands for, period, entity,
// unit, decimals, hidden or shown), sortable by any column and narrowed by a
// filter box, with the counts of facts, contexts and units below. A
// double-click selects the fact's markup in the code view and brings it into
// view in the page; a box marks every tagged fact in the page. A tool window
// above the main window, as the check reports are; running the command again
// reads the document again.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <optional>
#include <string_view>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace tarlo {

class Editor;
struct IxFacts;

// The list's columns, in the order they show.
enum FactsColumn : int {
    kFactConcept,
    kFactShown,
    kFactValue,
    kFactPeriod,
    kFactEntity,
    kFactUnit,
    kFactDecimals,
    kFactVisibility,
    kFactsColumnCount,
};

class FactsWindow : public QWidget {
    Q_OBJECT
  public:
    explicit FactsWindow(Editor& editor);

    // Lists the facts read from the document's code; a document without
    // any gets a line saying it is no Inline XBRL document.
    void Load(const IxFacts& facts);

    // Shows only the rows with `text` in one of their cells (any case);
    // all of them when it is empty. The filter box calls it as it changes.
    void ApplyFilter(const QString& text);

    // Selects the current row's fact in the code view, while the document
    // the list was read from is still the one open.
    void lvFacts_DblClick();

    // Another document is open: the list stays for reading and says so,
    // and its rows lead nowhere.
    void MarkDocumentClosed();
    bool documentClosed() const { return documentClosed_; }

    QLineEdit* txtFilter = nullptr;
    QCheckBox* chkMark = nullptr;
    QTreeWidget* lvFacts = nullptr;
    QLabel* lblCounts = nullptr;    // "N facts, M contexts, K units", and what the filter shows
    QLabel* lblNotIxbrl = nullptr;  // shown when the document has no facts to list
    QLabel* lblDocumentClosed = nullptr;

  private:
    void ShowCounts();

    Editor& editor_;
    QPointer<QWidget> main_;  // the editor's window, while it lives
    QString totals_;          // "N facts, M contexts, K units"
    int factCount_ = 0;
    bool documentClosed_ = false;
};

// The number a fact's value ("-1234.5") or decimals ("-6") stands for, to
// sort by; nothing for a text ("INF", "true", a text block) or an empty cell.
std::optional<double> FactNumber(std::string_view value);

}  // namespace tarlo
