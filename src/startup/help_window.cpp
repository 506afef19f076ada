#include "startup/help_window.h"

#include <QChildEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "shell/editor.h"
#include "shell/window_helpers.h"
#include "startup/startup_files.h"

namespace tarlo {

namespace {

// Gives every widget made inside a view the view's accessible name, as soon
// as it is ready to be shown.
class NameFollower : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::ChildPolished) {
            QObject* child = static_cast<QChildEvent*>(e)->child();
            if (child->isWidgetType() && watched->isWidgetType()) {
                static_cast<QWidget*>(child)->setAccessibleName(
                    static_cast<QWidget*>(watched)->accessibleName());
            }
        }
        return false;
    }
};

}  // namespace

frmHelp::frmHelp(Editor& editor)
    : QWidget(editor.mainWindow(), Qt::Window | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmHelp"));
    CloseOnEscape(this);
    setWindowTitle(QStringLiteral("Help"));
    setAttribute(Qt::WA_DeleteOnClose);

    cmdBack = new QPushButton(QStringLiteral("&Back"), this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdBack->setAccessibleName(QStringLiteral("Back"));
    cmdContents = new QPushButton(QStringLiteral("C&ontents"), this);
    cmdContents->setObjectName(QStringLiteral("cmdContents"));
    cmdContents->setAccessibleName(QStringLiteral("Contents"));
    auto* findLabel = new QLabel(QStringLiteral("&Find:"), this);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setAccessibleName(QStringLiteral("Find in help"));
    findLabel->setBuddy(txtFind);
    lblFindResult = new QLabel(this);
    lblFindResult->setObjectName(QStringLiteral("lblFindResult"));
    lblFindResult->setAccessibleName(QStringLiteral("Find result"));
    for (QPushButton* b : {cmdBack, cmdContents}) b->setAutoDefault(false);

    webHelp = new QWebEngineView(this);
    webHelp->setObjectName(QStringLiteral("webHelp"));
    webHelp->setAccessibleName(QStringLiteral("Help page"));
    // The engine's own widget inside the view takes the keyboard: it carries
    // the view's name for a reader.
    webHelp->installEventFilter(new NameFollower(webHelp));

    connect(cmdBack, &QPushButton::clicked, this, &frmHelp::cmdBack_Click);
    connect(cmdContents, &QPushButton::clicked, this, &frmHelp::cmdContents_Click);
    connect(txtFind, &QLineEdit::returnPressed, this, &frmHelp::txtFind_Return);
    connect(webHelp->page(), &QWebEnginePage::findTextFinished, this,
            [this](const QWebEngineFindTextResult& result) {
                const bool none = result.numberOfMatches() == 0 && !txtFind->text().isEmpty();
                lblFindResult->setText(none ? QStringLiteral("Not found") : QString());
            });
    // Ctrl+F goes to the find box, as in a browser.
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        txtFind->setFocus();
        txtFind->selectAll();
    });

    auto* bar = new QHBoxLayout;
    bar->addWidget(cmdBack);
    bar->addWidget(cmdContents);
    bar->addStretch();
    bar->addWidget(findLabel);
    bar->addWidget(txtFind);
    bar->addWidget(lblFindResult);
    auto* layout = new QVBoxLayout(this);
    const int margin = TwipSizeToPixels(120, 120).width();
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addLayout(bar);
    layout->addWidget(webHelp, 1);

    // The design's size, or the screen's where the screen is smaller.
    QSize size = TwipSizeToPixels(12705, 7920);
    if (const QScreen* screen = editor.mainWindow() ? editor.mainWindow()->screen() : nullptr) {
        // The frame is known once the platform has a window for it.
        winId();
        const QSize frame = frameGeometry().size() - geometry().size();
        size = size.boundedTo(screen->availableGeometry().size() - frame);
    }
    setFixedSize(size);
    SetTopmost(this, true);
    CentreOnScreen(this, editor.mainWindow());
    webHelp->setUrl(HelpIndexUrl());
}

void frmHelp::cmdBack_Click() {
    webHelp->back();
}

void frmHelp::cmdContents_Click() {
    webHelp->setUrl(HelpIndexUrl());
}

void frmHelp::txtFind_Return() {
    webHelp->findText(txtFind->text());
}

HelpCommand::HelpCommand(Editor& editor, QObject* owner) : QObject(owner), editor_(editor) {
    setObjectName(QStringLiteral("HelpCommand"));
}

void HelpCommand::Show() {
    ShowToolWindow(window_, [this] { return new frmHelp(editor_); });
}

}  // namespace tarlo
