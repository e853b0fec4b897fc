#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/IndexPath.h"

#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace ui {

class TableView;
class TableViewCell;
enum class TableViewRowAnimation;

// The table's row updates and their animations: reloads of rows and sections, and batches of
// inserts and deletes that the model, the selection and the visible cells follow. Layout and
// cell reuse stay with the table; this works on its model and cells through it.
class TableRowUpdates {
public:
    explicit TableRowUpdates(TableView& table);
    TableRowUpdates(const TableRowUpdates&) = delete;
    TableRowUpdates& operator=(const TableRowUpdates&) = delete;

    void reloadRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation);
    void reloadSections(const std::vector<int>& sections, TableViewRowAnimation animation);

    void beginUpdates();
    void endUpdates();
    void insertRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation);
    void deleteRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation);

private:
    struct PendingUpdates {
        std::vector<std::pair<IndexPath, TableViewRowAnimation>> inserts;
        std::vector<std::pair<IndexPath, TableViewRowAnimation>> deletes;
    };

    // One endUpdates(): rows by section, sorted, with their animations, and what the rows'
    // old positions are worked out from.
    struct Batch {
        std::map<int, std::vector<int>> deletes;   // old numbering
        std::map<int, std::vector<int>> inserts;   // new numbering
        std::map<IndexPath, TableViewRowAnimation> deleteAnimation;
        std::map<IndexPath, TableViewRowAnimation> insertAnimation;
        bool animated = false;
        std::vector<double> oldTops;
        std::map<int, std::vector<double>> deletedHeights;

        static Batch from(const PendingUpdates& updates);
        const std::vector<int>& deletesIn(int section) const;
        const std::vector<int>& insertsIn(int section) const;
        std::optional<IndexPath> moved(const IndexPath& path) const;   // nullopt: deleted
    };

    void applyUpdates(PendingUpdates updates);
    bool batchMatchesDataSource(const Batch& batch);
    void applyBatchToModel(Batch& batch);
    void followBatch(const Batch& batch);
    std::map<IndexPath, Rect> retireDeletedCells(const Batch& batch);
    void clampOffsetToContent();
    Rect oldRowRect(const Batch& batch, const IndexPath& path) const;
    void animateBatch(const Batch& batch, const std::map<IndexPath, Rect>& keptFrom,
                      const std::map<int, Rect>& oldHeaderFrames);
    void animateOut(const std::shared_ptr<TableViewCell>& cell, TableViewRowAnimation animation);
    void animateIn(const std::shared_ptr<TableViewCell>& cell, TableViewRowAnimation animation);
    void animateMove(const std::shared_ptr<TableViewCell>& cell, const Rect& from);

    TableView& m_table;   // raw: the table owns this and outlives it
    int m_updateDepth = 0;
    PendingUpdates m_pending;
};

} // namespace ui
