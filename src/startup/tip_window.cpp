#include "startup/tip_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <chrono>

#include "shell/editor.h"
#include "shell/window_helpers.h"
#include "startup/startup_files.h"
#include "startup/tips.h"

namespace tarlo {

namespace {

std::vector<std::string> LoadTips(const QString& path) {
    QFile file(path);
    // A missing tips file leaves the tip blank.
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return ReadTips(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace

frmTip::frmTip(Editor& editor, const QString& tipsFile)
    : QWidget(editor.mainWindow(), Qt::Window | Qt::MSWindowsFixedSizeDialogHint),
      tips_(LoadTips(tipsFile)),
      random_(static_cast<std::mt19937::result_type>(
          std::chrono::steady_clock::now().time_since_epoch().count())) {
    setObjectName(QStringLiteral("frmTip"));
    CloseOnEscape(this);
    setWindowTitle(QStringLiteral("Tip of the Day"));
    setAttribute(Qt::WA_DeleteOnClose);

    lblHeading = new QLabel(QStringLiteral("Did you know..."), this);
    lblHeading->setObjectName(QStringLiteral("lblHeading"));
    QFont bold = lblHeading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    lblHeading->setFont(bold);

    imgTip = new QLabel(this);
    imgTip->setObjectName(QStringLiteral("imgTip"));
    imgTip->setPixmap(QIcon(QStringLiteral(":/tip.svg")).pixmap(48, 48));
    imgTip->setAccessibleName(QStringLiteral("Tip picture"));
    imgTip->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    // A tip longer than the box scrolls inside it instead of being cut off.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrTip"));
    scroll->setAccessibleName(QStringLiteral("Tip"));
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFrameShape(QFrame::NoFrame);
    lblTipText = new QLabel;
    lblTipText->setObjectName(QStringLiteral("lblTipText"));
    lblTipText->setAccessibleName(QStringLiteral("Tip"));
    lblTipText->setWordWrap(true);
    lblTipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTipText->setTextFormat(Qt::PlainText);
    scroll->setWidget(lblTipText);

    chkLoadTipsAtStartup = new QCheckBox(QStringLiteral("Show tips at start up."), this);
    chkLoadTipsAtStartup->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    // The box shows what the user last chose, so that unticking it sticks:
    // closing writes the box back, and a box that always started ticked would
    // turn the tips on again at every close.
    chkLoadTipsAtStartup->setChecked(ReadShowTips());
    cmdNext = new QPushButton(QStringLiteral("&Next Tip"), this);
    cmdNext->setObjectName(QStringLiteral("cmdNext"));
    cmdNext->setAccessibleName(QStringLiteral("Next Tip"));
    Command2 = new QPushButton(QStringLiteral("&Close"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAccessibleName(QStringLiteral("Close"));
    Command2->setDefault(true);
    connect(cmdNext, &QPushButton::clicked, this, &frmTip::cmdNext_Click);
    connect(Command2, &QPushButton::clicked, this, &frmTip::Command2_Click);

    auto* text = new QVBoxLayout;
    text->addWidget(lblHeading);
    text->addWidget(scroll, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(imgTip);
    top->addLayout(text, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chkLoadTipsAtStartup);
    bottom->addStretch();
    bottom->addWidget(cmdNext);
    bottom->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);

    setFixedSize(TwipSizeToPixels(5595, 2100).expandedTo(minimumSizeHint()));
    SetTopmost(this, true);
    CentreOverMain(this, editor.mainWindow());
    ShowRandomTip();
}

void frmTip::ShowRandomTip() {
    const std::size_t i = PickTip(tips_.size(), random_);
    lblTipText->setText(i < tips_.size() ? QString::fromStdString(tips_[i]) : QString());
}

void frmTip::cmdNext_Click() {
    ShowRandomTip();
}

void frmTip::Command2_Click() {
    close();
}

void frmTip::closeEvent(QCloseEvent* event) {
    // Written on every close; when it cannot be, the window closes all the
    // same and the file keeps what it held.
    WriteShowTips(chkLoadTipsAtStartup->isChecked());
    QWidget::closeEvent(event);
}

TipCommand::TipCommand(Editor& editor, QObject* owner)
    : QObject(owner), editor_(editor), tipsFile_(QLatin1String(kTipsResource)) {
    setObjectName(QStringLiteral("TipCommand"));
}

void TipCommand::Show() {
    ShowToolWindow(window_, [this] { return new frmTip(editor_, tipsFile_); });
}

}  // namespace tarlo
