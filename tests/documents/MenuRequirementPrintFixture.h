#pragma once
// A stored menu-requirement small enough to check by hand: two meals, three eater types (one of
// them staff), three dishes and three products with different rounding rules, planned costs per
// eater and stock lots with prices.
//
//   Каша (Завтрак), per 100 g: Молоко 50 g, Крупа 20 g, Сахар 5 g; yields Ясли 150, Сад 200
//   Чай (Завтрак): Сахар 10 g; yields Ясли 150, Сад 180
//   Суп (Обед): Крупа 10 g; yields Ясли 150, Сад 250, Сотр 300
//   eaters: Каша and Чай Ясли 10, Сад 20; Суп Ясли 12, Сад 20, Сотр 5
//   Молоко kg, 3 decimals, code "002"; Крупа kg, 2 decimals, code "001"; Сахар g, whole, no code

#include "stock/StockFixture.h"

#include "stock/MenuRequirement.h"

namespace rat::test {

class MenuRequirementPrintFixture : public StockFixture {
protected:
    void SetUp() override
    {
        StockFixture::SetUp();
        db().exec(QStringLiteral("UPDATE INF SET Naim = 'Детский сад № 5', FamDir = 'Иванова', ImDir = 'Анна', "
                                 "OtchDir = 'Петровна', okpo = '12345678', famK = 'Петров', ImK = 'Иван', "
                                 "OtchK = 'Сергеевич', famP = 'Сидорова', ImP = 'Мария', OtchP = ''"));
        const qint64 pm = planMenu(QStringLiteral("Осень"), 2);
        yasli = eaterType(pm, QStringLiteral("Ясли"));
        sad = eaterType(pm, QStringLiteral("Сад"));
        staff = eaterType(pm, QStringLiteral("Сотр"));
        db().exec(QStringLiteral("UPDATE type_eating SET Pes = -1 WHERE id = ?1"), {staff});
        breakfast = meal(QStringLiteral("Завтрак"));
        dinner = meal(QStringLiteral("Обед"));

        milk = stockProduct(QStringLiteral("Молоко"), kg, 4);
        grain = stockProduct(QStringLiteral("Крупа"), kg, 3);
        sugar = stockProduct(QStringLiteral("Сахар"), gram, 1);
        db().exec(QStringLiteral("UPDATE products SET schif = '002' WHERE id = ?1"), {milk});
        db().exec(QStringLiteral("UPDATE products SET schif = '001', plpris = 50 WHERE id = ?1"), {grain});
        db().exec(QStringLiteral("UPDATE products SET plpris = 40 WHERE id = ?1"), {milk});

        porridge = card(QStringLiteral("Каша"), 0, false);
        recipeLine(porridge, milk, 50, 50);
        recipeLine(porridge, grain, 20, 20);
        recipeLine(porridge, sugar, 5, 5);
        tea = card(QStringLiteral("Чай"), 0, false);
        recipeLine(tea, sugar, 10, 10);
        soup = card(QStringLiteral("Суп"), 0, false);
        recipeLine(soup, grain, 10, 10);
        yield(porridge, yasli, 150);
        yield(porridge, sad, 200);
        yield(tea, yasli, 150);
        yield(tea, sad, 180);
        yield(soup, yasli, 150);
        yield(soup, sad, 250);
        yield(soup, staff, 300);

        menuId = dayMenu(pm, QStringLiteral("7"));
        const qint64 p1 = point(menuId, porridge, breakfast);
        eaters(p1, yasli, 10);
        eaters(p1, sad, 20);
        eaters(p1, staff, 0);
        const qint64 p2 = point(menuId, tea, breakfast);
        eaters(p2, yasli, 10);
        eaters(p2, sad, 20);
        const qint64 p3 = point(menuId, soup, dinner);
        eaters(p3, yasli, 12);
        eaters(p3, sad, 20);
        eaters(p3, staff, 5);

        // Ясли: 120 on the date; Сад: only a later row (0); Сотр: none (0).
        for (auto [type, date, cost] : {std::tuple{yasli, "2026-11-01", 100.0}, std::tuple{yasli, "2026-12-01", 120.0},
                                        std::tuple{yasli, "2026-12-10", 150.0}, std::tuple{sad, "2026-12-06", 200.0}})
            db().exec(QStringLiteral("INSERT INTO plstoim (id_type_eating, pldate, stoim) VALUES (?1, ?2, ?3)"),
                      {type, QString::fromLatin1(date), cost});

        // Крупа: 95 is the dearest lot of the latest date not after the day; Молоко 60 entered directly.
        const qint64 r1 = receipt(QStringLiteral("2026-12-01"));
        lot(r1, grain, 10, QStringLiteral("2027-01-01"), 80);
        const qint64 r2 = receipt(QStringLiteral("2026-12-04"));
        lot(r2, grain, 10, QStringLiteral("2027-01-01"), 90);
        lot(r2, grain, 10, QStringLiteral("2027-01-01"), 95);
        const qint64 r3 = receipt(QStringLiteral("2026-12-06"));
        lot(r3, grain, 10, QStringLiteral("2027-01-01"), 200);
        directLot(milk, 20, QStringLiteral("2026-11-01"), QStringLiteral("2027-01-01"), 60);

        auto idm = stock::createMenuRequirement(db(), prompt, menuId);
        ASSERT_TRUE(idm);
        document = *idm;
        prompt.clear();
    }

    qint64 yasli = 0, sad = 0, staff = 0, breakfast = 0, dinner = 0;
    qint64 milk = 0, grain = 0, sugar = 0, porridge = 0, tea = 0, soup = 0;
    qint64 menuId = 0, document = 0;
};

} // namespace rat::test
