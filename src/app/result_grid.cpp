#include "app/result_grid.h"

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

#include <string>
#include <utility>

#include "app/wait_window.h"
#include "data/dataset.h"

namespace kmx::app {

namespace {

constexpr int kRowPitch = 20;  // 7 + the font's 13 pixels

// The model's link in the set's chain of reset handlers. It passes every
// notification on to the handler it replaced, also after its model is gone.
struct ResetHook {
    std::shared_ptr<DataSetModel*> model;
    data::DataSet::ResetHandler previous;

    void operator()(data::DataSet& set, data::DataSet::ResetReason reason) const {
        if (*model) (*model)->reset();
        if (previous) previous(set, reason);
    }
};

// The same for the set's grow notification: the model appends the new rows.
struct GrowHook {
    std::shared_ptr<DataSetModel*> model;
    data::DataSet::GrowHandler previous;

    void operator()(data::DataSet& set) const {
        if (*model) (*model)->rowsArrived();
        if (previous) previous(set);
    }
};

// Shows the hourglass for a scope.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

// ---------------------------------------------------------------- DataSetModel

DataSetModel::DataSetModel(data::DataSet& set, std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent),
      set_(set),
      columns_(std::move(columns)),
      fieldIndex_(columns_.size(), -1),
      self_(std::make_shared<DataSetModel*>(this)) {
    reset();
    set_.setOnReset(ResetHook{self_, set_.onReset()});
    set_.setOnGrow(GrowHook{self_, set_.onGrow()});
}

DataSetModel::~DataSetModel() {
    *self_ = nullptr;
    // Unlink when nobody chained after us; otherwise the hook stays as a
    // pass-through for the handlers around it.
    const data::DataSet::ResetHandler current = set_.onReset();
    if (const auto* hook = current.target<ResetHook>(); hook && hook->model == self_) {
        set_.setOnReset(hook->previous);
    }
    const data::DataSet::GrowHandler grow = set_.onGrow();
    if (const auto* hook = grow.target<GrowHook>(); hook && hook->model == self_) {
        set_.setOnGrow(hook->previous);
    }
}

void DataSetModel::rowsArrived() {
    const int known = set_.active() ? set_.knownCount() : 0;
    if (known <= rows_) return;
    beginInsertRows({}, rows_, known - 1);
    rows_ = known;
    endInsertRows();
}

void DataSetModel::reset() {
    beginResetModel();
    const bool open = set_.active();
    // The rows known so far; more may arrive (rowsArrived).
    rows_ = open ? set_.knownCount() : 0;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        fieldIndex_[c] = open ? set_.fieldIndex(columns_[c].field.toStdString()) : -1;
    }
    endResetModel();
}

int DataSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int DataSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

int DataSetModel::fieldOf(int column) const {
    if (column < 0 || column >= static_cast<int>(fieldIndex_.size())) return -1;
    return fieldIndex_[static_cast<std::size_t>(column)];
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= columnCount()) return {};
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
        case Qt::DisplayRole: {
            const int field = fieldIndex_[column];
            if (field < 0) return QString();
            // Out-of-view rows (notifications suspended mid-change) read as empty.
            const std::string text = set_.displayText(index.row(), field);
            return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        }
        case Qt::TextAlignmentRole:
            return static_cast<int>(columns_[column].alignment);
        default:
            return {};
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return columns_[static_cast<std::size_t>(section)].title;
    if (role == Qt::TextAlignmentRole) return static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void DataSetModel::setTitle(int column, const QString& title) {
    if (column < 0 || column >= columnCount()) return;
    columns_[static_cast<std::size_t>(column)].title = title;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

// ------------------------------------------------------------------ ResultGrid

ResultGrid::ResultGrid(data::DataSet& set, std::vector<GridColumn> columns,
                       std::function<QString(const QString& field)> sortColumnFor, QWidget* parent)
    : QTableView(parent), sortColumnFor_(std::move(sortColumnFor)) {
    model_ = new DataSetModel(set, std::move(columns), this);
    setModel(model_);

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    setFont(font);

    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::AlternateBase, QColor(226, 226, 226));
    pal.setColor(QPalette::Text, Qt::black);
    // The selected row stays marked while the focus is elsewhere.
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    }
    setPalette(pal);
    setAlternatingRowColors(true);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);  // whole rows at the top, as a page starts

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(kRowPitch);
    rows->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView* titles = horizontalHeader();
    titles->setFont(font);
    titles->setFixedHeight(kRowPitch);
    titles->setHighlightSections(false);
    titles->setSectionsClickable(true);
    titles->setSortIndicatorShown(true);
    titles->setSortIndicator(-1, Qt::AscendingOrder);
    titles->setStretchLastSection(true);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setStyleSheet(QStringLiteral(
        "QHeaderView::section {"
        " background-color: rgb(125,171,84); color: white;"
        " border: none; border-right: 1px solid rgb(96,140,60); border-bottom: 1px solid rgb(96,140,60);"
        " padding-left: 3px; padding-right: 3px; }"));
    for (int c = 0; c < model_->columnCount(); ++c) {
        setColumnWidth(c, model_->columns()[static_cast<std::size_t>(c)].width);
    }

    connect(titles, &QHeaderView::sectionPressed, this, [] { KliknietoTytul() = true; });
    connect(titles, &QHeaderView::sectionClicked, this, [this](int section) {
        sortByTitle(section);
        emit titleClicked(section);
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { currentRowMoved(current); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        updateSortIndicator();
        followCursor();
    });
    followCursor();
}

