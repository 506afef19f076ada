#include "checker/report_window.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "codeview/code_view.h"
#include "document/document.h"
#include "shell/editor.h"
#include "shell/window_helpers.h"

namespace tarlo {

namespace {

const char* const kClosedDocumentText = "This report is for a document that is no longer open.";

QIcon PageWithExclamationMark() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    // The page, its top right corner folded.
    const QPolygon page(
        {QPoint(2, 0), QPoint(10, 0), QPoint(13, 3), QPoint(13, 15), QPoint(2, 15)});
    p.setPen(QColor(96, 96, 96));
    p.setBrush(Qt::white);
    p.drawPolygon(page);
    p.drawLine(10, 0, 10, 3);
    p.drawLine(10, 3, 13, 3);
    // The mark.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 150, 0));
    p.drawRect(6, 3, 3, 7);
    p.drawRect(6, 11, 3, 3);
    return QIcon(pixmap);
}

// The columns' widths at first, in twips; the texts may widen them.
constexpr int kStartWidths[kReportColumnCount] = {2585, 930, 1440, 700, 800, 5000};
// The most a column widens to fit its texts, in pixels (0: as wide as its
// texts): a long recommendation must not push the others out of sight.
constexpr int kMostWidths[kReportColumnCount] = {420, 260, 0, 0, 0, 560};

double Luminance(const QColor& c) {
    return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF();
}

}  // namespace

std::vector<std::optional<LineColumn>> RowPlaces(std::string_view text,
                                                 const std::vector<ReportRow>& rows) {
    std::vector<std::optional<LineColumn>> places(rows.size());
    // The checks list their problems grouped by check, not by place: the
    // places are counted in the text's order, in one pass.
    std::vector<std::pair<std::size_t, std::size_t>> order;  // offset, row
    order.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto p = TagPosition(rows[i].tag);
        if (p && *p >= 0 && static_cast<std::size_t>(*p) <= text.size())
            order.emplace_back(static_cast<std::size_t>(*p), i);
    }
    std::sort(order.begin(), order.end());
    LineColumnCounter counter(text);
    for (const auto& [offset, row] : order) places[row] = counter.At(offset);
    return places;
}

QColor SeverityColour(WinColor plain, const QColor& background, const QColor& listText) {
    const QColor colour(RedOf(plain), GreenOf(plain), BlueOf(plain));
    const double a = Luminance(colour) + 0.05;
    const double b = Luminance(background) + 0.05;
    const double contrast = a > b ? a / b : b / a;
    return contrast < 2.0 ? listText : colour;
}

