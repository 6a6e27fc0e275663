// Keyboard accelerators (Alt+letter) of the wizard's captions: the letter a
// caption marks with "&", and a free letter for a caption made at run time.
#pragma once

#include <QChar>
#include <QString>

class QWidget;

namespace ks::app {

// The letter after the caption's single "&", lower case; a null QChar when
// the caption has none ("&&" is a plain ampersand).
QChar MnemonicOf(const QString& caption);

// text with each "&" doubled, so that it shows as written in a caption.
QString PlainCaption(const QString& text);

// caption with "&" before the first letter, at or after position from (else
// anywhere), whose lower case is not in used; unchanged when it has a
// mnemonic already or every letter is taken.
QString WithFreeMnemonic(const QString& caption, const QString& used, qsizetype from = 0);

// The letters the buttons, check boxes and labels with a buddy of page, and
// of its window outside every wizard page (the button row), already use.
QString UsedMnemonics(const QWidget* page);

} // namespace ks::app
