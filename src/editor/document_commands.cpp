#include "editor/document_commands.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEnginePage>

#include "codeview/code_view.h"
#include "editor/dialogs.h"
#include "editor/document_files.h"
#include "editor/main_window.h"
#include "editor/print_window.h"
#include "editor/visual_commands.h"
#include "editor/visual_page.h"
#include "editor/visual_view.h"

namespace tarlo {

namespace {

const QStringList kOpenFilters = {"HTML Files (*.html)", "HTM Files (*.htm)"};
const QStringList kSaveFilters = {"HTML Files (*.html)", "HTM Files (*.htm)"};

QString Qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Writes the whole file or nothing: the old file stays whole until the new
// one is complete on disk. The reason for a failure, or nothing.
std::optional<QString> WriteFileAtomically(const QString& path, const std::string& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit()) return file.errorString();
    return std::nullopt;
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

DocumentCommands::DocumentCommands(frmMain& window) : QObject(&window), w_(window) {
    setObjectName("DocumentCommands");
    opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

    PrintTemp = new CodeView(&w_);
    PrintTemp->setObjectName("PrintTemp");
    PrintTemp->setAccessibleName("Print work area");
    PrintTemp->hide();
    PrintTemp->SetBackgroundColour(kWhite);

    // Files dropped on either view open as Open does. The page asks from
    // inside the engine's navigation decision; the open runs after it.
    connect(w_.txtCode, &CodeView::FilesDropped, this, [this](const QList<QUrl>& files) {
        if (!files.isEmpty()) OpenDocumentFile(files.front().toLocalFile());
    });
    connect(w_.Web, &VisualView::filesDropped, this, [this](const QList<QUrl>& files) {
        if (!files.isEmpty()) OpenDocumentFile(files.front().toLocalFile());
    });
    connect(w_.Web->visualPage(), &VisualPage::fileNavigationRequested, this,
            [this](const QUrl& url) {
                const QString path = url.toLocalFile();
                QTimer::singleShot(0, this, [this, path] { OpenDocumentFile(path); });
            });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == nullptr) return;
        if (now == w_.txtCode) visualLast_ = false;
        if (now == w_.Web || w_.Web->isAncestorOf(now)) visualLast_ = true;
    });
}

DocumentCommands::~DocumentCommands() = default;

void DocumentCommands::Inform(const QString& text, const QString& title) {
    w_.dialogs()->Message(&w_, text, title, Buttons::Ok, Icon::Information);
}

bool DocumentCommands::HasUnsavedChanges() {
    if (w_.txtCode->TextUtf8() != baseline_) return true;
    return w_.Web->PageEdited().value_or(false);
}

bool DocumentCommands::OfferToSave(bool alwaysAsk) {
    if (!alwaysAsk && !HasUnsavedChanges()) return true;
    const Answer a = w_.dialogs()->Message(&w_, "Do you want to save your document?", "Tarlo",
                                           Buttons::YesNo, Icon::Information);
    if (a != Answer::Yes) return true;
    const bool saved = w_.state().DocumentPath.empty() ? mnuSaveAs_Click() : SaveDocument();
    // A cancelled or failed save keeps the document; an empty one has
    // nothing to lose.
    return saved || w_.txtCode->Length() == 0;
}

void DocumentCommands::NewDocument() {
    // A document without a file is always asked about; one with a file
    // only when it holds unsaved work.
    if (!OfferToSave(w_.state().DocumentPath.empty())) return;
    w_.state().DocumentPath.clear();
    w_.txtCode->SetTextUtf8("");
    w_.PaintCodePlain();
    baseline_.clear();
    // A new document has no folder of its own for its pictures.
    documentFolder_.clear();
    w_.setWindowTitle(Qs(kNewCaption));
}

void DocumentCommands::mnuNew_Click() {
    NewDocument();
    w_.ApplyCodeFontSize();
}

void DocumentCommands::mnuOpen_Click() {
    const std::optional<QString> path = w_.dialogs()->OpenPath(&w_, "Open", kOpenFilters);
    if (!path || path->isEmpty()) return;
    OpenDocumentFile(*path);
}

