// pellucar-convert RAW_DIR OUT_DIR
// Rewrites data/daily/<Market>.csv from the public raw price files.
#include "convert.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: pellucar-convert RAW_DIR OUT_DIR\n"
                             "  RAW_DIR  folder of the raw daily files (CHRIS-CME_CL1.csv, F_*.txt, GOLD.csv, ...)\n"
                             "  OUT_DIR  folder that receives Oil.csv, Gold.csv, TBond.csv, SP500.csv, Cattle.csv, "
                             "Soybean.csv\n");
        return 2;
    }
    pellucar::convert::Notes notes;
    const bool ok = pellucar::convert::convertAll(args[1], args[2], &notes);
    for (const auto& n : notes) std::fprintf(ok ? stdout : stderr, "%s\n", qPrintable(n.text));
    return ok ? 0 : 1;
}
