#pragma once
// The pieces the menu module's book definitions are built from: the book's head, list columns
// (among them the plan-menu's title with its season suffix) and editor fields.

#include "refbooks/BookCatalogue.h"

#include <QString>

namespace rat::menu::bookparts {

// A book of the module: its entry, table, window and editor titles and name field.
books::BookDef book(int entry, const QString& table, const QString& listTitle, const QString& recordName,
                    const QString& nameField = QString());

books::ListColumn column(const QString& caption, const QString& source, int width, int decimals = -1);

// The title of the plan-menu under `alias` with its season suffix, the suffixes bound.
books::ListColumn planMenuTitleColumn(const QString& caption, const QString& alias, int width);

books::EditorField field(const QString& caption, books::Control control, const QString& name,
                         int flag = books::optional);

books::EditorField listField(const QString& caption, const QString& name, books::ListSource source,
                             int flag = books::required);

// The required one-line name of a row, at most 255 characters.
books::EditorField nameField(const QString& name);

} // namespace rat::menu::bookparts