frmVal::frmVal(Editor& editor, const QString& title)
    : QWidget(editor.mainWindow(), Qt::Window), editor_(editor), main_(editor.mainWindow()) {
    setObjectName(QStringLiteral("frmVal"));
    CloseOnEscape(this);
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    imlProbs.push_back(PageWithExclamationMark());

    lvProbs = new QTreeWidget(this);
    lvProbs->setObjectName(QStringLiteral("lvProbs"));
    lvProbs->setAccessibleName(QStringLiteral("Problems found"));
    lvProbs->setToolTip(QStringLiteral("Double-click a problem to go to it in the code"));
    lvProbs->setFont(QFont(QStringLiteral("Arial"), 9));
    lvProbs->setRootIsDecorated(false);
    lvProbs->setUniformRowHeights(true);
    lvProbs->setSelectionMode(QAbstractItemView::SingleSelection);
    lvProbs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvProbs->setHeaderLabels({QStringLiteral("Issue"), QStringLiteral("Code"),
                              QStringLiteral("Severity"), QStringLiteral("Line"),
                              QStringLiteral("Column"), QStringLiteral("Recommendation")});
    for (int i = 0; i < kReportColumnCount; ++i) {
        lvProbs->setColumnWidth(i, TwipSizeToPixels(kStartWidths[i], 0).width());
    }
    connect(lvProbs, &QTreeWidget::itemDoubleClicked, this, [this] { lvProbs_DblClick(); });

    // On real filings nearly every row is a Negligible "Immediate similar
    // codes"; the user may hide them to see the few errors. All rows show at
    // first, as the report lists them.
    chkNegligible = new QCheckBox(QStringLiteral("Show negligible items"), this);
    chkNegligible->setObjectName(QStringLiteral("chkNegligible"));
    chkNegligible->setAccessibleName(chkNegligible->text());
    chkNegligible->setChecked(true);
    connect(chkNegligible, &QCheckBox::toggled, this, [this] { chkNegligible_Click(); });

    lblDocumentClosed = new QLabel(QString::fromLatin1(kClosedDocumentText), this);
    lblDocumentClosed->setObjectName(QStringLiteral("lblDocumentClosed"));
    lblDocumentClosed->setAccessibleName(lblDocumentClosed->text());
    lblDocumentClosed->setStyleSheet(QStringLiteral("color: #a00000; font-weight: bold;"));
    lblDocumentClosed->hide();

    auto* top = new QHBoxLayout;
    top->setContentsMargins(4, 2, 4, 2);
    top->addWidget(chkNegligible);
    top->addStretch();
    top->addWidget(lblDocumentClosed);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    const char* initial[] = {"No errors", "No warnings", "No negligible items"};
    const char* names[] = {"Problem counts: errors", "Problem counts: warnings",
                           "Problem counts: negligible items"};
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(QString::fromLatin1(initial[i]), StatusBar1);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
        panel->setAccessibleName(QString::fromLatin1(names[i]));
        StatusBar1->addWidget(panel, 1);
        panels_.push_back(panel);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top);
    layout->addWidget(lvProbs, 1);
    layout->addWidget(StatusBar1);
    resize(TwipSizeToPixels(10440, 3315));

    SetTopmost(this, true);
    CentreOverMain(this, editor.mainWindow());
}

frmVal::~frmVal() {
    if (onClosing) onClosing(isMaximized() ? normalGeometry().size() : size());
}

QLabel* frmVal::Panel(int number) const {
    return number >= 1 && number <= static_cast<int>(panels_.size()) ? panels_[number - 1]
                                                                     : nullptr;
}

void frmVal::Load(const std::vector<ProblemRecord>& records,
                  const std::function<void(int)>& perRow) {
    const WinColor plain = main_ ? editor_.document().Look.ForegroundColor : kBlack;
    const QColor normal = SeverityColour(plain, lvProbs->palette().color(QPalette::Base),
                                         lvProbs->palette().color(QPalette::Text));
    QFont bold = lvProbs->font();
    bold.setBold(true);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(records.size()));
    std::vector<ReportRow> rows;
    rows.reserve(records.size());
    for (const ProblemRecord& record : records) rows.push_back(RowOf(record));
    // The places in the code the report is about, before anyone can type.
    const std::vector<std::optional<LineColumn>> places =
        RowPlaces(main_ ? editor_.document().Text() : std::string(), rows);
    int number = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ReportRow& row = rows[i];
        QStringList cells(kReportColumnCount);
        cells[kColumnIssue] = QString::fromStdString(row.issue);
        cells[kColumnCode] = QString::fromStdString(row.code);
        cells[kColumnSeverity] = QString::fromStdString(row.severity);
        cells[kColumnRecommendation] = QString::fromStdString(row.recommendation);
        if (places[i]) {
            cells[kColumnLine] = QString::number(places[i]->line);
            cells[kColumnColumn] = QString::number(places[i]->column);
        }
        auto* item = new QTreeWidgetItem(cells);
        item->setTextAlignment(kColumnLine, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(kColumnColumn, Qt::AlignRight | Qt::AlignVCenter);
        if (row.severity == kSeverityNegligible) {
            negligibleRows_.push_back(
                static_cast<int>(lvProbs->topLevelItemCount() + items.size()));
        }
        item->setIcon(0, imlProbs.front());
        item->setData(0, Qt::UserRole, QString::fromStdString(row.tag));
        if (row.severity == kSeverityError) {
            item->setForeground(kColumnSeverity, QColor(Qt::red));
            item->setFont(kColumnSeverity, bold);
            item->setFont(kColumnRecommendation, bold);
        } else {
            item->setForeground(kColumnSeverity, normal);
        }
        items.append(item);
        if (perRow) perRow(++number);
    }
    lvProbs->addTopLevelItems(items);
    if (!chkNegligible->isChecked()) chkNegligible_Click();
    FitColumnsToTexts();

    const ProblemCounts counts = CountProblems(rows);
    panels_[0]->setText(QString::fromStdString(ErrorsText(counts.errors)));
    panels_[1]->setText(QString::fromStdString(WarningsText(counts.warnings)));
    panels_[2]->setText(QString::fromStdString(NegligibleText(counts.negligible)));
}

