// Stock without windows: lots, stock documents with their lines and confirmation, remnants on a
// date, the menu-requirement filled, listed and edited by replacement, prices from lots.
// Questions are answered with --answer.

#include "cli/Commands.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "stock/MenuRequirement.h"
#include "stock/ProductPrices.h"
#include "stock/StockChanges.h"
#include "stock/StockDocuments.h"
#include "stock/StockLots.h"
#include "stock/StockModule.h"

#include <QTextStream>
#include <cmath>

namespace rat::cli {

namespace {

// An optional id option: nothing when absent; false when present but not a positive number.
bool takeId(QStringList& args, const QString& name, std::optional<qint64>& id)
{
    QString v;
    if (!takeOption(args, name, v))
        return false;
    if (v.isEmpty())
        return true;
    id = positiveIdArg(v);
    return id.has_value();
}

std::optional<double> number(const QString& text)
{
    bool ok = false;
    const double v = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

QDate isoArg(const QString& text)
{
    return QDate::fromString(text, Qt::ISODate);
}

QString isoText(const QDate& d)
{
    return d.isValid() ? d.toString(Qt::ISODate) : QString();
}

// FIELD=VALUE arguments; false for one without "=".
bool fieldArgs(const QStringList& args, std::map<QString, QString>& out)
{
    for (const QString& a : args) {
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return false;
        out[a.left(eq)] = a.mid(eq + 1);
    }
    return true;
}

std::optional<stock::StockKind> kindArg(const QString& text)
{
    bool ok = false;
    const int code = text.toInt(&ok);
    return ok ? stock::stockKind(code) : std::nullopt;
}

// lot-add PRODUCT_ID QTY COST YYYY-MM-DD [--unit ID] [--warehouse ID] [--receipt ID] [--sell-by YYYY-MM-DD]
int runLotAdd(Context& ctx)
{
    QStringList args = ctx.args;
    stock::LotInput lot;
    std::optional<qint64> warehouse;
    QString sellBy;
    if (!takeId(args, QStringLiteral("--unit"), lot.unitId) || !takeId(args, QStringLiteral("--warehouse"), warehouse) ||
        !takeId(args, QStringLiteral("--receipt"), lot.receiptId) || !takeOption(args, QStringLiteral("--sell-by"), sellBy))
        return exitUsage;
    const auto product = positiveIdArg(args.value(0));
    const auto qty = number(args.value(1));
    const auto cost = number(args.value(2));
    lot.date = isoArg(args.value(3));
    if (args.size() != 4 || !product || !qty || !cost || !lot.date.isValid() ||
        (!sellBy.isEmpty() && !isoArg(sellBy).isValid()))
        return exitUsage;
    lot.productId = *product;
    lot.quantity = *qty;
    lot.cost = *cost;
    lot.warehouse = warehouse.value_or(1);
    if (!sellBy.isEmpty())
        lot.sellBy = isoArg(sellBy);
    if (!ctx.openForWork())
        return exitRefused;
    const auto id = stock::saveLot(ctx.session.db(), ctx.prompt, lot);
    if (!id)
        return exitRefused;
    ctx.out << *id << '\n';
    return exitOk;
}

// document-new KIND YYYY-MM-DD [FIELD=VALUE...]: the new id and number.
int runDocumentNew(Context& ctx)
{
    const auto kind = kindArg(ctx.args.value(0));
    const QDate date = isoArg(ctx.args.value(1));
    std::map<QString, QString> fields;
    if (!kind || !date.isValid() || !fieldArgs(ctx.args.mid(2), fields))
        return exitUsage;
    stock::StockDocumentHeader h;
    h.date = date;
    for (const auto& [name, value] : fields) {
        if (name == QLatin1String("№docum")) {
            h.number = value;
        } else if (name == QLatin1String("comment")) {
            h.comment = value;
        } else if (name == QLatin1String("id_supplier") && *kind != stock::StockKind::Expense &&
                   *kind != stock::StockKind::WriteOff) {
            h.supplierId = positiveIdArg(value);
            if (!h.supplierId)
                return exitUsage;
        } else if (name == QLatin1String("nomerNaklText") && *kind == stock::StockKind::Receipt) {
            h.deliveryNote = value;
        } else if (name == QLatin1String("status1") && *kind == stock::StockKind::Order) {
            h.delivered = value != QLatin1String("0");
        } else {
            return exitUsage;
        }
    }
    if (!ctx.openForWork())
        return exitRefused;
    const qint64 id = stock::saveStockDocument(ctx.session.db(), *kind, h);
    ctx.out << id << '\t' << h.number << '\n';
    return exitOk;
}

// document-line KIND DOCUMENT_ID FIELD=VALUE...: the line's id.
int runDocumentLine(Context& ctx)
{
    const auto kind = kindArg(ctx.args.value(0));
    const auto doc = positiveIdArg(ctx.args.value(1));
    std::map<QString, QString> f;
    if (!kind || !doc || !fieldArgs(ctx.args.mid(2), f) || f.empty())
        return exitUsage;
    auto take = [&](const QString& name) {
        const auto it = f.find(name);
        if (it == f.end())
            return QString();
        QString v = it->second;
        f.erase(it);
        return v;
    };
    auto num = [&](const QString& name, double& into) {
        const QString v = take(name);
        if (v.isEmpty())
            return true;
        const auto n = number(v);
        if (n)
            into = *n;
        return n.has_value();
    };
    auto id = [&](const QString& name, std::optional<qint64>& into) {
        const QString v = take(name);
        if (v.isEmpty())
            return true;
        into = positiveIdArg(v);
        return into.has_value();
    };
    std::optional<qint64> lineId;
    if (!id(QStringLiteral("id"), lineId))
        return exitUsage;
    bool ok = true;
    std::function<std::optional<qint64>(Database&)> save;
    switch (*kind) {
    case stock::StockKind::Receipt: {
        stock::LotInput lot;
        lot.id = lineId;
        lot.receiptId = *doc;
        std::optional<qint64> product, warehouse;
        const QString sell = take(QStringLiteral("date_realization"));
        ok = id(QStringLiteral("id_product"), product) && num(QStringLiteral("quantity"), lot.quantity) &&
             num(QStringLiteral("cost"), lot.cost) && id(QStringLiteral("id_ed_izmer"), lot.unitId) &&
             id(QStringLiteral("IDSS"), warehouse) && num(QStringLiteral("tempHr"), lot.temperature) &&
             (sell.isEmpty() || isoArg(sell).isValid());
        lot.note = take(QStringLiteral("OrgOc"));
        lot.productId = product.value_or(0);
        lot.warehouse = warehouse.value_or(1);
        if (!sell.isEmpty())
            lot.sellBy = isoArg(sell);
        save = [&ctx, lot](Database& db) { return stock::saveLot(db, ctx.prompt, lot); };
        break;
    }
    case stock::StockKind::Expense:
    case stock::StockKind::WriteOff: {
        stock::LotLineInput line;
        line.id = lineId;
        line.documentId = *doc;
        std::optional<qint64> lot;
        ok = id(QStringLiteral("id_storage"), lot) && num(QStringLiteral("quantity"), line.quantity);
        if (*kind == stock::StockKind::Expense)
            ok = ok && id(QStringLiteral("id_type_eating"), line.eaterTypeId);
        else
            line.reason = take(QStringLiteral("why"));
        line.lotId = lot.value_or(0);
        const stock::StockKind k = *kind;
        save = [&ctx, line, k](Database& db) { return stock::saveLotLine(db, ctx.prompt, k, line); };
        break;
    }
    case stock::StockKind::Order: {
        stock::OrderLineInput line;
        line.id = lineId;
        line.documentId = *doc;
        std::optional<qint64> product, warehouse;
        ok = id(QStringLiteral("id_product"), product) && num(QStringLiteral("quantity1"), line.quantity) &&
             num(QStringLiteral("cost"), line.cost) && id(QStringLiteral("id_ed_izmer"), line.unitId) &&
             id(QStringLiteral("IDSS"), warehouse);
        line.productId = product.value_or(0);
        line.warehouse = warehouse.value_or(1);
        save = [&ctx, line](Database& db) { return stock::saveOrderLine(db, ctx.prompt, line); };
        break;
    }
    }
    if (!ok || !f.empty())
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    if (!rowExists(ctx.session.db(), stock::documentTable(*kind), *doc)) {
        ctx.prompt.warning(missingRowText());
        return exitRefused;
    }
    const auto saved = save(ctx.session.db());
    if (!saved)
        return exitRefused;
    ctx.out << *saved << '\n';
    return exitOk;
}

// document-confirm KIND DOCUMENT_ID: the question by --answer; prints the status stored.
int runDocumentConfirm(Context& ctx)
{
    const auto kind = kindArg(ctx.args.value(0));
    const auto doc = positiveIdArg(ctx.args.value(1));
    if (ctx.args.size() != 2 || !kind || !doc)
        return exitUsage;
    if (!ctx.openWithRow(stock::documentTable(*kind), *doc))
        return exitRefused;
    const stock::StockConfirm r = stock::confirmStockDocument(ctx.session.db(), ctx.prompt, *kind, *doc);
    if (r == stock::StockConfirm::Returned)
        return exitRefused;
    ctx.out << (r == stock::StockConfirm::Approved ? -1 : 0) << '\n';
    return exitOk;
}

// document-line-delete KIND DOCUMENT_ID LINE_ID ...: the lines removed (a receipt's lots, the
// re-issue after an issued one answered by --answer); prints how many went.
int runDocumentLineDelete(Context& ctx)
{
    const auto kind = kindArg(ctx.args.value(0));
    const auto doc = positiveIdArg(ctx.args.value(1));
    std::vector<qint64> lines;
    for (const QString& a : ctx.args.mid(2)) {
        const auto id = positiveIdArg(a);
        if (!id)
            return exitUsage;
        lines.push_back(*id);
    }
    if (!kind || !doc || lines.empty())
        return exitUsage;
    if (!ctx.openWithRow(stock::documentTable(*kind), *doc))
        return exitRefused;
    const int deleted = stock::deleteStockLines(ctx.session.db(), ctx.prompt, *kind, *doc, lines);
    ctx.out << deleted << '\n';
    return deleted == int(lines.size()) ? exitOk : exitRefused;
}

// remnants YYYY-MM-DD [--warehouse ID] [--exclude EXPENSE_ID]
int runRemnants(Context& ctx)
{
    QStringList args = ctx.args;
    std::optional<qint64> warehouse, exclude;
    if (!takeId(args, QStringLiteral("--warehouse"), warehouse) || !takeId(args, QStringLiteral("--exclude"), exclude))
        return exitUsage;
    const QDate date = isoArg(args.value(0));
    if (args.size() != 1 || !date.isValid())
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    ctx.out << "id\tПродукт\tГраммы\tКоличество\n";
    for (const stock::ProductRemnant& p : stock::productRemnants(ctx.session.db(), date, warehouse, exclude))
        ctx.out << p.productId << '\t' << p.name << '\t' << plainNumber(p.grams) << '\t' << plainNumber(p.quantity) << '\n';
    return exitOk;
}

// lot-remnants YYYY-MM-DD [--warehouse ID]
int runLotRemnants(Context& ctx)
{
    QStringList args = ctx.args;
    std::optional<qint64> warehouse;
    if (!takeId(args, QStringLiteral("--warehouse"), warehouse))
        return exitUsage;
    const QDate date = isoArg(args.value(0));
    if (args.size() != 1 || !date.isValid())
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    ctx.out << "Партия\tПродукт\tКоличество\tОстаток\tЕд.изм.\tЦена\tСрок реализации\tДата партии\tСклад\tДокумент\n";
    for (const stock::LotRemnant& l : stock::lotRemnants(ctx.session.db(), date, warehouse))
        ctx.out << l.lotId << '\t' << l.productName << '\t' << plainNumber(l.quantity) << '\t' << plainNumber(l.remnant)
                << '\t' << l.unitName << '\t' << plainNumber(l.cost) << '\t' << isoText(l.sellBy) << '\t'
                << isoText(l.lotDate) << '\t' << l.warehouseName << '\t' << l.document << '\n';
    return exitOk;
}

// menu-requirement-fill DAY_MENU_ID [--warehouse ID]: fills and stores as not approved; the IDM.
int runFill(Context& ctx)
{
    QStringList args = ctx.args;
    std::optional<qint64> warehouse;
    if (!takeId(args, QStringLiteral("--warehouse"), warehouse))
        return exitUsage;
    const auto day = positiveIdArg(args.value(0));
    if (args.size() != 1 || !day)
        return exitUsage;
    if (!ctx.openWithRow(QStringLiteral("day_menu"), *day))
        return exitRefused;
    const auto idm = stock::createMenuRequirement(ctx.session.db(), ctx.prompt, *day, warehouse.value_or(0));
    if (!idm)
        return exitRefused;
    ctx.out << *idm << '\n';
    return exitOk;
}

std::optional<qint64> dayMenuOf(Database& db, qint64 idm)
{
    const QVariant v = db.scalar(QStringLiteral("SELECT ID_day_menu FROM MENUTM WHERE IDM = ?1"), {idm});
    return v.isNull() ? std::nullopt : std::optional<qint64>(v.toLongLong());
}

void printLines(Context& ctx, qint64 idm1)
{
    ctx.out << "Тип довольствующихся\tПрием пищи\tБлюдо\tПродукт\tНа порцию, г\tКоличество\tЕд.изм.\tВыход\tОстаток\n";
    for (const stock::WorkingLine& l : stock::workingLines(ctx.session.db(), idm1, stock::WorkingView::ByEaterTypes))
        ctx.out << l.eaterType << '\t' << l.meal << '\t' << l.dish << '\t' << l.product << '\t' << plainNumber(l.kol)
                << '\t' << plainNumber(l.kolv) << '\t' << l.unit << '\t' << plainNumber(l.output) << '\t'
                << plainNumber(l.ost) << '\n';
}

// menu-requirement-lines IDM: the stored lines by eater type with the remnant of today's stock
// before the day's own issue; the stored document is not changed.
int runLines(Context& ctx)
{
    const auto idm = positiveIdArg(ctx.args.value(0));
    if (ctx.args.size() != 1 || !idm)
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    const auto day = dayMenuOf(db, *idm);
    if (!day)
        return exitRefused;
    const auto idm1 = stock::loadIntoWorkingCopy(db, ctx.prompt, *day, *idm);
    if (!idm1)
        return exitRefused;
    printLines(ctx, *idm1);
    stock::clearWorkingCopy(db, *idm1);
    return exitOk;
}

// replace-product IDM LINE_ID SUBSTITUTE_ID: LINE_ID is a stored line (MENUTR_POINT.IDMP); the
// document is stored again as not approved and its lines printed.
int runReplace(Context& ctx)
{
    const auto idm = positiveIdArg(ctx.args.value(0));
    const auto lineId = positiveIdArg(ctx.args.value(1));
    const auto substitute = positiveIdArg(ctx.args.value(2));
    if (ctx.args.size() != 3 || !idm || !lineId || !substitute)
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    const auto day = dayMenuOf(db, *idm);
    if (!day)
        return exitRefused;
    Statement key(db, QStringLiteral("SELECT id_product, id_type_eating, id_card, id_eating FROM MENUTR_POINT "
                                     "WHERE IDMP = ?1 AND IDM = ?2"));
    key.bind(1, *lineId).bind(2, *idm);
    if (!key.next())
        return exitRefused;
    const auto idm1 = stock::loadIntoWorkingCopy(db, ctx.prompt, *day, *idm);
    if (!idm1)
        return exitRefused;
    const QVariant working = db.scalar(QStringLiteral("SELECT MIN(IDMP1) FROM MENUTR_POINT1 WHERE IDM1 = ?1 AND id_product = ?2 "
                                                      "AND id_type_eating IS ?3 AND id_card IS ?4 AND id_eating IS ?5"),
                                       {*idm1, key.value(0), key.value(1), key.value(2), key.value(3)});
    int rc = exitRefused;
    if (const auto offer = stock::replacementOffer(db, *idm1, working.toLongLong())) {
        const auto c = std::find_if(offer->candidates.begin(), offer->candidates.end(),
                                    [&](const stock::ReplacementCandidate& r) { return r.productId == *substitute; });
        if (c == offer->candidates.end()) {
            ctx.prompt.warning(QStringLiteral("Необходимо обязательно выбрать строку в списке \"Продукт\"."));
        } else if (stock::replaceProduct(db, ctx.prompt, *idm1, working.toLongLong(), *c)) {
            const auto h = stock::readWorkingHeader(db, *idm1);
            stock::storeWorkingCopy(db, *idm1, *idm, h ? h->cost : 0.0);
            printLines(ctx, *idm1);
            rc = exitOk;
        }
    }
    stock::clearWorkingCopy(db, *idm1);
    return rc;
}

// prices YYYY-MM-DD PRODUCT_ID... [--warehouse ID]: the price of a gram, "-" without a lot.
int runPrices(Context& ctx)
{
    QStringList args = ctx.args;
    std::optional<qint64> warehouse;
    if (!takeId(args, QStringLiteral("--warehouse"), warehouse))
        return exitUsage;
    const QDate date = isoArg(args.value(0));
    std::vector<qint64> products;
    for (const QString& a : args.mid(1)) {
        const auto id = positiveIdArg(a);
        if (!id)
            return exitUsage;
        products.push_back(*id);
    }
    if (!date.isValid() || products.empty())
        return exitUsage;
    if (!ctx.openForWork())
        return exitRefused;
    const auto prices = stock::productPrices(ctx.session.db(), products, date, warehouse);
    ctx.out << "id\tЦена за грамм\n";
    for (const qint64 p : products) {
        const auto it = prices.find(p);
        ctx.out << p << '\t' << (it == prices.end() ? QStringLiteral("-") : plainNumber(it->second)) << '\n';
    }
    return exitOk;
}

} // namespace

void registerStockCommands()
{
    // The headless tool stores a day menu's new menu-requirement without a window.
    stock::installHeadlessGateway();
    stock::registerStockJournals();
    auto& c = commands();
    c[QStringLiteral("lot-add")] = {QStringLiteral("ПРОДУКТ КОЛИЧЕСТВО ЦЕНА ГГГГ-ММ-ДД [--unit ID] [--warehouse ID] "
                                                   "[--receipt ID] [--sell-by ГГГГ-ММ-ДД]"),
                                    runLotAdd};
    c[QStringLiteral("document-new")] = {QStringLiteral("22|24|25|28 ГГГГ-ММ-ДД [ПОЛЕ=ЗНАЧЕНИЕ ...]"), runDocumentNew};
    c[QStringLiteral("document-line")] = {QStringLiteral("22|24|25|28 ID_ДОКУМЕНТА ПОЛЕ=ЗНАЧЕНИЕ ..."), runDocumentLine};
    c[QStringLiteral("document-line-delete")] = {QStringLiteral("22|24|25|28 ID_ДОКУМЕНТА ID_СТРОКИ ..."),
                                                 runDocumentLineDelete};
    c[QStringLiteral("document-confirm")] = {QStringLiteral("22|24|25|28 ID_ДОКУМЕНТА"), runDocumentConfirm};
    c[QStringLiteral("remnants")] = {QStringLiteral("ГГГГ-ММ-ДД [--warehouse ID] [--exclude ID_РАСХОДА]"), runRemnants};
    c[QStringLiteral("lot-remnants")] = {QStringLiteral("ГГГГ-ММ-ДД [--warehouse ID]"), runLotRemnants};
    c[QStringLiteral("menu-requirement-fill")] = {QStringLiteral("ID_МЕНЮ_НА_ДЕНЬ [--warehouse ID]"), runFill};
    c[QStringLiteral("menu-requirement-lines")] = {QStringLiteral("IDM"), runLines};
    c[QStringLiteral("replace-product")] = {QStringLiteral("IDM ID_СТРОКИ ID_ЗАМЕНИТЕЛЯ"), runReplace};
    c[QStringLiteral("prices")] = {QStringLiteral("ГГГГ-ММ-ДД ID_ПРОДУКТА ... [--warehouse ID]"), runPrices};
}

} // namespace rat::cli
