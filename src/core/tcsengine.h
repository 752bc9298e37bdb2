#pragma once
// TCSEngine: a small statement builder over one plain (unscrambled) table,
// used by the merged-prices page to filter the work-price list. It collects
// LIKE conditions and hands the finished statement to a runner supplied by
// the data layer, which runs it and counts the rows.

#include <functional>
#include <utility>
#include <string>
#include <string_view>

namespace kmx {

class TCSEngine {
public:
    // Runs a statement (Windows-1250 bytes) and returns its row count.
    using Runner = std::function<int(const std::string& statement)>;

    TCSEngine() = default;

    // Back to the table "ceny_robot" without conditions.
    void Reset();

    // Adds "column LIKE 'value%'" (or '%value%' when anywhere), joined to
    // earlier conditions with " AND ". The value is UTF-8 and goes into the
    // statement in Windows-1250 with its apostrophes doubled, so it is
    // searched for as typed; "%" and "_" in it keep their LIKE meaning.
    // An empty value adds nothing.
    void AddLike(std::string_view column, std::string_view valueUtf8, bool anywhere);

    // "select * from TABLE where FILTER", or "select * from TABLE " when
    // there is no condition. Windows-1250 bytes.
    std::string Statement() const;

    // Runs Statement() through the runner and returns its row count; -1
    // without running anything while no runner is set. The runner's errors
    // reach the caller.
    int Execute();

    void SetRunner(Runner runner) { runner_ = std::move(runner); }
    bool HasRunner() const { return static_cast<bool>(runner_); }

    const std::string& Table() const { return table_; }
    const std::string& Filter() const { return filter_; }

private:
    std::string table_ = "ceny_robot";
    std::string filter_;
    Runner runner_;
};

}  // namespace kmx
