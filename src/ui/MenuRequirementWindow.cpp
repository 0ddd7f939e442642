// The menu-requirement window: the working copy shown in two views, quantities typed into the
// grid, the replacement dialog, re-creation from the day menu, the cost box, the shortage list,
// saving with approval and the questions on closing.

#include "ui/MenuRequirementWindow.h"
#include "core/ChoiceLists.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/BookCatalogue.h"
#include "stock/ProductPrices.h"
#include "ui/GridSetup.h"
#include "ui/MainIcons.h"
#include "ui/MainWindow.h"
#include "ui/StockLineEditors.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <map>
#include <set>

namespace rat::ui {

namespace {

// A quantity as far as it has digits (a small one keeps its places), a decimal comma.
QString shown(double v, int decimals)
{
    QString s = QString::number(v, 'f', decimals);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

QString money(double v)
{
    return QString::number(v, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
}

const QString kNotFound = missingRowText();

} // namespace

ReplacementDialog::ReplacementDialog(const stock::ReplacementOffer& offer, const QStringList& units, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmZamena"));
    setWindowTitle(offer.caption);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    auto* product = new QLabel(offer.product, this);
    QFont bold = product->font();
    bold.setBold(true);
    product->setFont(bold);
    form->addRow(QStringLiteral("Продукт:"), product);
    form->addRow(QStringLiteral("Прием пищи:"), new QLabel(offer.meal, this));
    form->addRow(QStringLiteral("Категория блюда:"), new QLabel(offer.category, this));
    auto* dish = new QLabel(offer.dish, this);
    dish->setWordWrap(true);
    form->addRow(QStringLiteral("Блюдо:"), dish);
    form->addRow(QStringLiteral("Тип довольствующихся:"), new QLabel(offer.eaterType, this));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("lstZamena"));
    for (size_t i = 0; i < offer.candidates.size(); ++i) {
        const stock::ReplacementCandidate& c = offer.candidates[i];
        QString text = c.product + QStringLiteral(" — ") + shown(c.kol, 6) + QStringLiteral(" г на порцию, всего ") +
                       shown(c.kolv, 6) + QLatin1Char(' ') + units.value(int(i));
        if (c.fromCard)
            text += QStringLiteral(" (вариант из технологической карты)");
        list_->addItem(text);
    }
    if (list_->count() > 0)
        list_->setCurrentRow(0);
    form->addRow(QStringLiteral("Заменить на:"), list_);
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("ОК"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    ok_->setDefault(true);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(520);
}

int ReplacementDialog::chosen() const
{
    return list_->currentRow();
}

MenuRequirementWindow::MenuRequirementWindow(Database& db, Prompt& prompt, std::optional<qint64> idm, QWidget* parent)
    : QWidget(parent), db_(db), prompt_(prompt), idm_(idm)
{
    setObjectName(QStringLiteral("frmMenuTr"));
    setAttribute(Qt::WA_DeleteOnClose);
    showDialog = [](QDialog& d) { d.exec(); };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolBar_ = makeToolBar(this);
    addToolKey(toolBar_, actions_, QStringLiteral("keySave"), QStringLiteral("Сохранить"),
               QStringLiteral("Сохранить меню-требование"), [this] { save(); }, glyphIcon(Glyph::Save));
    addToolKey(toolBar_, actions_, QStringLiteral("keyReplace"), QStringLiteral("Заменить продукт"),
               QStringLiteral("Заменить продукт выделенной строки другим"), [this] { replaceProduct(); },
               badgeIcon(QStringLiteral("⇄"), QColor(0x2e, 0x8b, 0x4f)));
    addToolKey(toolBar_, actions_, QStringLiteral("keyRecreate"), QStringLiteral("Создать заново"),
               QStringLiteral("Создать заново меню-требование по меню на день"), [this] { recreate(); },
               badgeIcon(QStringLiteral("↻"), QColor(0xb0, 0x3a, 0x2e)));
    addToolKey(toolBar_, actions_, QStringLiteral("keyper"), QStringLiteral("Обновить остатки"),
               QStringLiteral("Обновить остатки на складе (F5)"), [this] { activated(); }, glyphIcon(Glyph::Refresh));
    addPrintKeys();
    layout->addWidget(toolBar_);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 6, 8, 8);
    body->setSpacing(6);
    auto* top = new QHBoxLayout;
    auto* viewLabel = new QLabel(QStringLiteral("Показать:"), this);
    view_ = new QComboBox(this);
    view_->setObjectName(QStringLiteral("cmbView"));
    view_->addItem(stock::viewName(stock::WorkingView::AllEaters), int(stock::WorkingView::AllEaters));
    view_->addItem(stock::viewName(stock::WorkingView::ByEaterTypes), int(stock::WorkingView::ByEaterTypes));
    viewLabel->setBuddy(view_);
    top->addWidget(viewLabel);
    top->addWidget(view_);
    top->addSpacing(12);
    auto* sufficiencyLabel = new QLabel(QStringLiteral("Продукты:"), this);
    sufficiency_ = new QComboBox(this);
    sufficiency_->setObjectName(QStringLiteral("cmbSufficiency"));
    for (const ChoiceItem& item : choiceList(40, ChoiceFlags{}))
        sufficiency_->addItem(item.text, item.code);
    sufficiencyLabel->setBuddy(sufficiency_);
    top->addWidget(sufficiencyLabel);
    top->addWidget(sufficiency_);
    top->addSpacing(24);
    auto* costLabel = new QLabel(this);
    cost_ = new QLineEdit(this);
    cost_->setObjectName(QStringLiteral("stoim"));
    cost_->setAlignment(Qt::AlignRight);
    cost_->setMaximumWidth(120);
    costLabel->setBuddy(cost_);
    top->addWidget(costLabel);
    top->addWidget(cost_);
    priced_ = new QLabel(this);
    priced_->setObjectName(QStringLiteral("lblPriced"));
    top->addSpacing(12);
    top->addWidget(priced_);
    top->addStretch(1);
    body->addLayout(top);

    grid_ = new QTableWidget(this);
    grid_->setObjectName(QStringLiteral("grid"));
    setUpListGrid(grid_);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    grid_->setToolTip(QStringLiteral("Дважды щелкните по количеству, чтобы изменить его"));
    body->addWidget(grid_, 1);

    auto* shortLabel = new QLabel(QStringLiteral("Не хватает на складе:"), this);
    shortage_ = new QPlainTextEdit(this);
    shortage_->setObjectName(QStringLiteral("txtNehvat"));
    shortage_->setReadOnly(true);
    shortage_->setMaximumHeight(84);
    shortLabel->setBuddy(shortage_);
    body->addWidget(shortLabel);
    body->addWidget(shortage_);

    auto* ok = new QPushButton(QStringLiteral("ОК"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    auto* cancel = new QPushButton(QStringLiteral("Закрыть"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {ok, cancel}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(96);
    }
    connect(ok, &QPushButton::clicked, this, [this] {
        if (save() && !closing_)
            closeWindow();
    });
    connect(cancel, &QPushButton::clicked, this, [this] { closeWindow(); });
    addButtonRow(body, this, {ok, cancel});
    layout->addLayout(body, 1);
    setFocusProxy(grid_);

    costLabel->setText(QStringLiteral("Стоимость меню, ") + books::currencyShortName(db_) + QLatin1Char(':'));
    connect(view_, &QComboBox::currentIndexChanged, this, [this] { reload(); });
    connect(sufficiency_, &QComboBox::currentIndexChanged, this, [this] { reload(); });
    connect(cost_, &QLineEdit::textEdited, this, [this] { markChanged(); });
    connect(grid_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (loading_ || item->column() != quantityColumn())
            return;
        const int row = item->row(), column = item->column();
        // After the editor has let go of the cell, which the reload replaces.
        QTimer::singleShot(0, this, [this, row, column] { quantityEdited(row, column); });
    });
}

MenuRequirementWindow::~MenuRequirementWindow()
{
    // A window that goes without being closed (the program ends) leaves no working copy behind.
    if (idm1_) {
        try {
            stock::clearWorkingCopy(db_, *idm1_);
        } catch (...) {
        }
    }
}

bool MenuRequirementWindow::open()
{
    const QVariant dayMenu =
        idm_ ? db_.scalar(QStringLiteral("SELECT tm.ID_day_menu FROM MENUTM tm JOIN MENUTR r ON r.IDM = "
                                         "tm.IDM WHERE tm.IDM = ?1"),
                          {*idm_})
             : QVariant();
    if (dayMenu.isNull()) {
        prompt_.warning(kNotFound);
        return false;
    }
    idm1_ = stock::loadIntoWorkingCopy(db_, prompt_, dayMenu.toLongLong(), *idm_);
    if (!idm1_) {
        prompt_.warning(kNotFound);
        return false;
    }
    showLoaded();
    return true;
}

bool MenuRequirementWindow::openWorkingCopy(const stock::OpenedRequirement& opened)
{
    idm1_ = opened.idm1;
    idm_ = opened.idm;
    changed_ = !idm_;
    showLoaded();
    return true;
}

void MenuRequirementWindow::showLoaded()
{
    if (const auto h = stock::readWorkingHeader(db_, *idm1_))
        header_ = *h;
    loading_ = true;
    cost_->setText(money(header_.cost));
    loading_ = false;
    reload();
    refreshTitle();
}

void MenuRequirementWindow::closeWindow()
{
    closing_ = true;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
    closing_ = false;
}

stock::WorkingView MenuRequirementWindow::view() const
{
    return stock::WorkingView(view_->currentData().toInt());
}

int MenuRequirementWindow::quantityColumn() const
{
    return view() == stock::WorkingView::AllEaters ? 1 : 6;
}

void MenuRequirementWindow::reload()
{
    if (!idm1_)
        return;
    const int keep = grid_->currentRow();
    loading_ = true;
    lines_ = stock::workingLines(db_, *idm1_, view());
    // "Недостаток" keeps the products the store cannot cover, "В достатке" the others; a product
    // is judged by its whole quantity, whichever view shows it.
    if (const int filter = sufficiency_->currentData().toInt(); filter != 0) {
        std::set<qint64> shortOnes;
        for (const stock::ShortageLine& s : stock::shortageList(db_, *idm1_))
            shortOnes.insert(s.productId);
        std::erase_if(lines_, [&](const stock::WorkingLine& l) {
            const bool isShort = shortOnes.count(l.productId) > 0;
            return filter == 1 ? !isShort : isShort;
        });
    }
    const QString cur = books::currencyShortName(db_);
    // The price of every product of the document in one look at the lots.
    std::vector<qint64> products;
    for (const stock::WorkingLine& l : lines_)
        products.push_back(l.productId);
    const std::map<qint64, double> perGram = stock::productPrices(db_, products, header_.dayMenuDate);
    std::map<qint64, double> koef;
    {
        Statement st(db_, QStringLiteral("SELECT p.id, e.koef FROM products p JOIN ed_izmer e ON e.id = p.id_ed_izmer"));
        while (st.next())
            koef[st.toInt64(0)] = st.toDouble(1);
    }
    const auto priceOf = [&](qint64 product) {
        const auto p = perGram.find(product);
        const auto k = koef.find(product);
        return p == perGram.end() || k == koef.end() ? 0.0 : p->second * k->second;
    };

    const bool all = view() == stock::WorkingView::AllEaters;
    QStringList captions;
    if (all)
        captions = {QStringLiteral("Продукт"), QStringLiteral("Количество"), QStringLiteral("Ед.изм."),
                    QStringLiteral("Остаток на складе"), QStringLiteral("Цена, ") + cur, QStringLiteral("Сумма, ") + cur};
    else
        captions = {QStringLiteral("Тип довольствующихся"), QStringLiteral("Прием пищи"), QStringLiteral("Блюдо"),
                    QStringLiteral("Продукт"), QStringLiteral("Выход блюда, г"), QStringLiteral("На 1 порцию, г"),
                    QStringLiteral("Количество"), QStringLiteral("Ед.изм."), QStringLiteral("Остаток на складе")};
    grid_->clear();
    grid_->setColumnCount(int(captions.size()));
    grid_->setHorizontalHeaderLabels(captions);
    grid_->setRowCount(int(lines_.size()));
    double total = 0;
    const QColor shortColour(0xb0, 0x3a, 0x2e);
    for (int r = 0; r < int(lines_.size()); ++r) {
        const stock::WorkingLine& l = lines_[size_t(r)];
        QStringList cells;
        const QString q = shown(l.kolv, l.decimals + 5), ost = shown(l.ost, l.decimals + 5);
        if (all) {
            const double price = priceOf(l.productId);
            total += price * l.kolv;
            cells = {l.product, q, l.unit, ost, money(price), money(price * l.kolv)};
        } else {
            cells = {l.eaterType, l.meal, l.dish, l.product, shown(l.output, 2), shown(l.kol, l.decimals + 5), q, l.unit,
                     ost};
        }
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (c == quantityColumn()) {
                flags |= Qt::ItemIsEditable;
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            item->setFlags(flags);
            const bool number = all ? (c == 1 || c >= 3) : (c >= 4 && c != 7);
            if (number)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // The remnant of a product the store cannot cover.
            if (all && c == 3 && l.ost < l.kolv)
                item->setForeground(shortColour);
            grid_->setItem(r, c, item);
        }
    }
    if (!widthsSet_ || widthsView_ != int(view())) {
        const QFontMetrics fm = grid_->fontMetrics();
        const QFontMetrics hm = grid_->horizontalHeader()->fontMetrics();
        for (int c = 0; c < grid_->columnCount(); ++c) {
            int width = 0;
            for (const QString& word : captions[c].split(QLatin1Char(' ')))
                width = qMax(width, hm.horizontalAdvance(word) + 18);
            width = qMax(width, hm.horizontalAdvance(captions[c]) / 2 + 24);
            for (int r = 0; r < grid_->rowCount() && r < 300; ++r)
                if (const QTableWidgetItem* it = grid_->item(r, c))
                    width = qMax(width, qMin(fm.horizontalAdvance(it->text()) + 22, 300));
            // Names stay readable as they grow longer than today's.
            if (captions[c] == QStringLiteral("Продукт"))
                width = qMax(width, 180);
            else if (captions[c] == QStringLiteral("Блюдо"))
                width = qMax(width, 170);
            grid_->setColumnWidth(c, width);
        }
        grid_->horizontalHeader()->setMinimumHeight(2 * hm.lineSpacing() + 10);
        widthsSet_ = true;
        widthsView_ = int(view());
    }
    if (grid_->rowCount() > 0)
        grid_->selectRow(qBound(0, keep, grid_->rowCount() - 1));
    if (all)
        priced_->setText(QStringLiteral("по ценам партий: ") + money(total) + QLatin1Char(' ') + cur);
    priced_->setVisible(all);
    // One product a line: its name, a blank and what is missing (below zero), with a decimal comma.
    QStringList missing;
    for (const stock::ShortageLine& s : stock::shortageList(db_, *idm1_))
        missing << s.product + QLatin1Char(' ') + shown(s.difference, 8);
    shortage_->setPlainText(missing.join(QLatin1Char('\n')));
    loading_ = false;
}

void MenuRequirementWindow::quantityEdited(int row, int column)
{
    const QTableWidgetItem* item = grid_->item(row, column);
    if (!item)
        return;
    setQuantity(row, item->text());
}

bool MenuRequirementWindow::setQuantity(int row, const QString& text)
{
    if (!idm1_ || row < 0 || row >= int(lines_.size()))
        return false;
    const stock::WorkingLine line = lines_[size_t(row)];
    const std::optional<double> v = typedNumber(prompt_, text, QStringLiteral("Количество"));
    bool ok = false;
    if (v) {
        if (view() == stock::WorkingView::AllEaters)
            ok = stock::setProductTotal(db_, prompt_, *idm1_, line.productId, *v);
        else
            ok = !line.lineIds.empty() && stock::setLineQuantity(db_, prompt_, *idm1_, line.lineIds.front(), *v);
    }
    if (ok)
        markChanged();
    reload();
    return ok;
}

void MenuRequirementWindow::replaceProduct()
{
    const int row = grid_->currentRow();
    if (!idm1_ || row < 0 || row >= int(lines_.size()) || lines_[size_t(row)].lineIds.empty())
        return;
    const stock::WorkingLine line = lines_[size_t(row)];
    const std::optional<stock::ReplacementOffer> offer = stock::replacementOffer(db_, *idm1_, line.lineIds.front());
    if (!offer) {
        prompt_.warning(kNotFound);
        return;
    }
    if (offer->candidates.empty()) {
        prompt_.info(QStringLiteral("Для продукта \"") + line.product +
                     QStringLiteral("\" не указаны продукты-заменители (справочник \"Замена\") и в технологической "
                                    "карте нет вариантов этого продукта."));
        return;
    }
    QStringList units;
    for (const stock::ReplacementCandidate& c : offer->candidates)
        units << db_.scalar(QStringLiteral("SELECT e.ename FROM products p JOIN ed_izmer e ON e.id = p.id_ed_izmer "
                                           "WHERE p.id = ?1"),
                            {c.productId})
                     .toString();
    ReplacementDialog dialog(*offer, units, this);
    showDialog(dialog);
    if (dialog.result() != QDialog::Accepted || dialog.chosen() < 0)
        return;
    const stock::ReplacementCandidate picked = offer->candidates[size_t(dialog.chosen())];
    bool replaced = false;
    // A product's row of the all-eaters view stands for all its lines: each takes the substitute
    // at its own quantities.
    for (qint64 lineId : line.lineIds) {
        const std::optional<stock::ReplacementOffer> own =
            lineId == line.lineIds.front() ? offer : stock::replacementOffer(db_, *idm1_, lineId);
        if (!own)
            continue;
        for (const stock::ReplacementCandidate& c : own->candidates)
            if (c.productId == picked.productId && c.fromCard == picked.fromCard) {
                replaced = stock::replaceProduct(db_, prompt_, *idm1_, lineId, c).has_value() || replaced;
                break;
            }
    }
    if (replaced)
        markChanged();
    reload();
}

void MenuRequirementWindow::recreate()
{
    if (!idm1_)
        return;
    const std::optional<qint64> fresh = stock::recreateWorkingCopy(db_, prompt_, *idm1_);
    if (!fresh)
        return;
    idm1_ = fresh;
    if (const auto h = stock::readWorkingHeader(db_, *idm1_))
        header_ = *h;
    markChanged();
    reload();
}

std::optional<double> MenuRequirementWindow::typedCost()
{
    const QString text = cost_->text().trimmed();
    if (text.isEmpty())
        return 0.0;
    const std::optional<double> v =
        typedNumber(prompt_, text, QStringLiteral("Стоимость меню, ") + books::currencyShortName(db_));
    if (!v)
        cost_->setFocus();
    return v;
}

bool MenuRequirementWindow::save()
{
    if (!idm1_)
        return false;
    const std::optional<double> cost = typedCost();
    if (!cost)
        return false;
    stock::SaveOutcome outcome = stock::SaveOutcome::Cancelled;
    try {
        outcome = stock::saveMenuRequirement(db_, prompt_, *idm1_, idm_, *cost);
    } catch (const DbError& e) {
        prompt_.critical(QStringLiteral("Возникла ошибка при сохранении меню-требования. ") + e.text());
        return false;
    }
    if (outcome == stock::SaveOutcome::Cancelled)
        return false;
    changed_ = false;
    if (const auto h = stock::readWorkingHeader(db_, *idm1_))
        header_ = *h;
    refreshTitle();
    if (idm_)
        emit documentSaved(*idm_);
    if (outcome == stock::SaveOutcome::Issued && fromJournal_)
        closeWindow();
    return true;
}

void MenuRequirementWindow::activated()
{
    if (!idm1_)
        return;
    stock::refreshRemnants(db_, *idm1_);
    reload();
}

void MenuRequirementWindow::markChanged()
{
    if (changed_)
        return;
    changed_ = true;
    refreshTitle();
}

void MenuRequirementWindow::refreshTitle()
{
    setWindowTitle(QStringLiteral("Меню-требование") + stock::menuRequirementCaption(header_) +
                   (changed_ ? QStringLiteral("*") : QString()));
}

bool MenuRequirementWindow::runCommand(const QString& name)
{
    if (name == QLatin1String("mnuViewRefresh"))
        activated();
    else
        return false;
    return true;
}

QSize MenuRequirementWindow::sizeHint() const
{
    return {1100, 640};
}

void MenuRequirementWindow::closeEvent(QCloseEvent* event)
{
    if (idm1_) {
        double cost = header_.cost;
        if (changed_) {
            const std::optional<double> typed = typedCost();
            if (!typed) {
                event->ignore();
                return;
            }
            cost = *typed;
        }
        const qint64 idm1 = *idm1_;
        stock::CloseOutcome outcome = stock::CloseOutcome::ClosedWithoutStoring;
        try {
            outcome = stock::closeMenuRequirement(db_, prompt_, idm1, idm_, cost, changed_);
        } catch (const DbError& e) {
            prompt_.critical(QStringLiteral("Возникла ошибка при сохранении меню-требования. ") + e.text());
        }
        idm1_.reset();
        changed_ = false;
        const bool stored = outcome == stock::CloseOutcome::StoredNotApproved ||
                            outcome == stock::CloseOutcome::Approved || outcome == stock::CloseOutcome::Issued;
        if (stored && idm_)
            emit documentSaved(*idm_);
        // A failed store leaves no working copy behind either.
        try {
            stock::clearWorkingCopy(db_, idm1);
        } catch (...) {
        }
    }
    event->accept();
}

namespace {

MenuRequirementWindow* bringForward(MainWindow& main, qint64 idm)
{
    for (QMdiSubWindow* sub : main.mdiArea()->subWindowList())
        if (auto* w = qobject_cast<MenuRequirementWindow*>(sub->widget()); w && w->documentId() == idm) {
            if (sub->isMinimized())
                sub->showNormal();
            main.mdiArea()->setActiveSubWindow(sub);
            return w;
        }
    return nullptr;
}

MenuRequirementWindow* addWindow(MainWindow& main, MenuRequirementWindow* w)
{
    QMdiSubWindow* sub = main.addChild(w);
    // The remnants are read again whenever the person comes back to the window.
    QObject::connect(main.mdiArea(), &QMdiArea::subWindowActivated, w, [w, sub](QMdiSubWindow* active) {
        if (active == sub)
            w->activated();
    });
    return w;
}

} // namespace

MenuRequirementWindow* openMenuRequirement(MainWindow& main, Database& db, Prompt& prompt, qint64 idm, bool fromJournal)
{
    if (MenuRequirementWindow* open = bringForward(main, idm))
        return open;
    auto* w = new MenuRequirementWindow(db, prompt, idm);
    w->setOpenedFromJournal(fromJournal);
    if (!w->open()) {
        delete w;
        return nullptr;
    }
    return addWindow(main, w);
}

MenuRequirementWindow* openMenuRequirement(MainWindow& main, Database& db, Prompt& prompt,
                                           const stock::OpenedRequirement& opened, bool fromJournal)
{
    // A stored document already open keeps its window; the new working copy is not needed.
    if (opened.idm)
        if (MenuRequirementWindow* open = bringForward(main, *opened.idm)) {
            stock::clearWorkingCopy(db, opened.idm1);
            return open;
        }
    auto* w = new MenuRequirementWindow(db, prompt, opened.idm);
    w->setOpenedFromJournal(fromJournal);
    w->openWorkingCopy(opened);
    return addWindow(main, w);
}

} // namespace rat::ui
