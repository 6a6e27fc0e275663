#include "app/KSexplanationPage.h"

#include "app/KScontrolState.h"
#include "app/KSqtText.h"
#include "app/KSrtf.h"

#include <QCheckBox>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace ks::app {

namespace {

constexpr qint64 kLargestExplanation = 4 * 1024 * 1024;

} // namespace

TKSexplanationPage::TKSexplanationPage(QWidget* parent)
    : TWizardPage(QStringLiteral("#html.p1=Uitleg"), parent) {
    setObjectName(QStringLiteral("tabUitleg"));
    SetHighlighted(true);
    SetHelpContext(1501);
    RichEdit1_ = new QTextBrowser(this);
    RichEdit1_->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1_->setToolTip(
        QStringLiteral("#1574.17=Wat deze wizard doet en wat u ervoor nodig hebt"));
    RichEdit1_->setReadOnly(true);
    RichEdit1_->setOpenLinks(false);
    RichEdit1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    chkUitlegOverslaan_ =
        new QCheckBox(QStringLiteral("#1501.text=&deze uitleg vanaf nu overslaan"), this);
    chkUitlegOverslaan_->setObjectName(QStringLiteral("chkUitlegOverslaan"));
    chkUitlegOverslaan_->setToolTip(QStringLiteral("#1501.hint"));
    app::SetHelpKeyword(chkUitlegOverslaan_, QStringLiteral("Skipintro"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichEdit1_, 1);
    layout->addWidget(chkUitlegOverslaan_);
}

void TKSexplanationPage::LoadExplanation(const std::string& path) {
    RichEdit1_->clear();
    QFile file(FromPath(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestExplanation) return;
    RichEdit1_->setHtml(RtfToHtml(file.readAll()));
}

bool TKSexplanationPage::SkipExplanation() const {
    return chkUitlegOverslaan_->isChecked();
}

} // namespace ks::app
