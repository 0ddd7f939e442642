// The sample documents of a new database, made through the same operations a person uses: day
// menus from the plan-menu, the menu-requirements, an order, a receipt with its lots, the issue and
// the automatic write-off.

#include "stock/SampleDocuments.h"
#include "stock/MenuRequirement.h"
#include "stock/MenuRequirementApproval.h"
#include "stock/StockDocuments.h"
#include "stock/StockLots.h"
#include "stock/WriteOff.h"

#include "core/Database.h"
#include "core/Prompt.h"
#include "menu/DayMenu.h"

#include <cmath>
#include <map>
#include <vector>

namespace rat::stock {

namespace {

// Agrees to every question and says nothing: the samples are made without a person.
class AgreeingPrompt : public SilentPrompt {
public:
    Answer ask(const QString&, Buttons, Answer) override { return Answer::Yes; }
    std::optional<int> choose(const QString&, const QString&, const QStringList& items, int = 0) override
    {
        return items.isEmpty() ? std::nullopt : std::optional<int>(0);
    }
};

constexpr int kEaters = 20;

// A day menu of one plan day dated `date`, with kEaters of every eater type on every dish.
std::optional<qint64> sampleDayMenu(Database& db, Prompt& prompt, qint64 planMenu, qint64 planDay, const QDate& date)
{
    const menu::CreatedDayMenu made = menu::createDayMenuFromPlan(db, prompt, {{planMenu, planDay}});
    if (!made.id)
        return std::nullopt;
    db.exec(QStringLiteral("UPDATE day_menu SET ddate = ?1 WHERE id = ?2"), {date, *made.id});
    // One count per eater type, copied by the program to every dish of the day.
    std::vector<qint64> firstOfType;
    Statement st(db, QStringLiteral("SELECT MIN(q.id) FROM quantity_eating q JOIN day_menu_point p ON p.id = "
                                    "q.id_day_menu_point WHERE p.id_day_menu = ?1 GROUP BY q.id_type_eating"));
    st.bind(1, *made.id);
    while (st.next())
        firstOfType.push_back(st.toInt64(0));
    if (firstOfType.empty())
        return std::nullopt;
    for (qint64 q : firstOfType)
        menu::setEaterCount(db, prompt, q, kEaters);
    return made.id;
}

} // namespace

void buildSampleDocuments(Database& db, const QDate& today)
{
    AgreeingPrompt prompt;
    // Plan days with a dish the day menu takes: one with a yield for an eater type on allowance and
    // recipe lines.
    const QString servedDay = QStringLiteral(
        "EXISTS (SELECT 1 FROM plan_menu p WHERE p.id_day = d.id AND EXISTS (SELECT 1 FROM recipes r WHERE "
        "r.id_card_recipes = p.id_card_recipes) AND EXISTS (SELECT 1 FROM output o JOIN type_eating t ON t.id = "
        "o.id_type_eating WHERE o.id_card_recipe = p.id_card_recipes AND t.id_type_menu = d.id_type_menu AND "
        "COALESCE(t.status, 0) <> 0))");
    const QVariant planMenu = db.scalar(QStringLiteral("SELECT d.id_type_menu FROM days d WHERE ") + servedDay +
                                        QStringLiteral(" GROUP BY d.id_type_menu ORDER BY COUNT(*) DESC, d.id_type_menu "
                                                       "LIMIT 1"));
    if (planMenu.isNull())
        return;
    std::vector<qint64> days;
    {
        Statement st(db, QStringLiteral("SELECT d.id FROM days d WHERE d.id_type_menu = ?1 AND ") + servedDay +
                             QStringLiteral(" ORDER BY d.id LIMIT 3"));
        st.bind(1, planMenu);
        while (st.next())
            days.push_back(st.toInt64(0));
    }
    struct Sample {
        qint64 dayMenu = 0;
        qint64 idm1 = 0;
        QDate date;
    };
    std::vector<Sample> samples;
    for (size_t i = 0; i < days.size(); ++i) {
        const QDate date = today.addDays(qint64(i) - qint64(days.size()) + 1);
        if (const auto dm = sampleDayMenu(db, prompt, planMenu.toLongLong(), days[i], date))
            if (const auto idm1 = fillFromDayMenu(db, prompt, *dm))
                samples.push_back({*dm, *idm1, date});
    }
    if (samples.empty())
        return;

    // What the days need of each product, in the product's unit.
    std::map<qint64, double> need;
    for (const Sample& s : samples) {
        Statement st(db, QStringLiteral("SELECT id_product, SUM(kolv) FROM MENUTR_POINT1 WHERE IDM1 = ?1 GROUP BY id_product"));
        st.bind(1, s.idm1);
        while (st.next())
            need[st.toInt64(0)] += st.isNull(1) ? 0.0 : st.toDouble(1);
    }
    const auto plannedPrice = [&](qint64 product) {
        const double p = db.scalar(QStringLiteral("SELECT COALESCE(plpris, 0) FROM products WHERE id = ?1"), {product}).toDouble();
        return p > 0 ? p : 100.0;
    };

    db.exec(QStringLiteral("INSERT INTO supplier (sname, phone, contact, address, director, notes) VALUES (?1, '', '', '', "
                           "'', '')"),
            {QStringLiteral("Поставщик продуктов (образец)")});
    const qint64 supplier = db.lastInsertId();

    StockDocumentHeader order;
    order.date = today.addDays(-4);
    order.approved = true;
    order.delivered = true;
    order.supplierId = supplier;
    const qint64 orderId = saveStockDocument(db, StockKind::Order, order);
    StockDocumentHeader receipt;
    receipt.date = today.addDays(-3);
    receipt.approved = true;
    receipt.supplierId = supplier;
    receipt.deliveryNote = QStringLiteral("1");
    const qint64 receiptId = saveStockDocument(db, StockKind::Receipt, receipt);
    for (const auto& [product, quantity] : need) {
        if (!(quantity > 0))
            continue;
        // 20 % over the need, up to a tenth of a unit.
        const double delivered = std::ceil(quantity * 1.2 * 10.0 - 1e-9) / 10.0;
        OrderLineInput line;
        line.documentId = orderId;
        line.productId = product;
        line.quantity = delivered;
        line.cost = plannedPrice(product);
        saveOrderLine(db, prompt, line);
        LotInput lot;
        lot.receiptId = receiptId;
        lot.productId = product;
        lot.quantity = delivered;
        lot.cost = line.cost;
        lot.sellBy = today.addDays(7);
        saveLot(db, prompt, lot);
    }
    // A product the menus do not use, received with a date that has passed by today.
    const QVariant spare = db.scalar(QStringLiteral("SELECT p.id FROM products p JOIN ed_izmer u ON u.id = p.id_ed_izmer "
                                                    "WHERE p.id NOT IN (SELECT id_product FROM MENUTR_POINT1) "
                                                    "ORDER BY p.id LIMIT 1"));
    if (!spare.isNull()) {
        LotInput lot;
        lot.receiptId = receiptId;
        lot.productId = spare.toLongLong();
        lot.quantity = 2;
        lot.cost = plannedPrice(lot.productId);
        lot.sellBy = today.addDays(-1);
        saveLot(db, prompt, lot);
    }

    // The days before today issued from the receipt; today's stored for the person to approve. The
    // menus are costed at the receipt's prices.
    for (size_t i = 0; i < samples.size(); ++i) {
        const Sample& s = samples[i];
        const double cost = menu::updateDayMenuTotal(db, s.dayMenu, std::nullopt, s.date).total;
        const qint64 idm = storeWorkingCopy(db, s.idm1, std::nullopt, cost);
        if (s.date < today)
            issueAndApprove(db, prompt, s.idm1, idm, false);
        clearWorkingCopy(db, s.idm1);
    }
    autoWriteOffExpired(db, prompt, today);
}

} // namespace rat::stock
