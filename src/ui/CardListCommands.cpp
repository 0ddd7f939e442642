// The card lists' own commands: recalculation of nutrients and costs, and the yields of a
// whole dish category.

#include "ui/CardListCommands.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/CardCalc.h"
#include "refbooks/CardYieldRules.h"
#include "refbooks/RecordEditor.h"
#include "ui/BookWindows.h"
#include "ui/MainIcons.h"
#include "ui/RecordEditorDialog.h"
#include "ui/BookListWindow.h"

#include <QComboBox>
#include <QString>
#include <algorithm>
#include <vector>

namespace rat::ui {

namespace {

using Command = BookWindowHooks::Command;

// Adds commands to an entry's hooks, replacing earlier ones of the same keys.
void addCommands(int entry, const std::vector<Command>& commands)
{
    BookWindowHooks hooks = bookWindowHooks(entry) ? *bookWindowHooks(entry) : BookWindowHooks{};
    std::erase_if(hooks.commands, [&](const Command& c) {
        return std::any_of(commands.begin(), commands.end(), [&](const Command& n) { return n.key == c.key; });
    });
    hooks.commands.insert(hooks.commands.end(), commands.begin(), commands.end());
    setBookWindowHooks(entry, std::move(hooks));
}

void recalculateNutrients(BookListWindow& w)
{
    books::batchNutrientCommand(w.database(), w.prompt(), w.currentId(),
                                w.entry() == books::entryCardsWithComposition);
    w.reload();
}

// The cards of the category the list shows (its filter), or all of them.
void recalculateCosts(BookListWindow& w)
{
    const std::optional<qint64> category = w.parentId();
    if (!category)
        return;  // no category, so no card to recalculate
    books::batchCostCommand(w.database(), w.prompt(), *category);
    w.reload();
}

void categoryYields(BookListWindow& w)
{
    std::optional<qint64> category;
    if (QComboBox* box = w.grandParentFilter(); box && box->currentIndex() >= 0 && box->currentData().isValid())
        category = box->currentData().toLongLong();
    if (editCategoryYields(&w, w.database(), w.prompt(), category, w.showDialog))
        w.reload();
}

} // namespace

bool editCategoryYields(QWidget* parent, Database& db, Prompt& prompt, std::optional<qint64> category,
                        const std::function<void(QDialog&)>& show)
{
    books::RecordEditor editor(db, prompt, books::entryCategoryYields);
    if (!editor.open(books::EditMode::Add, std::nullopt, category))
        return false;
    RecordEditorDialog dialog(editor, parent);
    // Not a row of a book: the caption names what the editor does.
    dialog.setWindowTitle(QStringLiteral("Выход по категориям блюд"));
    if (show)
        show(dialog);
    else
        dialog.exec();
    return dialog.savedId().has_value();
}

void installCardListCommands()
{
    const QColor plate(0x3d, 0x6f, 0xa8);
    const std::vector<Command> cards = {
        {QStringLiteral("keyPeresch"), QStringLiteral("Пересчитать хим. состав"),
         QStringLiteral("Пересчитать химический состав технологических карт"), recalculateNutrients,
         badgeIcon(QStringLiteral("ХС"), plate)},
        {QStringLiteral("keyStoimBl"), QStringLiteral("Пересчитать стоимость"),
         QStringLiteral("Пересчитать плановую стоимость технологических карт"), recalculateCosts,
         badgeIcon(QStringLiteral("₽"), plate)},
    };
    addCommands(books::entryCards, cards);
    addCommands(books::entryCardsWithComposition, cards);
    addCommands(books::entryYields, {{QStringLiteral("keyOutputByCategory"), QStringLiteral("Выход по категориям блюд"),
                                      QStringLiteral("Выходы всех блюд категории для типа довольствующихся"),
                                      categoryYields, badgeIcon(QStringLiteral("ВК"), plate)}});
}

} // namespace rat::ui
