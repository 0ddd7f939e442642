// The list window of a plan-menu analysis, the commands that open it, and the norms list's own
// commands (a group deleted from its line, all norms of a type, the copy to another type).

#include "ui/AnalysisWindow.h"
#include "documents/AnalysisPrint.h"
#include "core/Clock.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Prompt.h"
#include "menu/Norms.h"
#include "menu/PlanMenu.h"
#include "menu/PlanMenuProductNeed.h"
#include "stock/PlanMenuRemnants.h"
#include "ui/BookListWindow.h"
#include "ui/BookWindows.h"
#include "ui/DocumentKind.h"
#include "ui/DocumentWindow.h"
#include "ui/MainIcons.h"
#include "ui/MainWindow.h"

#include <QComboBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <map>

namespace rat::ui {

namespace {

const QColor kAnalysisColor(0x6a, 0x4c, 0x9c);

QString shownNumber(double v)
{
    // Lists show numbers with a decimal comma, as every list of the program does.
    return plainNumber(v).replace(QLatin1Char('.'), QLatin1Char(','));
}

// The plan-menu a plan-menu list stands on: the current row of the plan-menus, the chosen
// plan-menu above the days and dishes.
std::optional<qint64> planMenuOfList(BookListWindow& w)
{
    if (w.entry() == menu::entryMenuTypes)
        return w.currentId();
    if (QComboBox* box = w.grandParentFilter(); box && box->currentIndex() >= 0 && box->currentData().isValid())
        return box->currentData().toLongLong();
    if (w.entry() == menu::entryPlanDays)
        return w.parentId();
    return std::nullopt;
}

BookWindowHooks::Command analysisKey(MainWindow* main, const char* key, const char* text, const char* label,
                                     menu::AnalysisKind kind)
{
    return {QString::fromUtf8(key), QString::fromUtf8(text), QString::fromUtf8(text),
            [main, kind](BookListWindow& w) {
                if (const auto plan = planMenuOfList(w))
                    openAnalysis(*main, w.database(), w.prompt(), kind, *plan);
                else
                    chooseAndOpenAnalysis(*main, w.database(), w.prompt(), kind);
            },
            badgeIcon(QString::fromUtf8(label), kAnalysisColor)};
}

// "Расход продуктов питания": the day ("Все дни" or one plan day) and the eaters of each type
// on allowance, then the need beside the store's remnants of today.
void openProductNeed(MainWindow& main, Database& db, Prompt& prompt, qint64 planMenu)
{
    std::vector<std::optional<qint64>> days{std::nullopt};
    QStringList names{QStringLiteral("Все дни")};
    Statement st(db, QStringLiteral("SELECT id, dname FROM days WHERE id_type_menu = ?1 ORDER BY id"));
    st.bind(1, planMenu);
    while (st.next()) {
        days.push_back(st.toInt64(0));
        names << st.toString(1);
    }
    const std::optional<int> day =
        prompt.choose(QStringLiteral("Расход продуктов питания"), QStringLiteral("Выберите плановый день:"), names);
    if (!day || *day < 0 || *day >= int(days.size()))
        return;
    std::map<qint64, int> eaters;
    Statement types(db, QStringLiteral("SELECT id, shname FROM type_eating WHERE COALESCE(status, 0) <> 0 "
                                       "ORDER BY shname COLLATE RU, id"));
    while (types.next()) {
        const std::optional<QString> n =
            prompt.input(QStringLiteral("Расход продуктов питания"),
                         QStringLiteral("Количество довольствующихся ") + quoted(types.toString(1)) + QLatin1Char(':'),
                         QStringLiteral("0"));
        if (!n)
            return;
        eaters[types.toInt64(0)] = n->trimmed().toInt();
    }
    const std::optional<menu::AnalysisTable> need = menu::planMenuProductNeed(
        db, prompt, planMenu, days[size_t(*day)], eaters, stock::planMenuRemnants(db, Clock::today()));
    if (need)
        main.addChild(new AnalysisWindow(*need));
}

void addCommands(int entry, std::vector<BookWindowHooks::Command> commands)
{
    BookWindowHooks h = bookWindowHooks(entry) ? *bookWindowHooks(entry) : BookWindowHooks{};
    for (auto& c : commands)
        h.commands.push_back(std::move(c));
    setBookWindowHooks(entry, std::move(h));
}

void installNormsList(MainWindow* main)
{
    BookWindowHooks h = bookWindowHooks(menu::entryNorms) ? *bookWindowHooks(menu::entryNorms) : BookWindowHooks{};
    // A norm opens in the document window with its meal split; the list follows its saves.
    h.recordWindow = [main](QWidget*, Database& db, Prompt& prompt, books::EditMode mode, std::optional<qint64> id,
                            std::optional<qint64> type) -> std::optional<qint64> {
        HeaderValues presets;
        if (type)
            presets.insert(QStringLiteral("id_type_eating"), *type);
        const DocumentMode dm = mode == books::EditMode::Add    ? DocumentMode::New
                                : mode == books::EditMode::Edit ? DocumentMode::Edit
                                                                : DocumentMode::Copy;
        DocumentWindow* w = openDocument(main, db, prompt, docNorm, mode == books::EditMode::Add ? std::nullopt : id,
                                         dm, presets);
        if (w)
            QObject::connect(w, &DocumentWindow::documentSaved, main, [main](qint64 saved) {
                if (BookListWindow* list = findBookWindow(*main, menu::entryNorms)) {
                    list->reload();
                    list->selectId(saved);
                }
            });
        return std::nullopt;
    };
    h.bulkCopy = [](Database& db, Prompt& prompt, qint64 type) { return menu::copyNormsToChosen(db, prompt, type).has_value(); };
    // A group line deletes its whole group; a product line its own row, both with their own question.
    h.guard = [](BookListWindow& w, const QString& key) {
        const std::optional<qint64> id = w.currentId();
        if (key == QLatin1String("keyDel") && id && w.parentId()) {
            const int row = w.currentRow();
            const QString group = *id < 0 ? w.list().rows[size_t(row)].value(0) : QString();
            const bool done = *id < 0 ? menu::deleteNormGroup(w.database(), w.prompt(), *w.parentId(), group)
                                      : menu::deleteNormProduct(w.database(), w.prompt(), *id);
            if (done)
                w.reload();
            return false;
        }
        if ((key == QLatin1String("keyEdit") || key == QLatin1String("keyCopy")) && id && *id < 0)
            return false;  // a group line has no row of its own to open
        return true;
    };
    h.commands.push_back({QStringLiteral("keyDelAll"), QStringLiteral("Удалить все нормы"),
                          QStringLiteral("Удалить нормы для типа довольствующихся полностью"),
                          [](BookListWindow& w) {
                              if (const auto type = w.parentId();
                                  type && menu::deleteNormsOfType(w.database(), w.prompt(), *type))
                                  w.reload();
                          },
                          badgeIcon(QStringLiteral("×"), kAnalysisColor)});
    setBookWindowHooks(menu::entryNorms, std::move(h));
}

} // namespace

AnalysisWindow::AnalysisWindow(const menu::AnalysisTable& table, QWidget* parent)
    : QWidget(parent), table_(table), grid_(new QTableView(this)), model_(new QStandardItemModel(this))
{
    setObjectName(QStringLiteral("frmSprav"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(table.caption);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);
    grid_->setObjectName(QStringLiteral("grid"));
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->setWordWrap(false);

    model_->setColumnCount(int(table.columns.size()));
    model_->setHorizontalHeaderLabels(table.columns);
    QFont bold = font();
    bold.setBold(true);
    for (const menu::AnalysisRow& r : table.rows) {
        QList<QStandardItem*> items;
        for (int c = 0; c < int(table.columns.size()); ++c) {
            const QVariant v = c < int(r.cells.size()) ? r.cells[size_t(c)] : QVariant();
            auto* item = new QStandardItem(v.typeId() == QMetaType::Double ? shownNumber(v.toDouble())
                                                                            : (v.isNull() ? QString() : v.toString()));
            if (v.typeId() == QMetaType::Double)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (r.bold || r.isRed(c))
                item->setFont(bold);
            if (r.isRed(c))
                item->setForeground(QBrush(Qt::red));
            items << item;
        }
        model_->appendRow(items);
    }
    grid_->resizeColumnsToContents();
}

QSize AnalysisWindow::sizeHint() const
{
    int width = 40;
    for (int c = 0; c < model_->columnCount(); ++c)
        width += grid_->columnWidth(c);
    return {std::min(std::max(width, 480), 1100), 480};
}

bool AnalysisWindow::runCommand(const QString& name)
{
    if (name != QLatin1String("mnuFilePrint") || !db_ || !prompt_)
        return false;
    documents::PrintTable(*db_, *prompt_, documents::printedTable(table_));
    return true;
}

AnalysisWindow* openAnalysis(MainWindow& main, Database& db, Prompt& prompt, menu::AnalysisKind kind, qint64 planMenu)
{
    try {
        if (!menu::checkPlanMenuForAnalysis(db, prompt, kind, planMenu))
            return nullptr;
        auto* w = new AnalysisWindow(menu::runAnalysis(db, prompt, kind, planMenu));
        w->setPrinting(&db, &prompt);
        main.addChild(w);
        return w;
    } catch (const DbError&) {
        prompt.critical(QStringLiteral("Извините, невозможно создать \"Анализ\", сообщите разработчику!"));
        return nullptr;
    }
}

AnalysisWindow* chooseAndOpenAnalysis(MainWindow& main, Database& db, Prompt& prompt, menu::AnalysisKind kind)
{
    const std::optional<menu::AnalysisChoice> c = menu::planMenusForAnalysis(db, prompt, kind);
    if (!c)
        return nullptr;
    // The remembered plan-menu is preselected in the list.
    QInputDialog dlg(&main);
    dlg.setObjectName(QStringLiteral("analysisChoice"));
    dlg.setWindowTitle(QStringLiteral("Анализ плана-меню"));
    dlg.setLabelText(QStringLiteral("Выберите план-меню"));
    dlg.setComboBoxItems(c->titles);
    dlg.setComboBoxEditable(false);
    if (c->remembered >= 0)
        dlg.setTextValue(c->titles.value(c->remembered));
    dlg.setOkButtonText(QStringLiteral("ОК"));
    dlg.setCancelButtonText(QStringLiteral("Отмена"));
    if (dlg.exec() != QDialog::Accepted)
        return nullptr;
    const int i = int(c->titles.indexOf(dlg.textValue()));
    if (i < 0)
        return nullptr;
    return openAnalysis(main, db, prompt, kind, c->ids[size_t(i)]);
}

void installAnalysisWindows(MainWindow& main, DatabaseSession& session)
{
    MainWindow* frame = &main;
    const std::pair<const char*, menu::AnalysisKind> commands[] = {
        {"mnuPM", menu::AnalysisKind::Norms},
        {"mnuAnKall", menu::AnalysisKind::Energy},
        {"mnuPMPovtor", menu::AnalysisKind::Repeats},
    };
    for (const auto& [name, kind] : commands)
        main.setCommandHandler(QString::fromLatin1(name), [frame, &session, kind = kind] {
            if (session.isOpen())
                chooseAndOpenAnalysis(*frame, session.db(), session.prompt(), kind);
        });

    for (int entry : {int(menu::entryMenuTypes), int(menu::entryPlanDays), int(menu::entryPlanDishes)})
        addCommands(entry,
                    {analysisKey(frame, "keyAn", "Анализ плана-меню на соответствие нормам питания", "Н",
                                 menu::AnalysisKind::Norms),
                     analysisKey(frame, "keyAnPr", "Анализ распределения калорийности плана-меню", "Э",
                                 menu::AnalysisKind::Energy),
                     analysisKey(frame, "keyAnPrPov", "Анализ плана-меню на повтор блюд в разрезе 3х дней", "П",
                                 menu::AnalysisKind::Repeats)});
    addCommands(menu::entryMenuTypes,
                {{QStringLiteral("keyRashod"), QStringLiteral("Расход продуктов питания"),
                  QStringLiteral("Расход продуктов питания"),
                  [frame](BookListWindow& w) {
                      if (const auto plan = w.currentId())
                          openProductNeed(*frame, w.database(), w.prompt(), *plan);
                  },
                  badgeIcon(QStringLiteral("Р"), kAnalysisColor)}});
    installNormsList(frame);
}

} // namespace rat::ui
