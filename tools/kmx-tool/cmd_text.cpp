// Subcommands over text and statements: scrambling, statement printing, settings file.

#include <ostream>
#include <string>

#include "args.h"
#include "catalogue_open.h"
#include "commands.h"
#include "core/cp1250.h"
#include "core/criteria.h"
#include "criteria_options.h"
#include "core/query_builder.h"
#include "core/scramble.h"
#include "core/settings_file.h"
#include "core/tcsengine.h"

namespace kmx::tool {

namespace {

bool parseMode(const Options& o, std::ostream& err, const std::string& command, int& mode) {
    long m = 0;
    if (!o.value("mode")) return badArgs(err, command, "missing --mode N"), false;
    if (!o.intValue("mode", m) || m < 0 || m > 3) {
        badArgs(err, command, "--mode must be 0, 1, 2 or 3");
        return false;
    }
    mode = static_cast<int>(m);
    return true;
}

std::string toHex(const std::string& bytes) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += hex[c >> 4];
        out += hex[c & 15];
    }
    return out;
}

bool fromHex(const std::string& text, std::string& bytes) {
    bytes.clear();
    int pending = -1;
    for (char ch : text) {
        if (ch == ' ' || ch == ':' || ch == '\t') continue;
        int v;
        if (ch >= '0' && ch <= '9') v = ch - '0';
        else if (ch >= 'a' && ch <= 'f') v = ch - 'a' + 10;
        else if (ch >= 'A' && ch <= 'F') v = ch - 'A' + 10;
        else return false;
        if (pending < 0) {
            pending = v;
        } else {
            bytes += static_cast<char>(pending * 16 + v);
            pending = -1;
        }
    }
    return pending < 0;
}

int printStatement(const Options& o, const std::string& statement, std::ostream& out) {
    if (o.has("raw")) {
        out.write(statement.data(), static_cast<std::streamsize>(statement.size()));
        out << "\n";
    } else {
        out << escapeBytes(statement) << "\n";
    }
    return out ? 0 : 1;
}

}  // namespace

int cmdScramble(const Args& args, std::ostream& out, std::ostream& err) {
    Options o({"mode"}, {});
    if (!o.parse(args)) return badArgs(err, "scramble", o.error());
    int mode = 0;
    if (!parseMode(o, err, "scramble", mode)) return 2;
    if (o.positional().size() != 1) return badArgs(err, "scramble", "expected one TEXT argument");
    out << toHex(Szyfruj(cp1250::fromUtf8(o.positional()[0]), mode)) << "\n";
    return 0;
}

int cmdDescramble(const Args& args, std::ostream& out, std::ostream& err) {
    Options o({"mode"}, {});
    if (!o.parse(args)) return badArgs(err, "descramble", o.error());
    int mode = 0;
    if (!parseMode(o, err, "descramble", mode)) return 2;
    if (o.positional().size() != 1) return badArgs(err, "descramble", "expected one HEX argument");
    std::string bytes;
    if (!fromHex(o.positional()[0], bytes)) return badArgs(err, "descramble", "HEX must be pairs of hex digits");
    out << cp1250::toUtf8(Deszyfruj(bytes, mode)) << "\n";
    return 0;
}

int cmdGoodsSql(const Args& args, std::ostream& out, std::ostream& err) {
    auto names = goodsOptionNames();
    Options o(names, {"from-start", "raw"});
    if (!o.parse(args)) return badArgs(err, "goods-sql", o.error());
    if (!o.positional().empty()) return badArgs(err, "goods-sql", "unexpected argument '" + o.positional()[0] + "'");
    TsTowar t;
    int mode = 0;
    std::string error;
    if (!fillGoodsCriteria(o, t, mode, error)) return badArgs(err, "goods-sql", error);
    return printStatement(o, ZbudujZapytanieTowarow(t, mode), out);
}

int cmdSupplierSql(const Args& args, std::ostream& out, std::ostream& err) {
    Options o(supplierOptionNames(), {"raw"});
    if (!o.parse(args)) return badArgs(err, "supplier-sql", o.error());
    if (!o.positional().empty())
        return badArgs(err, "supplier-sql", "unexpected argument '" + o.positional()[0] + "'");
    TsDostawca d;
    std::string error;
    if (!fillSupplierCriteria(o, d, error)) return badArgs(err, "supplier-sql", error);
    return printStatement(o, ZbudujZapytanieDostawcow(d), out);
}

int cmdWorksSql(const Args& args, std::ostream& out, std::ostream& err) {
    Options o({"opis", "knr"}, {"raw"});
    if (!o.parse(args)) return badArgs(err, "works-sql", o.error());
    if (!o.positional().empty())
        return badArgs(err, "works-sql", "unexpected argument '" + o.positional()[0] + "'");
    TCSEngine engine;
    engine.Reset();
    engine.AddLike("Nazwa", o.value("opis").value_or(""), true);
    engine.AddLike("Podstawa", o.value("knr").value_or(""), true);
    return printStatement(o, engine.Statement(), out);
}

int cmdSettings(const Args& args, std::ostream& out, std::ostream& err) {
    Options o({}, {});
    if (!o.parse(args)) return badArgs(err, "settings", o.error());
    const auto& p = o.positional();
    if (p.size() == 2 && p[0] == "read") {
        auto r = CzytajUstawienia(p[1]);
        if (!r.ok) {
            err << "kmx-tool settings: " << r.error << "\n";
            return 1;
        }
        out << cp1250::toUtf8(r.password) << "\n";
        return 0;
    }
    if (p.size() == 3 && p[0] == "write") {
        auto r = ZapiszUstawienia(p[1], cp1250::fromUtf8(p[2]));
        if (!r.ok) {
            err << "kmx-tool settings: " << r.error << "\n";
            return 1;
        }
        return 0;
    }
    return badArgs(err, "settings", "usage: settings read FILE | settings write FILE PASSWORD");
}

}  // namespace kmx::tool
