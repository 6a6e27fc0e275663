#include "app/KSimportDialog.h"

#include "app/KSqtText.h"
#include "import/KSlivingJudge.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <filesystem>

namespace ks::app {

namespace {

// A link pattern as the box for a GEDCOM file shows it as an example.
constexpr const char* kLinkPatternExample = "https://example.org/tree/individual.php?pid={id}";
// How many average letters the fields show at least.
constexpr int kFieldChars = 60;

// A label above its field, which its mnemonic reaches.
QLineEdit* AddField(QVBoxLayout* layout, const QString& label, const char* name) {
    auto* text = new QLabel(label);
    text->setWordWrap(true);
    auto* field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(name));
    field->setMinimumWidth(field->fontMetrics().averageCharWidth() * kFieldChars);
    text->setBuddy(field);
    layout->addWidget(text);
    layout->addWidget(field);
    return field;
}

} // namespace

TKSimportDialog::TKSimportDialog(QWidget* parent, const std::string& path, bool needsLinkPattern,
                                 const TKSimportChoices& kept)
    : QDialog(parent) {
    setWindowTitle(Lookup("#1512.1=KESTRIN HTML-uitvoer"));
    auto* layout = new QVBoxLayout(this);
    auto* file = new QLabel(FromPath(path));
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(file);
    title_ = AddField(layout, Lookup("#1605.2=&Titel van de stamboom (leeg: de naam van de map):"),
                      "edtTitle");
    title_->setText(QString::fromStdString(kept.Title.value_or("")));
    title_->setPlaceholderText(
        FromPath(std::filesystem::absolute(path).parent_path().filename().string()));
    if (needsLinkPattern) {
        layout->addWidget(new QLabel(Lookup("#1585.6=Een GEDCOM-bestand bevat geen links naar "
                                            "de pagina's van de stamboom.")));
        linkPattern_ = AddField(layout,
                                Lookup("#1585.4=&Linkpatroon van elke persoon ({id}: het nummer "
                                       "van de persoon; {surname}, {given}: de namen), "
                                       "bijvoorbeeld:") +
                                    QStringLiteral(" ") + QString::fromLatin1(kLinkPatternExample),
                                "edtLinkPattern");
        linkPattern_->setPlaceholderText(QString::fromLatin1(kLinkPatternExample));
        linkPattern_->setText(QString::fromStdString(kept.LinkPattern));
        linkPattern_->setToolTip(
            Lookup("#1585.5=het adres van de pagina van elke persoon, met {id}"));
    }
    startPage_ = AddField(layout,
                          Lookup("#1585.10=&Startpagina van de stamboom (leeg: index.htm ernaast, "
                                 "anders de eerste persoonspagina):"),
                          "edtStartPage");
    startPage_->setText(QString::fromStdString(kept.StartPage.value_or("")));
    auto* age = new QLabel(Lookup("#1585.11=Weglaten als mogelijk levend tot een leeftijd van "
                                  "(&jaren):"));
    livingAge_ = new QSpinBox;
    livingAge_->setObjectName(QStringLiteral("spnLivingAge"));
    livingAge_->setRange(1, kMaxLivingAge);
    livingAge_->setValue(kept.LivingAge.value_or(kDefaultLivingAge));
    livingAge_->setToolTip(Lookup("#1585.12=weggelaten wordt wie volgens zijn eigen data of die "
                                  "van ouders, echtgenoten en kinderen jonger kan zijn; wie het "
                                  "bestand priv\xE9 houdt altijd"));
    age->setBuddy(livingAge_);
    auto* ageRow = new QHBoxLayout;
    ageRow->addWidget(age);
    ageRow->addWidget(livingAge_);
    ageRow->addStretch();
    layout->addLayout(ageRow);
    includeLiving_ = new QCheckBox(Lookup("#1605.3=Toch &opnemen wie mogelijk leeft"));
    includeLiving_->setObjectName(QStringLiteral("chkIncludeLiving"));
    includeLiving_->setChecked(kept.IncludeLiving.value_or(false));
    layout->addWidget(includeLiving_);
    windows1252_ =
        new QCheckBox(Lookup("#1609.4=&Windows-1252 schrijven (voor oudere programma's)"));
    windows1252_->setObjectName(QStringLiteral("chkWindows1252"));
    windows1252_->setChecked(ChosenCharset(kept) == TKSimportCharset::Windows1252);
    windows1252_->setToolTip(
        Lookup("#1609.5=Het indexdocument in Windows-1252 in plaats van UTF-8: oudere programma's "
               "lezen het, maar een letter die daarin ontbreekt wordt de dichtstbijzijnde."));
    layout->addWidget(windows1252_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &TKSimportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TKSimportDialog::reject);
    layout->addWidget(buttons);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    if (linkPattern_) connect(linkPattern_, &QLineEdit::textChanged, this, [this] { UpdateOk(); });
    UpdateOk();
}

std::string TKSimportDialog::LinkPattern() const {
    return linkPattern_ ? linkPattern_->text().trimmed().toStdString() : std::string();
}

TKSimportChoices TKSimportDialog::Choices() const {
    TKSimportChoices choices;
    choices.Title = title_->text().trimmed().toStdString();
    choices.LinkPattern = LinkPattern();
    choices.StartPage = startPage_->text().trimmed().toStdString();
    choices.LivingAge = livingAge_->value();
    choices.IncludeLiving = includeLiving_->isChecked();
    choices.Charset =
        windows1252_->isChecked() ? TKSimportCharset::Windows1252 : TKSimportCharset::Utf8;
    return choices;
}

bool TKSimportDialog::PatternGiven() const {
    if (!linkPattern_) return true;
    const std::string pattern = LinkPattern();
    for (const char* field : {"{id}", "{surname}", "{given}"})
        if (pattern.find(field) != std::string::npos) return true;
    return false;
}

void TKSimportDialog::UpdateOk() {
    ok_->setEnabled(PatternGiven());
}

void TKSimportDialog::accept() {
    // A GEDCOM file cannot be imported without a pattern of its own persons.
    if (!PatternGiven()) return;
    QDialog::accept();
}

} // namespace ks::app
