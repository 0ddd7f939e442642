// The plan-menu books in their list windows: copies, dish moves, the edit lock and the summary
// under the dishes.

#include "ui/PlanMenuWindows.h"
#include "core/AppState.h"
#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Prompt.h"
#include "menu/PlanMenu.h"
#include "refbooks/BookCatalogue.h"
#include "ui/BookWindows.h"
#include "ui/MainIcons.h"
#include "ui/MainWindow.h"
#include "ui/BookListWindow.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace rat::ui {

namespace {

const QColor kCommandColor(0x3d, 0x6f, 0xa8);

std::optional<qint64> chosenPlanMenu(const BookListWindow& w)
{
    const QComboBox* box = w.grandParentFilter();
    if (!box || box->currentIndex() < 0 || !box->currentData().isValid())
        return std::nullopt;
    return box->currentData().toLongLong();
}

void fillTable(QTableWidget* table, const menu::PlanSummary& summary, int digits)
{
    table->clearContents();
    table->clearSpans();
    int rows = 0;
    for (const menu::EaterSummary& t : summary.types)
        rows += int(t.figures.size() + t.meals.size());
    table->setRowCount(rows);
    int row = 0;
    for (const menu::EaterSummary& t : summary.types) {
        const int first = row;
        for (const menu::SummaryFigure& f : t.figures) {
            auto* caption = new QTableWidgetItem(f.caption);
            auto* value = new QTableWidgetItem(menu::figureText(f, digits));
            value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, 1, caption);
            table->setItem(row, 2, value);
            ++row;
        }
        // Under the day's yield, each meal's with the recommended portion volume beside it.
        for (const menu::MealYield& m : t.meals) {
            auto* value = new QTableWidgetItem(menu::mealYieldText(m, digits));
            value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, 1, new QTableWidgetItem(menu::mealYieldCaption(m)));
            table->setItem(row, 2, value);
            ++row;
        }
        if (row > first) {
            auto* type = new QTableWidgetItem(t.eaterType);
            type->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
            table->setItem(first, 0, type);
            if (row - first > 1)
                table->setSpan(first, 0, row - first, 1);
        }
    }
}

QTableWidget* makeTable(QWidget* parent, const QString& name)
{
    auto* t = new QTableWidget(0, 3, parent);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(
        {QStringLiteral("Тип довольствующихся"), QStringLiteral("Показатель"), QStringLiteral("Факт(норма)")});
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::NoSelection);
    t->verticalHeader()->hide();
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    t->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    t->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    t->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    t->setWordWrap(false);
    return t;
}

// Runs a command that changes rows, then reads the list again with `select` current.
void reloadSelecting(BookListWindow& w, std::optional<qint64> select)
{
    w.reload();
    if (select)
        w.selectId(*select);
}

void openEntry(MainWindow& main, int entry)
{
    if (main.openEntry)
        main.openEntry(entry);
}

void moveDish(BookListWindow& w, int direction)
{
    const std::optional<qint64> id = w.currentId();
    if (!id)
        return;
    reloadSelecting(w, menu::movePlanDish(w.database(), w.prompt(), *id, direction));
}

void afterCopy(MainWindow& main, BookListWindow& w, menu::CopyResult result)
{
    if (result == menu::CopyResult::Refused)
        return;
    w.reload();
    if (result == menu::CopyResult::OpenEaterTypes)
        openEntry(main, books::entryEaterTypes);
}

// A command of the book's own with its picture: a short label on the commands' plate.
BookWindowHooks::Command command(const char* key, const char* text, const char* tip, const char* label,
                                 std::function<void(BookListWindow&)> run)
{
    return {QString::fromUtf8(key), QString::fromUtf8(text), QString::fromUtf8(tip), std::move(run),
            badgeIcon(QString::fromUtf8(label), kCommandColor)};
}

} // namespace

