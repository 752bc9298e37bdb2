#include "catalog/demo.h"

#include <QColor>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <QStringList>

#include <fstream>

#include "catalog/demo_text.h"
#include "core/last_error.h"
#include "core/pricelist.h"
#include "core/query_builder.h"
#include "core/settings_file.h"
#include "data/tdm.h"
#include "export/export_rows.h"

namespace kmx::catalog {

namespace fs = std::filesystem;

namespace {

const char* const kTextFiles[] = {"stawki.rtf", "Instrukcja_eksportu_ms.rtf", "Instrukcja_eksportu_cs.rtf"};

// Pictures with text need a GUI application for their fonts. The one made
// here lives until the process ends.
void ensureGuiApplication() {
    if (QGuiApplication::instance()) return;
    static int argc = 3;
    static char arg0[] = "kmx-tool";
    static char arg1[] = "-platform";
    static char arg2[] = "offscreen";
    static char* argv[] = {arg0, arg1, arg2, nullptr};
    new QGuiApplication(argc, argv);  // NOLINT: deliberately never destroyed
}

bool writeBytes(const fs::path& file, const std::string& bytes, std::string& error) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        error = file.string() + ": cannot write";
        return false;
    }
    return true;
}

// The distinctive words of a firm's name: legal forms and generic words left out.
QStringList distinctiveWords(const std::string& name) {
    static const QStringList skip = {
        "Sp.",
        "z",
        "o.o.",
        "S.A.",
        "Sp.",
        "j.",
        "k.",
        "s.c.",
        "P.H.U.",
        "F.H.",
        "i",
        "&",
        "-",
        "Zakład",
        "Produkcji",
        "Przedsiębiorstwo",
        "Hurtownia",
        "Materiałów",
        "Budowlanych",
        "Skład",
        "Budowlany",
        "Centrum",
        "Budowlane",
        "Wypożyczalnia",
        "Sprzętu",
        "Budowlanego",
        "Maszyny",
        "Usług",
        "Polska",
        "Dom",
        "Handlowy",
        "Wspólnicy",
        "Produkcyjno-Handlowe",
        "Transportowo-Sprzętowe",
    };
    QStringList out;
    for (QString word : QString::fromStdString(name).split(' ', Qt::SkipEmptyParts)) {
        word.remove('"').remove('\'');
        if (word.isEmpty() || skip.contains(word) || !word.at(0).isLetter()) continue;
        out << word;
    }
    if (out.isEmpty()) out << QStringLiteral("Kalmarex");
    return out;
}

}  // namespace

bool writeLogo(const fs::path& file, const DemoLogo& logo, std::string& error) {
    demo::Rng rng(logo.seed);
    QImage image(240, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QColor base = QColor::fromHsv(rng.below(360), 150 + rng.below(100), 120 + rng.below(100));
    const QColor accent = base.lighter(160);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        const QRectF emblem(12, 12, 96, 96);
        switch (rng.below(4)) {
            case 0:  // a disc with a ring
                p.setBrush(accent);
                p.drawEllipse(emblem);
                p.setBrush(base);
                p.drawEllipse(emblem.adjusted(10, 10, -10, -10));
                break;
            case 1: {  // a roof over a wall
                p.setBrush(base);
                p.drawRect(QRectF(24, 56, 72, 52));
                QPolygonF roof;
                roof << QPointF(12, 60) << QPointF(60, 14) << QPointF(108, 60);
                p.setBrush(accent);
                p.drawPolygon(roof);
                break;
            }
            case 2:  // stacked bricks
                p.setBrush(base);
                for (int row = 0; row < 4; ++row) {
                    for (int col = 0; col < 3; ++col) {
                        const double x = 12 + col * 32 + (row % 2 ? 16 : 0);
                        if (x + 30 > 116) continue;
                        p.drawRect(QRectF(x, 16 + row * 24, 30, 20));
                    }
                }
                break;
            default: {  // a rounded square with a diagonal band
                QPainterPath path;
                path.addRoundedRect(emblem, 18, 18);
                p.setBrush(base);
                p.drawPath(path);
                p.setBrush(accent);
                QPolygonF band;
                band << QPointF(12, 84) << QPointF(84, 12) << QPointF(108, 12) << QPointF(12, 108);
                p.setClipPath(path);
                p.drawPolygon(band);
                p.setClipping(false);
                break;
            }
        }
        // Initials on the emblem, the firm's first word beside it.
        const QStringList words = distinctiveWords(logo.name);
        QString initials;
        for (const QString& w : words) {
            if (initials.size() < 2) initials += w.at(0).toUpper();
        }
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        font.setPixelSize(30);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(emblem, Qt::AlignCenter, initials);
        int size = 28;
        font.setPixelSize(size);
        while (size > 10 && QFontMetrics(font).horizontalAdvance(words.front()) > 118)
            font.setPixelSize(--size);
        p.setFont(font);
        p.setPen(base.darker(140));
        p.drawText(QRectF(114, 10, 122, 100), Qt::AlignCenter, words.front());
    }
    const QString path = QString::fromStdString(file.string());
    if (!image.save(path, "JPEG", 85)) {
        error = file.string() + ": cannot write the JPEG picture";
        return false;
    }
    return true;
}

