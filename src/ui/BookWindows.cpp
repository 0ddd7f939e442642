// The reference books inside the main window: list windows per catalogue entry, the windows
// of a book's own, and the institution's editor.

#include "ui/BookWindows.h"
#include "core/DatabaseSession.h"
#include "documents/CalculationCardPrint.h"
#include "refbooks/BookActions.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/CardRules.h"
#include "ui/CardWindow.h"
#include "ui/MainIcons.h"
#include "ui/MainWindow.h"
#include "ui/BookListWindow.h"
#include "ui/RecordEditorDialog.h"
#include "refbooks/RecordEditor.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <map>

namespace rat::ui {

namespace {

std::map<int, BookWindowHooks>& hooks()
{
    static std::map<int, BookWindowHooks> h;
    return h;
}

} // namespace

void setBookWindowHooks(int entry, BookWindowHooks h)
{
    hooks()[entry] = std::move(h);
}

namespace {

// "Калькуляционная карточка" of the card the window stands on: the current card of a card list,
// the chosen card of the calculation view; the date of the prices is asked.
BookWindowHooks::Command calculationCardCommand(bool parentCard)
{
    return {QStringLiteral("keyKalk"), QStringLiteral("Калькуляционная карточка"),
            QStringLiteral("Печать калькуляционной карточки"),
            [parentCard](BookListWindow& w) {
                const std::optional<qint64> card = parentCard ? w.parentId() : w.currentId();
                if (card)
                    documents::AskAndPrintCalculationCard(w.database(), w.prompt(), *card);
            },
            glyphIcon(Glyph::Print)};
}

void addCalculationCardCommand(int entry, bool parentCard)
{
    BookWindowHooks h = bookWindowHooks(entry) ? *bookWindowHooks(entry) : BookWindowHooks{};
    for (const BookWindowHooks::Command& c : h.commands)
        if (c.key == QLatin1String("keyKalk"))
            return;
    h.commands.push_back(calculationCardCommand(parentCard));
    setBookWindowHooks(entry, std::move(h));
}

} // namespace

void installCardWindows()
{
    addCalculationCardCommand(books::entryCardCalculation, true);
    for (int entry : {books::entryCards, books::entryCardsWithComposition}) {
        addCalculationCardCommand(entry, false);
        BookWindowHooks h = bookWindowHooks(entry) ? *bookWindowHooks(entry) : BookWindowHooks{};
        h.bulkCopyRow = books::copyRecipeToChosenCard;
        // The card window in place of the plain editor; captioned with the list it opens from.
        const books::BookDef* def = books::findBook(entry);
        const QString title = def ? def->listTitle : QStringLiteral("Технологические карты");
        h.recordWindow = [title](QWidget* parent, Database& db, Prompt& prompt, books::EditMode mode,
                                 std::optional<qint64> id, std::optional<qint64> category) {
            return openCardWindow(parent, db, prompt, title, mode, id, category);
        };
        setBookWindowHooks(entry, std::move(h));
    }
    BookWindowHooks lines = bookWindowHooks(books::entryRecipeLines) ? *bookWindowHooks(books::entryRecipeLines)
                                                                      : BookWindowHooks{};
    lines.bulkCopy = books::copyRecipeToChosenCard;
    setBookWindowHooks(books::entryRecipeLines, std::move(lines));
}

const BookWindowHooks* bookWindowHooks(int entry)
{
    const auto it = hooks().find(entry);
    return it == hooks().end() ? nullptr : &it->second;
}

BookListWindow* findBookWindow(MainWindow& main, int entry)
{
    for (QMdiSubWindow* sub : main.mdiArea()->subWindowList())
        if (auto* w = qobject_cast<BookListWindow*>(sub->widget()); w && w->entry() == entry)
            return w;
    return nullptr;
}

namespace {

bool openBook(MainWindow& main, Database& db, Prompt& prompt, int entry, int depth)
{
    if (!books::findBook(entry))
        return false;
    if (BookListWindow* open = findBookWindow(main, entry)) {
        for (QMdiSubWindow* sub : main.mdiArea()->subWindowList())
            if (sub->widget() == open) {
                if (sub->isMinimized())
                    sub->showNormal();
                main.mdiArea()->setActiveSubWindow(sub);
            }
        return true;
    }
    if (depth < 3)
        if (const auto first = books::offerPrerequisite(db, prompt, entry); first && *first != entry)
            if (openBook(main, db, prompt, *first, depth + 1))
                return true;
    main.addChild(new BookListWindow(db, prompt, entry));
    return true;
}

} // namespace

bool editInstitution(QWidget* parent, Database& db, Prompt& prompt, const std::function<void(QDialog&)>& show)
{
    const QVariant row = db.scalar(QStringLiteral("SELECT IDLU FROM INF ORDER BY IDLU LIMIT 1"));
    books::RecordEditor editor(db, prompt, books::entryInstitution);
    if (row.isNull() || !editor.open(books::EditMode::Edit, row.toLongLong()))
        return false;
    RecordEditorDialog dialog(editor, parent);
    dialog.setObjectName(QStringLiteral("frmUchr"));
    if (show)
        show(dialog);
    else
        dialog.exec();
    return dialog.savedId().has_value();
}

bool openBookWindow(MainWindow& main, Database& db, Prompt& prompt, int entry)
{
    if (entry == books::entryInstitution)
        return editInstitution(&main, db, prompt), true;
    return openBook(main, db, prompt, entry, 0);
}

namespace {

// The catalogue number the command "Добавить технологическую карту" opens: no list of its own.
constexpr int kNewCardEntry = 54;

// "Добавить технологическую карту": the card window of the card list on a new card; an open
// card list shows the card once it is saved.
bool openNewCard(MainWindow& main, Database& db, Prompt& prompt)
{
    const BookWindowHooks* h = bookWindowHooks(books::entryCardsWithComposition);
    if (!h || !h->recordWindow)
        return false;
    const std::optional<qint64> saved = h->recordWindow(&main, db, prompt, books::EditMode::Add, std::nullopt, std::nullopt);
    if (saved) {
        for (int entry : {books::entryCards, books::entryCardsWithComposition}) {
            if (BookListWindow* list = findBookWindow(main, entry)) {
                list->reload();
                list->selectId(*saved);
            }
        }
    }
    return true;
}

} // namespace

void installBookWindows(MainWindow& main, DatabaseSession& session)
{
    const auto previous = main.openEntry;
    main.openEntry = [&main, &session, previous](int entry) {
        if (session.isOpen() && entry == kNewCardEntry &&
            openNewCard(main, session.db(), session.prompt()))
            return;
        if (session.isOpen() && openBookWindow(main, session.db(), session.prompt(), entry))
            return;
        if (previous)
            previous(entry);
    };
}

} // namespace rat::ui
