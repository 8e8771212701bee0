#pragma once
// Making a form's controls as they stand at design time: a control of a type
// with its name as object name, a transparent label with its caption and
// place, and toolbar buttons with their tool tips.
#include "platform/controls/Label.h"
#include "platform/controls/Toolbar.h"

#include <QString>
#include <QWidget>

#include <initializer_list>

namespace FormDesign {

template <typename T>
T* Make(QWidget* parent, const QString& name) {
  auto* control = new T(parent);
  control->setObjectName(name);
  return control;
}

template <typename T>
T* Make(QWidget* parent, const char* name) {
  return Make<T>(parent, QLatin1String(name));
}

inline ctl::Label* MakeLabel(QWidget* parent, const QString& name, const QString& caption, double left, double top,
                             double width, double height) {
  auto* label = Make<ctl::Label>(parent, name);
  label->SetBackStyle(0);
  label->SetCaption(caption);
  label->Move(left, top, width, height);
  return label;
}

struct ToolButton {
  const char* key;
  const char* toolTip;
  int style;
};

inline void AddButtons(ctl::Toolbar* toolbar, std::initializer_list<ToolButton> buttons) {
  for (const ToolButton& b : buttons) {
    ctl::Button& button = toolbar->Buttons.Add(0, QLatin1String(b.key), QString(), b.style);
    button.SetToolTipText(QLatin1String(b.toolTip));
  }
}

}  // namespace FormDesign
