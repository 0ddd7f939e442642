// The day menu in the document window: its header (number, date, cost basis, plan-menu days,
// comment), the rows per dish and eater type with their costs and nutrients, the count editor
// of a row, moving and deleting dishes, copying, printing and the step to the menu-requirement.

#include "core/Clock.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "documents/DayMenuPrint.h"
#include "menu/DayMenu.h"
#include "ui/DayMenuDocument.h"
#include "ui/DocumentKindsInternal.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <algorithm>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rat::ui {

DayMenuCountDialog::DayMenuCountDialog(const QString& dish, const QString& eaterType, const QString& groupCaption,
                                       const QString& group, qint64 quantity, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCount"));
    setWindowTitle(QStringLiteral("Количество порций"));
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* dishLabel = new QLabel(dish, this);
    dishLabel->setWordWrap(true);
    QFont bold = dishLabel->font();
    bold.setBold(true);
    dishLabel->setFont(bold);
    form->addRow(QStringLiteral("Блюдо:"), dishLabel);
    if (!group.isEmpty())
        form->addRow(groupCaption + QLatin1Char(':'), new QLabel(group, this));
    form->addRow(QStringLiteral("Тип довольствующихся:"), new QLabel(eaterType, this));
    edit_ = new QLineEdit(QString::number(quantity), this);
    edit_->setObjectName(QStringLiteral("quantity"));
    edit_->setValidator(new QIntValidator(0, 999999, edit_));
    edit_->setMaximumWidth(120);
    edit_->setAlignment(Qt::AlignRight);
    edit_->selectAll();
    form->addRow(QStringLiteral("Количество порций:"), edit_);
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("ОК"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    ok_->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

QString DayMenuCountDialog::text() const
{
    return edit_->text().trimmed();
}

DayMenuDishDialog::DayMenuDishDialog(const QString& groupCaption, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDish"));
    setWindowTitle(QStringLiteral("Добавить блюдо"));
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    group_ = new QComboBox(this);
    group_->setObjectName(QStringLiteral("group"));
    card_ = new QComboBox(this);
    card_->setObjectName(QStringLiteral("card"));
    card_->setMaxVisibleItems(25);
    card_->setMinimumContentsLength(32);
    card_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    form->addRow(groupCaption, group_);
    form->addRow(QStringLiteral("Блюдо"), card_);
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("ОК"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    ok_->setDefault(true);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

namespace {

using Kind = HeaderField::Kind;

const QString kNumber = QStringLiteral("nom");
const QString kDate = QStringLiteral("ddate");
const QString kBasis = QStringLiteral("filtr");
const QString kDays = QStringLiteral("idd_tm");
const QString kComment = QStringLiteral("comment");
const QString kPlanMenu = QStringLiteral("id_type_menu");

menu::DayMenuHeader headerOf(const HeaderValues& v, std::optional<qint64> id)
{
    menu::DayMenuHeader h;
    h.id = id;
    h.date = v.value(kDate).toDate();
    h.number = v.value(kNumber).toString().trimmed();
    h.comment = v.value(kComment).toString();
    h.done = v.value(QStringLiteral("status")).toBool();
    if (!v.value(kPlanMenu).isNull() && v.value(kPlanMenu).isValid())
        h.planMenuId = v.value(kPlanMenu).toLongLong();
    h.iddTm = v.value(kDays).toString();
    h.sum = v.value(QStringLiteral("sum")).toDouble();
    h.basisCode = v.value(kBasis).isNull() ? 0 : v.value(kBasis).toInt();
    return h;
}

class DayMenuKind : public DocumentKind {
public:
    int code() const override { return docDayMenu; }
    QString caption() const override { return QStringLiteral("Меню на день"); }
    QString table() const override { return QStringLiteral("day_menu"); }

    std::vector<HeaderField> fields(Database& db) override
    {
        HeaderField basis = headerField(kBasis, QStringLiteral("Расчет стоимости"), Kind::List);
        basis.stored = false;
        for (const menu::CostBasisItem& it : menu::costBasisItems(db))
            basis.items.push_back({it.code, it.text});
        HeaderField days = headerField(kDays, QStringLiteral("Плановые меню:"), Kind::Info);
        days.stored = false;
        return {numberField(kNumber, 10), dateField(kDate), basis, days, commentField()};
    }

    std::optional<HeaderValues> read(Database& db, qint64 id) override
    {
        const std::optional<menu::DayMenuHeader> h = menu::readDayMenu(db, id);
        if (!h)
            return std::nullopt;
        HeaderValues v;
        v.insert(QStringLiteral("id"), id);
        v.insert(kNumber, h->number.trimmed());
        v.insert(kDate, h->date);
        v.insert(kComment, h->comment);
        v.insert(QStringLiteral("status"), h->done);
        v.insert(kPlanMenu, h->planMenuId ? QVariant(*h->planMenuId) : QVariant());
        v.insert(kDays, h->iddTm);
        v.insert(QStringLiteral("sum"), h->sum);
        // A stored code the list no longer offers (stock accounting switched since) reads as the
        // first item, which is what the costs are taken at.
        const std::vector<menu::CostBasisItem> items = menu::costBasisItems(db);
        int basis = h->basisCode;
        if (!items.empty() && std::none_of(items.begin(), items.end(),
                                           [basis](const menu::CostBasisItem& it) { return it.code == basis; }))
            basis = items.front().code;
        v.insert(kBasis, basis);
        basis_ = basis;
        planMenu_ = h->planMenuId;
        return v;
    }

    HeaderValues defaults(Database& db) override
    {
        HeaderValues v = DocumentKind::defaults(db);
        const std::vector<menu::CostBasisItem> items = menu::costBasisItems(db);
        if (!items.empty()) {
            v.insert(kBasis, items.front().code);
            basis_ = items.front().code;
        }
        return v;
    }

    HeaderValues copied(Database& db, const HeaderValues& source) override
    {
        HeaderValues v = DocumentKind::copied(db, source);
        v.insert(QStringLiteral("status"), false);  // the copy's expense is not carried out
        v.insert(QStringLiteral("sum"), 0.0);
        return v;
    }

    QString nextNumber(Database& db) override { return menu::nextDayMenuNumber(db); }

    QString shownText(Database& db, const QString& field, const QVariant& value) const override
    {
        if (field == kDays)
            return menu::iddTmLines(db, value.toString()).join(QLatin1Char('\n'));
        return value.toString();
    }

    QString title(const HeaderValues& v, std::optional<qint64> id) const override
    {
        if (!id)
            return caption() + QStringLiteral(": Новое");
        return menu::dayMenuCaption(headerOf(v, id));
    }

    void headerTyped(const HeaderValues& values) override { typedDate_ = values.value(kDate).toDate(); }

    bool checkNumber(Database& db, Prompt& prompt, const HeaderField&, QString& number,
                     std::optional<qint64> id) override
    {
        menu::DayMenuHeader h;
        h.id = id;
        h.number = number;
        h.date = typedDate_;
        if (!menu::checkDayMenuNumber(db, prompt, h))
            return false;
        number = h.number;
        return true;
    }

    std::optional<qint64> save(Database& db, Prompt&, HeaderValues& values, std::optional<qint64> id) override
    {
        menu::DayMenuHeader h = headerOf(values, id);
        h.basisCode = basis_.value_or(h.basisCode);
        const qint64 saved = menu::saveDayMenuHeader(db, h);
        planMenu_ = h.planMenuId;
        return saved;
    }

    LineSet lines(Database& db, std::optional<qint64> id, bool preview) override
    {
        const QDate today = Clock::today();
        menu::DayMenuRows r;
        if (!id) {
            r = menu::dayMenuRows(db, 0, basis_, today);
            // A new menu is organised like the plan-menu it was made from.
            if (planMenu_ && r.captions.size() > 2 && menu::planMenuMode(db, *planMenu_) == menu::MenuMode::ByCategories)
                r.captions[2] = QStringLiteral("Категория блюда");
        } else if (preview) {
            r = menu::dayMenuRows(db, *id, basis_, today);
        } else {
            r = menu::updateDayMenuTotal(db, *id, basis_, today);
        }
        rows_ = r.rows;
        LineSet set;
        set.captions = r.captions;
        for (const menu::DayMenuRow& row : r.rows)
            set.rows.push_back(menu::rowCells(row));
        set.rightAligned = {1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
        set.nameColumn = 3;
        set.entryColumn = 1;
        set.hint = QStringLiteral("Дважды щелкните по строке, чтобы ввести количество порций");
        groupCaption_ = r.captions.value(2);
        set.totalLabel = r.totalLabel;
        return set;
    }

    bool hasLines(Database& db, qint64 id) override
    {
        return db.scalar(QStringLiteral("SELECT COUNT(*) FROM day_menu_point WHERE id_day_menu = ?1"), {id})
                   .toLongLong() > 0;
    }

    QString copyQuestion() const override
    {
        return QStringLiteral("Копируемое меню на день уже составлено. Копировать строки меню?");
    }

    void copyLines(Database& db, qint64 sourceId, qint64 targetId) override
    {
        menu::copyDayMenuRows(db, sourceId, targetId);
    }

    bool editLine(DocumentWindow& w, int row) override
    {
        if (row < 0 || row >= int(rows_.size()))
            return false;
        const menu::DayMenuRow r = rows_[size_t(row)];
        DayMenuCountDialog dialog(r.dish, r.eaterType, groupCaption_, r.group, r.quantity, &w);
        w.showDialog(dialog);
        if (dialog.result() != QDialog::Accepted || dialog.text().isEmpty())
            return false;
        menu::setEaterCount(w.database(), w.prompt(), r.quantityId, dialog.text().toLongLong());
        return true;
    }

    // A dish added by hand (a day menu made empty, or one more dish): a point with a zero count
    // for every eater type of the plan-menu on allowance, as a dish taken from a plan day gets.
    bool addLine(DocumentWindow& w) override
    {
        Database& db = w.database();
        const qint64 menuId = *w.documentId();
        const bool byMeals = menu::dayMenuMode(db, menuId) == menu::MenuMode::ByMeals;
        DayMenuDishDialog dialog(byMeals ? QStringLiteral("Прием пищи") : QStringLiteral("Категория блюда"), &w);
        for (const books::ListItem& it :
             books::listItems(db, byMeals ? books::ListSource::Meals : books::ListSource::DishCategories))
            dialog.groupBox()->addItem(it.text, it.value);
        for (const books::ListItem& it : books::listItems(db, books::ListSource::Cards))
            dialog.cardBox()->addItem(it.text, it.value);
        dialog.groupBox()->setCurrentIndex(-1);
        dialog.cardBox()->setCurrentIndex(-1);
        for (;;) {
            dialog.setResult(QDialog::Rejected);
            w.showDialog(dialog);
            if (dialog.result() != QDialog::Accepted)
                return false;
            QComboBox* missing = dialog.groupBox()->currentIndex() < 0  ? dialog.groupBox()
                                 : dialog.cardBox()->currentIndex() < 0 ? dialog.cardBox()
                                                                         : nullptr;
            if (!missing)
                break;
            const QString caption = missing == dialog.cardBox() ? QStringLiteral("Блюдо")
                                    : byMeals                   ? QStringLiteral("Прием пищи")
                                                                : QStringLiteral("Категория блюда");
            w.prompt().warning(QStringLiteral("Необходимо обязательно выбрать строку в списке \"") + caption +
                               QStringLiteral("\"."));
            missing->setFocus();
        }
        const qint64 key = dialog.groupBox()->currentData().toLongLong();
        const qint64 cardId = dialog.cardBox()->currentData().toLongLong();
        const qint64 planMenu =
            db.scalar(QStringLiteral("SELECT id_type_menu FROM day_menu WHERE id = ?1"), {menuId}).toLongLong();
        // A card without a yield for any eater type served, or without lines, has nothing to show.
        const bool servable =
            db.scalar(QStringLiteral("SELECT COUNT(*) FROM output o JOIN type_eating t ON t.id = o.id_type_eating "
                                     "WHERE o.id_card_recipe = ?1 AND t.id_type_menu = ?2 AND t.status <> 0"),
                      {cardId, planMenu})
                    .toLongLong() > 0 &&
            db.scalar(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id_card_recipes = ?1"), {cardId}).toLongLong() > 0;
        if (!servable) {
            const QString name =
                db.scalar(QStringLiteral("SELECT cname FROM card_recipes WHERE id = ?1"), {cardId}).toString().trimmed();
            w.prompt().info(QStringLiteral("Блюдо \"") + name +
                            QStringLiteral("\" не добавлено, так как нет данных о выходах и рецептуре."));
            return false;
        }
        Transaction tx(db);
        qint64 pointId = db.scalar(QStringLiteral("SELECT id FROM day_menu_point WHERE id_day_menu = ?1 AND "
                                                  "id_card_recipe = ?2 AND id_eating = ?3"),
                                   {menuId, cardId, key})
                             .toLongLong();
        if (pointId == 0) {
            db.exec(QStringLiteral("INSERT INTO day_menu_point (id_card_recipe, id_eating, id_day_menu) "
                                   "VALUES (?1, ?2, ?3)"),
                    {cardId, key, menuId});
            pointId = db.lastInsertId();
        }
        db.exec(QStringLiteral("INSERT INTO quantity_eating (id_day_menu_point, id_type_eating, quantity) "
                               "SELECT ?1, t.id, 0 FROM type_eating t WHERE t.id_type_menu = ?2 AND t.status = -1 "
                               "AND t.id NOT IN (SELECT id_type_eating FROM quantity_eating "
                               "WHERE id_day_menu_point = ?1) ORDER BY t.id"),
                {pointId, planMenu});
        tx.commit();
        return true;
    }

    bool deleteLines(DocumentWindow& w, const std::vector<int>& rows) override
    {
        // A dish has one grid row per eater type; the dish goes once with all its counts.
        std::vector<qint64> points;
        for (int row : rows)
            if (row >= 0 && row < int(rows_.size())) {
                const qint64 p = rows_[size_t(row)].pointId;
                if (std::find(points.begin(), points.end(), p) == points.end())
                    points.push_back(p);
            }
        return !points.empty() && menu::deleteSelectedRows(w.database(), w.prompt(), points) > 0;
    }

    bool deleteAllLines(DocumentWindow& w) override
    {
        return menu::deleteAllRows(w.database(), w.prompt(), *w.documentId());
    }

    bool canMove() const override { return true; }

    std::optional<int> moveLine(DocumentWindow& w, int row, int direction) override
    {
        const int moved =
            menu::moveDayMenuRow(w.database(), w.prompt(), *w.documentId(), row, direction, Clock::today());
        if (moved < 0 || moved == row)
            return std::nullopt;
        return moved;
    }

    bool headerChanged(DocumentWindow& w, const QString& field) override
    {
        if (field != kBasis)
            return false;
        const QVariant v = w.values().value(kBasis);
        basis_ = v.isNull() ? std::nullopt : std::optional<int>(v.toInt());
        w.reloadLines();
        return w.documentId().has_value();
    }

    bool canPrint() const override { return true; }

    void print(DocumentWindow& w) override
    {
        // A day menu never saved has no dishes: the print says there are no eaters.
        documents::askAndPrintDayMenu(w.database(), w.prompt(), w.documentId().value_or(0));
    }

    bool confirm(DocumentWindow& w) override
    {
        switch (menu::confirmDayMenu(w.database(), w.prompt(), *w.documentId())) {
        case menu::ConfirmResult::SavedAsDraft:
        case menu::ConfirmResult::MenuRequirementOpened: return true;
        default: return false;
        }
    }

    void activated(DocumentWindow& w) override { menu::showDayMenuHint(w.prompt()); }

    void opened(const HeaderValues& v) override
    {
        const QVariant plan = v.value(kPlanMenu);
        planMenu_ = plan.isNull() || !plan.isValid() ? std::nullopt : std::optional<qint64>(plan.toLongLong());
        const QVariant basis = v.value(kBasis);
        basis_ = basis.isNull() || !basis.isValid() ? std::nullopt : std::optional<int>(basis.toInt());
    }

private:
    std::optional<int> basis_;
    std::optional<qint64> planMenu_;
    QDate typedDate_;  // the header's date at a save: numbers are unique within its year
    std::vector<menu::DayMenuRow> rows_;  // the rows of the grid, by grid row
    QString groupCaption_;                // "Прием пищи" or "Категория блюда"
};

} // namespace

std::unique_ptr<DocumentKind> makeDayMenuKind()
{
    return std::make_unique<DayMenuKind>();
}

} // namespace rat::ui
