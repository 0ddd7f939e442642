// The line editors of the stock documents and of lots entered directly: the fields of each kind,
// the values of an existing line shown, what follows a chosen product (its unit, sell-by date and
// VAT), and the typed values handed to the stock module.

#include "ui/StockLineEditors.h"
#include "core/Clock.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/BookCatalogue.h"
#include "stock/StockChanges.h"
#include "stock/StockLots.h"
#include "ui/StockLineDialog.h"

#include <QComboBox>
#include <QLocale>
#include <cmath>

namespace rat::ui {

namespace {

using Kind = LineField::Kind;

QString shownNumber(double v)
{
    return QString::number(v, 'g', 12).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString money(double v)
{
    return QString::number(v, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
}

LineField listField(const QString& column, const QString& caption, std::vector<books::ListItem> items)
{
    return {column, caption, Kind::List, std::move(items)};
}

std::vector<books::ListItem> warehouseItems(Database& db)
{
    std::vector<books::ListItem> out;
    for (const auto& [id, name] : stock::warehouses(db, false))
        out.push_back({id, name});
    return out;
}

// The lots an expense or a write-off can take from on `date`: those with something left, and
// the line's own lot whatever it holds.
std::vector<books::ListItem> lotItems(Database& db, const QDate& date, qint64 keepLot)
{
    std::vector<books::ListItem> out;
    const QLocale ru(QLocale::Russian);
    for (const stock::LotRemnant& l : stock::lotRemnants(db, date)) {
        if (l.remnant <= 0.0005 && l.lotId != keepLot)
            continue;
        QString text = l.productName + QStringLiteral(" — ") + ru.toString(l.remnant, 'g', 10) + QLatin1Char(' ') +
                       l.unitName + QStringLiteral(", поставка ") + l.document;
        if (l.sellBy.isValid())
            text += QStringLiteral(", срок до ") + l.sellBy.toString(QStringLiteral("dd.MM.yyyy"));
        out.push_back({l.lotId, text});
    }
    return out;
}

// A list the person left empty: "Необходимо обязательно выбрать строку в списке ...".
bool chosen(StockLineDialog& d, Prompt& prompt, const QString& column, const QString& caption)
{
    if (!d.value(column).isNull())
        return true;
    prompt.warning(QStringLiteral("Необходимо обязательно выбрать строку в списке \"") + caption + QStringLiteral("\"."));
    d.control(column)->setFocus();
    return false;
}

std::optional<double> numberOf(StockLineDialog& d, Prompt& prompt, const QString& column, const QString& caption,
                               bool required = true)
{
    const QString text = d.value(column).toString();
    if (text.isEmpty()) {
        if (!required)
            return 0.0;
        prompt.warning(QStringLiteral("Необходимо обязательно заполнить поле \"") + caption + QStringLiteral("\"."));
        d.control(column)->setFocus();
        return std::nullopt;
    }
    const std::optional<double> v = typedNumber(prompt, text, caption);
    if (!v)
        d.control(column)->setFocus();
    return v;
}

std::optional<qint64> optionalId(const QVariant& v)
{
    return v.isNull() ? std::nullopt : std::optional<qint64>(v.toLongLong());
}

// ---- lots (receipt lines and lots entered directly) ----

std::optional<qint64> runLotEditor(const StockLineContext& c, std::optional<qint64> receiptId, const QDate& receiptDate,
                                   std::optional<qint64> lotId, bool copy)
{
    Database& db = *c.db;
    Prompt& prompt = *c.prompt;
    const QString cur = books::currencyShortName(db);
    const bool direct = !receiptId;
    std::vector<LineField> fields;
    if (direct)
        fields.push_back({QStringLiteral("rddate"), QStringLiteral("Дата"), Kind::Date, {}});
    fields.push_back(listField(QStringLiteral("id_product"), QStringLiteral("Продукт"),
                               books::listItems(db, books::ListSource::Products)));
    fields.push_back({QStringLiteral("quantity"), QStringLiteral("Количество"), Kind::Number, {}});
    fields.push_back(listField(QStringLiteral("id_ed_izmer"), QStringLiteral("Ед.изм."),
                               books::listItems(db, books::ListSource::Units)));
    fields.push_back({QStringLiteral("cost"), QStringLiteral("Цена, ") + cur, Kind::Number, {}});
    fields.push_back({QStringLiteral("nds"), QStringLiteral("НДС, %"), Kind::Shown, {}});
    fields.push_back({QStringLiteral("costNDS"), QStringLiteral("Цена с НДС, ") + cur, Kind::Shown, {}});
    fields.push_back({QStringLiteral("date_realization"), QStringLiteral("Срок реализации"), Kind::Date, {}});
    fields.push_back(listField(QStringLiteral("IDSS"), QStringLiteral("Склад"), warehouseItems(db)));
    fields.push_back({QStringLiteral("tempHr"), QStringLiteral("Температура хранения, °C"), Kind::Number, {}});

    StockLineDialog d(direct ? QStringLiteral("Остаток продукта (партия)") : QStringLiteral("Партия продукта"), fields,
                      c.parent);
    const auto lotDate = [&] { return direct ? d.value(QStringLiteral("rddate")).toDate() : receiptDate; };
    // VAT follows the product and the price; it is shown only when the organisation pays it.
    const auto showVat = [&] {
        const QVariant product = d.value(QStringLiteral("id_product"));
        const stock::LotDefaults def =
            stock::lotDefaults(db, product.isNull() ? 0 : product.toLongLong(), lotDate());
        d.setFieldVisible(QStringLiteral("nds"), def.vatOn);
        d.setFieldVisible(QStringLiteral("costNDS"), def.vatOn);
        if (!def.vatOn)
            return;
        d.setValue(QStringLiteral("nds"), shownNumber(def.vatRate));
        QString text = d.value(QStringLiteral("cost")).toString();
        bool ok = false;
        const double price = text.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        d.setValue(QStringLiteral("costNDS"), ok && std::isfinite(price) ? money(stock::priceWithVat(price, def.vatRate)) : QString());
    };
    const auto productChosen = [&] {
        const QVariant product = d.value(QStringLiteral("id_product"));
        if (product.isNull())
            return;
        const stock::LotDefaults def = stock::lotDefaults(db, product.toLongLong(), lotDate());
        d.setValue(QStringLiteral("id_ed_izmer"), def.unitId);
        d.setValue(QStringLiteral("date_realization"), def.sellBy.isValid() ? def.sellBy : lotDate());
    };
    d.changed = [&](StockLineDialog&, const QString& column) {
        if (column == QLatin1String("id_product") || column == QLatin1String("rddate"))
            productChosen();
        showVat();
    };

    // What the editor starts with.
    d.setValue(QStringLiteral("rddate"), receiptDate);
    d.setValue(QStringLiteral("date_realization"), receiptDate);
    d.setValue(QStringLiteral("IDSS"), 1);
    d.setValue(QStringLiteral("tempHr"), QStringLiteral("0"));
    if (lotId) {
        Statement st(db, QStringLiteral("SELECT id_product, quantity, id_ed_izmer, cost, date_realization, IDSS, tempHr, "
                                        "rddate FROM storage WHERE id = ?1"));
        st.bind(1, *lotId);
        if (!st.next()) {
            prompt.warning(missingRowText(copy));
            return std::nullopt;
        }
        d.setValue(QStringLiteral("id_product"), st.toInt64(0));
        d.setValue(QStringLiteral("quantity"), shownNumber(st.toDouble(1)));
        d.setValue(QStringLiteral("id_ed_izmer"), st.toInt64(2));
        d.setValue(QStringLiteral("cost"), shownNumber(st.toDouble(3)));
        if (!st.isNull(4))
            d.setValue(QStringLiteral("date_realization"), parseIsoDate(st.toString(4).left(10)));
        d.setValue(QStringLiteral("IDSS"), st.isNull(5) ? 1 : st.toInt64(5));
        d.setValue(QStringLiteral("tempHr"), shownNumber(st.toDouble(6)));
        if (direct)
            d.setValue(QStringLiteral("rddate"),
                       st.isNull(7) ? stock::directLotDefaultDate() : parseIsoDate(st.toString(7).left(10)));
    }
    showVat();

    std::optional<qint64> saved;
    d.accepting = [&](StockLineDialog& dlg) {
        if (!chosen(dlg, prompt, QStringLiteral("id_product"), QStringLiteral("Продукт")))
            return false;
        const auto quantity = numberOf(dlg, prompt, QStringLiteral("quantity"), QStringLiteral("Количество"));
        if (!quantity)
            return false;
        if (!chosen(dlg, prompt, QStringLiteral("id_ed_izmer"), QStringLiteral("Ед.изм.")))
            return false;
        const auto cost = numberOf(dlg, prompt, QStringLiteral("cost"), QStringLiteral("Цена, ") + cur, false);
        if (!cost)
            return false;
        if (!chosen(dlg, prompt, QStringLiteral("IDSS"), QStringLiteral("Склад")))
            return false;
        const auto temperature =
            numberOf(dlg, prompt, QStringLiteral("tempHr"), QStringLiteral("Температура хранения, °C"), false);
        if (!temperature)
            return false;
        stock::LotInput lot;
        if (!copy)
            lot.id = lotId;
        lot.receiptId = receiptId;
        lot.productId = dlg.value(QStringLiteral("id_product")).toLongLong();
        lot.quantity = *quantity;
        lot.unitId = dlg.value(QStringLiteral("id_ed_izmer")).toLongLong();
        lot.cost = *cost;
        lot.sellBy = dlg.value(QStringLiteral("date_realization")).toDate();
        lot.warehouse = dlg.value(QStringLiteral("IDSS")).toLongLong();
        lot.temperature = *temperature;
        lot.date = lotDate();
        saved = stock::saveLot(db, prompt, lot);
        return saved.has_value();
    };
    c.show(d);
    return d.result() == QDialog::Accepted ? saved : std::nullopt;
}

// ---- expense and write-off lines: a quantity from a lot ----

std::optional<qint64> runLotLineEditor(const StockLineContext& c, stock::StockKind kind, qint64 documentId,
                                       const QDate& date, std::optional<qint64> lineId, bool copy)
{
    Database& db = *c.db;
    Prompt& prompt = *c.prompt;
    const bool expense = kind == stock::StockKind::Expense;
    qint64 lot = 0;
    double quantity = 0;
    QVariant extra;  // the eater type, or the reason
    if (lineId) {
        Statement st(db, expense ? QStringLiteral("SELECT id_storage, quantity, id_type_eating FROM expense WHERE id = ?1")
                                 : QStringLiteral("SELECT id_storage, quantity, why FROM spisanie_point WHERE id = ?1"));
        st.bind(1, *lineId);
        if (!st.next()) {
            prompt.warning(missingRowText(copy));
            return std::nullopt;
        }
        lot = st.toInt64(0);
        quantity = st.toDouble(1);
        extra = st.isNull(2) ? QVariant() : (expense ? QVariant(st.toInt64(2)) : QVariant(st.toString(2)));
    }
    std::vector<LineField> fields{listField(QStringLiteral("id_storage"), QStringLiteral("Партия"), lotItems(db, date, lot)),
                                  {QStringLiteral("quantity"), QStringLiteral("Количество"), Kind::Number, {}}};
    if (expense)
        fields.push_back(listField(QStringLiteral("id_type_eating"), QStringLiteral("Тип довольствующихся"),
                                   books::listItems(db, books::ListSource::EaterTypes)));
    else
        fields.push_back({QStringLiteral("why"), QStringLiteral("Причина"), Kind::Text, {}});
    StockLineDialog d(expense ? QStringLiteral("Строка расхода") : QStringLiteral("Строка списания"), fields, c.parent);
    if (lineId) {
        d.setValue(QStringLiteral("id_storage"), lot);
        d.setValue(QStringLiteral("quantity"), shownNumber(quantity));
        d.setValue(expense ? QStringLiteral("id_type_eating") : QStringLiteral("why"), extra);
    }
    std::optional<qint64> saved;
    d.accepting = [&](StockLineDialog& dlg) {
        if (!chosen(dlg, prompt, QStringLiteral("id_storage"), QStringLiteral("Партия")))
            return false;
        const auto q = numberOf(dlg, prompt, QStringLiteral("quantity"), QStringLiteral("Количество"));
        if (!q)
            return false;
        stock::LotLineInput line;
        if (!copy)
            line.id = lineId;
        line.documentId = documentId;
        line.lotId = dlg.value(QStringLiteral("id_storage")).toLongLong();
        line.quantity = *q;
        if (expense)
            line.eaterTypeId = optionalId(dlg.value(QStringLiteral("id_type_eating")));
        else
            line.reason = dlg.value(QStringLiteral("why")).toString();
        saved = stock::saveLotLine(db, prompt, kind, line);
        return saved.has_value();
    };
    c.show(d);
    return d.result() == QDialog::Accepted ? saved : std::nullopt;
}

// ---- order lines ----

std::optional<qint64> runOrderLineEditor(const StockLineContext& c, qint64 documentId, std::optional<qint64> lineId,
                                         bool copy)
{
    Database& db = *c.db;
    Prompt& prompt = *c.prompt;
    const QString cur = books::currencyShortName(db);
    StockLineDialog d(QStringLiteral("Строка заказа"),
                      {listField(QStringLiteral("id_product"), QStringLiteral("Продукт"),
                                 books::listItems(db, books::ListSource::Products)),
                       {QStringLiteral("quantity1"), QStringLiteral("Количество"), Kind::Number, {}},
                       listField(QStringLiteral("id_ed_izmer"), QStringLiteral("Ед.изм."),
                                 books::listItems(db, books::ListSource::Units)),
                       {QStringLiteral("cost"), QStringLiteral("Цена, ") + cur, Kind::Number, {}},
                       listField(QStringLiteral("IDSS"), QStringLiteral("Склад"), warehouseItems(db))},
                      c.parent);
    d.setValue(QStringLiteral("IDSS"), 1);
    d.changed = [&](StockLineDialog& dlg, const QString& column) {
        if (column == QLatin1String("id_product") && !dlg.value(column).isNull())
            dlg.setValue(QStringLiteral("id_ed_izmer"),
                         stock::lotDefaults(db, dlg.value(column).toLongLong(), Clock::today()).unitId);
    };
    if (lineId) {
        Statement st(db, QStringLiteral("SELECT id_product, quantity1, id_ed_izmer, cost, IDSS FROM order_point "
                                        "WHERE id = ?1"));
        st.bind(1, *lineId);
        if (!st.next()) {
            prompt.warning(missingRowText(copy));
            return std::nullopt;
        }
        d.setValue(QStringLiteral("id_product"), st.toInt64(0));
        d.setValue(QStringLiteral("quantity1"), shownNumber(st.toDouble(1)));
        d.setValue(QStringLiteral("id_ed_izmer"), st.toInt64(2));
        d.setValue(QStringLiteral("cost"), shownNumber(st.toDouble(3)));
        d.setValue(QStringLiteral("IDSS"), st.isNull(4) ? 1 : st.toInt64(4));
    }
    std::optional<qint64> saved;
    d.accepting = [&](StockLineDialog& dlg) {
        if (!chosen(dlg, prompt, QStringLiteral("id_product"), QStringLiteral("Продукт")))
            return false;
        const auto q = numberOf(dlg, prompt, QStringLiteral("quantity1"), QStringLiteral("Количество"));
        if (!q)
            return false;
        const auto cost = numberOf(dlg, prompt, QStringLiteral("cost"), QStringLiteral("Цена, ") + cur, false);
        if (!cost)
            return false;
        if (!chosen(dlg, prompt, QStringLiteral("IDSS"), QStringLiteral("Склад")))
            return false;
        stock::OrderLineInput line;
        if (!copy)
            line.id = lineId;
        line.documentId = documentId;
        line.productId = dlg.value(QStringLiteral("id_product")).toLongLong();
        line.quantity = *q;
        line.unitId = optionalId(dlg.value(QStringLiteral("id_ed_izmer")));
        line.cost = *cost;
        line.warehouse = dlg.value(QStringLiteral("IDSS")).toLongLong();
        saved = stock::saveOrderLine(db, prompt, line);
        return saved.has_value();
    };
    c.show(d);
    return d.result() == QDialog::Accepted ? saved : std::nullopt;
}

} // namespace

std::optional<double> typedNumber(Prompt& prompt, const QString& text, const QString& caption)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v)) {  // "nan" and "inf" read as numbers too
        prompt.warning(QStringLiteral("Значение \"") + text.trimmed() + QStringLiteral("\" поля \"") + caption +
                       QStringLiteral("\" не корректно. Измените введенное значение."));
        return std::nullopt;
    }
    return v;
}

std::optional<qint64> editStockLine(const StockLineContext& c, stock::StockKind kind, qint64 documentId,
                                    const QDate& date, std::optional<qint64> lineId, bool copy)
{
    switch (kind) {
    case stock::StockKind::Receipt: return runLotEditor(c, documentId, date, lineId, copy);
    case stock::StockKind::Order: return runOrderLineEditor(c, documentId, lineId, copy);
    default: return runLotLineEditor(c, kind, documentId, date, lineId, copy);
    }
}

std::optional<qint64> editDirectLot(const StockLineContext& c, std::optional<qint64> lotId, const QDate& date)
{
    return runLotEditor(c, std::nullopt, date, lotId, false);
}

int deleteStockLines(Database& db, Prompt& prompt, stock::StockKind kind, qint64 documentId,
                     const std::vector<qint64>& lineIds)
{
    return stock::deleteStockLines(db, prompt, kind, documentId, lineIds);
}

} // namespace rat::ui
