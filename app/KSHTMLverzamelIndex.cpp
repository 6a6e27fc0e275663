#include "app/KSHTMLverzamelIndex.h"

#include "app/KScontrolState.h"
#include "app/KSdocumentPage.h"
#include "app/KSqtText.h"
#include "app/KSsplitter.h"
#include "app/KSwizardPage.h"
#include "common/KScommon.h"
#include "common/KSini.h"
#include "common/KStextutil.h"

#include <QCoreApplication>

namespace ks::app {

namespace {

constexpr const char* kWindowVersion = "1.04";
constexpr const char* kWindowCaption = "#html.form=HTML verzamelindex";

} // namespace

TwzrdHTMLverzamelIndex::TwzrdHTMLverzamelIndex(QWidget* parent) : TWizardDlg(parent) {
    setObjectName(QStringLiteral("wzrdHTMLverzamelIndex"));
    setWindowTitle(QString::fromLatin1(kWindowCaption));
    resize(640, 480);
    SetHelpContext(1500);
    SetHelpKeyword(Splitter(), QStringLiteral("SplitterPos"));

    AddEmptyPage("#html.p1=Uitleg", true, 1501);
    documentPage_ = new TKSdocumentPage;
    AddPage(documentPage_);
    AddEmptyPage("#html.p3=Stijl kiezen", false, 1521);
    AddEmptyPage("#html.p4=Instellingen", false, 1531);
    AddEmptyPage("#html.p5=Voortgang", false, 1541);

    connect(documentPage_, &TKSdocumentPage::PageChanged, this, [this] { ShowPage(-1); });
    connect(documentPage_, &TKSdocumentPage::FolderSearched, this,
            [this](const std::string& folder) {
                if (OutputFolder.empty()) OutputFolder = folder;
            });
}

TwzrdHTMLverzamelIndex::~TwzrdHTMLverzamelIndex() = default;

void TwzrdHTMLverzamelIndex::AddEmptyPage(const char* caption, bool highlighted, int helpContext) {
    auto* page = new TWizardPage(QString::fromLatin1(caption));
    page->SetHighlighted(highlighted);
    page->SetHelpContext(helpContext);
    AddPage(page);
}

std::string TwzrdHTMLverzamelIndex::SettingsKey() {
    std::string key = Environment().RegistryLanguageKey + "HTMLwiz\\";
    const std::string configuration = Trim(Environment().CommandLineSwitch("CONF"));
    if (!configuration.empty()) key += configuration + "\\";
    return key;
}

int64_t TwzrdHTMLverzamelIndex::SelectedSize() const {
    return documentPage_->SelectedSize();
}

bool TwzrdHTMLverzamelIndex::verifyPage(int page) {
    if (page == kDocumenten) return documentPage_->verifyPage();
    return true;
}

void TwzrdHTMLverzamelIndex::FormShow() {
    setWindowTitle(QString::fromLatin1(kWindowCaption));
    StateKey = SettingsKey();
    StateOptions = kStateByHelpKeyword;
    FinishOnLastPageOnly = false;
    registry_ = std::make_unique<TKSreg>(StateKey);
    registry_->WriteString("ExePath", ToPath(QCoreApplication::applicationFilePath()));
    documentPage_->InitHTXbestanden(StateKey);
    OutputFolder = registry_->ReadString("Directory");
    SetHelpContext(1500);
    TWizardDlg::FormShow();
    setWindowTitle(windowTitle() + QLatin1Char(' ') + QLatin1String(kWindowVersion));
    // The document page once, so that its buttons and description are right
    // before the user gets there.
    if (!documentPage_->Documents().empty()) {
        ShowPage(kDocumenten);
        documentPage_->HTXbestandenClick();
    }
    ShowPage(kUitleg);
}

void TwzrdHTMLverzamelIndex::FormClose() {
    documentPage_->OpslaanHTXbestanden();
    if (registry_) registry_->WriteString("Directory", OutputFolder);
    TWizardDlg::FormClose();
    if (registry_) registry_->Close();
    registry_.reset();
    documentPage_->FreeDocuments();
}

void TwzrdHTMLverzamelIndex::btnCancelClick() {
    if (Busy) {
        StopRequest = kStopCancel;
        return;
    }
    TWizardDlg::btnCancelClick();
}

void TwzrdHTMLverzamelIndex::btnVorigeClick() {
    if (Busy) {
        StopRequest = kStopBack;
        return;
    }
    TWizardDlg::btnVorigeClick();
}

void TwzrdHTMLverzamelIndex::btnFinishClick() {
    if (Busy) {
        StopRequest = kStopFinish;
        return;
    }
    TWizardDlg::btnFinishClick();
}

} // namespace ks::app