bool DocumentCommands::OpenDocumentFile(const QString& path) {
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        Inform(QStringLiteral("The file \"%1\" cannot be opened: %2")
                   .arg(shown,
                        info.exists() && !info.isFile() ? "it is a folder" : file.errorString()));
        return false;
    }
    const auto size = static_cast<std::uint64_t>(file.size());
    if (CheckDocumentFile(size, {}) == OpenCheck::TooLarge) {
        Inform(QStringLiteral("The file \"%1\" is %2, more than Tarlo can edit (%3). Nothing "
                              "was opened.")
                   .arg(shown, Qs(MegabytesText(size)), Qs(MegabytesText(kMaxDocumentBytes))));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (CheckDocumentFile(size, std::string_view(bytes.constData(), bytes.size())) ==
        OpenCheck::Binary) {
        Inform(QStringLiteral("The file \"%1\" is not an HTML document: it contains binary "
                              "data (a picture, a program or a word-processor file, perhaps). "
                              "Nothing was opened.")
                   .arg(shown));
        return false;
    }
    if (!OfferToSave(false)) return false;
    // A filing of tens of megabytes takes a few seconds to take in: the
    // pointer says the editor is busy rather than hung.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LoadText(DocumentTextFromBytes(std::string_view(bytes.constData(), bytes.size())), path);
    QApplication::restoreOverrideCursor();
    return true;
}

void DocumentCommands::LoadText(const std::string& text, const QString& path) {
    EditorState& st = w_.state();
    st.OpenedFileName = path.toStdString();
    // Pictures beside the document show in the visual view.
    documentFolder_ = QFileInfo(path).absolutePath();
    w_.Web->SetDocumentBase(documentFolder_);
    w_.txtCode->SetTextUtf8(text);
    baseline_ = text;
    const QString caption = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    w_.setWindowTitle(caption);
    if (IsHtmlDocumentName(path.toStdString())) {
        st.DocumentPath = path.toStdString();
        w_.PaintCodePlain();
        w_.ApplyCodeFontSize();
    } else {
        // Not an HTML document of ours: Save must not write it over the file
        // that was open before, so it asks for a name.
        st.DocumentPath.clear();
        w_.MarkCodeAccurate();
    }
}

bool DocumentCommands::SaveDocument() {
    w_.cmdRefreshCode_Click();
    return SaveAfterRefresh();
}

bool DocumentCommands::SaveAfterRefresh() {
    if (w_.txtCode->Length() == 0) {
        Inform("There is nothing here to save.");
        return false;
    }
    if (w_.state().DocumentPath.empty()) return SaveAsAfterRefresh();
    return WriteDocumentTo(Qs(w_.state().DocumentPath));
}

bool DocumentCommands::mnuSaveAs_Click() {
    w_.cmdRefreshCode_Click();
    if (w_.txtCode->Length() == 0) {
        Inform("There is nothing here to save.");
        return false;
    }
    return SaveAsAfterRefresh();
}

bool DocumentCommands::SaveAsAfterRefresh() {
    // No default extension: the name is used as typed.
    const std::optional<QString> path = w_.dialogs()->SavePath(&w_, "Save As", kSaveFilters);
    if (!path || path->isEmpty()) return false;
    if (!WriteDocumentTo(*path)) return false;
    w_.state().DocumentPath = path->toStdString();
    w_.setWindowTitle(QDir::toNativeSeparators(QFileInfo(*path).absoluteFilePath()));
    // Pictures beside the new file are the preview's from now on.
    documentFolder_ = QFileInfo(*path).absolutePath();
    return true;
}

bool DocumentCommands::WriteDocumentTo(const QString& path) {
    const std::string text = w_.txtCode->TextUtf8();
    if (const auto why = WriteFileAtomically(path, DocumentFileBytes(text))) {
        w_.dialogs()->Message(
            &w_,
            QStringLiteral("The document could not be saved to \"%1\": %2\n\nIt is still open "
                           "in Tarlo. Save it under another name or in another folder.")
                .arg(QDir::toNativeSeparators(path), *why),
            "Tarlo", Buttons::Ok, Icon::Warning);
        return false;
    }
    baseline_ = text;
    return true;
}

