#include <gtest/gtest.h>

#include <string>

#include "core/last_error.h"

TEST(OstatniBlad, KeepsTextAndCodeOfTheLastCall) {
    kmx::UstawOstatniBlad("pierwszy", 0);
    kmx::UstawOstatniBlad("Nie moża wykonać zapytania o towar!\r\nbłąd", -1);
    EXPECT_EQ(kmx::OstatniBlad().text, "Nie moża wykonać zapytania o towar!\r\nbłąd");
    EXPECT_EQ(kmx::OstatniBlad().code, -1);
}

TEST(OstatniBlad, CutsTo255CharactersNeverSplittingOne) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "ż";  // two bytes each
    kmx::UstawOstatniBlad(text, 0);
    EXPECT_EQ(kmx::OstatniBlad().text.size(), 255u * 2);
    kmx::UstawOstatniBlad(std::string(255, 'a') + "ż", 0);
    EXPECT_EQ(kmx::OstatniBlad().text, std::string(255, 'a'));
}
