#pragma once
// Numbers of the packages checked against their column: a text with no number at its start,
// one that is not finite, or one outside the column's range refuses the item that carries it.

#include "core/Database.h"
#include "core/Prompt.h"
#include "exchange/ImportContext.h"

#include <QString>
#include <QVariant>
#include <optional>
#include <stdexcept>

namespace rat::exchange {

// An item of a package that cannot be loaded as it stands; the loader skips that item.
class PackageItemRefused : public std::runtime_error {
public:
    explicit PackageItemRefused(const QString& message) : std::runtime_error("package item refused"), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// "Элемент <element> содержит недопустимое значение "<value>". Запись не загружена."
[[noreturn]] void refuseValue(const QString& element, const QString& value);

// The number at the start of the text ("4,7 г" is 4.7); none when the text does not start
// with one or it is not finite ("nan", "1e400", words).
std::optional<double> leadingPackageNumber(const QString& text);

// The text as a value of a numeric column of that type (the catalogue's type code); refuses
// the item when there is no number or it is out of the column's range.
QVariant checkedNumber(int fieldType, const QString& element, const QString& text);

// Runs the loading of one item inside a savepoint: a refused item leaves nothing of itself,
// its message is told (warning icon), and false is returned so the loader goes on with the next.
template <typename F>
bool loadItem(ImportContext& ctx, F&& load)
{
    try {
        Transaction item(ctx.db());
        load();
        item.commit();
        return true;
    } catch (const PackageItemRefused& refused) {
        // Names looked up inside the item may have gone with its savepoint.
        ctx.forgetAll();
        ctx.prompt().warning(refused.message());
        return false;
    }
}

} // namespace rat::exchange
