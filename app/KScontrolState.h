// Control values in the per-user store: what the user last entered in a
// window's controls, saved when the window closes and restored when it opens
// again. Each value is one text in the given key, named after the control's
// object name or (flags bit 0) after its help keyword; controls without a
// name are skipped.
//
//   line edit   its text
//   check box   "-1" checked, "0" not; loaded as checked for a non-zero number
//   list widget the text of the current item; loaded by selecting the item
//               with that text (item 0 when none has it)
//   combo box   the index of the current item; loaded when valid, else item 0
//   splitter    the width of its first widget (its handle's left position)
//   other       a container: its child widgets are walked in child order
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace ks::app {

constexpr int kStateByHelpKeyword = 1;

// The help keyword of a control: the name of its stored value when flags bit 0 is set.
void SetHelpKeyword(QWidget* control, const QString& keyword);
QString HelpKeyword(const QWidget* control);

void SaveControls(QWidget* container, const std::string& key, int flags);
void SaveControl(QWidget* control, const std::string& key, int flags);
void LoadControls(QWidget* container, const std::string& key, int flags);
// defaultValue is applied when the store has no value for the control.
void LoadControl(QWidget* control, const std::string& key, int flags,
                 const std::string& defaultValue = std::string());

} // namespace ks::app
