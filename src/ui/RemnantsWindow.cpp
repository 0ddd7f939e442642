// The remnants list: lots with their remnant on a date, grouped by product with a total row per
// product, the warehouse filter, and the lot editor of lots entered directly.

#include "ui/RemnantsWindow.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/BookCatalogue.h"
#include "stock/StockLots.h"
#include "ui/GridSetup.h"
#include "ui/MainIcons.h"
#include "ui/StockLineEditors.h"

#include <QAction>
#include <QCollator>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <map>

namespace rat::ui {

namespace {

QString shown(double v, int decimals)
{
    QString s = QString::number(v, 'f', decimals);
    if (decimals > 2 && s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

enum Column { cProduct, cRemnant, cUnit, cPrice, cSum, cSellBy, cDelivery, cLotDate, cStore, cCount };

} // namespace

RemnantsWindow::RemnantsWindow(Database& db, Prompt& prompt, QWidget* parent)
    : QWidget(parent), db_(db), prompt_(prompt)
{
    setObjectName(QStringLiteral("frmOstatok"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Остатки на складе"));
    showDialog = [](QDialog& d) { d.exec(); };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolBar_ = makeToolBar(this);
    addToolKey(toolBar_, actions_, QStringLiteral("keyAdd"), QStringLiteral("Ввести остаток"),
               QStringLiteral("Ввести остаток продукта (партию без документа прихода) (Insert)"), [this] { addLot(); },
               glyphIcon(Glyph::NewRow));
    addToolKey(toolBar_, actions_, QStringLiteral("keyEdit"), QStringLiteral("Изменить"),
               QStringLiteral("Изменить партию (Enter)"), [this] { editLot(); }, glyphIcon(Glyph::EditRow));
    addToolKey(toolBar_, actions_, QStringLiteral("keyper"), QStringLiteral("Обновить"), QStringLiteral("Обновить (F5)"),
               [this] { reload(); }, glyphIcon(Glyph::Refresh));
    layout->addWidget(toolBar_);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 6, 8, 8);
    body->setSpacing(6);
    auto* filters = new QHBoxLayout;
    auto* dateLabel = new QLabel(QStringLiteral("Остатки на дату:"), this);
    date_ = new QDateEdit(Clock::today(), this);
    date_->setObjectName(QStringLiteral("dateOst"));
    date_->setCalendarPopup(true);
    date_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    dateLabel->setBuddy(date_);
    auto* storeLabel = new QLabel(QStringLiteral("Склад:"), this);
    warehouse_ = new QComboBox(this);
    warehouse_->setObjectName(QStringLiteral("cmbSklad"));
    warehouse_->setMinimumContentsLength(20);
    warehouse_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    for (const auto& [id, name] : stock::warehouses(db_, true))
        warehouse_->addItem(name, id);
    warehouse_->setCurrentIndex(0);
    storeLabel->setBuddy(warehouse_);
    filters->addWidget(dateLabel);
    filters->addWidget(date_);
    filters->addSpacing(16);
    filters->addWidget(storeLabel);
    filters->addWidget(warehouse_);
    filters->addStretch(1);
    body->addLayout(filters);

    grid_ = new QTableWidget(this);
    grid_->setObjectName(QStringLiteral("grid"));
    setUpListGrid(grid_);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->installEventFilter(this);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this] { editLot(); });
    body->addWidget(grid_, 1);
    total_ = new QLabel(this);
    total_->setObjectName(QStringLiteral("lblItog"));
    QFont bold = total_->font();
    bold.setBold(true);
    total_->setFont(bold);
    body->addWidget(total_);
    layout->addLayout(body, 1);
    setFocusProxy(grid_);

    connect(date_, &QDateEdit::dateChanged, this, [this] { reload(); });
    connect(warehouse_, &QComboBox::currentIndexChanged, this, [this] { reload(); });
    reload();
}

void RemnantsWindow::reload()
{
    const int keepRow = grid_->currentRow();
    const qint64 store = warehouse_->currentData().toLongLong();
    std::vector<stock::LotRemnant> lots =
        stock::lotRemnants(db_, date_->date(), store > 0 ? std::optional<qint64>(store) : std::nullopt);
    // Only what is (or, after an accepted shortage, is short) in the store.
    lots.erase(std::remove_if(lots.begin(), lots.end(),
                              [](const stock::LotRemnant& l) { return std::abs(l.remnant) < 0.0005; }),
               lots.end());
    const std::vector<stock::ProductRemnant> products = stock::productRemnants(lots);
    std::map<qint64, const stock::ProductRemnant*> byProduct;
    for (const stock::ProductRemnant& p : products)
        byProduct[p.productId] = &p;
    QCollator collator{QLocale(QLocale::Russian)};
    std::stable_sort(lots.begin(), lots.end(), [&](const stock::LotRemnant& a, const stock::LotRemnant& b) {
        if (a.productId == b.productId)
            return false;
        const int c = collator.compare(a.productName, b.productName);
        return c != 0 ? c < 0 : a.productId < b.productId;
    });

    // A product's total is in the product's own unit, whatever units its lots came in.
    std::map<qint64, QString> productUnits;
    {
        Statement st(db_, QStringLiteral("SELECT p.id, e.ename FROM products p JOIN ed_izmer e ON e.id = p.id_ed_izmer"));
        while (st.next())
            productUnits[st.toInt64(0)] = st.toString(1);
    }
    const QString cur = books::currencyShortName(db_);
    grid_->clear();
    grid_->setColumnCount(cCount);
    grid_->setHorizontalHeaderLabels({QStringLiteral("Продукт"), QStringLiteral("Остаток"), QStringLiteral("Ед.изм."),
                                      QStringLiteral("Цена, ") + cur, QStringLiteral("Сумма, ") + cur,
                                      QStringLiteral("Срок реализации"), QStringLiteral("№ поставки"),
                                      QStringLiteral("Дата поставки"), QStringLiteral("Склад")});
    lots_.clear();
    std::vector<QStringList> rows;
    std::vector<bool> totals;
    double value = 0;
    for (size_t i = 0; i < lots.size(); ++i) {
        const stock::LotRemnant& l = lots[i];
        const double sum = l.remnant * l.cost;
        value += sum;
        rows.push_back({l.productName, shown(l.remnant, 4), l.unitName, shown(l.cost, 2), shown(sum, 2),
                        l.sellBy.toString(QStringLiteral("dd.MM.yyyy")),
                        l.document == QLatin1String("-") ? QStringLiteral("Без № поставки") : l.document,
                        l.lotDate.toString(QStringLiteral("dd.MM.yyyy")), l.warehouseName});
        totals.push_back(false);
        lots_.push_back(l.lotId);
        const bool last = i + 1 == lots.size() || lots[i + 1].productId != l.productId;
        if (last) {
            const auto it = byProduct.find(l.productId);
            if (it != byProduct.end())
                rows.push_back({QStringLiteral("Итого: ") + l.productName, shown(it->second->quantity, 4),
                                productUnits[l.productId], QString(), QString(), QString(), QString(), QString(), QString()});
            else
                rows.push_back({QStringLiteral("Итого: ") + l.productName});
            totals.push_back(true);
            lots_.push_back(std::nullopt);
        }
    }
    grid_->setRowCount(int(rows.size()));
    const QColor totalShade(0xee, 0xf3, 0xe8);
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < cCount; ++c) {
            auto* item = new QTableWidgetItem(rows[size_t(r)].value(c));
            if (c == cRemnant || c == cPrice || c == cSum)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (totals[size_t(r)]) {
                QFont f = item->font();
                f.setBold(true);
                item->setFont(f);
                item->setBackground(totalShade);
            }
            grid_->setItem(r, c, item);
        }
    if (!widthsSet_ || grid_->rowCount() > 0) {
        const QFontMetrics fm = grid_->fontMetrics();
        const QFontMetrics hm = grid_->horizontalHeader()->fontMetrics();
        for (int c = 0; c < cCount; ++c) {
            int width = hm.horizontalAdvance(grid_->horizontalHeaderItem(c)->text()) + 20;
            if (c == cSellBy || c == cLotDate || c == cDelivery)
                width = qMax(hm.horizontalAdvance(QStringLiteral("реализации")) + 24, width / 2 + 10);
            for (int r = 0; r < grid_->rowCount() && r < 300; ++r)
                if (const QTableWidgetItem* it = grid_->item(r, c))
                    width = qMax(width, qMin(fm.horizontalAdvance(it->text()) + 22, c == cProduct ? 360 : 200));
            if (c == cProduct)
                width = qMax(width, 240);
            grid_->setColumnWidth(c, width);
        }
        grid_->horizontalHeader()->setMinimumHeight(2 * hm.lineSpacing() + 10);
        widthsSet_ = true;
    }
    if (grid_->rowCount() > 0)
        grid_->selectRow(qBound(0, keepRow, grid_->rowCount() - 1));
    total_->setText(QStringLiteral("Итого: ") + shown(value, 2) + QLatin1Char(' ') + cur);
}

std::optional<qint64> RemnantsWindow::lotOfRow(int row) const
{
    return row >= 0 && row < int(lots_.size()) ? lots_[size_t(row)] : std::nullopt;
}

void RemnantsWindow::addLot()
{
    StockLineContext c{this, &db_, &prompt_, showDialog};
    if (editDirectLot(c, std::nullopt, date_->date()))
        reload();
}

void RemnantsWindow::editLot()
{
    const std::optional<qint64> lot = lotOfRow(grid_->currentRow());
    if (!lot)
        return;
    const QVariant receipt = db_.scalar(QStringLiteral("SELECT id_receipt FROM storage WHERE id = ?1 AND "
                                                       "COALESCE(status, 0) <> -1"),
                                        {*lot});
    StockLineContext c{this, &db_, &prompt_, showDialog};
    bool saved = false;
    if (!receipt.isNull() && receipt.toLongLong() != 0) {
        const QVariant date = db_.scalar(QStringLiteral("SELECT rdate FROM receipt WHERE id = ?1"), {receipt});
        saved = editStockLine(c, stock::StockKind::Receipt, receipt.toLongLong(),
                              parseIsoDate(date.toString().left(10)), lot)
                    .has_value();
    } else {
        saved = editDirectLot(c, lot, date_->date()).has_value();
    }
    if (saved)
        reload();
}

bool RemnantsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grid_ && runRowKey(event, [this] { addLot(); }, [this] { editLot(); }, [] {}))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool RemnantsWindow::runCommand(const QString& name)
{
    if (name == QLatin1String("mnuViewRefresh"))
        reload();
    else if (name == QLatin1String("mnuDS1"))
        addLot();
    else if (name == QLatin1String("mnuDS2"))
        editLot();
    else
        return false;
    return true;
}

QSize RemnantsWindow::sizeHint() const
{
    int width = 84;
    for (int c = 0; c < grid_->columnCount(); ++c)
        width += grid_->columnWidth(c);
    return {qBound(760, width, 1280), 600};
}

} // namespace rat::ui
