#pragma once
// Result lists: a Qt model that reads a result set in place and the grid
// that shows it, sorted by clicking a column title.

#include <QAbstractTableModel>
#include <QString>
#include <QTableView>
#include <functional>
#include <memory>
#include <vector>

namespace kmx::data {
class DataSet;
}

namespace kmx::app {

struct GridColumn {
    QString title;  // "Nazwa"
    QString field;  // field of the result set, e.g. "towar.NAZWA"
    int width = 64;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

// Reads the rows of the set's current view through its display routines.
// It never copies the rows and never runs a statement; rowCount() is 0 while
// the set is closed. The model hooks itself into the set's reset
// notification (chained to the handler that was there before) and resets on
// every open, close, sort and filter; reset() does the same by hand. Rows a
// large result learns while the program runs are appended. The set
// must outlive the model.
class DataSetModel : public QAbstractTableModel {
    Q_OBJECT

public:
    DataSetModel(data::DataSet& set, std::vector<GridColumn> columns, QObject* parent = nullptr);
    ~DataSetModel() override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void reset();
    // Appends the rows the set came to know since (its grow notification).
    void rowsArrived();
    data::DataSet& set() const { return set_; }
    const std::vector<GridColumn>& columns() const { return columns_; }
    // Field index of a column in the open set, -1 when the set lacks it.
    int fieldOf(int column) const;
    // Retitles a column (the header repaints).
    void setTitle(int column, const QString& title);

private:
    data::DataSet& set_;
    std::vector<GridColumn> columns_;
    std::vector<int> fieldIndex_;          // resolved after every reset
    int rows_ = 0;                         // view size at the last reset
    std::shared_ptr<DataSetModel*> self_;  // cleared on destruction; the set's hook checks it
};

// The look of every result grid: 13-pixel Arial, rows and title 20 pixels
// high, whole-row selection, alternate rows light grey (226,226,226), title
// row white text on green (125,171,84), last column stretched to the width.
// The selected row follows the set's cursor and moves it.
class ResultGrid : public QTableView {
    Q_OBJECT

public:
    // sortColumnFor maps a grid field to the column the set sorts by (the
    // idx_ ranks for scrambled columns); empty result = the field itself.
    ResultGrid(data::DataSet& set, std::vector<GridColumn> columns,
               std::function<QString(const QString& field)> sortColumnFor, QWidget* parent = nullptr);

    DataSetModel* dataModel() const { return model_; }
    data::DataSet& set() const { return model_->set(); }

    // Lines per page for the grid's height (row pitch 20, minus the title row);
    // -1 is never returned for a grid, 0 or less when it is too low.
    int linesPerPage() const;

    // Selects the set's current row without moving the cursor (called after
    // every cursor move of the set).
    void followCursor();

    // What a click on a column title does: sorts the loaded rows by the
    // column's sort column, ascending unless it is already the sort column,
    // then reversed. False (nothing changes) when the set is closed or has no
    // such column.
    bool sortByTitle(int section);

    // The wait window's text while a title click sorts (none: the
    // hourglass alone).
    void setTekstSortowania(const QString& text) { tekstSortowania_ = text; }

    // Shared "last click was on the title row" flag of all result grids.
    static bool& KliknietoTytul();

signals:
    void rowActivated();  // double click on a data row while KliknietoTytul is false
    void enterPressed();  // Enter in the grid (the caller applies the title rule)
    void titleClicked(int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int sortFieldOf(int section) const;
    void updateSortIndicator();
    void currentRowMoved(const QModelIndex& current);

    DataSetModel* model_ = nullptr;
    std::function<QString(const QString&)> sortColumnFor_;
    int sortSection_ = -1;  // the title clicked last
    QString tekstSortowania_;
    bool syncing_ = false;  // the cursor and the selection are being put in step
};

// Pure rules of paging, shared by the grids and the paging bar.
int liczbaLiniiNaStronie(int gridHeightPx);       // (h - 3) / 20 - 1
int liczbaStron(int rowCount, int linesPerPage);  // lines <= 0 counts as 1; 0 rows -> 0 pages
QString jednostkaKroku(int step);                 // "stronę", "strony" (2-4), "stron"

}  // namespace kmx::app