void DocumentCommands::cmdPreview_Click() {
    const Answer a = w_.dialogs()->Message(&w_, "Does the code need to be refreshed?",
                                           "Tarlo web preview", Buttons::YesNo, Icon::Information);
    if (a == Answer::Yes) w_.cmdRefreshCode_Click();
    // The preview lives in a folder of its own inside the private one, beside
    // links to what the document's folder holds: the pictures a filing names
    // by their file names show, while the file stays the code text byte for
    // byte and its links within the page keep working.
    const QString folder = temp_.FilePath("preview");
    const QString file = folder.isEmpty() || !QDir().mkpath(folder)
                             ? QString()
                             : folder + QStringLiteral("/Preview.htm");
    if (!file.isEmpty()) LinkFolderEntries(folder, documentFolder_);
    const std::optional<QString> why =
        file.isEmpty() ? std::optional<QString>("no private temporary folder can be made")
                       : WriteFileAtomically(file, DocumentFileBytes(w_.txtCode->TextUtf8()));
    w_.MarkCodeAccurate();
    if (why) {
        Inform(QStringLiteral("The preview could not be written: %1").arg(*why));
    } else if (opener_) {
        opener_(QUrl::fromLocalFile(file));
    }
    w_.Web->setFocus();
}

void DocumentCommands::ResetPrintColours() {
    ColourSettings& c = w_.state().Colours;
    const ColourSettings fresh;
    c.tag = fresh.tag;
    c.attributeName = fresh.attributeName;
    c.attributeValue = fresh.attributeValue;
    c.spare = fresh.spare;
}

void DocumentCommands::PrintDocument() {
    if (w_.txtCode->Length() == 0) {
        Inform("There is nothing here to print.");
        return;
    }
    EditorState& st = w_.state();
    CodeServices* services = w_.codeServices();
    // What the user selected in the code can be printed on its own.
    const int selStart = w_.txtCode->SelStart();
    const int selLength = w_.txtCode->SelLength();
    // Paper is white: the code is coloured as in light mode for the print
    // work area, then the view gets its own mode's colours back.
    ResetPrintColours();
    st.ForegroundColor = "0";
    st.Colours.plain = kBlack;
    const bool dark = st.WindowColorCount % 2 == 0;
    if (dark) ++st.WindowColorCount;
    if (services != nullptr) {
        services->ColorizeCodeView();
    } else {
        w_.PaintCodePlain();
    }
    ResetPrintColours();

    PrintTemp->SetTextUtf8(w_.txtCode->TextUtf8());
    PrintTemp->ApplyRuns(w_.txtCode->Runs());
    PrintTemp->SetSel(selStart, selLength);

    if (print_) print_->close();
    print_ = new frmPrint(&w_, PrintTemp);
    print_->Load();
    print_->show();

    if (dark) ++st.WindowColorCount;
    st.ForegroundColor = std::to_string(st.WindowColorCount % 2 == 0 ? kWhite : kBlack);
    st.Colours.plain = st.ForegroundColorValue();
    w_.PaintCodePlain();
    if (services != nullptr) services->ColorizeCodeView();
}

void DocumentCommands::NoEmailClient() {
    Inform("No email client can be found.");
}

void DocumentCommands::EmailDocument() {
    if (w_.txtCode->Length() == 0) {
        Inform("The code window is empty. Please refresh.");
        return;
    }
    const std::string caption = w_.windowTitle().toStdString();
    if (CaptionHasNoFile(caption)) {
        Inform("Please save your document before attempting to email it.");
        return;
    }
    w_.cmdRefreshCode_Click();
    const std::optional<std::string> name = AttachmentNameFromCaption(caption);
    const QString file = name ? temp_.FilePath(Qs(*name)) : QString();
    if (file.isEmpty() ||
        WriteFileAtomically(file, DocumentFileBytes(w_.txtCode->TextUtf8())).has_value()) {
        NoEmailClient();
        emit mailFinished(false);
        return;
    }
    w_.MarkCodeAccurate();
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

QWidget* DocumentCommands::ActiveControl() const {
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus->window() == w_.window()) return focus;
    // The window is not active (a menu or another window has the keyboard):
    // the view that had the focus last.
    return visualLast_ ? static_cast<QWidget*>(w_.Web) : static_cast<QWidget*>(w_.txtCode);
}

