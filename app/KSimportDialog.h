// What the wizard asks before it imports a name list: the tree's title, the
// link pattern of each person (a GEDCOM file has no links of its own), the
// page that opens the tree, who counts as possibly living, and whether the
// document is written in Windows-1252 for older programs. Each starts
// as the last import of the same name list chose it.
#pragma once

#include "import/KSimportChoices.h"

#include <QDialog>

#include <string>

class QCheckBox;
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
    // kept: the choices of the last import (KeptImportChoices), shown as
    // they were.
    TKSimportDialog(QWidget* parent, const std::string& path, bool needsLinkPattern,
                    const TKSimportChoices& kept = {});

    // The answers, texts as typed (UTF-8, trimmed); a title left empty is
    // the folder's name.
    TKSimportChoices Choices() const;

public slots:
    void accept() override;

private:
    std::string LinkPattern() const;
    bool PatternGiven() const;
    void UpdateOk();

    QLineEdit* title_ = nullptr;
    QLineEdit* linkPattern_ = nullptr;
    QLineEdit* startPage_ = nullptr;
    QSpinBox* livingAge_ = nullptr;
    QCheckBox* includeLiving_ = nullptr;
    QCheckBox* windows1252_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace ks::app