std::map<std::string, std::string> demoTexts(DemoEdition edition) {
    std::map<std::string, std::string> out;
    for (const char* name : kTextFiles) {
        QFile own(QStringLiteral(":/demo-avg/") + QString::fromLatin1(name));
        QFile shared(QStringLiteral(":/demo/") + QString::fromLatin1(name));
        QFile& f = edition == DemoEdition::AveragePrices && own.exists() ? own : shared;
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = f.readAll();
            out[name] = std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        }
    }
    return out;
}

// The ready-made price lists the program copies for an unrestricted search:
// KMX/ in version 2.0, KMX2.1/ in version 2.1, materials and equipment (and
// for the average prices labour) of the whole catalogue, written by the
// export's own row walk.
static bool writeReadyMadeLists(const fs::path& dest, DemoEdition edition, std::string& error) {
    auto settings = CzytajUstawienia(dest / "kmx.iif");
    data::TDM dm;
    if (dm.PolaczZBaza(dest / "kmx.dat", settings.ok ? settings.password : std::string()) ||
        dm.OtworzTabele()) {
        error = "ready-made lists: " + OstatniBlad().text;
        return false;
    }
    if (!dm.QWybrTow.open(ZbudujZapytanieTowarow(TsTowar{}, 0) + " ORDER BY idx_NAZWA", error)) return false;
    const std::string key = pricelist::MakeLineKey();
    for (auto [folder, version] :
         {std::pair{"KMX", pricelist::Version::V20}, std::pair{"KMX2.1", pricelist::Version::V21}}) {
        std::error_code ec;
        fs::create_directories(dest / folder, ec);
        exportrows::PriceListJob job;
        job.list = &dm.QWybrTow;
        job.version = version;
        job.key = key;
        if (edition == DemoEdition::AveragePrices) {
            job.averagePrices = true;
            job.materialsTarget = (dest / folder / "Materialy_sred.kmx").string();
            job.equipmentTarget = (dest / folder / "Sprzet_sred.kmx").string();
            job.labourTarget = (dest / folder / "Robocizna_sred.kmx").string();
        } else {
            job.materialsTarget = (dest / folder / "materialy.kmx").string();
            job.equipmentTarget = (dest / folder / "sprzet.kmx").string();
        }
        const exportrows::Result r = exportrows::WritePriceLists(job);
        if (!r.ok) {
            error = std::string(folder) + ": " + r.error;
            return false;
        }
    }
    return true;
}

DemoResult writeDemo(const fs::path& dest, const DemoOptions& options) {
    DemoResult result;
    const bool average = options.edition == DemoEdition::AveragePrices;
    const int most = average ? averageDemoMaxGoods() : kDemoMaxGoods;
    if (options.goods < kDemoMinGoods || options.goods > most) {
        result.error = "the number of goods must lie between " + std::to_string(kDemoMinGoods) + " and " +
                       std::to_string(most);
        return result;
    }
    result.sizes = average ? averageDemoSizes(options.goods) : demoSizes(options.goods);
    const DemoData data = average ? generateAverageDemo(options.goods) : generateDemo(options.goods);

    std::error_code ec;
    const fs::path src = dest / "src";
    const fs::path logos = dest / "Logo";
    fs::create_directories(src, ec);
    fs::create_directories(logos, ec);
    if (!fs::is_directory(src, ec) || !fs::is_directory(logos, ec)) {
        result.error = dest.string() + ": cannot create the directories";
        return result;
    }
    for (const auto& [table, csv] : data.csv) {
        if (!writeBytes(src / (table + ".csv"), csv, result.error)) return result;
    }

    ensureGuiApplication();
    for (const DemoLogo& logo : data.logos) {
        if (!writeLogo(logos / (logo.code + ".jpg"), logo, result.error)) return result;
        ++result.logos;
    }

    const std::map<std::string, std::string> texts = demoTexts(options.edition);
    for (const char* name : kTextFiles) {
        const auto it = texts.find(name);
        if (it == texts.end()) {
            result.error = std::string(name) + ": missing from the program's resources";
            return result;
        }
        if (!writeBytes(dest / name, it->second, result.error)) return result;
    }

    BuildOptions build;
    build.password = options.password;
    result.build = buildCatalog(src, dest, build);
    if (!result.build.ok) {
        result.error = result.build.error;
        return result;
    }
    if (!writeReadyMadeLists(dest, options.edition, result.error)) return result;
    result.ok = true;
    return result;
}

}  // namespace kmx::catalog
