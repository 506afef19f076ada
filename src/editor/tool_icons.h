#pragma once
// The pictures on the buttons of the main window's tool rows. Tarlo draws
// its own (resources/icons/*.svg, one simple style) instead of showing
// characters: a glyph that the machine's fonts lack shows as an empty box.
#include <QIcon>
#include <QString>

namespace tarlo {

// The picture of the tool-row button with this object name ("tbIcons_1",
// "tb2_3", "cmdBold"); a null icon for a control that has none.
QIcon ToolIcon(const QString& control);

}  // namespace tarlo
