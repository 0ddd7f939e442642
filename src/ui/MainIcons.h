#pragma once
// The main window's toolbar pictures, drawn by the program itself.

#include <QColor>
#include <QIcon>
#include <QString>

namespace rat::ui {

enum class Glyph { Open, Save, Print, Find, NewRow, EditRow, DeleteRow, Refresh, Help, Cut, Copy, Paste };

QIcon glyphIcon(Glyph glyph);

// A rounded coloured plate with a short label: the big buttons of the operations panel and
// the report buttons of the toolbar.
QIcon badgeIcon(const QString& label, const QColor& color);

} // namespace rat::ui
