#include "checker/facts_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "checker/ixbrl_facts.h"
#include "pageview/visual_view.h"
#include "shell/editor.h"
#include "shell/window_helpers.h"

namespace tarlo {

namespace {

const char* const kNotIxbrlText =
    "This document is not Inline XBRL: it has no ix:nonFraction, ix:nonNumeric or "
    "ix:fraction facts, contexts or units.";
const char* const kClosedDocumentText = "These facts are of a document that is no longer open.";

constexpr int kOffsetRole = Qt::UserRole;
constexpr int kEndRole = Qt::UserRole + 1;
constexpr int kNumberRole = Qt::UserRole + 2;
constexpr int kIdRole = Qt::UserRole + 3;
constexpr int kIndexRole = Qt::UserRole + 4;

// The columns' widths at first, in pixels.
constexpr int kStartWidths[kFactsColumnCount] = {300, 160, 140, 170, 100, 110, 70, 70};

// A row that sorts its value and decimals as numbers: "-5" before "10", and
// the numbers before the texts ("INF", a text fact's words).
class FactItem : public QTreeWidgetItem {
  public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        if (column == kFactValue || column == kFactDecimals) {
            const QVariant a = data(column, kNumberRole);
            const QVariant b = other.data(column, kNumberRole);
            if (a.isValid() && b.isValid()) return a.toDouble() < b.toDouble();
            if (a.isValid() != b.isValid()) return a.isValid();
        }
        return QTreeWidgetItem::operator<(other);
    }
};

QString Qs(const std::string& s) {
    return QString::fromStdString(s);
}

QString ValueText(const IxFact& f) {
    if (f.nil) return QStringLiteral("(nil)");
    if (!f.readable) return QStringLiteral("(unreadable)");
    return Qs(f.value);
}

}  // namespace

std::optional<double> FactNumber(std::string_view value) {
    // Only plain decimals: strtod would also take "inf", "nan" and hex.
    const std::string_view digits = value.substr(value.substr(0, 1) == "-" ? 1 : 0);
    if (digits.empty() || digits.find_first_not_of("0123456789.") != std::string_view::npos ||
        std::count(digits.begin(), digits.end(), '.') > 1 || digits == ".") {
        return std::nullopt;
    }
    return std::strtod(std::string(value).c_str(), nullptr);
}

FactsWindow::FactsWindow(Editor& editor)
    : QWidget(editor.mainWindow(), Qt::Window), editor_(editor), main_(editor.mainWindow()) {
    setObjectName(QStringLiteral("frmFacts"));
    CloseOnEscape(this);
    setWindowTitle(QStringLiteral("Inline XBRL Facts"));
    setAttribute(Qt::WA_DeleteOnClose);

    txtFilter = new QLineEdit(this);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setAccessibleName(QStringLiteral("Filter facts"));
    txtFilter->setPlaceholderText(QStringLiteral("Filter: concept, value, period, unit..."));
    txtFilter->setClearButtonEnabled(true);
    connect(txtFilter, &QLineEdit::textChanged, this, &FactsWindow::ApplyFilter);

    lblNotIxbrl = new QLabel(QString::fromLatin1(kNotIxbrlText), this);
    lblNotIxbrl->setObjectName(QStringLiteral("lblNotIxbrl"));
    lblNotIxbrl->setAccessibleName(lblNotIxbrl->text());
    lblNotIxbrl->setWordWrap(true);
    lblNotIxbrl->hide();

    lblDocumentClosed = new QLabel(QString::fromLatin1(kClosedDocumentText), this);
    lblDocumentClosed->setObjectName(QStringLiteral("lblDocumentClosed"));
    lblDocumentClosed->setAccessibleName(lblDocumentClosed->text());
    lblDocumentClosed->setStyleSheet(QStringLiteral("color: #a00000; font-weight: bold;"));
    lblDocumentClosed->hide();

    lvFacts = new QTreeWidget(this);
    lvFacts->setObjectName(QStringLiteral("lvFacts"));
    lvFacts->setAccessibleName(QStringLiteral("Inline XBRL facts"));
    lvFacts->setToolTip(QStringLiteral("Double-click a fact to select it in the code"));
    lvFacts->setRootIsDecorated(false);
    lvFacts->setUniformRowHeights(true);
    lvFacts->setSelectionMode(QAbstractItemView::SingleSelection);
    lvFacts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvFacts->setHeaderLabels({QStringLiteral("Concept"), QStringLiteral("Shown"),
                              QStringLiteral("Value"), QStringLiteral("Period"),
                              QStringLiteral("Entity"), QStringLiteral("Unit"),
                              QStringLiteral("Decimals"), QStringLiteral("Hidden")});
    for (int c = 0; c < kFactsColumnCount; ++c) lvFacts->setColumnWidth(c, kStartWidths[c]);
    connect(lvFacts, &QTreeWidget::itemDoubleClicked, this, [this] { lvFacts_DblClick(); });

    lblCounts = new QLabel(this);
    lblCounts->setObjectName(QStringLiteral("lblCounts"));

    chkMark = new QCheckBox(QStringLiteral("&Mark facts in the page"), this);
    chkMark->setObjectName(QStringLiteral("chkMark"));
    chkMark->setToolTip(
        QStringLiteral("Outlines every tagged fact in the page; the document does not change"));
    chkMark->setChecked(editor.visualView().factsMarked());
    connect(chkMark, &QCheckBox::toggled, this,
            [this](bool on) { editor_.visualView().MarkFacts(on); });

    auto* top = new QHBoxLayout;
    top->setContentsMargins(4, 2, 4, 2);
    top->addWidget(txtFilter, 1);
    top->addWidget(chkMark);
    top->addWidget(lblDocumentClosed);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(lblNotIxbrl);
    layout->addWidget(lvFacts, 1);
    layout->addWidget(lblCounts);
    lblCounts->setContentsMargins(4, 2, 4, 2);
    resize(TwipSizeToPixels(14400, 5000));

    SetTopmost(this, true);
    CentreOverMain(this, editor.mainWindow());
}

