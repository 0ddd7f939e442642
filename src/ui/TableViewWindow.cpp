// A read-only grid of one table of the file, for the stock entries until their own windows
// come.

#include "ui/TableViewWindow.h"
#include "core/Database.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace rat::ui {

TableViewWindow::TableViewWindow(Database& db, const QString& table, const QString& title, int entry,
                                 QWidget* parent)
    : QWidget(parent), db_(db), table_(table), entry_(entry), view_(new QTableView(this)),
      model_(new QStandardItemModel(this)), footer_(new QLabel(this))
{
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    view_->setModel(model_);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setAlternatingRowColors(true);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setStretchLastSection(true);
    footer_->setContentsMargins(4, 2, 4, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view_);
    layout->addWidget(footer_);
    reload();
}

int TableViewWindow::rowCount() const
{
    return model_->rowCount();
}

void TableViewWindow::reload()
{
    model_->clear();
    try {
        // The table name comes from the program's own list of reference books.
        Statement st(db_, QStringLiteral("SELECT * FROM ") + table_);
        QStringList headers;
        for (int c = 0; c < st.columnCount(); ++c)
            headers << st.columnName(c);
        model_->setHorizontalHeaderLabels(headers);
        while (st.next()) {
            QList<QStandardItem*> row;
            for (int c = 0; c < st.columnCount(); ++c) {
                auto* item = new QStandardItem(st.isNull(c) ? QString() : st.toString(c));
                const QVariant v = st.value(c);
                if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong)
                    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                row << item;
            }
            model_->appendRow(row);
        }
        footer_->setText(QStringLiteral("Записей: ") + QString::number(model_->rowCount()));
    } catch (const DbError& e) {
        footer_->setText(QStringLiteral("Таблица не прочитана: ") + e.text());
    }
    view_->resizeColumnsToContents();
    for (int c = 0; c < model_->columnCount(); ++c)
        view_->setColumnWidth(c, std::min(view_->columnWidth(c), 320));
}

void TableViewWindow::copySelection() const
{
    QModelIndexList cells = view_->selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        return;
    std::sort(cells.begin(), cells.end(), [](const QModelIndex& a, const QModelIndex& b) {
        return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
    });
    QString text;
    int row = cells.first().row();
    for (const QModelIndex& cell : cells) {
        if (cell.row() != row) {
            text += QLatin1Char('\n');
            row = cell.row();
        } else if (&cell != &cells.first()) {
            text += QLatin1Char('\t');
        }
        text += cell.data().toString();
    }
    QApplication::clipboard()->setText(text + QLatin1Char('\n'));
}

bool TableViewWindow::runCommand(const QString& name)
{
    if (name == QLatin1String("mnuViewRefresh")) {
        reload();
        return true;
    }
    if (name == QLatin1String("mnuEditCopy")) {
        copySelection();
        return true;
    }
    return false;
}

} // namespace rat::ui
