#include "app/KSHTMLverzamelIndex.h"

#include "app/KScontrolState.h"
#include "app/KSdocumentPage.h"
#include "app/KSexplanationPage.h"
#include "app/KSlayoutPage.h"
#include "app/KSprogressPage.h"
#include "app/KSpublishDialog.h"
#include "app/KSqtText.h"
#include "app/KSsettingsPage.h"
#include "app/KSsplitter.h"
#include "app/KSwizardPage.h"
#include "builder/run/KSgenerate.h"
#include "builder/run/KSrunSummary.h"
#include "common/KScommon.h"
#include "common/KSini.h"
#include "common/KSlanguageShare.h"
#include "common/KSlocal.h"
#include "common/KSregstore.h"
#include "common/KStextutil.h"
#include "index/KSksl.h"

#include <QApplication>
#include <QGroupBox>
#include <QListWidget>
#include <QMessageBox>
#include <atomic>
#include <chrono>
#include <exception>
#include <thread>
#include <utility>

namespace ks::app {

namespace {

constexpr const char* kWindowVersion = "1.04";
constexpr const char* kWindowCaption = "#html.form=HTML verzamelindex";
constexpr int kShownLoadWarnings = 10;
constexpr const char* kPublishKey = "PublishTo"; // the last destination published to

// The file, the line when there is one, and the reason.
QString ProblemText(const StoreProblem& problem) {
    QString text = FromPath(problem.Path);
    if (problem.line > 0) text += QLatin1Char(':') + QString::number(problem.line);
    return (text.isEmpty() ? QString() : text + QStringLiteral(": ")) + FromKS(problem.Reason);
}

// "HTMLwiz\", and the CONF parameter's value + "\" when one is given.
std::string SettingsPath() {
    std::string path = "HTMLwiz\\";
    const std::string configuration = Trim(Environment().CommandLineSwitch("CONF"));
    if (!configuration.empty()) path += configuration + "\\";
    return path;
}

// When this language has no settings yet it starts from a copy of another
// language's (the document list with the rest), so that a change of language
// does not mean setting everything up again.
void StartFromAnotherLanguage() {
    const TKScommon& environment = Environment();
    const std::string& base = environment.RegistryBase;
    const std::string& languageKey = environment.RegistryLanguageKey;
    // Without a product there is no store key of a language to fill.
    if (base.empty() || languageKey.size() <= base.size() + 1 || languageKey.rfind(base, 0) != 0)
        return;
    const std::string language =
        languageKey.substr(base.size(), languageKey.size() - base.size() - 1);
    (void)ks::ShareLanguageSettings(RegistryStore::Instance(),
                                    {base, SettingsPath(), {TKSdocumentPage::ListKeyName()}},
                                    language, KnownLanguages());
}

} // namespace

TwzrdHTMLverzamelIndex::TwzrdHTMLverzamelIndex(QWidget* parent) : TWizardDlg(parent) {
    setObjectName(QStringLiteral("wzrdHTMLverzamelIndex"));
    setWindowTitle(QString::fromLatin1(kWindowCaption));
    resize(640, 480);
    SetHelpContext(1500);
    Help().SetFolder(Environment().LanguageFolder + "Help/");
    SetHelpKeyword(Splitter(), QStringLiteral("SplitterPos"));

    explanationPage_ = new TKSexplanationPage;
    AddPage(explanationPage_);
    documentPage_ = new TKSdocumentPage(setup_.Documents);
    AddPage(documentPage_);
    layoutPage_ = new TKSlayoutPage;
    AddPage(layoutPage_);
    settingsPage_ = new TKSsettingsPage(setup_);
    AddPage(settingsPage_);
    progressPage_ = new TKSprogressPage;
    AddPage(progressPage_);

    connect(documentPage_, &TKSdocumentPage::PageChanged, this, [this] { ShowPage(-1); });
    connect(documentPage_, &TKSdocumentPage::FolderSearched, this,
            [this](const std::string& folder) {
                if (!setup_.OutputFolder.empty()) return;
                setup_.OutputFolder = folder;
                settingsPage_->ShowOutputFolder();
            });
    // Annuleren during a folder search closes the window once the search has stopped.
    connect(
        documentPage_, &TKSdocumentPage::SearchEnded, this,
        [this] {
            if (std::exchange(cancelAfterSearch_, false)) btnCancelClick();
        },
        Qt::QueuedConnection);
    connect(layoutPage_, &TKSlayoutPage::LayoutClicked, this,
            &TwzrdHTMLverzamelIndex::lstOpmaakClick);
    connect(settingsPage_, &TKSsettingsPage::PageChanged, this, [this] { ShowPage(-1); });
    connect(progressPage_, &TKSprogressPage::PublishClicked, this,
            &TwzrdHTMLverzamelIndex::btnPublicerenClick);
}

TwzrdHTMLverzamelIndex::~TwzrdHTMLverzamelIndex() = default;

std::string TwzrdHTMLverzamelIndex::SettingsKey() {
    return Environment().RegistryLanguageKey + SettingsPath();
}

int64_t TwzrdHTMLverzamelIndex::SelectedSize() const {
    return documentPage_->SelectedSize();
}

bool TwzrdHTMLverzamelIndex::verifyPage(int page) {
    switch (page) {
    case kDocumenten:
        return documentPage_->verifyPage();
    case kStijl:
        return layoutPage_->verifyPage();
    case kInstellingen:
        return settingsPage_->verifyPage();
    default:
        return true;
    }
}

void TwzrdHTMLverzamelIndex::FormShow() {
    setWindowTitle(QString::fromLatin1(kWindowCaption));
    StartFromAnotherLanguage();
    StateKey = SettingsKey();
    StateOptions = kStateByHelpKeyword;
    FinishOnLastPageOnly = false;
    registry_ = std::make_unique<TKSreg>(StateKey);
    registry_->WriteString("ExePath", ToPath(QCoreApplication::applicationFilePath()));
    explanationPage_->LoadExplanation(Environment().LanguageFolder + "HTMLindexWizard.rtf");
    documentPage_->InitHTXbestanden(StateKey);
    layoutPage_->VulOpmaakLijst(Environment().LanguageFolder + "layout/");
    LoadControl(layoutPage_->List(), StateKey, StateOptions);
    setup_.OutputFolder = registry_->ReadString("Directory");
    settingsPage_->ShowOutputFolder();
    MaakInstellingenScherm();
    SetHelpContext(1500);
    TWizardDlg::FormShow();
    setWindowTitle(windowTitle() + QLatin1Char(' ') + QLatin1String(kWindowVersion));
    settingsPage_->SetDefaultBaseName();
    // The document page once, so that its buttons and description are right
    // before the user gets there.
    if (setup_.Documents.Count() > 0) {
        ShowPage(kDocumenten);
        documentPage_->HTXbestandenClick();
    }
    // The layout page once, for its description and its picture on the
    // later pages.
    if (layoutPage_->SelectedLayout()) {
        ShowPage(kStijl);
        lstOpmaakClick();
    }
    ShowPage(explanationPage_->SkipExplanation() ? kDocumenten : kUitleg);
    TellStoreWarnings();
    // What the start changed (where the program runs from, the language) is
    // there for other programs while the window is open. A failure here is
    // told by the save at the close, which writes these changes too.
    (void)RegistryStore::Instance().Save();
}

void TwzrdHTMLverzamelIndex::FormClose() {
    documentPage_->OpslaanHTXbestanden();
    if (registry_) registry_->WriteString("Directory", setup_.OutputFolder);
    TWizardDlg::FormClose();
    if (registry_) registry_->Close();
    registry_.reset();
    SaveSettings();
    documentPage_->FreeDocuments();
}

// Lines of the store that could not be read are shown without stopping the
// window: they are kept in the file and the rest of the store is used.
void TwzrdHTMLverzamelIndex::TellStoreWarnings() {
    const std::vector<StoreProblem> warnings = RegistryStore::Instance().TakeLoadWarnings();
    if (warnings.empty()) return;
    QStringList lines;
    for (const StoreProblem& warning : warnings) {
        if (lines.size() == kShownLoadWarnings) {
            lines << QStringLiteral("...");
            break;
        }
        lines << ProblemText(warning);
    }
    const bool unreadable = warnings.front().kind == StoreProblem::Kind::Unreadable;
    auto* box = new QMessageBox(
        QMessageBox::Warning, QStringLiteral("KESTRIN"),
        (unreadable
             ? Lookup("#store.3=De instellingen kunnen niet gelezen worden en worden niet bewaard")
             : Lookup("#store.2=Deze regels van de instellingen zijn overgeslagen; ze blijven in "
                      "het bestand staan")) +
            QStringLiteral("\n\n") + lines.join(QLatin1Char('\n')),
        QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("storeWarnings"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// All the session's settings are saved at once; when that fails the window
// stays until the user has read why.
void TwzrdHTMLverzamelIndex::SaveSettings() {
    const std::optional<StoreProblem> problem = RegistryStore::Instance().Save();
    if (!problem) return;
    QMessageBox::warning(this, QStringLiteral("KESTRIN"),
                         Lookup("#store.1=De instellingen konden niet bewaard worden") +
                             QStringLiteral("\n\n") + ProblemText(*problem));
}

// The destination is remembered as soon as a publish to it starts; it never
// holds a password, which a destination may not carry.
void TwzrdHTMLverzamelIndex::btnPublicerenClick() {
    if (Busy || !registry_) return;
    auto* dialog = new TKSpublishDialog(this, setup_.OutputFolderPath(),
                                        FromPath(registry_->ReadString(kPublishKey)));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &TKSpublishDialog::Started, this, [this](const QString& destination) {
        if (registry_) registry_->WriteString(kPublishKey, ToPath(destination));
    });
    dialog->open();
}

void TwzrdHTMLverzamelIndex::RequestStop(TKSstopRequest request) {
    StopRequest = request;
    if (runningBuilder_) runningBuilder_->RequestStop(request);
}

void TwzrdHTMLverzamelIndex::lstOpmaakClick() {
    layoutPage_->ShowDescription();
    if (const TKSkslData* layout = layoutPage_->SelectedLayout())
        SetPageImage(FromPath(layout->Image), true, false);
    ShowPage(-1);
}

void TwzrdHTMLverzamelIndex::MaakInstellingenScherm() {
    settingsPage_->MaakInstellingenScherm(layoutPage_->SelectedLayout(), SelectedSize(), StateKey);
}

void TwzrdHTMLverzamelIndex::BeginAanmaken() {
    if (Busy) return;
    // Gereed on an earlier page may come after another layout was chosen.
    const TKSkslData* selected = layoutPage_->SelectedLayout();
    if (selected && (!setup_.Layout() || setup_.Layout()->LayoutFile != selected->LayoutFile))
        MaakInstellingenScherm();
    settingsPage_->ApplyTo(setup_);
    progressPage_->WisVoortgang();
    StopRequest = TKSstopRequest::None;
    Busy = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RunGeneration();
    QApplication::restoreOverrideCursor();
    Busy = false;
    ShowPage(-1);
    switch (StopRequest) {
    case TKSstopRequest::None:
        if (progressPage_->ResultEnabled() && progressPage_->OpenAutomatically())
            progressPage_->btnResultaatOpenenClick();
        break;
    case TKSstopRequest::Cancel:
        btnCancelClick();
        break;
    case TKSstopRequest::Back:
        btnVorigeClick();
        break;
    case TKSstopRequest::Finish:
        btnFinishClick();
        break;
    }
}

// A host that does not answer may keep a fetch for half a minute: the trees
// given by their address are fetched beside the window, which meanwhile
// paints and hears its buttons (they ask the run to stop, as during a run).
void TwzrdHTMLverzamelIndex::FetchDocuments() {
    std::atomic<bool> done = false;
    std::exception_ptr failure;
    std::thread fetcher([this, &done, &failure] {
        try {
            setup_.FetchDocuments(Environment().TempFolder);
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
    });
    while (!done) {
        QApplication::processEvents(QEventLoop::AllEvents, 30);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    fetcher.join();
    if (failure) std::rethrow_exception(failure);
}

// Everything that can be checked comes first, then the missing output folder
// is made, then the run; whatever fails is shown in the progress rows.
void TwzrdHTMLverzamelIndex::RunGeneration() {
    FetchDocuments();
    std::vector<TKSproblem> problems = setup_.Check();
    if (problems.empty()) problems = setup_.MakeOutputFolder();
    for (const TKSproblem& problem : problems)
        progressPage_->ShowProblem(problem.Path, problem.Reason);
    if (!problems.empty()) return;
    try {
        TKSbuilder builder(setup_.Settings(Environment()));
        runningBuilder_ = &builder;
        if (StopRequest != TKSstopRequest::None) builder.RequestStop(StopRequest);
        TKSgenerator generator(builder, *progressPage_);
        TKSrunResult result = generator.GenerateIndex();
        // The user's files the clearing moved to the trash are named with the warnings.
        for (const std::string& path : result.Trashed)
            result.Warnings.push_back({path, LocalText("#1567.2=naar de prullenbak verplaatst")});
        progressPage_->ShowSummary(SummaryLines(result));
        progressPage_->ShowWarnings(result.Warnings);
    } catch (const std::exception& error) {
        progressPage_->ShowProblem("", error.what());
    }
    runningBuilder_ = nullptr;
}

void TwzrdHTMLverzamelIndex::btnVolgendeClick() {
    TWizardDlg::btnVolgendeClick();
    if (ActivePageIndex() == kInstellingen) MaakInstellingenScherm();
    if (ActivePageIndex() == PageCount() - 1) {
        repaint();
        BeginAanmaken();
    }
}

void TwzrdHTMLverzamelIndex::btnCancelClick() {
    if (Busy) {
        RequestStop(TKSstopRequest::Cancel);
        return;
    }
    if (documentPage_->Searching()) {
        documentPage_->StopSearch();
        cancelAfterSearch_ = true;
        return;
    }
    TWizardDlg::btnCancelClick();
}

void TwzrdHTMLverzamelIndex::btnVorigeClick() {
    if (Busy) {
        RequestStop(TKSstopRequest::Back);
        return;
    }
    // The split choices and the division survive the page's rebuild.
    if (ActivePageIndex() == kInstellingen && !StateKey.empty())
        SaveControls(settingsPage_->IndexGroup(), StateKey, StateOptions);
    if (ActivePageIndex() == kVoortgang) progressPage_->WisVoortgang();
    TWizardDlg::btnVorigeClick();
}

void TwzrdHTMLverzamelIndex::btnFinishClick() {
    if (Busy) {
        RequestStop(TKSstopRequest::Finish);
        return;
    }
    if (ActivePageIndex() < PageCount() - 1) {
        ShowPage(PageCount() - 1);
        repaint();
        BeginAanmaken();
        return;
    }
    progressPage_->WisVoortgang();
    TWizardDlg::btnFinishClick();
}

} // namespace ks::app
