#pragma once

#include <QIcon>

// Icon resources by their numeric id (compiled in from resources/icons/).
namespace tidewell::res {

// A null icon for an id that names no icon.
QIcon LoadIcon(int id);

} // namespace tidewell::res
