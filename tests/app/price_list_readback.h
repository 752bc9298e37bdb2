#pragma once
// Price lists the export tests read back: the file's bytes, unpacked when
// zipped (the one member must be kmx.kmx), then decoded.

#include <gtest/gtest.h>

#include <QString>
#include <fstream>
#include <sstream>
#include <string>

#include "core/kmx_zip.h"
#include "core/pricelist.h"
#include "gui_test_support.h"

namespace kmx::guitest {

inline std::string czytaj(const QString& path) {
    std::ifstream in(toPath(path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Odczyt {
    bool zip = false;
    pricelist::DecodedPriceList lista;
};

inline Odczyt odczytajCennik(const QString& path) {
    Odczyt o;
    std::string body = czytaj(path);
    EXPECT_FALSE(body.empty()) << path.toStdString();
    o.zip = kmxzip::IsZip(toPath(path).string());
    if (o.zip) {
        std::string member, error;
        EXPECT_TRUE(kmxzip::UnpackSingle(toPath(path).string(), body, member, error)) << error;
        EXPECT_EQ(member, "kmx.kmx");
    }
    std::string error;
    EXPECT_TRUE(pricelist::DecodePriceList(body, o.lista, error)) << error;
    return o;
}

}  // namespace kmx::guitest
