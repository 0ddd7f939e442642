// The product norm in the document window: its header fields, and its split over meals read,
// copied and deleted here. (The stock documents are StockDocumentKind.cpp.)

#include "core/Database.h"
#include "core/Prompt.h"
#include "ui/DocumentKindsInternal.h"
#include "ui/DocumentWindow.h"

#include <QLocale>

namespace rat::ui {

namespace {

using Kind = HeaderField::Kind;

// A product norm: one norms row with its split over meals (NORMS_POINT).
class NormKind : public DocumentKind {
public:
    int code() const override { return docNorm; }
    QString caption() const override { return QStringLiteral("Нормы питания"); }
    QString table() const override { return QStringLiteral("norms"); }
    QString noun() const override { return QStringLiteral("норму"); }

    std::vector<HeaderField> fields(Database& db) override
    {
        HeaderField type =
            headerField(QStringLiteral("id_type_eating"), QStringLiteral("Тип довольствующихся"), Kind::List, true);
        type.source = books::ListSource::EaterTypes;
        HeaderField group = headerField(QStringLiteral("gname"), QStringLiteral("Группа продуктов"), Kind::List);
        group.editable = true;
        group.limit = 255;
        Statement st(db, QStringLiteral("SELECT DISTINCT gname FROM norms WHERE gname IS NOT NULL ORDER BY gname"));
        while (st.next())
            group.items.push_back({st.toString(0), st.toString(0)});
        const HeaderField norm =
            headerField(QStringLiteral("norm"), QStringLiteral("Норма по группе продуктов"), Kind::Number, true);
        HeaderField product = headerField(QStringLiteral("id_product"), QStringLiteral("Продукт"), Kind::List, true);
        product.source = books::ListSource::Products;
        return {type, group, norm, product};
    }

    LineSet lines(Database& db, std::optional<qint64> id, bool) override
    {
        LineSet set;
        set.captions = {QStringLiteral("Прием пищи"), QStringLiteral("Норма по приему пищи")};
        set.rightAligned = {1};
        ids_.clear();
        double total = 0;
        if (id) {
            Statement st(db, QStringLiteral("SELECT p.IDNP, e.ename, p.kol FROM NORMS_POINT p "
                                            "LEFT JOIN eating e ON e.id = p.id_eating WHERE p.id_norms = ?1 "
                                            "ORDER BY p.id_eating, p.IDNP"));
            st.bind(1, *id);
            while (st.next()) {
                ids_.push_back(st.toInt64(0));
                set.rows.push_back({st.toString(1), QLocale().toString(st.toDouble(2), 'g', 12)});
                total += st.toDouble(2);
            }
        }
        set.totalLabel = QStringLiteral("Итого: ") + QLocale().toString(total, 'g', 12);
        return set;
    }

    bool hasLines(Database& db, qint64 id) override
    {
        return db.scalar(QStringLiteral("SELECT COUNT(*) FROM NORMS_POINT WHERE id_norms = ?1"), {id}).toLongLong() > 0;
    }

    QString copyQuestion() const override
    {
        return QStringLiteral("У копируемой нормы уже был заполнен список норм по приемам пищи. Копировать список?");
    }

    void copyLines(Database& db, qint64 sourceId, qint64 targetId) override
    {
        Transaction tx(db);
        db.exec(QStringLiteral("INSERT INTO NORMS_POINT (id_norms, id_eating, kol) "
                               "SELECT ?1, id_eating, kol FROM NORMS_POINT WHERE id_norms = ?2 ORDER BY IDNP"),
                {targetId, sourceId});
        tx.commit();
    }

    bool deleteLines(DocumentWindow& w, const std::vector<int>& rows) override
    {
        std::vector<qint64> ids;
        for (int r : rows)
            if (r >= 0 && r < int(ids_.size()))
                ids.push_back(ids_[size_t(r)]);
        Database& db = w.database();
        return deleteLinesAsked(w.prompt(), int(ids.size()), [&] {
                   Transaction tx(db);
                   for (qint64 id : ids)
                       db.exec(QStringLiteral("DELETE FROM NORMS_POINT WHERE IDNP = ?1"), {id});
                   tx.commit();
               }) > 0;
    }

    bool deleteAllLines(DocumentWindow& w) override
    {
        if (w.prompt().ask(QStringLiteral("Удалить все строки?"), Buttons::YesNo, Answer::No) != Answer::Yes)
            return false;
        w.database().exec(QStringLiteral("DELETE FROM NORMS_POINT WHERE id_norms = ?1"), {*w.documentId()});
        return true;
    }

    // Choosing an existing group takes the group's norm for the eater type.
    bool headerChanged(DocumentWindow& w, const QString& field) override
    {
        if (field != QLatin1String("gname") && field != QLatin1String("id_type_eating"))
            return false;
        const HeaderValues v = w.values();
        const QVariant norm =
            w.database().scalar(QStringLiteral("SELECT norm FROM norms WHERE gname = ?1 AND id_type_eating = ?2 "
                                               "ORDER BY id LIMIT 1"),
                                {v.value(QStringLiteral("gname")).toString(), v.value(QStringLiteral("id_type_eating"))});
        if (!norm.isNull())
            w.setValue(QStringLiteral("norm"),
                       QString::number(norm.toDouble(), 'g', 12).replace(QLatin1Char('.'), QLatin1Char(',')));
        return false;
    }

    bool discardsNewOnCancel() const override { return true; }

    void discardNew(Database& db, qint64 id) override
    {
        Transaction tx(db);
        db.exec(QStringLiteral("DELETE FROM NORMS_POINT WHERE id_norms = ?1"), {id});
        db.exec(QStringLiteral("DELETE FROM norms WHERE id = ?1"), {id});
        tx.commit();
    }

private:
    std::vector<qint64> ids_;  // NORMS_POINT keys by grid row
};

} // namespace

std::unique_ptr<DocumentKind> makeNormKind()
{
    return std::make_unique<NormKind>();
}

} // namespace rat::ui
