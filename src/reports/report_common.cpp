#include "reports/report_common.h"

#include "core/display.h"
#include "data/dataset.h"
#include "data/fields.h"
#include "editions/edition.h"

namespace kmx::reports {

// ------------------------------------------------------------ field readers

namespace {

int pole(const data::DataSet* set, std::string_view name) {
    if (!set || !set->active() || set->recNo() <= 0) return -1;
    return data::znajdzPole(*set, name);
}

}  // namespace

QString tekstPola(const data::DataSet* set, std::string_view name) {
    const int f = pole(set, name);
    return f < 0 ? QString() : QString::fromStdString(set->displayText(f));
}

QString zapisane(const data::DataSet* set, std::string_view name, int mode) {
    return set ? QString::fromStdString(data::zapisanePole(*set, name, mode)) : QString();
}

QString zapisanePrzyciete(const data::DataSet* set, std::string_view name, int mode) {
    return zapisane(set, name, mode).trimmed();
}

QString nazwaZWielkoscia(const data::DataSet* set, std::string_view name, std::string_view caseName) {
    const int f = pole(set, name);
    if (f < 0) return {};
    const int c = data::znajdzPole(*set, caseName);
    const std::string_view mask = c >= 0 ? set->value(c).bytes() : std::string_view();
    return QString::fromStdString(DeszyfrujNazwy(set->value(f).bytes(), mask));
}

bool zawieraBrak(const QString& text) {
    return text.toLower().contains(QStringLiteral("brak"));
}

bool WierszeZbioru::first() {
    if (!set_ || !set_->active() || set_->isEmpty()) return false;
    set_->first();
    return !set_->eof();
}

bool WierszeZbioru::next() {
    if (!set_ || !set_->active()) return false;
    set_->next();
    return !set_->eof();
}

// ------------------------------------------------------------ elements

Element podpis(const QString& name, float x, const QString& text) {
    Element e = label(name, x, 1.1f, 0, text, FontSpec{10, false});
    e.autoWidth = true;
    return e;
}

Element wartosc(const QString& name, float x, float w, std::function<QString()> text, bool wrap) {
    Element e = field(
        name, x, 1.1f, w, [t = std::move(text)](const FillContext&) { return t(); }, FontSpec{10, true});
    e.wrap = wrap;
    e.grow = wrap;
    return e;
}

Element tytulKolumny(const QString& name, float x, float w, const QString& text, Align align) {
    return label(name, x, 2.0f, w, text, FontSpec{8, false}, align);
}

Element komorka(const QString& name, float x, float w, std::function<QString(const FillContext&)> text,
                Align align) {
    return field(name, x, 0.8f, w, std::move(text), FontSpec{7, false}, align);
}

// ------------------------------------------------------------ Raport

FillResult Raport::przygotuj(PageStore& store, TextMeasurer& measurer) {
    return fillReport(def_, wiersze(), store, measurer, zegarRaportow());
}

void Raport::zbudujTytulIStopke(bool numerStrony) {
    def_.title = makeBand(BandKind::Title, QStringLiteral("PasekTytulu"), 13.5f);
    Band& t = *def_.title;
    t.add(
        label(QStringLiteral("LNazwaFirmy"), 0, 0, 100, QString::fromUtf8(kNazwaFirmy), FontSpec{10, false}));
    t.add(field(
        QStringLiteral("LData"), 173.6f, 0, 15.6f,
        [this](const FillContext& c) { return c.date.toString(formatDaty_); }, FontSpec{8, false}));
    Element& tytul = t.add(field(
        QStringLiteral("Ltytul"), 3.7f, 5.3f, 182.3f, [this](const FillContext&) { return tytul_; },
        FontSpec{12, false}, Align::Center));
    tytul.wrap = true;
    tytul.grow = true;

    def_.pageFooter = makeBand(BandKind::PageFooter, QStringLiteral("PasekStopki"), 6.6f);
    Band& s = *def_.pageFooter;
    s.add(label(QStringLiteral("LTextStopki"), 0, 1.5f, 150, edition::tekst(&edition::Edycja::stopkaRaportu),
                FontSpec{8, false}));
    if (numerStrony) {
        s.add(field(
            QStringLiteral("LNrStrony"), 150, 1.1f, def_.contentWidthMm() - 150,
            [](const FillContext& c) { return QStringLiteral("str. ") + QString::number(c.pageNumber); },
            FontSpec{10, false}, Align::Right));
    }
}

Band& Raport::pasekKarty(const QString& name, float height, const QString& caption, float x, float w,
                         std::function<QString()> value, bool wrap) {
    Band& b =
        def_.detail->addChild(makeBand(BandKind::Child, name, height, SideLeft | SideRight | SideBottom));
    b.add(podpis(name + QStringLiteral("Podpis"), 2.1f, caption));
    b.add(wartosc(name + QStringLiteral("Wartosc"), x, w, std::move(value), wrap));
    return b;
}

void Raport::zbudujPasyListy() {
    def_.columnHeader = makeBand(BandKind::ColumnHeader, QStringLiteral("PasNaglowek"), 7.4f, SideAll);
    def_.detail =
        makeBand(BandKind::Detail, QStringLiteral("PasWiersz"), 4.5f, SideLeft | SideRight | SideBottom);
}

void Raport::ustawTekstyWspolne(ZrodloRaportow& zrodlo, const QString& tytulRaportu, int drukarka) {
    drukarka_ = drukarka;
    tytul_ = tytulRaportu;
    formatDaty_ = zrodlo.KrotkiFormatDaty();
}

}  // namespace kmx::reports
