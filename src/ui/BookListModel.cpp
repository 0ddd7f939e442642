// The table model of a list window: the loaded rows, numbers aligned right, the key as a
// hidden last column.

#include "ui/BookListModel.h"

namespace rat::ui {

void BookListModel::setList(books::BookList list)
{
    beginResetModel();
    list_ = std::move(list);
    endResetModel();
}

qint64 BookListModel::idAt(int row) const
{
    return row >= 0 && row < list_.rowCount() ? list_.ids[size_t(row)] : -1;
}

int BookListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : list_.rowCount();
}

int BookListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : list_.columnCount() + 1;
}

QVariant BookListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= list_.rowCount())
        return {};
    const int row = index.row();
    const int column = index.column();
    const bool key = column == keyColumn();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        if (key)
            return list_.ids[size_t(row)];
        return list_.rows[size_t(row)].value(column);
    case Qt::TextAlignmentRole: {
        const bool number = key || (column < int(list_.decimals.size()) && list_.decimals[size_t(column)] >= 0);
        return QVariant::fromValue(Qt::Alignment(number ? Qt::AlignRight | Qt::AlignVCenter
                                                        : Qt::AlignLeft | Qt::AlignVCenter));
    }
    default: return {};
    }
}

QVariant BookListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return section < list_.columnCount() ? list_.captions.value(section) : QStringLiteral("Код");
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace rat::ui
