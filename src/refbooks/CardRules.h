#pragma once
// The record-editor checks of recipe lines and yields, and the deletion of whole cards.

namespace rat::books {

// Registers the rules of recipe lines, yields and cards with the book-rules registry.
void registerCardRules();

} // namespace rat::books