void frmVal::FitColumnsToTexts() {
    for (int c = 0; c < kReportColumnCount; ++c) {
        const int start = TwipSizeToPixels(kStartWidths[c], 0).width();
        lvProbs->resizeColumnToContents(c);
        int width = std::max(lvProbs->columnWidth(c), start);
        if (kMostWidths[c] > 0) width = std::min(width, std::max(kMostWidths[c], start));
        lvProbs->setColumnWidth(c, width);
    }
    // What is still cut (a long message, or rows beyond those the header
    // measured) shows whole when the pointer rests on it. Measured in bold,
    // as the Recommendation of an error is drawn; many rows share a text.
    QFont bold = lvProbs->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    QHash<QString, int> widths;
    const int margin = 2 * lvProbs->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 4;
    const int icon = lvProbs->iconSize().isValid() ? lvProbs->iconSize().width() + 4 : 20;
    for (int r = 0; r < lvProbs->topLevelItemCount(); ++r) {
        QTreeWidgetItem* item = lvProbs->topLevelItem(r);
        for (const int c : {kColumnIssue, kColumnCode, kColumnRecommendation}) {
            const QString text = item->text(c);
            auto known = widths.constFind(text);
            if (known == widths.constEnd())
                known = widths.insert(text, metrics.horizontalAdvance(text));
            const int room = lvProbs->columnWidth(c) - margin - (c == kColumnIssue ? icon : 0);
            if (*known > room) item->setToolTip(c, text);
        }
    }
}

void frmVal::FitToColumns() {
    const int wanted = lvProbs->header()->length() + 2 * lvProbs->frameWidth() +
                       lvProbs->verticalScrollBar()->sizeHint().width() + 4;
    const QScreen* screen = main_ ? main_->screen() : this->screen();
    const int most = screen ? screen->availableGeometry().width() * 9 / 10 : wanted;
    resize(std::max(width(), std::min(wanted, most)), height());
}

void frmVal::chkNegligible_Click() {
    const bool show = chkNegligible->isChecked();
    for (const int row : negligibleRows_) lvProbs->setRowHidden(row, QModelIndex(), !show);
}

void frmVal::MarkDocumentClosed() {
    documentClosed_ = true;
    lblDocumentClosed->show();
    lvProbs->setToolTip(QString::fromLatin1(kClosedDocumentText));
    lvProbs->setAccessibleDescription(QString::fromLatin1(kClosedDocumentText));
}

void frmVal::lvProbs_DblClick() {
    // The rows' places are in a document that is no longer in the editor:
    // they would select some unrelated text of the one open now.
    if (!main_ || documentClosed_) return;
    CodeView* code = &editor_.codeView();
    int start = code->SelStart();
    if (const QTreeWidgetItem* item = lvProbs->currentItem()) {
        if (const auto p = TagPosition(item->data(0, Qt::UserRole).toString().toStdString())) {
            start = *p;
        }
    }
    // One character, however many bytes it takes.
    const int after = code->PositionAfter(std::max(start, 0));
    editor_.SetSelection(ByteRange{start, std::max(1, after - start)});
    main_->activateWindow();
    editor_.FocusCode();
}

}  // namespace tarlo
