#pragma once
// The kinds of document, made by makeDocumentKind(), and what their files share.

#include "ui/DocumentKind.h"

#include <functional>
#include <memory>

namespace rat {
class Prompt;
}

namespace rat::ui {

std::unique_ptr<DocumentKind> makeNormKind();
std::unique_ptr<DocumentKind> makeDayMenuKind();
std::unique_ptr<DocumentKind> makeStockKind(int code);

// A header field of `kind`; a required one must be filled before the document is saved.
HeaderField headerField(const QString& column, const QString& caption, HeaderField::Kind kind,
                        bool required = false);
// The fields every document has: its number (a duplicate offers the next free one), its date
// and its comment.
HeaderField numberField(const QString& column, int limit);
HeaderField dateField(const QString& column);
HeaderField commentField();

// "Удалить выделенн" + "ую строку?" / "ые строки?" (default No), "Идет удаление строк...",
// the removal, then "Удалено строк: N". Returns the count removed (0 when declined).
int deleteLinesAsked(Prompt& prompt, int count, const std::function<void()>& remove);

} // namespace rat::ui