PlanSummaryPanel::PlanSummaryPanel(BookListWindow& list)
    : QWidget(&list), list_(list), dayBox_(new QGroupBox(this)), averageBox_(new QGroupBox(this)),
      day_(makeTable(dayBox_, QStringLiteral("summaryDay"))),
      average_(makeTable(averageBox_, QStringLiteral("summaryAverage")))
{
    setObjectName(QStringLiteral("planSummary"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 4, 6, 4);
    for (auto [box, table] : {std::pair{dayBox_, day_}, std::pair{averageBox_, average_}}) {
        auto* inner = new QVBoxLayout(box);
        inner->setContentsMargins(4, 4, 4, 4);
        inner->addWidget(table);
        row->addWidget(box, 1);
    }
    // Six or seven rows per eater type: the panel shows a block and scrolls for the rest.
    setFixedHeight(fontMetrics().height() * 13);
    connect(&list_, &BookListWindow::listLoaded, this, [this] { refresh(); });
    refresh();
}

void PlanSummaryPanel::refresh()
{
    const int digits = app().roundingDigits;
    const std::optional<qint64> menu = chosenPlanMenu(list_);
    const std::optional<qint64> day = list_.parentId();
    Database& db = list_.database();
    menu::PlanSummary daySummary, cycle;
    QString dayName;
    try {
        if (menu) {
            cycle = menu::planMenuSummary(db, *menu, std::nullopt, digits);
            if (day && menu::planMenuOfDay(db, *day) == menu) {
                daySummary = menu::planMenuSummary(db, *menu, day, digits);
                dayName = db.scalar(QStringLiteral("SELECT dname FROM days WHERE id = ?1"), {*day}).toString();
            }
        }
    } catch (const DbError&) {
        // A list that cannot be read shows its own failure; the panel stays empty.
    }
    dayBox_->setTitle(dayName.isEmpty() ? QStringLiteral("За плановый день")
                                        : QStringLiteral("За плановый день \"") + dayName + QLatin1Char('"'));
    averageBox_->setTitle(QStringLiteral("По плану-меню в среднем за день (плановых дней: ") +
                          QString::number(cycle.days) + QLatin1Char(')'));
    fillTable(day_, daySummary, digits);
    fillTable(average_, cycle, digits);
}

void installPlanMenuWindows(MainWindow& main, DatabaseSession& session)
{
    MainWindow* frame = &main;

    BookWindowHooks types;
    types.commands = {
        command("keyCopyPM", "Копировать план-меню", "Копировать дни и блюда плана-меню в другой план-меню", "К",
                [frame](BookListWindow& w) {
                    if (const auto id = w.currentId())
                        afterCopy(*frame, w, menu::copyPlanMenuToChosen(w.database(), w.prompt(), *id));
                }),
        command("keyAppendPM", "Добавить дни", "Добавить (скопировать) дни другого плана-меню", "+",
                [frame](BookListWindow& w) {
                    if (const auto id = w.currentId())
                        afterCopy(*frame, w, menu::appendPlanMenuDays(w.database(), w.prompt(), *id));
                }),
    };
    setBookWindowHooks(menu::entryMenuTypes, std::move(types));

    BookWindowHooks days;
    days.commands = {command("keyCopyDay", "Копировать день", "Копировать блюда дня в другой плановый день", "Д",
                             [](BookListWindow& w) {
                                 if (const auto id = w.currentId();
                                     id && menu::copyPlanDay(w.database(), w.prompt(), *id))
                                     w.reload();
                             })};
    setBookWindowHooks(menu::entryPlanDays, std::move(days));

    BookWindowHooks dishes;
    dishes.commands = {
        command("keyUp", "Вверх", "Переместить блюдо вверх в пределах текущего приема пищи/категории блюд", "↑",
                [](BookListWindow& w) { moveDish(w, -1); }),
        command("keyDown", "Вниз", "Переместить блюдо вниз в пределах текущего приема пищи/категории блюд", "↓",
                [](BookListWindow& w) { moveDish(w, +1); }),
        command("keyCopyDay", "Копировать день", "Копировать блюда дня в другой плановый день", "Д",
                [](BookListWindow& w) {
                    if (const auto day = w.parentId(); day && menu::copyPlanDay(w.database(), w.prompt(), *day))
                        w.reload();
                }),
        command("keyAppendPM", "Добавить дни", "Добавить (скопировать) дни другого плана-меню", "+",
                [frame](BookListWindow& w) {
                    if (const auto plan = chosenPlanMenu(w))
                        afterCopy(*frame, w, menu::appendPlanMenuDays(w.database(), w.prompt(), *plan));
                }),
        command("keyDays", "Плановые дни", "Изменить плановые дни", "ПД", [frame](BookListWindow& w) {
            if (menu::askOpenPlanDays(w.prompt()))
                openEntry(*frame, menu::entryPlanDays);
        }),
    };
    dishes.guard = [frame](BookListWindow& w, const QString& key) {
        if (key == QLatin1String("keyAdd")) {
            switch (menu::checkDishAdd(w.database(), w.prompt(), w.parentId())) {
            case menu::DishAddCheck::Allowed: return true;
            case menu::DishAddCheck::OpenPlanDays: openEntry(*frame, menu::entryPlanDays); return false;
            case menu::DishAddCheck::Refused: return false;
            }
        }
        return !menu::refuseLockedPlanMenu(w.prompt());
    };
    dishes.panel = [](BookListWindow& w) -> QWidget* { return new PlanSummaryPanel(w); };
    setBookWindowHooks(menu::entryPlanDishes, std::move(dishes));

    main.setCommandHandler(QStringLiteral("mnuDays"), [frame, &session] {
        if (session.isOpen() && menu::runPlanDaysCommand(session.db(), session.prompt()))
            openEntry(*frame, menu::entryPlanDays);
    });
}

} // namespace rat::ui
