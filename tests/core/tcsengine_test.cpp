// Table query engine: statement texts and the runner hand-off.

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/tcsengine.h"

namespace kmx {
namespace {

TEST(TCSEngine, WithoutConditionsTheStatementEndsInOneSpace) {
    TCSEngine e;
    EXPECT_EQ(e.Table(), "ceny_robot");
    EXPECT_EQ(e.Statement(), "select * from ceny_robot ");
    e.AddLike("Nazwa", "", true);
    EXPECT_EQ(e.Statement(), "select * from ceny_robot ");
}

TEST(TCSEngine, OneConditionHasTwoBlanksAfterWhere) {
    TCSEngine e;
    e.Reset();
    e.AddLike("Nazwa", "tynk", true);
    EXPECT_EQ(e.Statement(), "select * from ceny_robot where  Nazwa LIKE '%tynk%'");
}

TEST(TCSEngine, SecondConditionIsJoinedWithAnd) {
    TCSEngine e;
    e.AddLike("Nazwa", "tynk", true);
    e.AddLike("Podstawa", "", true);  // nothing, and no dangling AND
    e.AddLike("Podstawa", "KNR 2-02", true);
    EXPECT_EQ(e.Statement(), "select * from ceny_robot where  Nazwa LIKE '%tynk%' AND  Podstawa LIKE '%KNR 2-02%'");
}

TEST(TCSEngine, FromTheStartAndResetting) {
    TCSEngine e;
    e.AddLike("Podstawa", "KNR", false);
    EXPECT_EQ(e.Statement(), "select * from ceny_robot where  Podstawa LIKE 'KNR%'");
    e.Reset();
    EXPECT_EQ(e.Filter(), "");
    EXPECT_EQ(e.Statement(), "select * from ceny_robot ");
    e.AddLike("Nazwa", "x", true);
    EXPECT_EQ(e.Statement(), "select * from ceny_robot where  Nazwa LIKE '%x%'");
}

TEST(TCSEngine, ValuesAreWindows1250WithApostrophesDoubled) {
    TCSEngine e;
    e.AddLike("Nazwa", "ściana 'A'", true);
    // "ś" is 0x9C in Windows-1250.
    EXPECT_EQ(e.Statement(), "select * from ceny_robot where  Nazwa LIKE '%\x9C" "ciana ''A''%'");
    e.Reset();
    e.AddLike("Nazwa", "'", false);
    EXPECT_EQ(e.Statement(), "select * from ceny_robot where  Nazwa LIKE '''%'");
}

TEST(TCSEngine, ExecuteHandsTheStatementToTheRunner) {
    TCSEngine e;
    e.AddLike("Nazwa", "tynk", true);
    EXPECT_FALSE(e.HasRunner());
    EXPECT_EQ(e.Execute(), -1);

    std::vector<std::string> ran;
    e.SetRunner([&ran](const std::string& statement) {
        ran.push_back(statement);
        return 42;
    });
    EXPECT_EQ(e.Execute(), 42);
    ASSERT_EQ(ran.size(), 1u);
    EXPECT_EQ(ran[0], "select * from ceny_robot where  Nazwa LIKE '%tynk%'");
}

TEST(TCSEngine, RunnerErrorsReachTheCaller) {
    TCSEngine e;
    e.SetRunner([](const std::string&) -> int { throw std::runtime_error("no such table"); });
    EXPECT_THROW(e.Execute(), std::runtime_error);
}

}  // namespace
}  // namespace kmx
