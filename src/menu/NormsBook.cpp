// The product norms book "Нормы питания" in the catalogue: the list of one eater type with its
// group lines, the record editor's fields and the group rules of its save.

#include "menu/MenuBookHelpers.h"
#include "menu/MenuModule.h"
#include "menu/Norms.h"
#include "core/Database.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/BookList.h"
#include "refbooks/BookRules.h"

namespace rat::menu {

namespace {

using namespace rat::books;
using namespace rat::menu::bookparts;

// The plan of the group rules travels from the check to the write under these names, which no
// field of the book has.
const QString kRenameFrom = QStringLiteral("~renameFrom");
const QString kGroupNorm = QStringLiteral("~groupNorm");

BookDef normsBook()
{
    BookDef b = book(entryNorms, QStringLiteral("norms"), QStringLiteral("Нормы питания"), QStringLiteral("Норма питания"));
    b.from = QStringLiteral("norms t LEFT JOIN products p ON p.id = t.id_product "
                            "LEFT JOIN type_eating e ON e.id = t.id_type_eating");
    // The loader below fills the rows: a group line, then its products.
    b.columns = {column(QStringLiteral("Группа продуктов / продукт"), QStringLiteral("p.pname"), 4500),
                 column(QStringLiteral("Норма по группе продуктов, г"), QStringLiteral("t.norm"), 2000, 2),
                 column(QStringLiteral("Тип довольствующихся"), QStringLiteral("e.shname"), 2000)};
    b.parentColumn = QStringLiteral("t.id_type_eating");
    b.parentField = QStringLiteral("id_type_eating");
    b.parentSource = ListSource::EaterTypes;
    b.parentPrompt = QStringLiteral("Выберите тип довольствующего");
    b.bulkCopyCaption = QStringLiteral("Копировать все строки норм");
    EditorField norm = field(QStringLiteral("Норма по группе продуктов"), Control::Text, QStringLiteral("norm"), required);
    norm.decimals = 2;
    EditorField group = field(QStringLiteral("Группа продуктов"), Control::Text, QStringLiteral("gname"));
    group.limit = 255;
    b.fields = {listField(QStringLiteral("Тип довольствующихся"), QStringLiteral("id_type_eating"), ListSource::EaterTypes),
                group, norm, listField(QStringLiteral("Продукт"), QStringLiteral("id_product"), ListSource::Products)};
    return b;
}

void loadNorms(Database& db, const ListFilter& filter, BookList& list)
{
    if (!filter.parent || *filter.parent <= 0)
        return;
    for (const NormListLine& l : normsList(db, *filter.parent)) {
        // A group line carries its first row's key negated, so the window tells it apart.
        list.ids.push_back(l.isGroup ? -l.id : l.id);
        list.rows.push_back({l.text, l.norm ? displayNumber(*l.norm, 2) : QString(), l.eaterType});
    }
}

NormRow rowOf(const SaveContext& ctx)
{
    NormRow row;
    if (!ctx.isNew())
        row.id = ctx.id;
    row.eaterType = ctx.value(QStringLiteral("id_type_eating")).toLongLong();
    row.group = ctx.value(QStringLiteral("gname")).toString();
    const QVariant n = ctx.value(QStringLiteral("norm"));
    if (!n.isNull())
        row.norm = n.toDouble();
    row.product = ctx.value(QStringLiteral("id_product")).toLongLong();
    return row;
}

void registerNormRules()
{
    BookRules r;
    r.check = [](SaveContext& ctx) {
        const std::optional<NormSavePlan> plan = planNormSave(ctx.db, ctx.prompt, rowOf(ctx), NormForm::Editor);
        if (!plan)
            return false;
        ctx.setValue(QStringLiteral("gname"), ctx.value(QStringLiteral("gname")).toString().trimmed());
        ctx.setValue(QStringLiteral("norm"), plan->norm ? QVariant(*plan->norm) : QVariant());
        ctx.values[kRenameFrom] = plan->renameFrom ? QVariant(*plan->renameFrom) : QVariant();
        ctx.values[kGroupNorm] = plan->groupNorm;
        return true;
    };
    r.inWrite = [](SaveContext& ctx) {
        NormSavePlan plan;
        const NormRow row = rowOf(ctx);
        plan.norm = row.norm;
        const QVariant from = ctx.values.count(kRenameFrom) ? ctx.values.at(kRenameFrom) : QVariant();
        if (!from.isNull())
            plan.renameFrom = from.toString();
        plan.groupNorm = ctx.values.count(kGroupNorm) && ctx.values.at(kGroupNorm).toBool();
        applyNormSave(ctx.db, row, plan);
    };
    r.deletion = [](DeleteContext& ctx) {
        return DeleteVerdict::remove({{QStringLiteral("DELETE FROM NORMS_POINT WHERE id_norms = ?1"), {ctx.id}}});
    };
    addBookRules(entryNorms, std::move(r));
}

} // namespace

void registerNormBooks()
{
    registerBook(normsBook());
    registerListLoader(entryNorms, loadNorms);
    registerNormRules();
}

} // namespace rat::menu