bool& ResultGrid::KliknietoTytul() {
    static bool flag = false;
    return flag;
}

int ResultGrid::linesPerPage() const {
    return liczbaLiniiNaStronie(height());
}

void ResultGrid::followCursor() {
    if (syncing_) return;
    syncing_ = true;
    const data::DataSet& ds = set();
    const int row = ds.active() ? ds.recNo() - 1 : -1;
    if (row >= 0 && row < model_->rowCount()) {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        const QModelIndex index = model_->index(row, column);
        if (currentIndex() != index || !selectionModel()->isRowSelected(row, {})) {
            selectionModel()->setCurrentIndex(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
        scrollTo(index);
    } else {
        selectionModel()->clearSelection();
        selectionModel()->clearCurrentIndex();
    }
    syncing_ = false;
}

void ResultGrid::currentRowMoved(const QModelIndex& current) {
    if (syncing_ || !current.isValid()) return;
    data::DataSet& ds = set();
    if (!ds.active() || ds.recNo() == current.row() + 1) return;
    // The set's scroll notification calls followCursor() back; the guard
    // keeps it from fighting the selection the user is making.
    syncing_ = true;
    ds.moveTo(current.row() + 1);
    syncing_ = false;
}

int ResultGrid::sortFieldOf(int section) const {
    const auto& cols = model_->columns();
    if (section < 0 || section >= static_cast<int>(cols.size())) return -1;
    const QString& field = cols[static_cast<std::size_t>(section)].field;
    QString column = sortColumnFor_ ? sortColumnFor_(field) : QString();
    if (column.isEmpty()) column = field;
    return set().active() ? set().fieldIndex(column.toStdString()) : -1;
}

bool ResultGrid::sortByTitle(int section) {
    data::DataSet& ds = set();
    const int field = sortFieldOf(section);
    bool sorted = false;
    if (field >= 0) {
        const bool ascending = ds.sortField() == field ? !ds.sortAscending() : true;
        sortSection_ = section;
        BusyCursor busy;
        if (!tekstSortowania_.isEmpty()) PokazCzekaj(tekstSortowania_, false);
        setUpdatesEnabled(false);
        sorted = ds.sort(field, ascending);
        setUpdatesEnabled(true);
        if (!tekstSortowania_.isEmpty()) ZamknijCzekaj();
    }
    // The header flips its arrow by itself on a click; show the set's order.
    updateSortIndicator();
    followCursor();
    return sorted;
}

void ResultGrid::updateSortIndicator() {
    const data::DataSet& ds = set();
    const int field = ds.active() ? ds.sortField() : -1;
    int section = -1;
    if (field >= 0) {
        if (sortFieldOf(sortSection_) == field) {
            section = sortSection_;
        } else {
            for (int c = 0; c < model_->columnCount() && section < 0; ++c) {
                if (sortFieldOf(c) == field) section = c;
            }
        }
    }
    const Qt::SortOrder order = ds.sortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder;
    QHeaderView* titles = horizontalHeader();
    const QSignalBlocker quiet(titles);
    titles->setSortIndicator(section, order);
}

void ResultGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit enterPressed();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ResultGrid::mousePressEvent(QMouseEvent* event) {
    if (indexAt(event->position().toPoint()).isValid()) KliknietoTytul() = false;
    QTableView::mousePressEvent(event);
}

void ResultGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // Read before the base class, which replays a press (clearing the flag)
    // when the double click lands on a row other than the pressed one.
    const bool open = indexAt(event->position().toPoint()).isValid() && event->button() == Qt::LeftButton &&
                      !KliknietoTytul();
    QTableView::mouseDoubleClickEvent(event);
    if (open) emit rowActivated();
}

// ------------------------------------------------------------------ paging rules

int liczbaLiniiNaStronie(int gridHeightPx) {
    return (gridHeightPx - 3) / kRowPitch - 1;
}

int liczbaStron(int rowCount, int linesPerPage) {
    if (rowCount <= 0) return 0;
    const int lines = linesPerPage > 0 ? linesPerPage : 1;
    return rowCount / lines + (rowCount % lines != 0 ? 1 : 0);
}

QString jednostkaKroku(int step) {
    if (step == 1) return QStringLiteral("stronę");
    if (step >= 2 && step <= 4) return QStringLiteral("strony");
    return QStringLiteral("stron");
}

}  // namespace kmx::app
