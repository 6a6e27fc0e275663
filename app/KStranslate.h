// Translation of window texts. A caption or hint written as a localised
// literal ("#1001=Annuleren", "#1002") is replaced by its text in the chosen
// language when the window is shown; any other text stays as it is.
//
// What counts as a caption depends on the kind of widget: the text of a
// button or label, the title of a group box, the caption of a wizard page,
// the title of a window. The hint is the tool tip of every widget.
#pragma once

#include <QString>

class QWidget;

namespace ks::app {

// The window itself, then every widget inside it.
void TranslateForm(QWidget* form);
// Caption and hint of one widget. prefix + ".text" / ".hint" is the key of
// a caption or hint that is only "#".
void TranslateComponent(QWidget* widget, const QString& prefix = QString());
// One property by its Qt name; nothing when the widget has no such text property.
void TranslateProperty(QWidget* widget, const char* propertyName, const QString& fallbackKey);

// The Qt property that holds a widget's caption, or nullptr when it has none.
const char* CaptionProperty(const QWidget* widget);

} // namespace ks::app
