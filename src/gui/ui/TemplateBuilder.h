#pragma once

#include "gui/ui/DialogUnits.h"
#include "resources/DialogTemplate.h"

#include <map>

class QWidget;

namespace tidewell {

// Builds the widgets of a dialog template as children of parent, each at its
// template place converted through units. Returns the controls by id (controls
// without an id are built but not listed).
std::map<int, QWidget*> BuildTemplateControls(const res::DialogTemplate& dialog, QWidget* parent,
                                              const DialogUnits& units);

// One control of a template.
QWidget* BuildTemplateControl(const res::ControlTemplate& control, QWidget* parent, const DialogUnits& units);

inline QString TemplateText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace tidewell