namespace {

// The visual view, when the control is it or inside it.
bool InVisualView(QWidget* control, QWidget* web) {
    return control == web || web->isAncestorOf(control);
}

QLineEdit* LineEditOf(QWidget* control) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit;
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->lineEdit();
    return nullptr;
}

}  // namespace

// The clipboard is only written when there is something to put on it: an
// empty selection leaves what the user copied before.
void DocumentCommands::CopySelection() {
    QWidget* c = ActiveControl();
    if (InVisualView(c, w_.Web)) {
        w_.Web->page()->triggerAction(QWebEnginePage::Copy);
    } else if (auto* code = qobject_cast<CodeView*>(c)) {
        if (code->SelLength() > 0) code->copy();
    } else if (QLineEdit* edit = LineEditOf(c)) {
        if (edit->hasSelectedText()) edit->copy();
    }
}

void DocumentCommands::CutSelection() {
    QWidget* c = ActiveControl();
    if (InVisualView(c, w_.Web)) {
        w_.Web->page()->triggerAction(QWebEnginePage::Cut);
    } else if (auto* code = qobject_cast<CodeView*>(c)) {
        if (code->SelLength() > 0 && !code->isReadOnly()) code->cut();
    } else if (QLineEdit* edit = LineEditOf(c)) {
        if (edit->hasSelectedText() && !edit->isReadOnly()) edit->cut();
    }
}

void DocumentCommands::PasteClipboard() {
    QWidget* c = ActiveControl();
    if (InVisualView(c, w_.Web)) {
        w_.Web->page()->triggerAction(QWebEnginePage::Paste);
    } else if (auto* code = qobject_cast<CodeView*>(c)) {
        if (!code->isReadOnly()) code->paste();
    } else if (QLineEdit* edit = LineEditOf(c)) {
        if (!edit->isReadOnly()) edit->paste();
    }
}

void DocumentCommands::mnuAll_Click() {
    QWidget* c = ActiveControl();
    if (InVisualView(c, w_.Web)) {
        // The editing command works whether or not the page has the
        // keyboard at this moment.
        if (!w_.Web->ExecCommand("selectAll")) {
            w_.Web->page()->triggerAction(QWebEnginePage::SelectAll);
        }
    } else if (auto* code = qobject_cast<CodeView*>(c)) {
        code->selectAll(true);
    } else if (QLineEdit* edit = LineEditOf(c)) {
        edit->selectAll();
    }
}

DocumentCommands* InstallDocumentCommands(frmMain& window) {
    auto* docs = new DocumentCommands(window);
    const struct {
        const char* name;
        void (DocumentCommands::*run)();
    } plain[] = {
        {"NewDocument", &DocumentCommands::NewDocument},
        {"mnuNew_Click", &DocumentCommands::mnuNew_Click},
        {"mnuOpen_Click", &DocumentCommands::mnuOpen_Click},
        {"cmdPreview_Click", &DocumentCommands::cmdPreview_Click},
        {"PrintDocument", &DocumentCommands::PrintDocument},
        {"EmailDocument", &DocumentCommands::EmailDocument},
        {"CutSelection", &DocumentCommands::CutSelection},
        {"CopySelection", &DocumentCommands::CopySelection},
        {"PasteClipboard", &DocumentCommands::PasteClipboard},
        {"mnuAll_Click", &DocumentCommands::mnuAll_Click},
    };
    for (const auto& c : plain) {
        auto run = c.run;
        window.SetCommand(c.name, [docs, run] { (docs->*run)(); });
    }
    window.SetCommand("SaveDocument", [docs] { docs->SaveDocument(); });
    window.SetCommand("mnuSaveAs_Click", [docs] { docs->mnuSaveAs_Click(); });
    window.SetSaveAs([docs] { return docs->mnuSaveAs_Click(); });
    InstallVisualCommands(window);
    return docs;
}

}  // namespace tarlo
