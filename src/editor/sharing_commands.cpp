#include "editor/sharing_commands.h"

#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "codeview/code_view.h"
#include "document/view_sync.h"
#include "pageview/visual_view.h"
#include "shell/dialogs.h"
#include "shell/document_files.h"
#include "shell/editor.h"
#include "shell/file_writing.h"

namespace tarlo {

namespace {

QString Qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The most entries of the document's folder the preview links to; a folder
// with more is not a filing's folder, and the preview goes without them.
constexpr int kMaxPreviewLinks = 5000;

// Makes the preview folder hold a link to every entry of the source folder
// (none when it is empty), after removing the links of an earlier preview.
void LinkFolderEntries(const QString& previewFolder, const QString& source) {
    const QDir dir(previewFolder);
    const auto all = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
    for (const QFileInfo& old : dir.entryInfoList(all)) {
        if (old.isSymLink()) QFile::remove(old.filePath());
    }
    if (source.isEmpty()) return;
    QDirIterator it(source, all);
    for (int n = 0; it.hasNext() && n < kMaxPreviewLinks; ++n) {
        it.next();
        // The preview's own name is never a link: writing it must not write
        // through to a file of the user's.
        if (it.fileName() == QLatin1String("Preview.htm")) continue;
        QFile::link(it.filePath(), dir.filePath(it.fileName()));
    }
}

}  // namespace

SharingCommands::SharingCommands(Editor& editor, QObject* owner) : QObject(owner), editor_(editor) {
    setObjectName("SharingCommands");
    opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

    PrintTemp = new CodeView(editor_.mainWindow());
    PrintTemp->setObjectName("PrintTemp");
    PrintTemp->setAccessibleName("Print work area");
    PrintTemp->hide();
    // Paper wraps long lines itself: the work area holds them whole.
    PrintTemp->SetSoftBreaks(false);
    PrintTemp->SetBackgroundColour(kWhite);
}

void SharingCommands::Inform(const QString& text, const QString& title) {
    editor_.dialogs().Message(editor_.mainWindow(), text, title, Buttons::Ok, Icon::Information);
}

void SharingCommands::PreviewInBrowser() {
    const Answer a =
        editor_.dialogs().Message(editor_.mainWindow(), "Does the code need to be refreshed?",
                                  "Tarlo web preview", Buttons::YesNo, Icon::Information);
    if (a == Answer::Yes) editor_.sync().Refresh();
    // The preview lives in a folder of its own inside the private one, beside
    // links to what the document's folder holds: the pictures a filing names
    // by their file names show, while the file stays the code text byte for
    // byte and its links within the page keep working.
    const QString folder = temp_.FilePath("preview");
    const QString file = folder.isEmpty() || !QDir().mkpath(folder)
                             ? QString()
                             : folder + QStringLiteral("/Preview.htm");
    if (!file.isEmpty()) LinkFolderEntries(folder, Qs(editor_.document().BaseFolder));
    const std::optional<QString> why =
        file.isEmpty() ? std::optional<QString>("no private temporary folder can be made")
                       : WriteFileAtomically(file, DocumentFileBytes(editor_.document().Text(),
                                                                     editor_.document().Form()));
    editor_.document().MarkCodeAccurate();
    if (why) {
        Inform(QStringLiteral("The preview could not be written: %1").arg(*why));
    } else if (opener_) {
        opener_(QUrl::fromLocalFile(file));
    }
    editor_.FocusPage();
}

void SharingCommands::ResetPrintColours() {
    ColourSettings& c = editor_.document().Look.Colours;
    const ColourSettings fresh;
    c.tag = fresh.tag;
    c.attributeName = fresh.attributeName;
    c.attributeValue = fresh.attributeValue;
    c.spare = fresh.spare;
}

void SharingCommands::ColourOrPaint() {
    if (!editor_.sync().ColourCode()) editor_.sync().PaintCodePlain();
}

void SharingCommands::PrintDocument() {
    Document& document = editor_.document();
    if (document.Length() == 0) {
        Inform("There is nothing here to print.");
        return;
    }
    CodeLook& look = document.Look;
    CodeView& code = editor_.codeView();
    // What the user selected in the code can be printed on its own.
    const ByteRange selection = editor_.Selection();
    // Paper is white: the code is coloured as in light mode for the print
    // work area, then the view gets its own mode's colours back.
    ResetPrintColours();
    look.ForegroundColor = kBlack;
    look.Colours.plain = kBlack;
    const bool dark = look.WindowColorCount % 2 == 0;
    if (dark) ++look.WindowColorCount;
    ColourOrPaint();
    ResetPrintColours();

    PrintTemp->SetTextUtf8(code.TextUtf8());
    PrintTemp->ApplyRuns(code.Runs());
    PrintTemp->SetSel(selection.start, selection.length);

    if (print_) print_->close();
    print_ = new frmPrint(editor_, PrintTemp);
    print_->Load();
    print_->show();

    if (dark) ++look.WindowColorCount;
    look.ForegroundColor = look.WindowColorCount % 2 == 0 ? kWhite : kBlack;
    look.Colours.plain = look.ForegroundColor;
    editor_.sync().PaintCodePlain();
    editor_.sync().ColourCode();
}

void SharingCommands::NoEmailClient() {
    Inform("No email client can be found.");
}

void SharingCommands::EmailDocument() {
    if (editor_.document().Length() == 0) {
        Inform("The code window is empty. Please refresh.");
        return;
    }
    const std::string caption = editor_.Caption().toStdString();
    if (CaptionHasNoFile(caption)) {
        Inform("Please save your document before attempting to email it.");
        return;
    }
    editor_.sync().Refresh();
    const std::optional<std::string> name = AttachmentNameFromCaption(caption);
    const QString file = name ? temp_.FilePath(Qs(*name)) : QString();
    if (file.isEmpty() || WriteFileAtomically(file, DocumentFileBytes(editor_.document().Text(),
                                                                      editor_.document().Form()))
                              .has_value()) {
        NoEmailClient();
        emit mailFinished(false);
        return;
    }
    editor_.document().MarkCodeAccurate();
    const QString program = QFileInfo(mailCommand_).isAbsolute()
                                ? mailCommand_
                                : QStandardPaths::findExecutable(mailCommand_);
    if (program.isEmpty() || !QFileInfo(program).isExecutable()) {
        NoEmailClient();
        emit mailFinished(false);
        return;
    }
    // The attachment stays in the private folder until the editor ends: the
    // mail client reads it when the message is sent, not when it opens.
    auto* process = new QProcess(this);
    process->setProgram(program);
    process->setArguments({"--utf8", "--body", Qs(EmailBody()), "--attach", file});
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(process, &QProcess::finished, this,
            [this, process](int code, QProcess::ExitStatus status) {
                const bool ok = status == QProcess::NormalExit && code == 0;
                process->deleteLater();
                if (!ok) NoEmailClient();
                emit mailFinished(ok);
            });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart) return;
        process->deleteLater();
        NoEmailClient();
        emit mailFinished(false);
    });
    process->start();
}

}  // namespace tarlo
