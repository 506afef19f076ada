#include "insert/snippet_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "shell/editor.h"
#include "shell/window_helpers.h"
#include "insert/snippets.h"
#include "text/byte_range.h"

namespace tarlo {

namespace {

struct SnippetTexts {
    const char* objectName;
    const char* caption;
    const char* hint;
    const char* boxName;   // null: no text box
    const char* boxLabel;  // null: none above the box
    const char* boxAccessibleName;
};

SnippetTexts TextsOf(SnippetKind kind) {
    switch (kind) {
        case SnippetKind::Keywords:
            return {"frmSEO",
                    "Optimize your page for search engines.",
                    "Place the cursor in the code window either directly after the <HEAD> tag or "
                    "directly before the </HEAD> tag. You may then add your keywords (each "
                    "separated by a comma) in the box below. (Note: Having more than 19 keywords "
                    "may actually prove to yield less hits when searching for your page).",
                    "txtWords",
                    "Type in the keywords you would like to add separated by commas (Computer, "
                    "IBM, Dell, etc.)",
                    "Keywords"};
        case SnippetKind::Marquee:
            return {"frmMarquee",
                    "Add a Marquee",
                    "Place the cursor in the code window where you want your marquee to be, then "
                    "enter your text below. (You can change the color, font, style and size of "
                    "your text on the main screen). Marquees will only be active in live content "
                    "or when previewed in a browser.",
                    "Text1",
                    nullptr,
                    "Marquee text"};
        case SnippetKind::Layer:
            return {"frmLayer",
                    "Add Layer",
                    "Place the cursor in thecode window where you want your new layer to be then "
                    "press Submit.",
                    nullptr,
                    nullptr,
                    nullptr};
        case SnippetKind::SearchForm:
            break;
    }
    return {"frmGoogle",
            "Add Google Search",
            "Place the cursor in the code window where you want your Search button to be then "
            "press Submit.",
            nullptr,
            nullptr,
            nullptr};
}

// The dialogs open in the middle of the screen the main window is on.
void CentreOnScreen(QWidget* window, const QWidget* main) {
    QScreen* screen = main ? main->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    window->winId();
    const QRect area = screen->availableGeometry();
    const QRect own = window->frameGeometry();
    window->move(area.left() + (area.width() - own.width()) / 2,
                 area.top() + (area.height() - own.height()) / 2);
}

}  // namespace

frmSnippet::frmSnippet(Editor& editor, SnippetKind kind)
    : QWidget(editor.mainWindow(), Qt::Window), editor_(editor), kind_(kind) {
    const SnippetTexts texts = TextsOf(kind);
    setObjectName(QString::fromLatin1(texts.objectName));
    CloseOnEscape(this);
    setWindowTitle(QString::fromLatin1(texts.caption));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, false);

    auto* layout = new QVBoxLayout(this);
    lblHint = new QLabel(QString::fromLatin1(texts.hint), this);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->setAccessibleName(lblHint->text());
    lblHint->setWordWrap(true);
    lblHint->setTextFormat(Qt::PlainText);
    layout->addWidget(lblHint);

    if (texts.boxLabel) {
        lblBox = new QLabel(QString::fromLatin1(texts.boxLabel), this);
        lblBox->setObjectName(QStringLiteral("lblBox"));
        lblBox->setAccessibleName(lblBox->text());
        lblBox->setWordWrap(true);
        lblBox->setTextFormat(Qt::PlainText);
        layout->addWidget(lblBox);
    }
    if (texts.boxName) {
        input = new QLineEdit(this);
        input->setObjectName(QString::fromLatin1(texts.boxName));
        input->setAccessibleName(QString::fromLatin1(texts.boxAccessibleName));
        if (lblBox) lblBox->setBuddy(input);
        // Enter in the box submits, as the button does.
        connect(input, &QLineEdit::returnPressed, this, [this] { cmdSubmit_Click(); });
        layout->addWidget(input);
    }

    cmdSubmit = new QPushButton(QStringLiteral("&Submit"), this);
    cmdSubmit->setObjectName(QStringLiteral("cmdSubmit"));
    cmdSubmit->setAccessibleName(QStringLiteral("Submit"));
    cmdSubmit->setDefault(true);
    connect(cmdSubmit, &QPushButton::clicked, this, [this] { cmdSubmit_Click(); });
    // Cancel (and Escape) close the dialog and insert nothing.
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAccessibleName(QStringLiteral("Cancel"));
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSubmit);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    layout->addLayout(buttons);

    // Wide enough for the hints to read as short paragraphs; as tall as
    // they then need.
    const int width = TwipSizeToPixels(5400, 0).width();
    setFixedWidth(width);
    setFixedHeight(layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                               : sizeHint().height());
    SetTopmost(this, true);
    CentreOnScreen(this, editor.mainWindow());
    if (input) input->setFocus(Qt::OtherFocusReason);
}

std::string frmSnippet::Snippet() const {
    const QByteArray typed = input ? input->text().toUtf8() : QByteArray();
    const std::string_view text(typed.constData(), static_cast<std::size_t>(typed.size()));
    switch (kind_) {
        case SnippetKind::Keywords:
            return KeywordsMeta(text);
        case SnippetKind::Marquee:
            return MarqueeSnippet(text);
        case SnippetKind::Layer:
            return std::string(LayerSnippet());
        case SnippetKind::SearchForm:
            break;
    }
    return std::string(SearchFormSnippet());
}

void frmSnippet::cmdSubmit_Click() {
    const std::string snippet = Snippet();
    const ByteRange selection = editor_.Selection();
    editor_.SetSelection(ByteRange{selection.start, 0});
    if (QWidget* main = editor_.mainWindow()) main->activateWindow();
    editor_.FocusCode();
    editor_.InsertAtCaret(snippet);
    close();
}

}  // namespace tarlo
