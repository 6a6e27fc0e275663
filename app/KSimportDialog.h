// What the wizard asks before it imports a name list: the link pattern of
// each person (a GEDCOM file has no links of its own), the page that opens
// the tree, and the age up to which a person counts as possibly living.
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;
class QPushButton;
class QSpinBox;

namespace ks::app {

class TKSimportDialog : public QDialog {
    Q_OBJECT
public:
    // needsLinkPattern: the link pattern is asked, empty with an example as
    // its hint, and the box is not accepted (OK stays off) until the pattern
    // holds a field of the person ({id}, {surname} or {given}): an example
    // taken over unchanged would publish links that lead nowhere.
    TKSimportDialog(QWidget* parent, const std::string& path, bool needsLinkPattern);

    // As typed, UTF-8, trimmed.
    std::string LinkPattern() const;
    std::string StartPage() const;
    int LivingAge() const;

public slots:
    void accept() override;

private:
    bool PatternGiven() const;
    void UpdateOk();

    QLineEdit* linkPattern_ = nullptr;
    QLineEdit* startPage_ = nullptr;
    QSpinBox* livingAge_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace ks::app