void FactsWindow::Load(const IxFacts& facts) {
    lvFacts->setSortingEnabled(false);
    lvFacts->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(facts.facts.size()));
    for (const IxFact& f : facts.facts) {
        QStringList cells(kFactsColumnCount);
        cells[kFactConcept] = Qs(f.concept);
        cells[kFactShown] = Qs(f.shown);
        cells[kFactValue] = ValueText(f);
        cells[kFactPeriod] = Qs(f.period);
        cells[kFactEntity] = Qs(f.entity);
        cells[kFactUnit] = Qs(f.unit);
        cells[kFactDecimals] = Qs(f.decimals);
        cells[kFactVisibility] = f.hidden ? QStringLiteral("hidden") : QStringLiteral("shown");
        auto* item = new FactItem(cells);
        item->setData(0, kOffsetRole, static_cast<qulonglong>(f.offset));
        item->setData(0, kEndRole, static_cast<qulonglong>(f.end));
        item->setData(0, kIdRole, Qs(f.id));
        item->setData(0, kIndexRole, static_cast<int>(items.size()));
        if (!f.nil && f.readable) {
            if (const auto n = FactNumber(f.value)) item->setData(kFactValue, kNumberRole, *n);
        }
        if (const auto n = FactNumber(f.decimals)) item->setData(kFactDecimals, kNumberRole, *n);
        item->setTextAlignment(kFactValue, Qt::AlignRight | Qt::AlignVCenter);
        // A text block's words do not fit a cell; the pointer shows them.
        item->setToolTip(kFactShown, cells[kFactShown]);
        items.append(item);
    }
    lvFacts->addTopLevelItems(items);
    // The document's order until the user clicks a column's header.
    lvFacts->setSortingEnabled(true);
    lvFacts->header()->setSortIndicator(-1, Qt::AscendingOrder);

    factCount_ = static_cast<int>(facts.facts.size());
    totals_ = QStringLiteral("%1 facts, %2 contexts, %3 units")
                  .arg(factCount_)
                  .arg(facts.contexts)
                  .arg(facts.units);
    lblNotIxbrl->setVisible(facts.facts.empty() && facts.contexts == 0 && facts.units == 0);
    ApplyFilter(txtFilter->text());
}

void FactsWindow::ApplyFilter(const QString& text) {
    const QString wanted = text.trimmed();
    for (int r = 0; r < lvFacts->topLevelItemCount(); ++r) {
        QTreeWidgetItem* item = lvFacts->topLevelItem(r);
        bool match = wanted.isEmpty();
        for (int c = 0; c < kFactsColumnCount && !match; ++c) {
            match = item->text(c).contains(wanted, Qt::CaseInsensitive);
        }
        item->setHidden(!match);
    }
    ShowCounts();
}

void FactsWindow::ShowCounts() {
    int shown = 0;
    for (int r = 0; r < lvFacts->topLevelItemCount(); ++r) {
        if (!lvFacts->topLevelItem(r)->isHidden()) ++shown;
    }
    lblCounts->setText(shown == factCount_
                           ? totals_
                           : QStringLiteral("%1; the filter shows %2").arg(totals_).arg(shown));
    lblCounts->setAccessibleName(lblCounts->text());
}

void FactsWindow::MarkDocumentClosed() {
    documentClosed_ = true;
    lblDocumentClosed->show();
    lvFacts->setToolTip(QString::fromLatin1(kClosedDocumentText));
}

void FactsWindow::lvFacts_DblClick() {
    // The offsets are in a document that is no longer in the editor: they
    // would select some unrelated text of the one open now.
    if (!main_ || documentClosed_) return;
    const QTreeWidgetItem* item = lvFacts->currentItem();
    if (!item) return;
    const int start = static_cast<int>(item->data(0, kOffsetRole).toULongLong());
    const int end = static_cast<int>(item->data(0, kEndRole).toULongLong());
    editor_.SetSelection(ByteRange{start, std::max(0, end - start)});
    // The page shows the same fact where it can (a hidden fact has no place).
    editor_.visualView().ShowFact(item->data(0, kIdRole).toString(),
                                  item->data(0, kIndexRole).toInt());
    main_->activateWindow();
    editor_.FocusCode();
}

}  // namespace tarlo
